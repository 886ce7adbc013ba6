#include "graphics/controls/iknob_drawn_controls.h"

#include "graphics/igraphics.h"

namespace {
double AngleFor(double value, double minAngle, double maxAngle) {
  return minAngle + DrawableValue(value) * (maxAngle - minAngle);
}
}  // namespace

IKnobLineControl::IKnobLineControl(IPlugBase* plug, IRECT rect, int paramIdx, const IColor& color, double minAngle,
                                   double maxAngle, double innerRadius, double outerRadius, EDirection direction,
                                   double gearing)
    : IKnobControl(plug, rect, paramIdx, direction, gearing, IChannelBlend::kBlendCopy),
      mColor(color),
      mMinAngle(minAngle),
      mMaxAngle(maxAngle),
      mInnerRadius(innerRadius),
      mOuterRadius(outerRadius == 0.0 ? 0.5 * rect.W() : outerRadius) {}

IKnobLineControl::~IKnobLineControl() = default;

double IKnobLineControl::Angle() const { return AngleFor(GetValue(), mMinAngle, mMaxAngle); }

bool IKnobLineControl::Draw(IGraphics* graphics) {
  return graphics->DrawRadialLine(&mColor, mRECT.MW(), mRECT.MH(), static_cast<float>(Angle()),
                                  static_cast<float>(mInnerRadius), static_cast<float>(mOuterRadius), &mBlend, true);
}

IKnobRotaterControl::IKnobRotaterControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap& bitmap,
                                         double minAngle, double maxAngle, int yOffsetZeroDeg, EDirection direction,
                                         double gearing)
    : IKnobControl(plug, IRECT(x, y, x + bitmap.W, y + bitmap.H), paramIdx, direction, gearing),
      mBitmap(bitmap),
      mMinAngle(minAngle),
      mMaxAngle(maxAngle),
      mYOffset(yOffsetZeroDeg) {}

IKnobRotaterControl::~IKnobRotaterControl() = default;

double IKnobRotaterControl::Angle() const { return AngleFor(GetValue(), mMinAngle, mMaxAngle); }

bool IKnobRotaterControl::Draw(IGraphics* graphics) {
  const int cx = static_cast<int>(mRECT.MW());
  const int cy = static_cast<int>(mRECT.MH());
  return graphics->DrawRotatedBitmap(&mBitmap, cx, cy, Angle(), mYOffset, &mBlend);
}

IKnobRotatingMaskControl::IKnobRotatingMaskControl(IPlugBase* plug, int x, int y, int paramIdx,
                                                   const IBitmap& base, const IBitmap& mask, const IBitmap& top,
                                                   double minAngle, double maxAngle)
    : IKnobControl(plug, IRECT(x, y, x + base.W, y + base.H), paramIdx),
      mBase(base),
      mMask(mask),
      mTop(top),
      mMinAngle(minAngle),
      mMaxAngle(maxAngle) {}

IKnobRotatingMaskControl::~IKnobRotatingMaskControl() = default;

double IKnobRotatingMaskControl::Angle() const { return AngleFor(GetValue(), mMinAngle, mMaxAngle); }

bool IKnobRotatingMaskControl::Draw(IGraphics* graphics) {
  return graphics->DrawRotatedMask(&mBase, &mMask, &mTop, mRECT.L, mRECT.T, Angle(), &mBlend);
}
