#include "effect/morvante_display_switch.h"

#include "graphics/igraphics.h"

namespace {
constexpr int kCornerRadius = 4;
constexpr int kLampRadius = 3;
constexpr int kLampInset = 12;
constexpr int kTextSize = 10;

struct SwitchColours {
  IColor fill, rim, lamp, text;
};
// The panel's quiet greys, and its value accent when lit.
const SwitchColours kUnlit{IColor(255, 0x1a, 0x1c, 0x20), IColor(255, 0x45, 0x4a, 0x52),
                           IColor(255, 0x2a, 0x3a, 0x3e), IColor(255, 0x85, 0x8b, 0x94)};
const SwitchColours kLit{IColor(255, 0x14, 0x33, 0x39), IColor(255, 0x3c, 0xc8, 0xdc),
                         IColor(255, 0x7c, 0xec, 0xfa), IColor(255, 0xe4, 0xe6, 0xea)};
}  // namespace

MorvanteDisplaySwitch::MorvanteDisplaySwitch(IPlugBase* plug, IRECT rect, std::function<void()> onPress)
    : IControl(plug, rect), mOnPress(std::move(onPress)) {
  // Two quick presses are two presses: open, then closed again.
  SetDblAsSingleClick(true);
  SetValue(0.0);
  mText = IText(kTextSize, kUnlit.text, "Helvetica", IText::kStyleBold, IText::kAlignCenter);
}

MorvanteDisplaySwitch::~MorvanteDisplaySwitch() = default;

void MorvanteDisplaySwitch::OnMouseDown(int, int, IMouseMod* mod) {
  if (mod && mod->R) return;
  if (mOnPress) mOnPress();
}

void MorvanteDisplaySwitch::SetLit(bool lit) {
  if (lit == IsLit()) return;
  SetValue(lit ? 1.0 : 0.0);
  SetDirty(false);
}

bool MorvanteDisplaySwitch::Draw(IGraphics* graphics) {
  const SwitchColours& c = IsLit() ? kLit : kUnlit;
  IRECT r = mRECT;
  graphics->FillRoundRect(&c.fill, &r, nullptr, kCornerRadius, true);
  graphics->RoundRect(&c.rim, &r, nullptr, kCornerRadius, true);
  const int cy = (r.T + r.B) / 2;
  graphics->FillCircle(&c.lamp, r.L + kLampInset, cy, static_cast<float>(kLampRadius), nullptr, true);
  mText.mColor = c.text;
  IRECT label(r.L + kLampInset + kLampRadius, r.T, r.R, r.B);
  IRECT measured = label;
  graphics->DrawIText(&mText, "DISPLAY", &measured, true);
  // Centred on the line, whatever the font's ascent.
  const int top = cy - measured.H() / 2;
  label.T = top;
  label.B = top + measured.H();
  return graphics->DrawIText(&mText, "DISPLAY", &label);
}
