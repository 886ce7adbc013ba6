#include "graphics/controls/iknob_control.h"

#include "graphics/controls/ibitmap_control.h"
#include "graphics/igraphics.h"

namespace {
constexpr double kFineFactor = 10.0;
constexpr double kWheelStep = 0.01;
constexpr double kFineWheelStep = 0.001;

bool WantsFine(const IMouseMod* mod) { return mod && (mod->C || mod->S); }
}  // namespace

IKnobControl::IKnobControl(IPlugBase* plug, IRECT rect, int paramIdx, EDirection direction, double gearing,
                           IChannelBlend::EBlendMethod blendMethod)
    : IControl(plug, rect, paramIdx, blendMethod), mDirection(direction), mGearing(gearing) {}

IKnobControl::~IKnobControl() = default;

void IKnobControl::OnMouseDrag(int, int, int dX, int dY, IMouseMod* mod) {
  const double gearing = WantsFine(mod) ? mGearing * kFineFactor : mGearing;
  // T - B is minus the height, so moving up (dY < 0) increases the value.
  const bool vertical = mDirection != kHorizontal;
  const double extent = vertical ? static_cast<double>(mRECT.T - mRECT.B) : static_cast<double>(mRECT.R - mRECT.L);
  // A flat knob or zero gearing has no scale: the step would be infinite or
  // NaN, and NaN would reach the plug-in as the top of the range.
  if (extent == 0.0 || gearing == 0.0) return;
  const double delta = vertical ? dY : dX;
  SetValue(GetValue() + delta / extent / gearing);
  SetDirty(true);
}

void IKnobControl::OnMouseWheel(int, int, IMouseMod* mod, int delta) {
  SetValue(GetValue() + delta * (WantsFine(mod) ? kFineWheelStep : kWheelStep));
  SetDirty(true);
}

IKnobMultiControl::IKnobMultiControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap& bitmap,
                                     EDirection direction, double gearing)
    : IKnobControl(plug, IRECT(x, y, x + bitmap.FrameWidth(), y + bitmap.FrameHeight()), paramIdx, direction,
                   gearing, IChannelBlend::kBlendAlpha),
      mBitmap(bitmap) {}

IKnobMultiControl::~IKnobMultiControl() = default;

bool IKnobMultiControl::Draw(IGraphics* graphics) {
  return graphics->DrawBitmap(&mBitmap, &mRECT, IBitmapControl::FrameForValue(GetValue(), mBitmap.N), &mBlend);
}
