#include "effect/morvante_layout.h"
#include "tests/stress/stress_editor.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "tests/stress/stress_instance.h"
#include "tests/support/x11/poll_loop.h"
#include "tests/support/x11/x11_test_window.h"
#include "tests/support/x11/xvfb_server.h"
#include "tests/vst3/host/morvante_ids.h"
#include "tests/vst3/x11/x11_plug_frame.h"
#include "tools/vst3_host/query_interface.h"

#if defined(__SANITIZE_ADDRESS__)
// fontconfig, which the bundle's text drawing starts, drops part of its
// parsed configuration at start-up; the bundle's own suppression is hidden
// inside it.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif

using namespace Steinberg;
using namespace Steinberg::Vst;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kEditorW = 1220;
constexpr int kEditorH = 590;
// The product link in the editor's bottom-right corner starts the
// desktop's browser: the random user keeps off it.
constexpr int kLinkLeft = 1120, kLinkTop = 560;

int Uniform(StressRng& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
bool Chance(StressRng& rng, double p) { return std::bernoulli_distribution(p)(rng); }

// The host's side of the edits the editor sends. Gestures are counted per
// parameter on the UI thread, where the editor makes them; a gesture the
// editor opens must be closed by the time it is gone.
class StressComponentHandler final : public IComponentHandler, public IComponentHandler3 {
public:
  explicit StressComponentHandler(StressReport& report) : mReport(report) {}

  tresult PLUGIN_API beginEdit(ParamID tag) override {
    CheckTag("beginEdit", tag);
    ++mOpen[tag];
    return kResultOk;
  }
  tresult PLUGIN_API performEdit(ParamID tag, ParamValue value) override {
    CheckTag("performEdit", tag);
    if (!(value >= 0.0 && value <= 1.0))
      mReport.Finding("the editor sent parameter " + std::to_string(tag) + " the value " + std::to_string(value));
    edits.fetch_add(1, std::memory_order_relaxed);
    return kResultOk;
  }
  tresult PLUGIN_API endEdit(ParamID tag) override {
    CheckTag("endEdit", tag);
    if (mOpen[tag] <= 0)
      mReport.Finding("the editor ended an edit of parameter " + std::to_string(tag) + " it never began");
    else
      --mOpen[tag];
    return kResultOk;
  }
  tresult PLUGIN_API restartComponent(int32) override { return kResultOk; }
  IContextMenu* PLUGIN_API createContextMenu(IPlugView*, const ParamID*) override {
    // The host's menu is a stack object: it pops up and is gone at once.
    mMenu.addRef();
    return &mMenu;
  }
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override {
    if (FUnknownPrivate::iidEqual(iid, IComponentHandler3::iid)) {
      addRef();
      *obj = static_cast<IComponentHandler3*>(this);
      return kResultOk;
    }
    return AnswerQueryInterface<IComponentHandler>(this, iid, obj);
  }
  uint32 PLUGIN_API addRef() override { return ++mRefs; }
  uint32 PLUGIN_API release() override { return --mRefs; }

  // Gestures still open, and forgets them so one fault is reported once.
  int TakeOpenGestures() {
    int open = 0;
    for (const auto& g : mOpen) open += g.second;
    mOpen.clear();
    return open;
  }
  int Menus() const { return mMenu.popups; }

  std::atomic<long> edits{0};

private:
  void CheckTag(const char* call, ParamID tag) {
    if (tag >= static_cast<ParamID>(morvante_ids::kNumParams))
      mReport.Finding(std::string("the editor called ") + call + " for the unknown parameter " + std::to_string(tag));
  }

  StressReport& mReport;
  std::map<ParamID, int> mOpen;
  TestContextMenu mMenu;
  std::atomic<int> mRefs{1};
};

// The windows the X server has at its top level (the host's window, and
// any pop-up an editor leaves behind).
int RootWindowCount(Display* display) {
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int n = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &n)) return -1;
  if (children) XFree(children);
  return static_cast<int>(n);
}

// The audio side: blocks with automation and restarts; now and then the
// host edits parameters or loads a state, which the open editor shows.
void RunEditorAudio(StressInstance& plug, StressRng rng, Clock::time_point end, StressReport& report) {
  if (!plug.Start(RandomSetup(rng))) return;
  int block = 0;
  while (KeepGoing(block, 50, end)) {
    plug.MaybeRestart(rng);
    plug.ProcessRandomBlock(rng, Uniform(rng, 0, 3) != 0);
    if (Chance(rng, 0.05)) plug.RandomEdits(rng);
    if (Chance(rng, 0.01)) {
      const StateSide& side = kStateSides[Uniform(rng, 0, kNumStateSides - 1)];
      std::vector<uint8_t> bytes;
      if (plug.SaveState(side, &bytes) && plug.RestoreState(side, bytes) == kResultOk)
        report.stateRoundTrips.fetch_add(1, std::memory_order_relaxed);
    }
  }
  plug.Stop();
}

