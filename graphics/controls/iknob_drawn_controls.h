// Knobs drawn from primitives or rotated images rather than filmstrips. The
// angle is min + value * (max - min), clockwise from straight up; values
// outside 0..1 (and NaN, as 0) are drawn at the ends.
#pragma once

#include "graphics/controls/iknob_control.h"

constexpr double DEFAULT_KNOB_MIN_ANGLE = -0.75 * 3.14159265358979323846;
constexpr double DEFAULT_KNOB_MAX_ANGLE = 0.75 * 3.14159265358979323846;

// One line from the inner to the outer radius around the rectangle's centre;
// angles in radians.
class IKnobLineControl : public IKnobControl {
public:
  // outerRadius 0 means half the rectangle's width.
  IKnobLineControl(IPlugBase* plug, IRECT rect, int paramIdx, const IColor& color,
                   double minAngle = DEFAULT_KNOB_MIN_ANGLE, double maxAngle = DEFAULT_KNOB_MAX_ANGLE,
                   double innerRadius = 0.0, double outerRadius = 0.0, EDirection direction = kVertical,
                   double gearing = DEFAULT_GEARING);
  ~IKnobLineControl() override;

  bool Draw(IGraphics* graphics) override;

  double Angle() const;

private:
  IColor mColor;
  double mMinAngle;
  double mMaxAngle;
  double mInnerRadius;
  double mOuterRadius;
};

// The whole image rotated about the rectangle's centre; angles in radians.
class IKnobRotaterControl : public IKnobControl {
public:
  IKnobRotaterControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap& bitmap,
                      double minAngle = DEFAULT_KNOB_MIN_ANGLE, double maxAngle = DEFAULT_KNOB_MAX_ANGLE,
                      int yOffsetZeroDeg = 0, EDirection direction = kVertical, double gearing = DEFAULT_GEARING);
  ~IKnobRotaterControl() override;

  bool Draw(IGraphics* graphics) override;

  double Angle() const;

private:
  IBitmap mBitmap;
  double mMinAngle;
  double mMaxAngle;
  int mYOffset;
};

// A base image with a rotating mask and top image composited over it
// (IGraphics::DrawRotatedMask); angles in degrees.
class IKnobRotatingMaskControl : public IKnobControl {
public:
  IKnobRotatingMaskControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap& base, const IBitmap& mask,
                           const IBitmap& top, double minAngle = -135.0, double maxAngle = 135.0);
  ~IKnobRotatingMaskControl() override;

  bool Draw(IGraphics* graphics) override;

  double Angle() const;

private:
  IBitmap mBase;
  IBitmap mMask;
  IBitmap mTop;
  double mMinAngle;
  double mMaxAngle;
};
