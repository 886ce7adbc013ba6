// The bundle's editor in a Linux host's window, as the X11 tests drive it:
// the built bundle loaded with dlopen, its view created, embedded and served
// by a host's poll loop on a private X server with an XTest user.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "tests/support/x11/poll_loop.h"
#include "tests/support/x11/x11_test_window.h"
#include "tests/support/x11/xvfb_server.h"
#include "tests/vst3/vst3_test_support.h"
#include "tests/vst3/x11/x11_plug_frame.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace vst3test;

namespace {
constexpr ParamID kLowThreshold = 34;
constexpr int kEditorW = 1220;
constexpr int kEditorH = 590;
// Centres of controls, in editor pixels.
constexpr int kLowGainX = 180 + 30, kLowGainY = 424 + 28;
constexpr int kLowModeX = 192 + 36, kLowModeY = 560 + 11;
constexpr int kLinkX = 1180, kLinkY = 580;
// Artwork without a control on it.
constexpr int kBackgroundX = 80, kBackgroundY = 500;
// The Low band's gain-reduction meter.
constexpr int kLowMeterX = 141, kLowMeterY = 24, kLowMeterW = 160, kLowMeterH = 24;

class X11BundleEditor : public ::testing::Test {
protected:
  void SetUp() override {
    REQUIRE_X_SERVER();
    ASSERT_TRUE(Module().Loaded()) << Module().Error();
    host = std::make_unique<x11test::HostWindow>(kEditorW, kEditorH);
    ASSERT_TRUE(host->IsOpen());
    plug = std::make_unique<PluginInstance>(Module().Factory(), kMorvanteCid);
    ASSERT_NE(plug->component, nullptr);
    ASSERT_EQ(plug->component->initialize(&application), kResultOk);
    ASSERT_EQ(plug->controller->setComponentHandler(&handler), kResultOk);
    view = plug->controller->createView("editor");
    ASSERT_NE(view, nullptr);
  }
  void TearDown() override {
    StopAudio();
    if (view) {
      if (isAttached) view->removed();
      view->release();
    }
    if (plug) {
      plug->controller->setComponentHandler(nullptr);
      plug->component->terminate();
    }
    plug.reset();
    host.reset();
  }

  // The opening sequence of a DAW.
  tresult Attach(X11PlugFrame* withFrame) {
    if (view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID) != kResultTrue) return kResultFalse;
    view->setFrame(withFrame);
    ViewRect size;
    if (view->getSize(&size) != kResultOk) return kResultFalse;
    EXPECT_EQ(size.getWidth(), kEditorW);
    EXPECT_EQ(size.getHeight(), kEditorH);
    const tresult result = view->attached(reinterpret_cast<void*>(host->Id()), kPlatformTypeX11EmbedWindowID);
    isAttached = result == kResultOk;
    Serve(200);
    return result;
  }
  void Remove() {
    view->removed();
    isAttached = false;
    view->setFrame(nullptr);
  }
  void Serve(int ms) { loop.RunFor(ms); }
  x11test::XUser& User() { return host->User(); }
  double Param(ParamID tag) { return plug->controller->getParamNormalized(tag); }
  std::vector<uint32_t> Pixels(int x, int y, int w, int h) {
    return host->ReadPixels(host->Children().at(0), x, y, w, h);
  }
  std::string Screenshot(const char* name) {
    const std::string path = x11test::ScreenshotPath(MORVANTE_SCREENSHOT_DIR, name);
    EXPECT_TRUE(host->WriteScreenshot(path)) << path;
    return path;
  }
  std::vector<TestComponentHandler::Edit> EditsOf(ParamID tag) const {
    std::vector<TestComponentHandler::Edit> out;
    for (const auto& e : handler.edits)
      if (e.tag == tag) out.push_back(e);
    return out;
  }

