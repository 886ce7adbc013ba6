// Buttons that set a value from where they are pressed: an invisible toggle
// over artwork, and a row of radio buttons.
#pragma once

#include "framework/wdl_heapbuf.h"
#include "graphics/controls/control_support.h"
#include "graphics/icontrol.h"

// Draws nothing; a press toggles the value between 0 and 1.
class IInvisibleSwitchControl : public IControl {
public:
  IInvisibleSwitchControl(IPlugBase* plug, IRECT rect, int paramIdx);
  ~IInvisibleSwitchControl() override;

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics*) override { return true; }
};

// n buttons of one frame each, spread evenly over the rectangle; the image
// has two frames, off and on. Button j stands for the value j / (n - 1).
class IRadioButtonsControl : public IControl {
public:
  // nButtons below 1 counts as 1. reverse: button 0 lies at the far end
  // (right or bottom).
  IRadioButtonsControl(IPlugBase* plug, IRECT rect, int paramIdx, int nButtons, const IBitmap& bitmap,
                       EDirection direction = kVertical, bool reverse = false);
  ~IRadioButtonsControl() override;

  // The secondary button prompts; a press on a button selects it.
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics* graphics) override;

  int NButtons() const { return mRECTs.GetSize(); }
  // Null outside the list.
  const IRECT* GetButtonRect(int idx) const;
  // The button the value selects, within 0..n - 1.
  int SelectedButton() const;

private:
  IBitmap mBitmap;
  WDL_TypedBuf<IRECT> mRECTs{256};
};
