// MORVANTE's LV2 user interface as a host runs it: the UI module loaded with
// dlopen, its descriptor found by URI and instantiated in a host window on a
// private X server, driven by idle calls and an XTest user. What it tells
// the host (touch, port writes, its size) is recorded; the host's port
// events must reach the knob and the meter.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "effect/morvante_layout.h"
#include "framework/lv2/iplug_lv2.h"
#include "framework/lv2/lv2_port_map.h"
#include "framework/lv2/lv2_uris.h"
#include "tests/lv2/ui/lv2_ui_host.h"
#include "tests/support/x11/x11_test_window.h"
#include "tests/support/x11/xvfb_server.h"

// Last: its macros (Bool, None, CurrentTime) clash with the project's names.
#include <X11/Xlib.h>

using lv2uitest::HostCall;
using lv2uitest::UiHost;
using lv2uitest::UiModule;

namespace {

const MorvanteControlPlace& PlaceOf(EMorvanteControlKind kind, int paramIdx) {
  for (const MorvanteControlPlace& place : kMorvanteControlPlaces)
    if (place.kind == kind && place.paramIdx == paramIdx) return place;
  return kMorvanteControlPlaces[0];
}

// The ports as the processing side lays them out.
struct Ports {
  Ports() : plug(MakeLv2Plug()), map(*plug, 2) {}
  std::unique_ptr<IPlugLV2> plug;
  Lv2PortMap map;
};
const Ports& PortLayout() {
  static Ports ports;
  return ports;
}

class Lv2UiTest : public ::testing::Test {
protected:
  static constexpr int kW = kEditorWidth;
  static constexpr int kH = kEditorHeight;

  void SetUp() override {
    REQUIRE_X_SERVER();
    ASSERT_TRUE(UiModule::Get().Loaded()) << UiModule::Get().Error();
    window = std::make_unique<x11test::HostWindow>(kW, kH);
    ASSERT_TRUE(window->IsOpen());
    const MorvanteControlPlace& knob = PlaceOf(kControlKnob, kLowGain);
    knobX = knob.x + kKnobFrameWidth / 2;
    knobY = knob.y + kKnobFrameHeight / 2;
    lowGainPort = static_cast<uint32_t>(PortLayout().map.ParamPort(kLowGain));
    lowMeterPort = static_cast<uint32_t>(PortLayout().map.MeterPort(0));
  }
  void TearDown() override {
    host.Close();
    window.reset();
  }

  bool Open() {
    if (!host.Open(window->Id(), kLv2PluginUri, MORVANTE_LV2_BUNDLE_DIR)) return false;
    host.IdleFor(150);
    return true;
  }
  std::vector<uint32_t> Pixels(int x, int y, int w, int h) {
    return window->ReadPixels(reinterpret_cast<x11test::XWindowId>(host.Widget()), x, y, w, h);
  }
  std::vector<uint32_t> KnobPixels() {
    const MorvanteControlPlace& knob = PlaceOf(kControlKnob, kLowGain);
    return Pixels(knob.x, knob.y, kKnobFrameWidth, kKnobFrameHeight);
  }
  // The meters lie in the table from the Low band up.
  std::vector<uint32_t> LowMeterPixels() {
    for (const MorvanteControlPlace& place : kMorvanteControlPlaces)
      if (place.kind == kControlMeter) return Pixels(place.x, place.y, kMeterFrameWidth, kMeterFrameHeight);
    return {};
  }
  // Presses the knob's centre, moves up by dy pixels a few at a time and
  // lets go, with idle calls in between as a host gives them.
  void DragKnobUp(int dy, unsigned button = 1) {
    x11test::XUser& user = window->User();
    user.MoveTo(knobX, knobY);
    user.Press(button);
    host.IdleFor(30);
    for (int moved = 4; moved <= dy; moved += 4) {
      user.MoveTo(knobX, knobY - moved);
      host.IdleFor(15);
    }
    user.Release(button);
    host.IdleFor(100);
  }
  std::vector<HostCall> CallsOn(uint32_t port) const {
    std::vector<HostCall> out;
    for (const HostCall& c : host.calls)
      if (c.kind != 's' && c.port == port) out.push_back(c);
    return out;
  }
  std::string Screenshot(const char* name) {
    const std::string path = x11test::ScreenshotPath(MORVANTE_SCREENSHOT_DIR, name);
    EXPECT_TRUE(window->WriteScreenshot(path)) << path;
    return path;
  }

  std::unique_ptr<x11test::HostWindow> window;
  UiHost host;
  int knobX = 0;
  int knobY = 0;
  uint32_t lowGainPort = 0;
  uint32_t lowMeterPort = 0;
};

}  // namespace

