// MORVANTE's editor in a Linux host: the built bundle loaded with dlopen,
// the view created, embedded and driven as a DAW does, on a private X
// server with an XTest user.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "tests/vst3/x11/x11_bundle_editor.h"

#if defined(__SANITIZE_ADDRESS__)
// fontconfig, which the bundle's text drawing starts, drops part of its
// parsed configuration at start-up; the bundle's own suppression is hidden
// inside it.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif

TEST_F(X11BundleEditor, OpensInTheHostsWindowOnItsRunLoopAndClosesAndReopens) {
  ASSERT_EQ(Attach(&frame), kResultOk);
  ASSERT_EQ(host->Children().size(), 1u);
  // The editor's 25-per-second poll and its X connection.
  EXPECT_EQ(frame.NumTimers(), 1);
  EXPECT_EQ(frame.NumHandlers(), 1);
  EXPECT_EQ(frame.lastInterval, 40u);
  EXPECT_EQ(loop.NumTimers(), 1);
  Screenshot("editor_default.png");

  Remove();
  EXPECT_TRUE(host->Children().empty());
  EXPECT_EQ(frame.NumTimers(), 0);
  EXPECT_EQ(frame.NumHandlers(), 0);
  EXPECT_EQ(loop.NumTimers() + loop.NumFds(), 0);
  // The view only borrowed the frame's run loop.
  EXPECT_EQ(frame.References(), 1);

  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(Attach(&frame), kResultOk);
    EXPECT_EQ(host->Children().size(), 1u);
    Remove();
  }
  // A new view of the same plug-in opens the same editor.
  view->release();
  view = plug->controller->createView("editor");
  ASSERT_EQ(Attach(&frame), kResultOk);
  EXPECT_EQ(host->Children().size(), 1u);
  Remove();
  EXPECT_EQ(frame.NumTimers() + frame.NumHandlers(), 0);
}

TEST_F(X11BundleEditor, AHostWithoutARunLoopGetsNoWindow) {
  EXPECT_EQ(Attach(&frameWithoutRunLoop), kResultFalse);
  EXPECT_TRUE(host->Children().empty());
  EXPECT_EQ(loop.NumTimers() + loop.NumFds(), 0);
  view->setFrame(nullptr);
  EXPECT_EQ(view->attached(reinterpret_cast<void*>(host->Id()), kPlatformTypeX11EmbedWindowID), kResultFalse);
}

