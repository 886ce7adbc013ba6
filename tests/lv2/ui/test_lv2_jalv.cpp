// MORVANTE's UI in a real LV2 host: jalv.gtk3 (Debian's jalv) on a dummy
// JACK server and the private X server, loading the plug-in from the built
// bundle by its URI. The host must embed our editor, not its generic UI:
// the editor's window shows the bundle's artwork, and the knob of a value
// the host set.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "effect/morvante_layout.h"
#include "framework/lv2/lv2_uris.h"
#include "lice/lice_bitmap.h"
#include "lice/lice_blit.h"
#include "lice/lice_combine.h"
#include "lice/lice_png.h"
#include "tests/lv2/ui/lv2_ui_host.h"
#include "tests/support/x11/x11_test_window.h"
#include "tests/support/x11/xvfb_server.h"

extern char** environ;

namespace {

// A program of the test's, its output in a log file; ended (and waited
// for) when the object goes.
class Child {
public:
  Child(std::vector<std::string> argv, const std::vector<std::string>& extraEnv, const std::string& log) {
    std::vector<std::string> env = extraEnv;
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    std::vector<char*> args;
    for (std::string& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    if (posix_spawnp(&mPid, args[0], &actions, nullptr, args.data(), envp.data()) != 0) mPid = 0;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~Child() { Stop(); }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  bool Started() const { return mPid > 0; }
  // Waits for the program to end by itself; its exit status, or -1.
  int Wait(int timeoutMs) {
    for (int waited = 0; mPid > 0 && waited <= timeoutMs; waited += 20) {
      int status = 0;
      if (waitpid(mPid, &status, WNOHANG) == mPid) {
        mPid = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      usleep(20000);
    }
    return -1;
  }
  // Asks it to end, then makes it; true when it ended when asked.
  bool Stop() {
    if (mPid <= 0) return true;
    kill(mPid, SIGTERM);
    const pid_t pid = mPid;
    if (Wait(5000) >= 0 || mPid == 0) return true;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    mPid = 0;
    return false;
  }

private:
  pid_t mPid = 0;
};

struct Geometry {
  Window window = 0;
  int x = 0, y = 0, w = 0, h = 0;
};

// The deepest viewable window of w x h under top, with its screen position.
Geometry FindWindowOfSize(Display* display, Window top, int w, int h) {
  Geometry found;
  std::vector<Window> pending = {top};
  while (!pending.empty()) {
    const Window window = pending.back();
    pending.pop_back();
    XWindowAttributes a;
    if (!XGetWindowAttributes(display, window, &a) || a.map_state != IsViewable) continue;
    if (a.width == w && a.height == h) {
      Window child = 0;
      found.window = window;
      XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &found.x, &found.y, &child);
      found.w = w;
      found.h = h;
    }
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int n = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &n)) {
      pending.insert(pending.end(), children, children + n);
      if (children) XFree(children);
    }
  }
  return found;
}

// jalv's main window: the top-level window named after the plug-in.
Geometry FindHostWindow(Display* display, const char* title) {
  Geometry found;
  Window root = 0, parent = 0, *children = nullptr;
  unsigned int n = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &n)) return found;
  for (unsigned int i = 0; i < n; ++i) {
    char* name = nullptr;
    XWindowAttributes a;
    if (XFetchName(display, children[i], &name) && name && std::string(name) == title &&
        XGetWindowAttributes(display, children[i], &a) && a.map_state == IsViewable)
      found = {children[i], a.x, a.y, a.width, a.height};
    if (name) XFree(name);
  }
  if (children) XFree(children);
  return found;
}

// A window's pixels 0x00RRGGBB, row by row, as the server shows them.
std::vector<uint32_t> ReadPixels(Display* display, Window window, int x0, int y0, int w, int h) {
  std::vector<uint32_t> pixels;
  XImage* image = XGetImage(display, window, x0, y0, static_cast<unsigned>(w), static_cast<unsigned>(h), AllPlanes,
                            ZPixmap);
  if (!image) return pixels;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) pixels.push_back(static_cast<uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF));
  XDestroyImage(image);
  return pixels;
}

// The Low Gain knob as the editor draws it for a frame: the frame blended
// over the artwork, as 0x00RRGGBB pixels row by row.
std::vector<uint32_t> DrawnLowGainKnob(int frame) {
  const std::string resources = std::string(MORVANTE_LV2_BUNDLE_DIR) + "resources/";
  std::unique_ptr<LICE_IBitmap> artwork(LICE_LoadPNG((resources + "BG.png").c_str()));
  std::unique_ptr<LICE_IBitmap> strip(LICE_LoadPNG((resources + "LGAIN.png").c_str()));
  const MorvanteControlPlace* knob = nullptr;
  for (const MorvanteControlPlace& place : kMorvanteControlPlaces)
    if (place.kind == kControlKnob && place.paramIdx == kLowGain) knob = &place;
  if (!artwork || !strip || !knob) return {};
  LICE_MemBitmap drawn(kKnobFrameWidth, kKnobFrameHeight);
  LICE_Blit(&drawn, artwork.get(), 0, 0, knob->x, knob->y, kKnobFrameWidth, kKnobFrameHeight, 1.0f, 0);
  LICE_Blit(&drawn, strip.get(), 0, 0, 0, (frame - 1) * kKnobFrameHeight, kKnobFrameWidth, kKnobFrameHeight, 1.0f,
            LICE_BLIT_USE_ALPHA);
  std::vector<uint32_t> pixels;
  for (int y = 0; y < kKnobFrameHeight; ++y)
    for (int x = 0; x < kKnobFrameWidth; ++x) pixels.push_back(drawn.getBits()[y * drawn.getRowSpan() + x] & 0xFFFFFF);
  return pixels;
}

