#include "graphics/linux/x11_input.h"

#include <X11/X.h>
#include <X11/keysym.h>

#include <cstdlib>

int EngineKeyCode(unsigned long keysym) {
  switch (keysym) {
    case XK_space: return 0;
    case XK_Up: case XK_KP_Up: return 1;
    case XK_Down: case XK_KP_Down: return 2;
    case XK_Left: case XK_KP_Left: return 3;
    case XK_Right: case XK_KP_Right: return 4;
    default: break;
  }
  if (keysym >= XK_0 && keysym <= XK_9) return 5 + static_cast<int>(keysym - XK_0);
  if (keysym >= XK_a && keysym <= XK_z) return 15 + static_cast<int>(keysym - XK_a);
  if (keysym >= XK_A && keysym <= XK_Z) return 15 + static_cast<int>(keysym - XK_A);
  return -1;
}

X11Button ClassifyButton(unsigned int button) {
  switch (button) {
    case Button1: return X11Button::kPrimary;
    case Button3: return X11Button::kSecondary;
    case Button4: return X11Button::kWheelUp;
    case Button5: return X11Button::kWheelDown;
    case 0: return X11Button::kNone;
    default: return X11Button::kIgnored;
  }
}

IMouseMod MouseModFromState(unsigned int state, X11Button button) {
  const bool shift = (state & ShiftMask) != 0;
  const bool control = (state & ControlMask) != 0;
  const bool alt = (state & Mod1Mask) != 0;
  bool left = false;
  bool right = false;
  switch (button) {
    case X11Button::kPrimary: left = true; right = control; break;
    case X11Button::kSecondary: right = true; break;
    case X11Button::kNone:
      // Motion: what is held.
      left = (state & Button1Mask) != 0;
      right = (state & Button3Mask) != 0 || (left && control);
      break;
    default: break;
  }
  return IMouseMod(left, right, shift, control, alt);
}

bool DoubleClickDetector::Press(unsigned long time, int x, int y) {
  // Server time is a 32-bit millisecond counter that wraps.
  const unsigned long elapsed = (time - mTime) & 0xFFFFFFFFul;
  const bool isDouble = mHavePress && elapsed <= kDoubleClickMs && std::abs(x - mX) <= kDoubleClickSlop &&
                        std::abs(y - mY) <= kDoubleClickSlop;
  mHavePress = !isDouble;
  mTime = time;
  mX = x;
  mY = y;
  return isDouble;
}