TEST_F(X11BundleEditor, EditsWithTheMouseReachTheHost) {
  ASSERT_EQ(Attach(&frame), kResultOk);
  const double lowGainDefault = Param(kLowGain);

  // Drag the Low Gain knob up.
  User().MoveTo(kLowGainX, kLowGainY);
  User().Press(1);
  for (int step = 1; step <= 8; ++step) {
    User().MoveTo(kLowGainX, kLowGainY - 5 * step);
    Serve(30);
  }
  User().Release(1);
  Serve(100);
  const double dragged = Param(kLowGain);
  EXPECT_GT(dragged, lowGainDefault);
  const auto edits = EditsOf(kLowGain);
  ASSERT_GE(edits.size(), 3u);
  EXPECT_EQ(edits.front().kind, 'b');
  EXPECT_EQ(edits.back().kind, 'e');
  for (size_t i = 1; i + 1 < edits.size(); ++i) EXPECT_EQ(edits[i].kind, 'p');
  EXPECT_DOUBLE_EQ(edits[edits.size() - 2].value, dragged);

  // One wheel step up moves it by 0.01, as a gesture of its own.
  Serve(500);
  const size_t editsBeforeWheel = EditsOf(kLowGain).size();
  User().MoveTo(kLowGainX, kLowGainY);
  User().Click(kLowGainX, kLowGainY, 4);
  Serve(100);
  EXPECT_NEAR(Param(kLowGain), dragged + 0.01, 1e-9);
  const auto wheelEdits = EditsOf(kLowGain);
  ASSERT_EQ(wheelEdits.size(), editsBeforeWheel + 3);
  EXPECT_EQ(wheelEdits[editsBeforeWheel].kind, 'b');
  EXPECT_EQ(wheelEdits[editsBeforeWheel + 1].kind, 'p');
  EXPECT_EQ(wheelEdits[editsBeforeWheel + 2].kind, 'e');

  // A double-click restores the default.
  Serve(500);
  User().Click(kLowGainX, kLowGainY);
  User().Click(kLowGainX, kLowGainY);
  Serve(100);
  EXPECT_DOUBLE_EQ(Param(kLowGain), lowGainDefault);

  // A click toggles the Low detector mode.
  Serve(500);
  const double mode = Param(kModeL);
  User().Click(kLowModeX, kLowModeY);
  Serve(100);
  EXPECT_NE(Param(kModeL), mode);
  const auto modeEdits = EditsOf(kModeL);
  ASSERT_FALSE(modeEdits.empty());
  EXPECT_EQ(modeEdits.front().kind, 'b');
  EXPECT_EQ(modeEdits.back().kind, 'e');

  // The secondary button asks the host for its menu for that parameter.
  Serve(500);
  User().Click(kLowGainX, kLowGainY, 3);
  Serve(100);
  EXPECT_EQ(handler.menuTag, static_cast<ParamID>(kLowGain));
  EXPECT_EQ(handler.menuView, view);
  EXPECT_EQ(handler.menu.popups, 1);

  // Put Low Gain somewhere visible for the picture.
  User().MoveTo(kLowGainX, kLowGainY);
  User().Press(1);
  for (int step = 1; step <= 10; ++step) {
    User().MoveTo(kLowGainX, kLowGainY - 6 * step);
    Serve(30);
  }
  User().Release(1);
  Serve(200);
  Screenshot("editor_after_edits.png");
}

// A host that records automation keeps a parameter in "touch" from its
// beginEdit to its endEdit: each gesture it hears of must end exactly once,
// whatever the pointer did in between.
TEST_F(X11BundleEditor, EveryEditGestureTheHostHearsOfEndsOnce) {
  ASSERT_EQ(Attach(&frame), kResultOk);
  // The host's menu on the secondary button edits nothing.
  User().Click(kLowGainX, kLowGainY, 3);
  Serve(100);
  // A double-click restoring the default.
  Serve(500);
  User().Click(kLowGainX, kLowGainY);
  User().Click(kLowGainX, kLowGainY);
  Serve(100);
  // A press on the bare background, released over a knob.
  Serve(500);
  User().MoveTo(kBackgroundX, kBackgroundY);
  User().Press(1);
  Serve(50);
  User().MoveTo(kLowGainX, kLowGainY);
  Serve(50);
  User().Release(1);
  Serve(100);
  // A drag the host closes the editor in the middle of.
  Serve(500);
  User().MoveTo(kLowGainX, kLowGainY);
  User().Press(1);
  for (int step = 1; step <= 4; ++step) {
    User().MoveTo(kLowGainX, kLowGainY - 5 * step);
    Serve(30);
  }
  Remove();
  User().Release(1);
  Serve(100);

  std::map<ParamID, int> open;
  int gestures = 0;
  for (const auto& e : handler.edits) {
    if (e.kind == 'b') {
      EXPECT_EQ(open[e.tag]++, 0) << "a second beginEdit of " << e.tag;
      ++gestures;
    } else if (e.kind == 'e') {
      EXPECT_EQ(open[e.tag]--, 1) << "an endEdit of " << e.tag << " without its beginEdit";
    }
  }
  for (const auto& o : open) EXPECT_EQ(o.second, 0) << "the gesture of " << o.first << " never ended";
  // The double-click's two presses and the drag.
  EXPECT_EQ(gestures, 3);
  EXPECT_EQ(handler.menu.popups, 1);
}