// One opening: the host's calls, the user's input, the host's calls to
// close it, and what must be gone then.
class EditorSession {
public:
  EditorSession(StressInstance& plug, StressReport& report, x11test::HostWindow& host)
      : mPlug(plug), mReport(report), mHost(host), mHandler(report), mRootWindows(RootWindowCount(host.GetDisplay())) {
    mPlug.Plug().controller->setComponentHandler(&mHandler);
  }
  ~EditorSession() { mPlug.Plug().controller->setComponentHandler(nullptr); }

  void OpenDriveAndClose(StressRng& rng) {
    IPlugView* view = mPlug.Plug().controller->createView(ViewType::kEditor);
    if (!view) {
      mReport.Finding("createView(\"editor\") gave no view");
      return;
    }
    if (!Open(view)) {
      view->release();
      return;
    }
    mReport.editorOpenings.fetch_add(1, std::memory_order_relaxed);
    const int actions = Uniform(rng, 1, 12);
    for (int a = 0; a < actions; ++a) Act(rng);
    mLoop.RunFor(Uniform(rng, 0, 150));
    // Now and then the host closes the editor in the middle of a drag.
    const bool held = Chance(rng, 0.15);
    if (held) {
      mHost.User().MoveTo(RandomX(rng), RandomY(rng));
      mHost.User().Press(1);
      mLoop.RunFor(Uniform(rng, 0, 30));
      mHost.User().MoveTo(RandomX(rng), RandomY(rng));
      mLoop.RunFor(Uniform(rng, 0, 30));
    }
    // Most hosts remove the view before they release it; some only release.
    if (Chance(rng, 0.9)) {
      view->removed();
      view->setFrame(nullptr);
    }
    view->release();
    if (held) mHost.User().Release(1);
    mLoop.RunFor(Uniform(rng, 0, 20));
    CheckClosed();
    mReport.Progress();
  }

private:
  // A DAW's opening sequence.
  bool Open(IPlugView* view) {
    if (view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID) != kResultTrue) {
      mReport.Finding("the view does not support X11 windows");
      return false;
    }
    view->setFrame(&mFrame);
    ViewRect size;
    if (view->getSize(&size) != kResultOk || size.getWidth() != kEditorW || size.getHeight() != kEditorH)
      mReport.Finding("the view reported the size " + std::to_string(size.getWidth()) + " x " +
                      std::to_string(size.getHeight()));
    if (view->attached(reinterpret_cast<void*>(mHost.Id()), kPlatformTypeX11EmbedWindowID) != kResultOk) {
      mReport.Finding("the view refused to attach to the host's window");
      view->setFrame(nullptr);
      return false;
    }
    if (mHost.Children().size() != 1)
      mReport.Finding("the attached editor has " + std::to_string(mHost.Children().size()) + " windows");
    if (mFrame.NumTimers() != 1 || mFrame.NumHandlers() != 1)
      mReport.Finding("the attached editor registered " + std::to_string(mFrame.NumTimers()) + " timers and " +
                      std::to_string(mFrame.NumHandlers()) + " event handlers");
    return true;
  }

  int RandomX(StressRng& rng) { return Uniform(rng, 0, kEditorW - 1); }
  // Keeps off the link's corner.
  int RandomY(StressRng& rng, int x = 0) { return Uniform(rng, 0, (x >= kLinkLeft ? kLinkTop : kEditorH) - 1); }

  void Act(StressRng& rng) {
    x11test::XUser& user = mHost.User();
    const int x = RandomX(rng);
    const int y = RandomY(rng, x);
    switch (Uniform(rng, 0, 6)) {
      case 0: {  // a drag in small steps, as a hand makes it
        user.MoveTo(x, y);
        user.Press(1);
        const int steps = Uniform(rng, 1, 10);
        int px = x, py = y;
        for (int s = 0; s < steps; ++s) {
          px = std::min(std::max(px + Uniform(rng, -20, 20), 0), kEditorW - 1);
          py = std::min(std::max(py + Uniform(rng, -30, 30), 0), kEditorH - 1);
          user.MoveTo(px, py);
          mLoop.RunFor(Uniform(rng, 0, 15));
        }
        user.Release(1);
        break;
      }
      case 1:  // wheel steps up or down
        user.MoveTo(x, y);
        for (int n = Uniform(rng, 1, 5); n > 0; --n) {
          const unsigned int button = Chance(rng, 0.5) ? 4 : 5;
          user.Press(button);
          user.Release(button);
        }
        break;
      case 2: user.Click(x, y); break;
      case 3:  // a double-click
        user.Click(x, y);
        user.Click(x, y);
        break;
      case 4: {  // the secondary button on a control opens the host's menu; Escape leaves any menu
        // On the background it opens the editor's own menu, which waits for
        // a pick this user, on the editor's thread, cannot make.
        const MorvanteControlPlace& place = kMorvanteControlPlaces[Uniform(rng, 0, kNumMorvanteControlPlaces - 1)];
        user.Click(place.x + 4, place.y + 4, 3);
        mLoop.RunFor(Uniform(rng, 0, 10));
        user.TypeKey(XK_Escape);
        break;
      }
      case 5: {  // keys, which the editor passes on to the host
        const unsigned long keys[] = {XK_Escape, XK_Return, XK_Up, XK_Down, XK_space, XK_a, XK_Tab};
        user.TypeKey(keys[Uniform(rng, 0, 6)], Chance(rng, 0.2), Chance(rng, 0.2));
        break;
      }
      default: user.MoveTo(x, y); break;
    }
    mLoop.RunFor(Uniform(rng, 0, 25));
  }

  void CheckClosed() {
    if (!mHost.Children().empty())
      mReport.Finding("the closed editor left " + std::to_string(mHost.Children().size()) +
                      " windows in the host's window");
    const int rootWindows = RootWindowCount(mHost.GetDisplay());
    if (rootWindows != mRootWindows)
      mReport.Finding("the X server had " + std::to_string(mRootWindows) + " top-level windows before the editor opened and " +
                      std::to_string(rootWindows) + " after it closed");
    if (mFrame.NumTimers() + mFrame.NumHandlers() != 0 || mLoop.NumTimers() + mLoop.NumFds() != 0)
      mReport.Finding("the closed editor left " + std::to_string(mFrame.NumTimers()) + " timers and " +
                      std::to_string(mFrame.NumHandlers()) + " event handlers on the host's run loop");
    if (mFrame.References() != 1)
      mReport.Finding("the closed editor holds " + std::to_string(mFrame.References() - 1) +
                      " references to the host's frame");
    if (const int open = mHandler.TakeOpenGestures())
      mReport.Finding("the closed editor left " + std::to_string(open) + " edit gestures open");
    // Keys the editor passed on would pile up in the host's queue.
    mHost.TakeForwardedKeyPresses();
  }

  StressInstance& mPlug;
  StressReport& mReport;
  x11test::HostWindow& mHost;
  StressComponentHandler mHandler;
  x11test::PollLoop mLoop;
  // Outlives every view attached to it, as a host's frame does.
  X11PlugFrame mFrame{&mLoop, true};
  int mRootWindows;
};

}  // namespace

