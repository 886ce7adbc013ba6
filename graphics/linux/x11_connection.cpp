#include "graphics/linux/x11_connection.h"

#include <mutex>
#include <vector>

namespace {
// Guards the list and the chained handler; the handler runs on whichever
// thread talks to the failing display.
std::mutex& RegistryMutex() {
  static std::mutex m;
  return m;
}
struct Entry {
  Display* display;
  int errors;
};
std::vector<Entry>& Registry() {
  static std::vector<Entry> entries;
  return entries;
}
XErrorHandler gPreviousHandler = nullptr;

int SwallowOurErrors(Display* display, XErrorEvent* event) {
  XErrorHandler previous = nullptr;
  {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    for (Entry& e : Registry()) {
      if (e.display == display) {
        ++e.errors;
        return 0;
      }
    }
    previous = gPreviousHandler;
  }
  return previous ? previous(display, event) : 0;
}

void Register(Display* display) {
  std::lock_guard<std::mutex> lock(RegistryMutex());
  if (Registry().empty()) gPreviousHandler = XSetErrorHandler(SwallowOurErrors);
  Registry().push_back({display, 0});
}

void Unregister(Display* display) {
  std::lock_guard<std::mutex> lock(RegistryMutex());
  auto& entries = Registry();
  for (auto it = entries.begin(); it != entries.end(); ++it) {
    if (it->display == display) {
      entries.erase(it);
      break;
    }
  }
  if (!entries.empty()) return;
  // Put the earlier handler back, unless someone replaced ours meanwhile.
  XErrorHandler current = XSetErrorHandler(gPreviousHandler);
  if (current != SwallowOurErrors) XSetErrorHandler(current);
  gPreviousHandler = nullptr;
}
}  // namespace

X11Connection::X11Connection() {
  mDisplay = XOpenDisplay(nullptr);
  if (mDisplay) Register(mDisplay);
}

X11Connection::~X11Connection() {
  if (!mDisplay) return;
  // Errors of the last requests still arrive through our handler.
  XSync(mDisplay, False);
  Display* closed = mDisplay;
  XCloseDisplay(mDisplay);
  // Only the address is compared from here on.
  Unregister(closed);
}

int X11Connection::Fd() const { return mDisplay ? ConnectionNumber(mDisplay) : -1; }

int X11Connection::TakeErrorCount() {
  std::lock_guard<std::mutex> lock(RegistryMutex());
  for (Entry& e : Registry()) {
    if (e.display == mDisplay) {
      const int n = e.errors;
      e.errors = 0;
      return n;
    }
  }
  return 0;
}

bool X11Connection::SyncWithoutErrors() {
  if (!mDisplay) return false;
  TakeErrorCount();
  XSync(mDisplay, False);
  return TakeErrorCount() == 0;
}

bool FindRgbVisual(Display* display, int screen, XVisualInfo* info) {
  if (!XMatchVisualInfo(display, screen, 24, TrueColor, info)) return false;
  return info->red_mask == 0xFF0000 && info->green_mask == 0xFF00 && info->blue_mask == 0xFF;
}
