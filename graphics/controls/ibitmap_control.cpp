#include "graphics/controls/ibitmap_control.h"

#include "graphics/igraphics.h"

IBitmapControl::IBitmapControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap& bitmap,
                               IChannelBlend::EBlendMethod blendMethod)
    : IControl(plug, IRECT(x, y, x + bitmap.FrameWidth(), y + bitmap.FrameHeight()), paramIdx, blendMethod),
      mBitmap(bitmap) {}

IBitmapControl::IBitmapControl(IPlugBase* plug, int x, int y, const IBitmap& bitmap,
                               IChannelBlend::EBlendMethod blendMethod)
    : IBitmapControl(plug, x, y, -1, bitmap, blendMethod) {}

IBitmapControl::~IBitmapControl() = default;

int IBitmapControl::FrameForValue(double value, int nFrames) {
  if (nFrames < 2) return 1;
  // A NaN value would make the conversion undefined; it shows the first frame.
  const double k = static_cast<double>(nFrames - 1) * value + 0.5;
  if (!(k >= 1.0)) return 1;
  if (k >= static_cast<double>(nFrames)) return nFrames;
  return static_cast<int>(k) + 1;
}

bool IBitmapControl::Draw(IGraphics* graphics) {
  return graphics->DrawBitmap(&mBitmap, &mRECT, FrameForValue(GetValue(), mBitmap.N), &mBlend);
}