void RunEditorStress(IPluginFactory* factory, const StressOptions& options, Clock::time_point end,
                     StressReport& report) {
  if (x11test::XvfbDisplay().empty()) {
    std::printf("stress editor: skipped, no X server could be started: %s\n", x11test::XvfbFailure().c_str());
    return;
  }
  x11test::HostWindow host(kEditorW, kEditorH);
  if (!host.IsOpen()) {
    std::printf("stress editor: skipped, the host window could not be opened\n");
    return;
  }
  StressInstance plug(factory, report);
  if (!plug.Ok()) return;
  std::seed_seq uiSeed{static_cast<uint32_t>(options.seed), static_cast<uint32_t>(options.seed >> 32), 0xED170Au};
  std::seed_seq audioSeed{static_cast<uint32_t>(options.seed), static_cast<uint32_t>(options.seed >> 32), 0xA0D10u};
  StressRng uiRng(uiSeed);
  // The host's handler is set before the audio starts and taken away after
  // it stops, as hosts do.
  EditorSession session(plug, report, host);
  std::thread audio(RunEditorAudio, std::ref(plug), StressRng(audioSeed), end, std::ref(report));
  int opening = 0;
  while (KeepGoing(opening, 3, end)) session.OpenDriveAndClose(uiRng);
  audio.join();
}