TEST(Lv2UiModule, ExportsOneX11UiByItsUri) {
  ASSERT_TRUE(UiModule::Get().Loaded()) << UiModule::Get().Error();
  ASSERT_NE(UiModule::Get().Entry(0), nullptr);
  EXPECT_STREQ(UiModule::Get().Entry(0)->URI, kLv2UiUri);
  EXPECT_EQ(UiModule::Get().Entry(1), nullptr);
  const LV2UI_Descriptor* d = UiModule::Get().Descriptor();
  ASSERT_NE(d->extension_data, nullptr);
  EXPECT_NE(d->extension_data(LV2_UI__idleInterface), nullptr);
  EXPECT_EQ(d->extension_data(LV2_UI__showInterface), nullptr);
  EXPECT_EQ(d->extension_data("urn:nothing"), nullptr);
}

// The editor fills the host's window with the bundle's artwork and tells the
// host its size.
TEST_F(Lv2UiTest, EmbedsTheEditorInTheParentWithTheBundlesImages) {
  ASSERT_TRUE(Open());
  const std::vector<x11test::XWindowId> children = window->Children();
  ASSERT_EQ(children.size(), 1u);
  EXPECT_EQ(children[0], reinterpret_cast<x11test::XWindowId>(host.Widget()));
  ASSERT_FALSE(host.calls.empty());
  EXPECT_EQ(host.calls[0].kind, 's');
  EXPECT_EQ(host.calls[0].value, static_cast<float>(kW));
  EXPECT_EQ(host.calls[0].port, static_cast<uint32_t>(kH));
  Screenshot("lv2_ui.png");

  // Bare artwork shows the bundle's background image pixel for pixel.
  EXPECT_EQ(lv2uitest::PixelsDifferingFromArtwork(
                Pixels(lv2uitest::kArtworkPatchX, lv2uitest::kArtworkPatchY, lv2uitest::kArtworkPatchSize,
                       lv2uitest::kArtworkPatchSize)),
            0);
  EXPECT_EQ(host.IdleFor(20), 0);
}

// A drag is one gesture the host hears as touch, the plain values in dB on
// the Low Gain port, and the release; the right button, with no host menu in
// LV2, drags the knob as well.
TEST_F(Lv2UiTest, ADragIsHeardAsTouchPlainWritesAndRelease) {
  ASSERT_TRUE(Open());
  host.calls.clear();
  // 28 pixels up a 56-pixel knob geared 4:1 is an eighth of the range: from
  // 0 dB to +6 dB in the -24 .. +24 dB range.
  DragKnobUp(28);
  const std::vector<HostCall> calls = CallsOn(lowGainPort);
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls.front().kind, 't');
  EXPECT_EQ(calls.back().kind, 'r');
  float last = 0.0f;
  for (size_t i = 1; i + 1 < calls.size(); ++i) {
    EXPECT_EQ(calls[i].kind, 'w');
    EXPECT_GT(calls[i].value, last) << "each step up raises the gain";
    last = calls[i].value;
  }
  EXPECT_EQ(last, 6.0f);
  EXPECT_EQ(CallsOn(lowGainPort).size(), host.calls.size()) << "only the Low Gain port is touched";

  host.calls.clear();
  DragKnobUp(28, 3);
  const std::vector<HostCall> right = CallsOn(lowGainPort);
  ASSERT_GE(right.size(), 3u);
  EXPECT_EQ(right.front().kind, 't');
  EXPECT_EQ(right.back().kind, 'r');
  EXPECT_EQ(right[right.size() - 2].value, 12.0f);
}

// The host's value moves the knob (its picture, and where the next drag
// starts from) without an edit going back to the host; values the port
// protocol does not allow change nothing.
TEST_F(Lv2UiTest, AHostPortEventMovesTheKnobAndSendsNothingBack) {
  ASSERT_TRUE(Open());
  host.calls.clear();
  const std::vector<uint32_t> atDefault = KnobPixels();
  host.PortEvent(lowGainPort, -12.0f);
  host.IdleFor(150);
  const std::vector<uint32_t> atMinus12 = KnobPixels();
  EXPECT_NE(atMinus12, atDefault);

  const float nan = std::nanf("");
  const double wide = 3.0;
  host.PortEvent(lowGainPort, nan);
  host.PortEvent(lowGainPort, INFINITY);
  host.RawPortEvent(lowGainPort, sizeof wide, 0, &wide);
  host.RawPortEvent(lowGainPort, sizeof(float), 99, &wide);
  host.RawPortEvent(lowGainPort, sizeof(float), 0, nullptr);
  host.PortEvent(100000, 1.0f);
  host.IdleFor(100);
  EXPECT_EQ(KnobPixels(), atMinus12);
  EXPECT_TRUE(host.calls.empty());

  // From -12 dB, an eighth of the range up is -6 dB.
  DragKnobUp(28);
  const std::vector<HostCall> calls = CallsOn(lowGainPort);
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls[calls.size() - 2].value, -6.0f);

  // Back at the default the knob looks as it did.
  host.PortEvent(lowGainPort, 0.0f);
  host.IdleFor(150);
  EXPECT_EQ(KnobPixels(), atDefault);
}

