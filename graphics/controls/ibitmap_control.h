// One frame of a filmstrip image chosen by the value: backgrounds, meters and
// the base of the switches.
#pragma once

#include "graphics/icontrol.h"

class IBitmapControl : public IControl {
public:
  // The rectangle is one frame of the image, at (x, y).
  IBitmapControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap& bitmap,
                 IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendAlpha);
  // No parameter.
  IBitmapControl(IPlugBase* plug, int x, int y, const IBitmap& bitmap,
                 IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendAlpha);
  ~IBitmapControl() override;

  bool Draw(IGraphics* graphics) override;

  IBitmap* GetBitmap() { return &mBitmap; }
  // The 1-based frame a value shows on an image of nFrames frames.
  static int FrameForValue(double value, int nFrames);

protected:
  IBitmap mBitmap;
};
