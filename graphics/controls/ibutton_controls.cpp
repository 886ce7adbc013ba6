#include "graphics/controls/ibutton_controls.h"

#include "graphics/igraphics.h"

IInvisibleSwitchControl::IInvisibleSwitchControl(IPlugBase* plug, IRECT rect, int paramIdx)
    : IControl(plug, rect, paramIdx, IChannelBlend::kBlendCopy) {}

IInvisibleSwitchControl::~IInvisibleSwitchControl() = default;

void IInvisibleSwitchControl::OnMouseDown(int, int, IMouseMod*) {
  SetValue(GetValue() < 0.5 ? 1.0 : 0.0);
  SetDirty(true);
}

IRadioButtonsControl::IRadioButtonsControl(IPlugBase* plug, IRECT rect, int paramIdx, int nButtons,
                                           const IBitmap& bitmap, EDirection direction, bool reverse)
    : IControl(plug, rect, paramIdx), mBitmap(bitmap) {
  const int n = nButtons < 1 ? 1 : nButtons;
  const int w = mBitmap.FrameWidth();
  const int h = mBitmap.FrameHeight();
  const bool horizontal = direction == kHorizontal;
  // Free space left once every button is placed, shared out so the gaps
  // between neighbours are equal and the outer buttons touch the ends.
  const int travel = horizontal ? rect.W() - w : rect.H() - h;
  for (int i = 0; i < n; ++i) {
    const int offset = n > 1 ? static_cast<int>(static_cast<double>(i) * travel / (n - 1)) : 0;
    IRECT r;
    if (horizontal) {
      r.L = reverse ? rect.R - w - offset : rect.L + offset;
      r.T = rect.T;
    } else {
      r.L = rect.L;
      r.T = reverse ? rect.B - h - offset : rect.T + offset;
    }
    r.R = r.L + w;
    r.B = r.T + h;
    mRECTs.Add(r);
  }
}

IRadioButtonsControl::~IRadioButtonsControl() = default;

const IRECT* IRadioButtonsControl::GetButtonRect(int idx) const {
  return idx >= 0 && idx < mRECTs.GetSize() ? mRECTs.Get() + idx : nullptr;
}

int IRadioButtonsControl::SelectedButton() const {
  const int n = mRECTs.GetSize();
  if (n < 1) return 0;
  const double k = static_cast<double>(n - 1) * DrawableValue(GetValue()) + 0.5;
  const int button = static_cast<int>(k);
  return button < 0 ? 0 : (button > n - 1 ? n - 1 : button);
}

void IRadioButtonsControl::OnMouseDown(int x, int y, IMouseMod* mod) {
  PickAreaValue(this, mRECTs.Get(), mRECTs.GetSize(), x, y, mod);
}

bool IRadioButtonsControl::Draw(IGraphics* graphics) {
  // The "on" frame goes over the "off" one, so artwork may keep the off
  // state's background.
  for (int i = 0; i < mRECTs.GetSize(); ++i) graphics->DrawBitmap(&mBitmap, mRECTs.Get() + i, 1, &mBlend);
  if (mRECTs.GetSize() > 0) graphics->DrawBitmap(&mBitmap, mRECTs.Get() + SelectedButton(), 2, &mBlend);
  return true;
}