// The host's first meter value shows at once: a host sends a meter port's
// value only when it changes.
TEST_F(Lv2UiTest, AMeterPortEventSetsTheMeter) {
  ASSERT_TRUE(Open());
  const std::vector<uint32_t> atOpen = LowMeterPixels();
  ASSERT_FALSE(atOpen.empty());
  host.PortEvent(lowMeterPort, 0.25f);
  host.IdleFor(150);
  const std::vector<uint32_t> quarter = LowMeterPixels();
  EXPECT_NE(quarter, atOpen);
  host.PortEvent(lowMeterPort, 0.9f);
  host.IdleFor(150);
  EXPECT_NE(LowMeterPixels(), quarter);
  host.PortEvent(lowMeterPort, 0.25f);
  host.IdleFor(150);
  EXPECT_EQ(LowMeterPixels(), quarter);
  EXPECT_TRUE(host.calls.size() == 1 && host.calls[0].kind == 's');
}

// Closing leaves no window in the host's; instantiating again opens the
// editor again, also for the mono plug-in.
TEST_F(Lv2UiTest, CloseAndReopenLeaveNothingBehind) {
  // The UI's X connection puts a process-wide error handler in place while
  // it is open; the host's own must be back afterwards.
  const XErrorHandler hostHandler = [](Display*, XErrorEvent*) { return 0; };
  const XErrorHandler before = XSetErrorHandler(hostHandler);
  for (const char* uri : {kLv2PluginUri, kLv2MonoPluginUri, kLv2PluginUri}) {
    ASSERT_TRUE(host.Open(window->Id(), uri, MORVANTE_LV2_BUNDLE_DIR)) << uri;
    host.IdleFor(60);
    EXPECT_EQ(window->Children().size(), 1u);
    const XErrorHandler whileOpen = XSetErrorHandler(hostHandler);
    XSetErrorHandler(whileOpen);
    EXPECT_NE(whileOpen, hostHandler);
    host.Close();
    EXPECT_TRUE(window->Children().empty());
    EXPECT_EQ(XSetErrorHandler(hostHandler), hostHandler);
  }
  XSetErrorHandler(before);
  // A gesture still held when the host closes the UI ends for the host.
  ASSERT_TRUE(Open());
  host.calls.clear();
  window->User().MoveTo(knobX, knobY);
  window->User().Press(1);
  host.IdleFor(60);
  host.Close();
  window->User().Release(1);
  ASSERT_EQ(host.calls.size(), 2u);
  EXPECT_EQ(host.calls[0].kind, 't');
  EXPECT_EQ(host.calls[1].kind, 'r');
  EXPECT_TRUE(window->Children().empty());
}

TEST_F(Lv2UiTest, RefusesWhatItCannotServe) {
  EXPECT_FALSE(host.Open(window->Id(), "urn:another:plugin", MORVANTE_LV2_BUNDLE_DIR));
  EXPECT_FALSE(host.Open(window->Id(), kLv2PluginUri, "/nonexistent/MORVANTE.lv2/"));
  EXPECT_FALSE(host.Open(0x7FFFFF0, kLv2PluginUri, MORVANTE_LV2_BUNDLE_DIR));
  UiHost noParent(UiHost::Options{true, true, false, true});
  EXPECT_FALSE(noParent.Open(window->Id(), kLv2PluginUri, MORVANTE_LV2_BUNDLE_DIR));
  EXPECT_TRUE(window->Children().empty());

  // Without touch, resize and the URID map (all optional) the edits still
  // arrive.
  UiHost bare(UiHost::Options{false, false, true, false});
  ASSERT_TRUE(bare.Open(window->Id(), kLv2PluginUri, MORVANTE_LV2_BUNDLE_DIR));
  bare.IdleFor(150);
  window->User().MoveTo(knobX, knobY);
  window->User().Press(1);
  bare.IdleFor(30);
  window->User().MoveTo(knobX, knobY - 8);
  bare.IdleFor(30);
  window->User().Release(1);
  bare.IdleFor(60);
  ASSERT_FALSE(bare.calls.empty());
  for (const HostCall& c : bare.calls) EXPECT_EQ(c.kind, 'w');
}

