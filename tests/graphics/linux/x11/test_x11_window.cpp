// The editor's window in a host's window: embedding, the run loop,
// presenting, and input in editor pixels.
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "framework/wdl_string.h"
#include "graphics/controls/icaption_control.h"
#include "lice/lice_sysbitmap.h"
#include "tests/graphics/graphics_test_support.h"
#include "tests/graphics/linux/x11/x11_engine_fixture.h"

// Last: Xlib's macros would clash with the names above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace {
const IRECT kPad(50, 40, 150, 140);

// Fills its rectangle with a colour a test can change.
class FillControl : public IControl {
public:
  FillControl(IPlugBase* plug, IRECT rect, IColor color) : IControl(plug, rect), color(color) {}
  bool Draw(IGraphics* graphics) override {
    ++draws;
    return graphics->FillIRect(&color, &mRECT);
  }
  IColor color;
  int draws = 0;
};
}  // namespace

TEST_F(X11EngineTest, OpensAChildOfTheHostsWindowOnTheHostsRunLoopAndClosesWithoutTrace) {
  ASSERT_TRUE(Open());
  ASSERT_EQ(host->Children().size(), 1u);
  const x11test::XWindowId editor = host->Children()[0];
  EXPECT_EQ(gui->GetXWindow(), editor);
  XWindowAttributes a;
  ASSERT_TRUE(XGetWindowAttributes(host->GetDisplay(), editor, &a));
  EXPECT_EQ(a.x, 0);
  EXPECT_EQ(a.y, 0);
  EXPECT_EQ(a.width, kW);
  EXPECT_EQ(a.height, kH);
  EXPECT_EQ(a.map_state, IsViewable);
  // One 25-per-second timer and the connection's descriptor.
  EXPECT_EQ(loop.NumTimers(), 1);
  EXPECT_EQ(loop.NumFds(), 1);

  gui->CloseWindow();
  EXPECT_FALSE(gui->WindowIsOpen());
  EXPECT_EQ(loop.NumTimers(), 0);
  EXPECT_EQ(loop.NumFds(), 0);
  EXPECT_TRUE(host->Children().empty());

  // Again, as often as a host likes.
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(Open());
    EXPECT_EQ(host->Children().size(), 1u);
    gui->CloseWindow();
  }
  EXPECT_TRUE(host->Children().empty());
  EXPECT_EQ(loop.NumTimers() + loop.NumFds(), 0);
}

TEST_F(X11EngineTest, OpensNothingWithoutARunLoopOrAParentThatExists) {
  plug->AttachGraphics(gui);
  attached = true;
  EXPECT_EQ(gui->OpenWindow(reinterpret_cast<void*>(host->Id())), nullptr);
  EXPECT_FALSE(gui->OpenWindowOnRunLoop(reinterpret_cast<void*>(host->Id()), nullptr));
  EXPECT_FALSE(
      gui->OpenWindowOnRunLoop(reinterpret_cast<void*>(0x7FFFFF0), std::make_unique<PollLoopRunLoop>(&loop)));
  EXPECT_EQ(loop.NumTimers() + loop.NumFds(), 0);
  EXPECT_TRUE(host->Children().empty());
}

