// A handle image that slides along a track; a press or drag puts the handle's
// centre under the pointer.
#pragma once

#include "graphics/controls/control_support.h"
#include "graphics/icontrol.h"

class IFaderControl : public IControl {
public:
  // The track runs from (x, y) for len pixels in the direction and is as
  // wide as one frame of the handle. onlyHandleHits: only the handle takes
  // the mouse, not the whole track.
  IFaderControl(IPlugBase* plug, int x, int y, int len, int paramIdx, const IBitmap& handle,
                EDirection direction = kVertical, bool onlyHandleHits = false);
  ~IFaderControl() override;

  // The secondary button prompts; any other press snaps.
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;
  // As a knob's wheel.
  void OnMouseWheel(int x, int y, IMouseMod* mod, int delta) override;
  bool Draw(IGraphics* graphics) override;
  bool IsHit(int x, int y) override;
  // Sets the value that puts the handle's centre at (x, y) and sends it.
  virtual void SnapToMouse(int x, int y);

  int GetLength() const { return mLen; }
  int GetHandleLength() const { return mHandleLen; }
  // Where the handle is drawn for the current value.
  IRECT GetHandleRECT() const;

private:
  int mLen;
  int mHandleLen;
  EDirection mDirection;
  bool mOnlyHandleHits;
  IBitmap mBitmap;
};
