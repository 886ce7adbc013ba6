// Knobs: a drag or the wheel turns the value; IKnobMultiControl shows it as
// a frame of a filmstrip.
#pragma once

#include "graphics/controls/control_support.h"
#include "graphics/icontrol.h"

// The value follows the pointer incrementally: a vertical knob grows as the
// pointer moves up, a horizontal one as it moves right. Shift or Control
// make both drag and wheel ten times finer. Draws nothing itself.
class IKnobControl : public IControl {
public:
  IKnobControl(IPlugBase* plug, IRECT rect, int paramIdx, EDirection direction = kVertical,
               double gearing = DEFAULT_GEARING,
               IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendAlpha);
  ~IKnobControl() override;

  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;
  void OnMouseWheel(int x, int y, IMouseMod* mod, int delta) override;

  EDirection GetDirection() const { return mDirection; }
  double GetGearing() const { return mGearing; }
  void SetGearing(double gearing) { mGearing = gearing; }

protected:
  EDirection mDirection;
  double mGearing;
};

// Shows the frame of a filmstrip the value selects.
class IKnobMultiControl : public IKnobControl {
public:
  // The rectangle is one frame of the image, at (x, y).
  IKnobMultiControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap& bitmap,
                    EDirection direction = kVertical, double gearing = DEFAULT_GEARING);
  ~IKnobMultiControl() override;

  bool Draw(IGraphics* graphics) override;

  IBitmap* GetBitmap() { return &mBitmap; }

private:
  IBitmap mBitmap;
};
