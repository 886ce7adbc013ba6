// The display strip of the bundle's editor in a Linux host: its switch grows
// and shrinks the view through the host's frame, the user's choice outlives
// the editor, a band's handle is edited as the host records edits, and
// closing the editor with the display open leaves nothing.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/vst3/x11/x11_bundle_editor.h"

namespace {
constexpr int kOpenH = 790;
constexpr ParamID kLowFrequency = 16;
// The "DISPLAY" switch's centre, in editor pixels.
constexpr int kSwitchX = 64, kSwitchY = 73;
// The display's plot: 20 Hz to 20 kHz across, +24 to -24 dB down.
constexpr int kPlotL = 40, kPlotT = 602, kPlotR = 1204, kPlotB = 768;

class X11Display : public X11BundleEditor {
protected:
  // The host's window large enough for the open display, the factor set
  // before attaching; the view's first size is whatever the user left.
  void AttachAt(int percent, int expectedH) {
    host = std::make_unique<x11test::HostWindow>(Scaled(kEditorW, percent), Scaled(kOpenH, percent));
    if (percent != 100) {
      ASSERT_EQ(SetContentScale(view, percent / 100.0f), kResultTrue);
    }
    view->setFrame(&frame);
    ExpectViewOf(Scaled(kEditorW, percent), Scaled(expectedH, percent));
    ASSERT_EQ(view->attached(reinterpret_cast<void*>(host->Id()), kPlatformTypeX11EmbedWindowID), kResultOk);
    isAttached = true;
    Serve(200);
  }
  // What getSize, checkSizeConstraint and the X window say.
  void ExpectViewOf(int w, int h) {
    ViewRect size;
    ASSERT_EQ(view->getSize(&size), kResultOk);
    EXPECT_EQ(size.getWidth(), w);
    EXPECT_EQ(size.getHeight(), h);
    ViewRect asked(0, 0, 640, 480);
    EXPECT_EQ(view->checkSizeConstraint(&asked), kResultTrue);
    EXPECT_EQ(asked.getWidth(), w);
    EXPECT_EQ(asked.getHeight(), h);
    if (!isAttached) return;
    int ww = 0, wh = 0;
    ASSERT_TRUE(host->WindowSize(host->Children().at(0), &ww, &wh));
    EXPECT_EQ(ww, w);
    EXPECT_EQ(wh, h);
  }
  // A press on the switch, well apart from any other, and the resize it asks for.
  void PressSwitch(int percent) {
    Serve(500);
    const int before = frame.resizes;
    User().Click(Scaled(kSwitchX, percent), Scaled(kSwitchY, percent));
    loop.RunUntil([&] { return frame.resizes > before; }, 3000);
    Serve(200);
  }
  std::vector<uint32_t> SwitchPixels(int percent) {
    return Pixels(Scaled(kSwitchX - 50, percent), Scaled(kSwitchY - 11, percent), Scaled(100, percent),
                  Scaled(22, percent));
  }
  // The view's first size in another instance, as in a new project (at
  // 100 %: no host has given it a factor).
  int NewInstancesHeight() {
    PluginInstance second(Module().Factory(), kMorvanteCid);
    EXPECT_EQ(second.component->initialize(&application), kResultOk);
    IPlugView* secondView = second.controller->createView("editor");
    ViewRect size;
    EXPECT_EQ(secondView->getSize(&size), kResultOk);
    secondView->release();
    second.component->terminate();
    return size.getHeight();
  }
};

class X11DisplayAtScale : public X11Display, public ::testing::WithParamInterface<int> {};
}  // namespace

TEST_P(X11DisplayAtScale, TheSwitchGrowsAndShrinksTheViewThroughTheFrameAndNewEditorsFollow) {
  const int percent = GetParam();
  ConfigFolder config;
  AttachAt(percent, kEditorH);
  const std::vector<uint32_t> panelBefore = Pixels(0, 0, Scaled(kEditorW, percent), Scaled(kEditorH, percent));
  const std::vector<uint32_t> unlit = SwitchPixels(percent);

  PressSwitch(percent);
  ASSERT_EQ(frame.resizes, 1);
  EXPECT_EQ(frame.lastSize.getWidth(), Scaled(kEditorW, percent));
  EXPECT_EQ(frame.lastSize.getHeight(), Scaled(kOpenH, percent));
  ExpectViewOf(Scaled(kEditorW, percent), Scaled(kOpenH, percent));
  EXPECT_NE(config.Read().find("display=open\n"), std::string::npos) << config.Read();
  EXPECT_NE(SwitchPixels(percent), unlit);
  // The strip is drawn, down to the window's last row.
  EXPECT_NE(Pixels(Scaled(kEditorW, percent) - 1, Scaled(kOpenH, percent) - 1, 1, 1).at(0), 0u);
  Screenshot(("editor_display_open_" + std::to_string(percent) + ".png").c_str());
  EXPECT_EQ(NewInstancesHeight(), kOpenH);

  PressSwitch(percent);
  ASSERT_EQ(frame.resizes, 2);
  EXPECT_EQ(frame.lastSize.getHeight(), Scaled(kEditorH, percent));
  ExpectViewOf(Scaled(kEditorW, percent), Scaled(kEditorH, percent));
  EXPECT_NE(config.Read().find("display=closed\n"), std::string::npos) << config.Read();
  // Closed again, the panel is the picture it was, switch and all.
  EXPECT_EQ(Pixels(0, 0, Scaled(kEditorW, percent), Scaled(kEditorH, percent)), panelBefore);
  EXPECT_EQ(NewInstancesHeight(), kEditorH);
}