  // Blocks of loud audio on a thread of the host's, as during playback.
  void StartAudio() {
    ProcessSetup setup{kRealtime, kSample32, 256, 44100.0};
    ASSERT_EQ(plug->processor->setupProcessing(setup), kResultOk);
    for (int32 i = 0; i < plug->component->getBusCount(kAudio, kInput); ++i)
      plug->component->activateBus(kAudio, kInput, i, true);
    for (int32 i = 0; i < plug->component->getBusCount(kAudio, kOutput); ++i)
      plug->component->activateBus(kAudio, kOutput, i, true);
    ASSERT_EQ(plug->component->setActive(true), kResultOk);
    plug->processor->setProcessing(true);
    audioRunning = true;
    audio = std::thread([this] {
      BusBuffers<float> in(2, 256), out(2, 256);
      AudioBusBuffers inBus, outBus;
      // The host's automation: the Low band at its lowest threshold.
      TestParamChanges changes;
      changes.Add(kLowThreshold, 1.0);
      long frame = 0;
      while (audioRunning.load()) {
        const double level = 2.0;
        // Half-way, the host automates Low Gain to its top.
        if (blocks.load() == 100) changes.Add(kLowGain, 1.0);
        for (int c = 0; c < 2; ++c)
          for (int i = 0; i < 256; ++i)
            in.data[c][static_cast<size_t>(i)] = static_cast<float>(level * TestSignal(c, frame + i));
        frame += 256;
        ProcessData data = MakeBlock(in, out, inBus, outBus, 256, &changes);
        plug->processor->process(data);
        ++blocks;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    });
  }
  void StopAudio() {
    if (!audio.joinable()) return;
    audioRunning = false;
    audio.join();
    plug->processor->setProcessing(false);
    plug->component->setActive(false);
  }

  x11test::PollLoop loop;
  // The host's frames outlive the view's attachment, as in a host.
  X11PlugFrame frame{&loop, true};
  X11PlugFrame frameWithoutRunLoop{&loop, false};
  std::unique_ptr<x11test::HostWindow> host;
  TestHostApplication application{"Bitwig Studio"};
  TestComponentHandler handler;
  std::unique_ptr<PluginInstance> plug;
  IPlugView* view = nullptr;
  bool isAttached = false;
  std::thread audio;
  std::atomic<bool> audioRunning{false};
  std::atomic<int> blocks{0};
};

// The host's factor as Bitwig Studio and REAPER hand it over.
tresult SetContentScale(IPlugView* view, float factor) {
  IPlugViewContentScaleSupport* scale = nullptr;
  if (view->queryInterface(IPlugViewContentScaleSupport::iid, reinterpret_cast<void**>(&scale)) != kResultOk ||
      !scale)
    return kNoInterface;
  const tresult result = scale->setContentScaleFactor(factor);
  scale->release();
  return result;
}

int Scaled(int v, int percent) { return (v * percent + 50) / 100; }

// A settings folder of the test's own, so that what the editor remembers
// reaches no other test.
class ConfigFolder {
public:
  ConfigFolder() {
    char folderTemplate[] = "/tmp/morvante_config_XXXXXX";
    if (mkdtemp(folderTemplate)) mPath = folderTemplate;
    setenv("XDG_CONFIG_HOME", mPath.c_str(), 1);
  }
  ~ConfigFolder() {
    std::remove((mPath + "/MORVANTE/editor.conf").c_str());
    rmdir((mPath + "/MORVANTE").c_str());
    rmdir(mPath.c_str());
  }
  std::string Read() const {
    std::ifstream in(mPath + "/MORVANTE/editor.conf");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

private:
  std::string mPath;
};

class X11ScaledEditor : public X11BundleEditor, public ::testing::WithParamInterface<int> {
protected:
  // The host's window at the scaled size, the factor set before attaching.
  void AttachScaled(int percent) {
    host = std::make_unique<x11test::HostWindow>(Scaled(kEditorW, percent), Scaled(kEditorH, percent));
    ASSERT_EQ(SetContentScale(view, percent / 100.0f), kResultTrue);
    view->setFrame(&frame);
    ViewRect size;
    ASSERT_EQ(view->getSize(&size), kResultOk);
    EXPECT_EQ(size.getWidth(), Scaled(kEditorW, percent));
    EXPECT_EQ(size.getHeight(), Scaled(kEditorH, percent));
    ASSERT_EQ(view->attached(reinterpret_cast<void*>(host->Id()), kPlatformTypeX11EmbedWindowID), kResultOk);
    isAttached = true;
    Serve(200);
    // Before attaching, the size reaches the host through getSize only.
    EXPECT_EQ(frame.resizes, 0);
  }
  void ExpectEditorWindowOf(int w, int h) {
    int ww = 0, wh = 0;
    ASSERT_TRUE(host->WindowSize(host->Children().at(0), &ww, &wh));
    EXPECT_EQ(ww, w);
    EXPECT_EQ(wh, h);
  }
};
}  // namespace