// A host that destroys its window under the UI is asked to close it.
TEST_F(Lv2UiTest, IdleAsksToCloseOnceTheHostsWindowIsGone) {
  ASSERT_TRUE(Open());
  EXPECT_EQ(host.IdleFor(20), 0);
  window.reset();
  EXPECT_EQ(host.IdleFor(200), 1);
  host.Close();
}

// The "DISPLAY" switch asks the host for the strip's height through
// ui:resize and gives it back; a host that refuses keeps the editor closed.
TEST_F(Lv2UiTest, TheDisplaySwitchResizesTheEditorThroughUiResize) {
  char folder[] = "/tmp/morvante_lv2_config_XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const char* before = std::getenv("XDG_CONFIG_HOME");
  const std::string savedConfig = before ? before : "";
  setenv("XDG_CONFIG_HOME", folder, 1);
  const int x = (kDisplaySwitchLeft + kDisplaySwitchRight) / 2, y = (kDisplaySwitchTop + kDisplaySwitchBottom) / 2;
  const auto press = [&](UiHost& ui) {
    ui.calls.clear();
    window->User().Click(x, y);
    ui.IdleFor(600);
  };
  const auto widgetHeight = [&](UiHost& ui) {
    int w = 0, h = 0;
    window->WindowSize(reinterpret_cast<x11test::XWindowId>(ui.Widget()), &w, &h);
    return h;
  };
  window = std::make_unique<x11test::HostWindow>(kW, kEditorHeightWithDisplay);
  ASSERT_TRUE(Open());
  press(host);
  ASSERT_EQ(host.calls.size(), 1u);
  EXPECT_EQ(host.calls[0].kind, 's');
  EXPECT_EQ(host.calls[0].value, static_cast<float>(kW));
  EXPECT_EQ(host.calls[0].port, static_cast<uint32_t>(kEditorHeightWithDisplay));
  EXPECT_EQ(widgetHeight(host), kEditorHeightWithDisplay);
  press(host);
  ASSERT_EQ(host.calls.size(), 1u);
  EXPECT_EQ(host.calls[0].port, static_cast<uint32_t>(kH));
  EXPECT_EQ(widgetHeight(host), kH);
  host.Close();

  UiHost::Options options;
  options.refuseResize = true;
  UiHost refusing(options);
  ASSERT_TRUE(refusing.Open(window->Id(), kLv2PluginUri, MORVANTE_LV2_BUNDLE_DIR));
  refusing.IdleFor(150);
  press(refusing);
  ASSERT_EQ(refusing.calls.size(), 1u);
  EXPECT_EQ(refusing.calls[0].port, static_cast<uint32_t>(kEditorHeightWithDisplay));
  EXPECT_EQ(widgetHeight(refusing), kH);
  refusing.Close();

  setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
  std::remove((std::string(folder) + "/MORVANTE/editor.conf").c_str());
  rmdir((std::string(folder) + "/MORVANTE").c_str());
  rmdir(folder);
}

// The host's ui:scaleFactor sets the editor's size, which the host hears
// through ui:resize; factors that mean nothing leave 100 %.
TEST_F(Lv2UiTest, TheHostsScaleFactorSizesTheEditor) {
  const struct {
    float factor;
    int width, height;
  } cases[] = {{2.0f, 2 * kW, 2 * kH}, {1.5f, 1830, 885}, {-1.0f, kW, kH}, {__builtin_nanf(""), kW, kH}};
  window = std::make_unique<x11test::HostWindow>(2 * kW, 2 * kH);
  for (const auto& c : cases) {
    UiHost::Options options;
    options.scaleFactor = c.factor;
    UiHost scaled(options);
    ASSERT_TRUE(scaled.Open(window->Id(), kLv2PluginUri, MORVANTE_LV2_BUNDLE_DIR)) << c.factor;
    scaled.IdleFor(150);
    ASSERT_FALSE(scaled.calls.empty()) << c.factor;
    EXPECT_EQ(scaled.calls[0].kind, 's');
    EXPECT_EQ(scaled.calls[0].value, static_cast<float>(c.width)) << c.factor;
    EXPECT_EQ(scaled.calls[0].port, static_cast<uint32_t>(c.height)) << c.factor;
    int w = 0, h = 0;
    window->WindowSize(reinterpret_cast<x11test::XWindowId>(scaled.Widget()), &w, &h);
    EXPECT_EQ(w, c.width) << c.factor;
    EXPECT_EQ(h, c.height) << c.factor;
    if (c.factor == 2.0f) Screenshot("lv2_ui_scale_200.png");
  }
}
