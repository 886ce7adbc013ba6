// Filmstrip switches: each press steps to the next frame.
#pragma once

#include "graphics/controls/ibitmap_control.h"

// Steps through the image's frames on every press, wrapping from the last
// to the first; a two-frame switch toggles.
class ISwitchControl : public IBitmapControl {
public:
  ISwitchControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap& bitmap,
                 IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendAlpha);
  ~ISwitchControl() override;

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  // The second press of a double-click does what a press does.
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override;

protected:
  // The value one step on, wrapped to 0 past the end.
  double NextValue() const;
};

// Offers a prompt for the value, then sends the value it has.
class ISwitchPopUpControl : public ISwitchControl {
public:
  ISwitchPopUpControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap& bitmap,
                      IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendAlpha);
  ~ISwitchPopUpControl() override;

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
};

// Steps on a press like a switch and falls back to 0 on the release: a push
// button.
class IContactControl : public ISwitchControl {
public:
  IContactControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap& bitmap,
                  IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendAlpha);
  ~IContactControl() override;

  void OnMouseUp(int x, int y, IMouseMod* mod) override;
};

// An image shown over an area while the value is at least 0.5. While hidden
// it takes the mouse only in its target area; while shown, in its whole
// rectangle.
class IBitmapOverlayControl : public ISwitchControl {
public:
  IBitmapOverlayControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap& bitmap, IRECT targetArea,
                        IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendAlpha);
  ~IBitmapOverlayControl() override;

  bool Draw(IGraphics* graphics) override;

  const IRECT& GetTargetArea() const { return mTargetArea; }

private:
  IRECT mTargetArea;
};
