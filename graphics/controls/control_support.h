// Small things several controls share.
#pragma once

#include <cstdint>

class IControl;
struct IMouseMod;
struct IRECT;

// Which pointer movement a knob, fader or button row follows.
enum EDirection : int32_t { kVertical = 0, kHorizontal = 1 };

// Gearing every knob gets unless it asks for another: a drag over four times
// the knob's extent sweeps the whole range.
constexpr double DEFAULT_GEARING = 4.0;

// A value made safe for geometry: the plug-in may send anything (a first
// value is stored unclamped, NaN included), and converting NaN or a huge
// value to a position or an int is undefined.
inline double DrawableValue(double value) {
  if (!(value > 0.0)) return 0.0;
  return value < 1.0 ? value : 1.0;
}

// A press on a row of n areas, each standing for one value: the secondary
// button prompts; a press inside area j sets j / (n - 1) and sends it (a
// single area stands for 0: j / (n - 1) would be 0/0). A press outside every
// area does nothing.
void PickAreaValue(IControl* control, const IRECT* areas, int n, int x, int y, IMouseMod* mod);
