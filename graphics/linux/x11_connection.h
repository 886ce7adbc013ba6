// An X connection of the plug-in's own. Xlib reports errors through one
// process-wide handler; while any of our connections is open a handler is in
// place that swallows the errors of our connections (a host that destroys
// its window before telling the editor must not end the process) and hands
// every other error to the handler that was there before.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

class X11Connection {
public:
  // Opens the display the host runs on (null name: the usual one).
  X11Connection();
  ~X11Connection();
  X11Connection(const X11Connection&) = delete;
  X11Connection& operator=(const X11Connection&) = delete;

  bool IsOpen() const { return mDisplay != nullptr; }
  Display* Get() const { return mDisplay; }
  int Fd() const;
  // Number of errors seen on this connection since the last call.
  int TakeErrorCount();
  // Waits until the server has handled every request; true when none of
  // them failed.
  bool SyncWithoutErrors();

private:
  Display* mDisplay = nullptr;
};

// A 24-bit true-colour visual whose pixels are 0x00RRGGBB, the layout of the
// engine's bitmaps without alpha. False when the screen has none.
bool FindRgbVisual(Display* display, int screen, XVisualInfo* info);