TEST_F(X11BundleEditor, MetersRedrawWhileTheAudioThreadProcesses) {
  ASSERT_EQ(Attach(&frame), kResultOk);
  Serve(100);
  const std::vector<uint32_t> meterBefore = Pixels(kLowMeterX, kLowMeterY, kLowMeterW, kLowMeterH);
  const std::vector<uint32_t> knobBefore = Pixels(kLowGainX - 30, kLowGainY - 28, 60, 56);
  StartAudio();
  // The audio thread only marks the controls dirty; the editor's timer on
  // the host's loop draws them.
  const bool meterMoved = loop.RunUntil(
      [&] { return Pixels(kLowMeterX, kLowMeterY, kLowMeterW, kLowMeterH) != meterBefore; }, 3000);
  const bool knobMoved =
      loop.RunUntil([&] { return Pixels(kLowGainX - 30, kLowGainY - 28, 60, 56) != knobBefore; }, 5000);
  StopAudio();
  EXPECT_TRUE(meterMoved);
  EXPECT_TRUE(knobMoved);
  EXPECT_GT(blocks.load(), 100);
  Screenshot("editor_metering.png");
}

TEST_F(X11BundleEditor, TheLinkStartsTheDesktopsOpener) {
  // A stand-in for xdg-open, found first in the search path.
  char folderTemplate[] = "/tmp/morvante_opener_XXXXXX";
  ASSERT_NE(mkdtemp(folderTemplate), nullptr);
  const std::string folder = folderTemplate;
  const std::string record = folder + "/opened.txt";
  {
    std::ofstream script(folder + "/xdg-open");
    script << "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" << record << ".part\"\nmv \"" << record << ".part\" \""
           << record << "\"\n";
  }
  chmod((folder + "/xdg-open").c_str(), 0755);
  const char* oldPath = std::getenv("PATH");
  const std::string savedPath = oldPath ? oldPath : "";
  setenv("PATH", (folder + ":" + savedPath).c_str(), 1);

  ASSERT_EQ(Attach(&frame), kResultOk);
  User().Click(kLinkX, kLinkY);
  const bool opened = loop.RunUntil([&] { return access(record.c_str(), F_OK) == 0; }, 5000);
  setenv("PATH", savedPath.c_str(), 1);
  ASSERT_TRUE(opened);
  std::ifstream in(record);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "https://www.penvarrowsonics.com/product/morvante/\n");
  unlink(record.c_str());
  unlink((folder + "/xdg-open").c_str());
  rmdir(folder.c_str());
}

// ---- The editor at a screen scale ----



// A factor before attaching gives a view and a window of the scaled size; a
// drag at the scaled position of Low Gain is that knob's gesture.
TEST_P(X11ScaledEditor, OpensAtTheHostsFactorAndTakesEditsWhereTheControlsAre) {
  const int percent = GetParam();
  AttachScaled(percent);
  ExpectEditorWindowOf(Scaled(kEditorW, percent), Scaled(kEditorH, percent));
  EXPECT_EQ(view->canResize(), kResultFalse);
  ViewRect asked(0, 0, 640, 480);
  EXPECT_EQ(view->checkSizeConstraint(&asked), kResultTrue);
  EXPECT_EQ(asked.getWidth(), Scaled(kEditorW, percent));

  const double before = Param(kLowGain);
  const int x = Scaled(kLowGainX, percent), y = Scaled(kLowGainY, percent);
  User().MoveTo(x, y);
  User().Press(1);
  for (int step = 1; step <= 10; ++step) {
    User().MoveTo(x, y - Scaled(6 * step, percent));
    Serve(30);
  }
  User().Release(1);
  Serve(200);
  EXPECT_GT(Param(kLowGain), before);
  const auto edits = EditsOf(kLowGain);
  ASSERT_GE(edits.size(), 3u);
  EXPECT_EQ(edits.front().kind, 'b');
  EXPECT_EQ(edits.back().kind, 'e');
  for (size_t i = 1; i + 1 < edits.size(); ++i) EXPECT_EQ(edits[i].kind, 'p');
  const std::string name = "editor_scale_" + std::to_string(percent) + ".png";
  Screenshot(name.c_str());
}