TEST_F(X11EngineTest, TheWindowShowsTheDrawBitmapAndRedrawsWhatChanges) {
  auto* pad = new FillControl(plug.get(), kPad, IColor(255, 200, 10, 10));
  gui->AttachControl(pad);
  ASSERT_TRUE(Open());
  const int drawsAtOpen = pad->draws;
  EXPECT_GE(drawsAtOpen, 1);
  EXPECT_EQ(host->ReadPixels(gui->GetXWindow(), 60, 60, 1, 1)[0], 0xC80A0Au);
  pad->color = IColor(255, 0, 192, 128);
  pad->SetDirty(false);
  Serve(150);
  EXPECT_GT(pad->draws, drawsAtOpen);
  LICE_SysBitmap* bitmap = gui->GetDrawBitmap();
  const std::vector<uint32_t> shown = host->ReadPixels(gui->GetXWindow(), 0, 0, kW, kH);
  ASSERT_EQ(shown.size(), static_cast<size_t>(kW * kH));
  int differing = 0;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      if ((bitmap->getBits()[y * bitmap->getRowSpan() + x] & 0xFFFFFF) != shown[static_cast<size_t>(y) * kW + x])
        ++differing;
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(shown[static_cast<size_t>(60) * kW + 60], 0x00C080u);
  EXPECT_EQ(shown[5], 0x283C50u);  // the panel

  // Something covering the window and going away: the expose redraws it.
  Display* d = host->GetDisplay();
  Window cover = XCreateSimpleWindow(d, host->Id(), 0, 0, 200, 200, 0, 0, 0xFF0000);
  XMapRaised(d, cover);
  XSync(d, False);
  Serve(50);
  XDestroyWindow(d, cover);
  XSync(d, False);
  Serve(100);
  EXPECT_EQ(host->ReadPixels(gui->GetXWindow(), 60, 60, 1, 1)[0], 0x00C080u);
  EXPECT_EQ(host->ReadPixels(gui->GetXWindow(), 5, 5, 1, 1)[0], 0x283C50u);
}

TEST_F(X11EngineTest, ButtonsDragsAndTheWheelReachTheEngineInEditorPixels) {
  RecordingControl* pad = AttachRecording(*gui, plug.get(), kPad, -1, "pad");
  ASSERT_TRUE(Open());
  User().Click(60, 70);
  Serve(60);
  ASSERT_GE(pad->events.size(), 2u);
  EXPECT_EQ(pad->events[0], "pad down 60,70");
  EXPECT_EQ(pad->events[1], "pad up 60,70");

  // A drag keeps its control outside the control and outside the window.
  pad->events.clear();
  Serve(500);  // no double-click with the click above
  User().MoveTo(100, 100);
  User().Press(1);
  User().MoveTo(120, 90);
  Serve(40);
  User().MoveTo(380, 280);
  Serve(40);
  User().Release(1);
  Serve(60);
  // Released outside the window, the pointer has left the editor.
  ASSERT_EQ(pad->events.size(), 5u);
  EXPECT_EQ(pad->events[4], "pad out");
  EXPECT_EQ(pad->events[0], "pad down 100,100");
  EXPECT_EQ(pad->events[1], "pad drag 120,90");
  EXPECT_EQ(pad->drags[0].dX, 20);
  EXPECT_EQ(pad->drags[0].dY, -10);
  EXPECT_EQ(pad->events[2], "pad drag 380,280");
  EXPECT_EQ(pad->events[3], "pad up 380,280");

  // Two quick presses close together are a double-click.
  pad->events.clear();
  Serve(500);
  User().Click(70, 70);
  User().Click(72, 71);
  Serve(60);
  ASSERT_EQ(pad->events.size(), 4u);
  EXPECT_EQ(pad->events[2], "pad dbl 72,71");
  // Far apart they are two clicks.
  pad->events.clear();
  Serve(500);
  User().Click(70, 70);
  User().Click(120, 120);
  Serve(60);
  ASSERT_EQ(pad->events.size(), 4u);
  EXPECT_EQ(pad->events[2], "pad down 120,120");

  // Wheel up and down one step each; the horizontal wheel is ignored.
  pad->events.clear();
  User().MoveTo(80, 80);
  User().Click(80, 80, 4);
  User().Click(80, 80, 4);
  User().Click(80, 80, 5);
  User().Click(80, 80, 6);
  User().Click(80, 80, 7);
  Serve(60);
  EXPECT_EQ(pad->wheel, 1);
  EXPECT_EQ(std::count(pad->events.begin(), pad->events.end(), "pad wheel 80,80"), 3);
}

TEST_F(X11EngineTest, TheSecondaryButtonAndControlClickAskTheHostForItsMenu) {
  auto* caption = new ICaptionControl(plug.get(), kPad, kGain, nullptr);
  gui->AttachControl(caption);
  ASSERT_TRUE(Open());
  User().Click(60, 60, 3);
  Serve(60);
  User().MoveTo(70, 80);
  User().KeyDown(XK_Control_L);
  User().Click(70, 80, 1);
  User().KeyUp(XK_Control_L);
  Serve(60);
  EXPECT_EQ(std::count(plug->log.begin(), plug->log.end(), "host menu 0"), 2);
  EXPECT_FALSE(gui->TextEntryIsOpen());
}

