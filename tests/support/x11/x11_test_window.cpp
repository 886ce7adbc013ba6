#include "tests/support/x11/x11_test_window.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <sys/stat.h>
#include <unistd.h>

#include "lice/lice_bitmap.h"
#include "lice/lice_png.h"

namespace x11test {

namespace {
std::vector<uint32_t> ReadWindowPixels(Display* display, Window window, int x, int y, int w, int h) {
  std::vector<uint32_t> pixels;
  XImage* image = XGetImage(display, window, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h), AllPlanes,
                            ZPixmap);
  if (!image) return pixels;
  pixels.reserve(static_cast<size_t>(w) * h);
  for (int row = 0; row < h; ++row)
    for (int col = 0; col < w; ++col) pixels.push_back(static_cast<uint32_t>(XGetPixel(image, col, row)) & 0xFFFFFF);
  XDestroyImage(image);
  return pixels;
}

// The root window's pixels: what the user sees, children and menus included.
bool WriteRootScreenshot(Display* display, const std::string& path, int w, int h) {
  const std::vector<uint32_t> pixels = ReadWindowPixels(display, DefaultRootWindow(display), 0, 0, w, h);
  if (pixels.empty()) return false;
  LICE_MemBitmap bitmap(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      bitmap.getBits()[y * bitmap.getRowSpan() + x] = 0xFF000000u | pixels[static_cast<size_t>(y) * w + x];
  return LICE_WritePNG(path.c_str(), &bitmap);
}
}  // namespace

bool XUser::WriteScreenshot(const std::string& path, int w, int h) const {
  return WriteRootScreenshot(mDisplay, path, w, h);
}

XUser::XUser() : mDisplay(XOpenDisplay(nullptr)) {}

XUser::~XUser() {
  if (mDisplay) XCloseDisplay(mDisplay);
}

void XUser::Sync() const { XSync(mDisplay, False); }

void XUser::MoveTo(int x, int y) {
  XTestFakeMotionEvent(mDisplay, DefaultScreen(mDisplay), x, y, CurrentTime);
  Sync();
}

void XUser::Press(unsigned int button) {
  XTestFakeButtonEvent(mDisplay, button, True, CurrentTime);
  Sync();
}

void XUser::Release(unsigned int button) {
  XTestFakeButtonEvent(mDisplay, button, False, CurrentTime);
  Sync();
}

void XUser::Click(int x, int y, unsigned int button) {
  MoveTo(x, y);
  Press(button);
  Release(button);
}

void XUser::KeyDown(unsigned long keysym) {
  XTestFakeKeyEvent(mDisplay, XKeysymToKeycode(mDisplay, keysym), True, CurrentTime);
  Sync();
}

void XUser::KeyUp(unsigned long keysym) {
  XTestFakeKeyEvent(mDisplay, XKeysymToKeycode(mDisplay, keysym), False, CurrentTime);
  Sync();
}

void XUser::TypeKey(unsigned long keysym, bool shift, bool control) {
  if (shift) KeyDown(XK_Shift_L);
  if (control) KeyDown(XK_Control_L);
  KeyDown(keysym);
  KeyUp(keysym);
  if (control) KeyUp(XK_Control_L);
  if (shift) KeyUp(XK_Shift_L);
}

bool XUser::WaitForPopups(size_t n, int timeoutMs, std::vector<Area>* areas) {
  for (int waited = 0; waited <= timeoutMs; waited += 10) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    std::vector<Area> found;
    if (XQueryTree(mDisplay, DefaultRootWindow(mDisplay), &root, &parent, &children, &count)) {
      for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes a;
        if (XGetWindowAttributes(mDisplay, children[i], &a) && a.override_redirect && a.map_state == IsViewable)
          found.push_back({a.x, a.y, a.width, a.height});
      }
      if (children) XFree(children);
    }
    if (found.size() >= n) {
      if (areas) *areas = found;
      return true;
    }
    usleep(10000);
  }
  return false;
}


HostWindow::HostWindow(int w, int h) : mWidth(w), mHeight(h) {
  mDisplay = XOpenDisplay(nullptr);
  if (!mDisplay) return;
  const int screen = DefaultScreen(mDisplay);
  XSetWindowAttributes attributes{};
  attributes.background_pixel = 0x404040;
  attributes.event_mask = StructureNotifyMask | KeyPressMask | KeyReleaseMask;
  mWindow = XCreateWindow(mDisplay, RootWindow(mDisplay, screen), 0, 0, static_cast<unsigned>(w),
                          static_cast<unsigned>(h), 0, CopyFromParent, InputOutput, CopyFromParent,
                          CWBackPixel | CWEventMask, &attributes);
  XStoreName(mDisplay, mWindow, "MORVANTE test host");
  XMapWindow(mDisplay, mWindow);
  XEvent event;
  do {
    XWindowEvent(mDisplay, mWindow, StructureNotifyMask, &event);
  } while (event.type != MapNotify);
  // Without a window manager nobody else gives the host the keyboard.
  XSetInputFocus(mDisplay, mWindow, RevertToPointerRoot, CurrentTime);
  Sync();
}

HostWindow::~HostWindow() {
  if (!mDisplay) return;
  if (mWindow) XDestroyWindow(mDisplay, mWindow);
  XCloseDisplay(mDisplay);
}

std::vector<XWindowId> HostWindow::Children() const {
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned int n = 0;
  std::vector<XWindowId> result;
  if (XQueryTree(mDisplay, mWindow, &root, &parent, &children, &n)) {
    result.assign(children, children + n);
    if (children) XFree(children);
  }
  return result;
}

bool HostWindow::WindowSize(XWindowId window, int* w, int* h) const {
  Sync();
  XWindowAttributes a;
  if (!XGetWindowAttributes(mDisplay, window, &a)) return false;
  *w = a.width;
  *h = a.height;
  return true;
}

void HostWindow::Sync() const { XSync(mDisplay, False); }

std::vector<uint32_t> HostWindow::ReadPixels(XWindowId window, int x, int y, int w, int h) const {
  return ReadWindowPixels(mDisplay, window, x, y, w, h);
}

bool HostWindow::WriteScreenshot(const std::string& path) const {
  return WriteRootScreenshot(mDisplay, path, mWidth, mHeight);
}

int HostWindow::TakeForwardedKeyPresses() {
  Sync();
  int n = 0;
  XEvent event;
  while (XCheckWindowEvent(mDisplay, mWindow, KeyPressMask | KeyReleaseMask, &event))
    if (event.type == KeyPress && event.xkey.send_event) ++n;
  return n;
}

std::string ScreenshotPath(const std::string& dir, const char* name) {
  mkdir(dir.c_str(), 0755);
  return dir + "/" + name;
}

}  // namespace x11test