INSTANTIATE_TEST_SUITE_P(Scales, X11DisplayAtScale, ::testing::Values(100, 150));

TEST_F(X11Display, AHostThatRefusesTheSizeLeavesTheDisplayClosed) {
  ConfigFolder config;
  frame.refusesResize = true;
  AttachAt(100, kEditorH);
  const std::vector<uint32_t> unlit = SwitchPixels(100);
  PressSwitch(100);
  ASSERT_EQ(frame.resizes, 1);
  EXPECT_EQ(frame.lastSize.getHeight(), kOpenH);
  ExpectViewOf(kEditorW, kEditorH);
  EXPECT_EQ(SwitchPixels(100), unlit);
  EXPECT_EQ(config.Read().find("display="), std::string::npos) << config.Read();
  // Still closed: the next press asks to grow again.
  PressSwitch(100);
  ASSERT_EQ(frame.resizes, 2);
  EXPECT_EQ(frame.lastSize.getHeight(), kOpenH);
}

TEST_F(X11Display, ClosingTheEditorWithTheDisplayOpenLeavesNothingBehind) {
  ConfigFolder config;
  AttachAt(100, kEditorH);
  PressSwitch(100);
  ASSERT_EQ(frame.resizes, 1);
  StartAudio();
  Serve(300);
  Remove();
  EXPECT_TRUE(host->Children().empty());
  EXPECT_EQ(frame.NumTimers() + frame.NumHandlers(), 0);
  EXPECT_EQ(loop.NumTimers() + loop.NumFds(), 0);
  EXPECT_EQ(frame.References(), 1);
  Serve(200);
  // A new view of the same editor opens the way the user left it, while
  // the audio goes on.
  view->release();
  view = plug->controller->createView("editor");
  AttachAt(100, kOpenH);
  EXPECT_EQ(host->Children().size(), 1u);
  Serve(300);
  StopAudio();
  Remove();
  EXPECT_TRUE(host->Children().empty());
  EXPECT_EQ(loop.NumTimers() + loop.NumFds(), 0);
}

// A handle dragged right and up is one gesture of each of the band's two
// parameters, both raised, as a recording host hears them.
TEST_F(X11Display, DraggingABandsHandleEditsItsFrequencyAndGainAsTheHostRecords) {
  ConfigFolder config;
  AttachAt(100, kEditorH);
  PressSwitch(100);
  ASSERT_EQ(frame.resizes, 1);
  const double hz = plug->controller->normalizedParamToPlain(kLowFrequency, Param(kLowFrequency));
  const double dB = plug->controller->normalizedParamToPlain(kLowGain, Param(kLowGain));
  const int x = kPlotL + static_cast<int>(std::lround((kPlotR - kPlotL) * std::log(hz / 20.0) / std::log(1000.0)));
  const int y = kPlotT + static_cast<int>(std::lround((kPlotB - kPlotT) * (24.0 - dB) / 48.0));
  const double hzBefore = Param(kLowFrequency), dBBefore = Param(kLowGain);
  handler.edits.clear();

  User().MoveTo(x, y);
  User().Press(1);
  for (int step = 1; step <= 10; ++step) {
    User().MoveTo(x + 6 * step, y - 3 * step);
    Serve(30);
  }
  User().Release(1);
  Serve(200);
  Screenshot("editor_display_drag.png");
  EXPECT_GT(Param(kLowFrequency), hzBefore);
  EXPECT_GT(Param(kLowGain), dBBefore);
  for (ParamID tag : {static_cast<ParamID>(kLowFrequency), static_cast<ParamID>(kLowGain)}) {
    const auto edits = EditsOf(tag);
    ASSERT_GE(edits.size(), 3u) << tag;
    EXPECT_EQ(edits.front().kind, 'b') << tag;
    EXPECT_EQ(edits.back().kind, 'e') << tag;
    for (size_t i = 1; i + 1 < edits.size(); ++i) EXPECT_EQ(edits[i].kind, 'p') << tag;
    EXPECT_DOUBLE_EQ(edits[edits.size() - 2].value, Param(tag)) << tag;
  }
  // Nothing else was touched.
  EXPECT_EQ(EditsOf(kLowFrequency).size() + EditsOf(kLowGain).size(), handler.edits.size());
}