TEST_F(X11EngineTest, KeysGoToTheEngineWithThePointersPlaceAndTheRestToTheHost) {
  RecordingControl* pad = AttachRecording(*gui, plug.get(), kPad, -1, "pad");
  ASSERT_TRUE(Open());
  // The editor does not take the keyboard focus until it is clicked.
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(host->GetDisplay(), &focus, &revert);
  EXPECT_EQ(focus, host->Id());
  User().Click(60, 60);
  Serve(60);
  XGetInputFocus(host->GetDisplay(), &focus, &revert);
  EXPECT_EQ(focus, gui->GetXWindow());
  pad->events.clear();
  host->TakeForwardedKeyPresses();
  User().MoveTo(100, 110);
  User().TypeKey(XK_q);
  User().TypeKey(XK_q, true);
  User().TypeKey(XK_7);
  User().TypeKey(XK_space);
  User().TypeKey(XK_Up);
  User().TypeKey(XK_Right);
  Serve(80);
  const std::vector<std::string> expected = {"pad key 31 100,110", "pad key 31 100,110", "pad key 12 100,110",
                                             "pad key 0 100,110", "pad key 1 100,110", "pad key 4 100,110"};
  EXPECT_EQ(pad->events, expected);
  // Only Shift, which has no code, went on to the host.
  EXPECT_EQ(host->TakeForwardedKeyPresses(), 1);

  // Keys without a code, and keys the engine declines, go on to the host:
  // F1, Shift, "!" and the declined "a".
  pad->events.clear();
  User().TypeKey(XK_F1);
  User().TypeKey(XK_exclam, true);
  pad->takesKeys = false;
  User().TypeKey(XK_a);
  Serve(80);
  EXPECT_EQ(pad->events, std::vector<std::string>{"pad key 15 100,110"});
  EXPECT_EQ(host->TakeForwardedKeyPresses(), 4);
}

TEST_F(X11EngineTest, AWindowTheHostDestroysFirstIsForgottenWithoutHarm) {
  ASSERT_TRUE(Open());
  XDestroySubwindows(host->GetDisplay(), host->Id());
  XSync(host->GetDisplay(), False);
  Serve(100);
  EXPECT_FALSE(gui->WindowIsOpen());
  EXPECT_EQ(loop.NumTimers() + loop.NumFds(), 0);
  gui->CloseWindow();
  ASSERT_TRUE(Open());
  EXPECT_EQ(host->Children().size(), 1u);
}

TEST_F(X11EngineTest, ResizingTheEngineResizesItsWindow) {
  ASSERT_TRUE(Open());
  gui->Resize(200, 120);
  Serve(50);
  XWindowAttributes a;
  ASSERT_TRUE(XGetWindowAttributes(host->GetDisplay(), gui->GetXWindow(), &a));
  EXPECT_EQ(a.width, 200);
  EXPECT_EQ(a.height, 120);
  // The controls stay; one more over all of them fills the new size.
  gui->AttachControl(new FillControl(plug.get(), IRECT(0, 0, 200, 120), IColor(255, 0, 0, 255)));
  IRECT all(0, 0, 200, 120);
  gui->Draw(&all);
  EXPECT_EQ(host->ReadPixels(gui->GetXWindow(), 199, 119, 1, 1)[0], 0x0000FFu);
}

