#include "graphics/igraphics_types.h"

#include <algorithm>

#include "framework/wdl_string.h"

IRECT IRECT::Intersect(const IRECT& o) const {
  if (!Intersects(o)) return IRECT();
  return IRECT(std::max(L, o.L), std::max(T, o.T), std::min(R, o.R), std::min(B, o.B));
}

IRECT IRECT::Union(const IRECT& o) const {
  if (Empty()) return o;
  if (o.Empty()) return *this;
  return IRECT(std::min(L, o.L), std::min(T, o.T), std::max(R, o.R), std::max(B, o.B));
}

int IChannelBlend::RasterMode(const IChannelBlend* blend) {
  constexpr int kUseAlpha = 0x10000;
  if (!blend) return kUseAlpha;
  switch (blend->mMethod) {
    case kBlendCopy: return 0;
    case kBlendAdd: return kUseAlpha | 1;
    case kBlendDodge: return kUseAlpha | 2;
    case kBlendAlpha:
    default: return kUseAlpha;
  }
}

float IChannelBlend::RasterAlpha(const IChannelBlend* blend) { return blend ? blend->mWeight : 1.0f; }

IText::IText(int size, const IColor& color, const char* font, EStyle style, EAlign align, int orientation,
             EQuality quality, const IColor& textEntryBGColor, const IColor& textEntryFGColor)
    : mSize(size),
      mColor(color),
      mTextEntryBGColor(textEntryBGColor),
      mTextEntryFGColor(textEntryFGColor),
      mStyle(style),
      mAlign(align),
      mOrientation(orientation),
      mQuality(quality) {
  SetFont(font);
}

IText::IText(const IColor& color) : IText(DEFAULT_TEXT_SIZE, color) {}

void IText::SetFont(const char* font) {
  CopyCut(mFont, font ? font : DEFAULT_FONT);
  // The remembered font was found for the old face.
  mCached = nullptr;
}

int IBitmap::FrameOffset(int frame) const {
  const int extent = mFramesAreHorizontal ? W : H;
  return static_cast<int>(static_cast<double>(frame - 1) * extent / N + 0.5);
}
