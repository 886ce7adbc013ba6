// Turning X input into the engine's terms: key codes, modifiers and the
// double-click rule. Pure functions of the event fields, so they are tested
// without a server.
#pragma once

#include "graphics/igraphics_types.h"

// The engine's code for a key symbol (X11 KeySym): space 0, arrows up, down,
// left, right 1..4, digits 5..14, letters 15..40 in either case; -1 for
// every other key, which is left to the host.
int EngineKeyCode(unsigned long keysym);

// Mouse buttons as the engine sees them.
enum class X11Button { kNone, kPrimary, kSecondary, kWheelUp, kWheelDown, kIgnored };

// X button number 1..7 (button 2, the middle button, and 6/7, the
// horizontal wheel, are ignored).
X11Button ClassifyButton(unsigned int button);

// Modifiers from an event's state; primary/secondary from the button that
// acts (or, for motion, from the buttons held). Control with the primary
// button counts as the secondary press.
IMouseMod MouseModFromState(unsigned int state, X11Button button);

// Two primary presses make a double-click when the second comes within
// kDoubleClickMs of the first and within kDoubleClickSlop pixels of it. A
// double-click is not the start of another one.
class DoubleClickDetector {
public:
  static constexpr unsigned long kDoubleClickMs = 400;
  static constexpr int kDoubleClickSlop = 4;
  // A press at server time `time`; true when it completes a double-click.
  bool Press(unsigned long time, int x, int y);
  void Reset() { mHavePress = false; }

private:
  bool mHavePress = false;
  unsigned long mTime = 0;
  int mX = 0;
  int mY = 0;
};