std::vector<uint32_t> ShownLowGainKnob(Display* display, Window editor) {
  for (const MorvanteControlPlace& place : kMorvanteControlPlaces)
    if (place.kind == kControlKnob && place.paramIdx == kLowGain)
      return ReadPixels(display, editor, place.x, place.y, kKnobFrameWidth, kKnobFrameHeight);
  return {};
}

bool Poll(const std::function<bool()>& done, int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

}  // namespace

TEST(Lv2Jalv, EmbedsTheEditorOnADummyJackServer) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  // A sanitized module needs its runtime loaded first in the host, and jalv
  // hangs at start-up with the runtime preloaded.
  GTEST_SKIP() << "a sanitized UI module cannot run in the system's jalv";
#endif
  REQUIRE_X_SERVER();
  const std::string work = MORVANTE_JALV_WORK_DIR;
  mkdir(work.c_str(), 0755);
  // A folder holding only our bundle, searched before the system's
  // specifications, so that no other copy of MORVANTE is found.
  const std::string lv2Path = work + "/lv2";
  mkdir(lv2Path.c_str(), 0755);
  unlink((lv2Path + "/MORVANTE.lv2").c_str());
  ASSERT_EQ(symlink(MORVANTE_LV2_BUNDLE_DIR, (lv2Path + "/MORVANTE.lv2").c_str()), 0);

  // A server of our own name: other JACK servers on the machine are left
  // alone, and no client starts a default one.
  const std::string server = "morvante-test-" + std::to_string(getpid());
  const std::vector<std::string> jackEnv = {"JACK_DEFAULT_SERVER=" + server, "JACK_NO_START_SERVER=1"};
  Child jackd({"jackd", "--no-realtime", "-n", server, "-d", "dummy", "-r", "48000", "-p", "256"}, jackEnv,
              work + "/jackd.log");
  if (!jackd.Started()) GTEST_SKIP() << "jackd is not installed";
  Child waitForServer({"jack_wait", "-w", "-t", "10"}, jackEnv, work + "/jack_wait.log");
  if (!waitForServer.Started() || waitForServer.Wait(12000) != 0)
    GTEST_SKIP() << "no JACK server could be started (see " << work << "/jackd.log)";

  std::vector<std::string> jalvEnv = jackEnv;
  jalvEnv.push_back("LV2_PATH=" + lv2Path + ":/usr/lib/lv2");
  // The host sets Low Gain to -12 dB before the UI opens; the UI hears it
  // as a port event.
  Child jalv({"jalv.gtk3", "-c", "low_gain=-12", kLv2PluginUri}, jalvEnv, work + "/jalv.log");
  ASSERT_TRUE(jalv.Started()) << "jalv.gtk3 is not installed";

  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  std::unique_ptr<Display, int (*)(Display*)> closeDisplay(display, XCloseDisplay);
  Geometry host, editor;
  ASSERT_TRUE(Poll(
      [&] {
        host = FindHostWindow(display, "MORVANTE");
        if (host.window) editor = FindWindowOfSize(display, host.window, kEditorWidth, kEditorHeight);
        return editor.window != 0;
      },
      15000))
      << "no editor window in jalv's (see " << work << "/jalv.log)";

  // Bare artwork at the left: the panel's background, drawn by our editor.
  int differing = -1;
  EXPECT_TRUE(Poll(
      [&] {
        differing = lv2uitest::PixelsDifferingFromArtwork(
            ReadPixels(display, editor.window, lv2uitest::kArtworkPatchX, lv2uitest::kArtworkPatchY,
                       lv2uitest::kArtworkPatchSize, lv2uitest::kArtworkPatchSize));
        return differing == 0;
      },
      5000))
      << differing << " pixels differ from the artwork";

  // -12 dB is a quarter of the knob's range: frame 16 of its 61, not the
  // default's 31.
  const std::vector<uint32_t> atMinus12 = DrawnLowGainKnob(16);
  ASSERT_FALSE(atMinus12.empty());
  ASSERT_NE(atMinus12, DrawnLowGainKnob(31));
  EXPECT_TRUE(Poll([&] { return ShownLowGainKnob(display, editor.window) == atMinus12; }, 3000))
      << "the knob does not show the host's -12 dB";

  x11test::XUser user;
  EXPECT_TRUE(user.WriteScreenshot(x11test::ScreenshotPath(MORVANTE_SCREENSHOT_DIR, "lv2_jalv.png"), host.x + host.w,
                                   host.y + host.h));

  EXPECT_TRUE(jalv.Stop()) << "jalv did not end when asked";
  EXPECT_TRUE(jackd.Stop()) << "jackd did not end when asked";
}