INSTANTIATE_TEST_SUITE_P(Scales, X11ScaledEditor, ::testing::Values(100, 150, 200));

// A new factor while attached: the view asks its frame for the new size, the
// window follows, getSize agrees; nonsense factors change nothing.
TEST_F(X11BundleEditor, ANewFactorWhileAttachedResizesTheViewThroughItsFrame) {
  host = std::make_unique<x11test::HostWindow>(2440, 1180);
  ASSERT_EQ(Attach(&frame), kResultOk);
  ASSERT_EQ(SetContentScale(view, 2.0f), kResultTrue);
  Serve(200);
  EXPECT_EQ(frame.resizes, 1);
  EXPECT_EQ(frame.lastSize.getWidth(), 2440);
  EXPECT_EQ(frame.lastSize.getHeight(), 1180);
  ViewRect size;
  ASSERT_EQ(view->getSize(&size), kResultOk);
  EXPECT_EQ(size.getWidth(), 2440);
  int w = 0, h = 0;
  ASSERT_TRUE(host->WindowSize(host->Children().at(0), &w, &h));
  EXPECT_EQ(w, 2440);
  EXPECT_EQ(h, 1180);
  for (float nonsense : {0.0f, -1.0f, std::nanf("")}) EXPECT_EQ(SetContentScale(view, nonsense), kResultFalse);
  EXPECT_EQ(SetContentScale(view, 7.0f), kResultTrue);  // clamped to 200 %: no change
  EXPECT_EQ(frame.resizes, 1);
  // The whole picture is drawn at the new size: the bottom-right corner
  // shows the link's artwork, not an empty window.
  EXPECT_NE(host->ReadPixels(host->Children().at(0), 2439, 1179, 1, 1).at(0), 0u);
}

// The secondary button on the background offers the sizes; the pick resizes
// the editor through the host's frame, is remembered in the user's settings
// file, and a new instance opens at it.
TEST_F(X11BundleEditor, TheBackgroundMenuPicksTheSizeForThisAndNewEditors) {
  ConfigFolder config;
  host = std::make_unique<x11test::HostWindow>(1830, 885);
  ASSERT_EQ(Attach(&frame), kResultOk);
  const std::string menuShot = x11test::ScreenshotPath(MORVANTE_SCREENSHOT_DIR, "editor_size_menu.png");
  std::atomic<bool> sawMenu{false};
  std::thread menuUser([&] {
    x11test::XUser user;
    std::vector<x11test::XUser::Area> menus;
    sawMenu = user.WaitForPopups(1, 4000, &menus);
    usleep(150000);
    if (!sawMenu) return;
    user.WriteScreenshot(menuShot, 400, 700);
    // 100, 125, 150 %.
    for (int i = 0; i < 3; ++i) user.TypeKey(XK_Down);
    user.TypeKey(XK_Return);
  });
  User().Click(kBackgroundX, kBackgroundY, 3);
  loop.RunUntil([&] { return frame.resizes > 0; }, 5000);
  menuUser.join();
  ASSERT_TRUE(sawMenu);
  EXPECT_EQ(frame.resizes, 1);
  EXPECT_EQ(frame.lastSize.getWidth(), 1830);
  EXPECT_EQ(frame.lastSize.getHeight(), 885);
  EXPECT_NE(config.Read().find("scale=150\n"), std::string::npos) << config.Read();
  Serve(200);
  Screenshot("editor_after_size_menu.png");

  // Another instance, as in a new project.
  PluginInstance second(Module().Factory(), kMorvanteCid);
  ASSERT_EQ(second.component->initialize(&application), kResultOk);
  IPlugView* secondView = second.controller->createView("editor");
  ASSERT_NE(secondView, nullptr);
  ViewRect size;
  ASSERT_EQ(secondView->getSize(&size), kResultOk);
  EXPECT_EQ(size.getWidth(), 1830);
  EXPECT_EQ(size.getHeight(), 885);
  secondView->release();
  second.component->terminate();
}
