// The host's side of an embedded editor in the tests: a top-level window on
// the host's own X connection, the XTest "user" that moves the pointer and
// presses buttons and keys, and pixels read back from the server.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Xlib's types without its macros (None, Bool, ...), which clash with the
// project's and the test framework's names.
struct _XDisplay;

namespace x11test {

using XWindowId = unsigned long;

// dir/name for a screenshot, with dir made if it is not there yet (tests
// run in any order, and any of them may write first).
std::string ScreenshotPath(const std::string& dir, const char* name);

// The user at the keyboard and mouse, on an X connection of its own so that
// it can act from another thread while the editor's thread is busy (a menu
// waiting for a pick). Positions are screen pixels.
class XUser {
public:
  XUser();
  ~XUser();
  XUser(const XUser&) = delete;
  XUser& operator=(const XUser&) = delete;

  void MoveTo(int x, int y);
  void Press(unsigned int button);
  void Release(unsigned int button);
  void Click(int x, int y, unsigned int button = 1);
  // A key by its key symbol, with Shift or Control held when asked.
  void TypeKey(unsigned long keysym, bool shift = false, bool control = false);
  void KeyDown(unsigned long keysym);
  void KeyUp(unsigned long keysym);
  // Waits until n override-redirect windows (pop-up menus) are mapped;
  // false after timeoutMs. Their screen rectangles, in stacking order.
  struct Area {
    int x, y, w, h;
  };
  bool WaitForPopups(size_t n, int timeoutMs, std::vector<Area>* areas = nullptr);
  // The screen's top-left w x h as a PNG file.
  bool WriteScreenshot(const std::string& path, int w, int h) const;

private:
  void Sync() const;
  _XDisplay* mDisplay = nullptr;
};

class HostWindow {
public:
  // A w x h top-level window at the screen's origin, mapped and shown.
  HostWindow(int w, int h);
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  bool IsOpen() const { return mWindow != 0; }
  _XDisplay* GetDisplay() const { return mDisplay; }
  XWindowId Id() const { return mWindow; }
  // The children of the window (the editor's window once attached).
  std::vector<XWindowId> Children() const;
  // A window's size as the server has it; false when it cannot be asked.
  bool WindowSize(XWindowId window, int* w, int* h) const;

  // The user; the window lies at the screen's origin, so window pixels are
  // screen pixels.
  XUser& User() { return mUser; }

  // Pixels 0x00RRGGBB of a window's area as the server shows it.
  std::vector<uint32_t> ReadPixels(XWindowId window, int x, int y, int w, int h) const;
  // The host window's picture as a PNG file.
  bool WriteScreenshot(const std::string& path) const;
  // Key presses the editor sent on to this window since the last call.
  int TakeForwardedKeyPresses();

private:
  void Sync() const;

  XUser mUser;
  _XDisplay* mDisplay = nullptr;
  XWindowId mWindow = 0;
  int mWidth = 0;
  int mHeight = 0;
};

}  // namespace x11test