TEST_F(X11EngineTest, TheClipboardsTextArrivesAndASilentClipboardTimesOut) {
  ASSERT_TRUE(Open());
  WDL_String text("x");
  // Nobody owns the clipboard.
  EXPECT_FALSE(gui->GetTextFromClipboard(&text));
  EXPECT_STREQ(text.Get(), "");

  // Another program owns it and answers requests for UTF-8 text.
  std::atomic<bool> owning{false};
  std::atomic<bool> stop{false};
  std::thread owner([&] {
    Display* d = XOpenDisplay(nullptr);
    Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
    const Atom clipboard = XInternAtom(d, "CLIPBOARD", False);
    const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    XSetSelectionOwner(d, clipboard, w, CurrentTime);
    XSync(d, False);
    owning = true;
    while (!stop.load()) {
      while (XPending(d)) {
        XEvent e;
        XNextEvent(d, &e);
        if (e.type != SelectionRequest) continue;
        const XSelectionRequestEvent& r = e.xselectionrequest;
        const char* answer = "-3.5 dB \xC3\xA9";
        XChangeProperty(d, r.requestor, r.property, utf8, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(answer), static_cast<int>(strlen(answer)));
        XEvent notify{};
        notify.xselection.type = SelectionNotify;
        notify.xselection.requestor = r.requestor;
        notify.xselection.selection = r.selection;
        notify.xselection.target = r.target;
        notify.xselection.property = r.property;
        notify.xselection.time = r.time;
        XSendEvent(d, r.requestor, False, 0, &notify);
        XFlush(d);
      }
      usleep(2000);
    }
    XDestroyWindow(d, w);
    XCloseDisplay(d);
  });
  while (!owning.load()) usleep(1000);
  EXPECT_TRUE(gui->GetTextFromClipboard(&text));
  EXPECT_STREQ(text.Get(), "-3.5 dB \xC3\xA9");
  stop = true;
  owner.join();
}

TEST_F(X11EngineTest, AHiddenCursorComesBackWhereItWasHidden) {
  ASSERT_TRUE(Open());
  User().MoveTo(120, 80);
  gui->HideMouseCursor();
  User().MoveTo(300, 250);
  gui->ShowMouseCursor();
  Window root = 0;
  Window child = 0;
  int x = 0;
  int y = 0;
  int wx = 0;
  int wy = 0;
  unsigned int mask = 0;
  XQueryPointer(host->GetDisplay(), DefaultRootWindow(host->GetDisplay()), &root, &child, &x, &y, &wx, &wy, &mask);
  EXPECT_EQ(x, 120);
  EXPECT_EQ(y, 80);
  // Showing twice does nothing more.
  User().MoveTo(10, 10);
  gui->ShowMouseCursor();
  XQueryPointer(host->GetDisplay(), DefaultRootWindow(host->GetDisplay()), &root, &child, &x, &y, &wx, &wy, &mask);
  EXPECT_EQ(x, 10);
}

// The desktop's scale when neither host nor user gave one: GDK_SCALE first,
// else the X resource Xft.dpi over 96 as the nearest step, else nothing.
TEST_F(X11EngineTest, TheDesktopsScaleComesFromGdkScaleElseXftDpi) {
  Display* display = host->GetDisplay();
  const Window root = DefaultRootWindow(display);
  auto setResources = [&](const char* text) {
    if (text)
      XChangeProperty(display, root, XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(text), static_cast<int>(std::strlen(text)));
    else
      XDeleteProperty(display, root, XA_RESOURCE_MANAGER);
    XSync(display, False);
  };
  unsetenv("GDK_SCALE");
  setResources(nullptr);
  EXPECT_EQ(gui->DesktopScalePercent(), 0);
  setResources("Xft.antialias:\t1\nXft.dpi:\t144\n");
  EXPECT_EQ(gui->DesktopScalePercent(), 150);
  setResources("Xft.dpi: 120\n");
  EXPECT_EQ(gui->DesktopScalePercent(), 125);
  setResources("Xft.dpi:\t480\n");  // beyond the range: the largest
  EXPECT_EQ(gui->DesktopScalePercent(), 200);
  setResources("NotXft.dpi:\t192\nXft.dpi:\tnone\n");
  EXPECT_EQ(gui->DesktopScalePercent(), 0);
  setenv("GDK_SCALE", "2", 1);
  EXPECT_EQ(gui->DesktopScalePercent(), 200);
  setenv("GDK_SCALE", "x", 1);  // unreadable: the resource decides
  setResources("Xft.dpi:\t144\n");
  EXPECT_EQ(gui->DesktopScalePercent(), 150);
  // The engine opens at it, unless the host says otherwise.
  EXPECT_EQ(gui->ViewWidth(), (gui->Width() * 150 + 50) / 100);
  unsetenv("GDK_SCALE");
  setResources(nullptr);
}
