// Text in a style: drawing, measuring, and the process-wide font cache.
#include <cstring>

#include "graphics/editor_scale.h"
#include "graphics/font_storage.h"
#include "graphics/igraphics.h"
#include "lice/lice_gdi.h"
#include "lice/lice_sysbitmap.h"
#include "lice/lice_text.h"

namespace {
int NativeQuality(int quality) {
  switch (quality) {
    case IText::kQualityDefault: return DEFAULT_QUALITY;
    case IText::kQualityNonAntiAliased: return NONANTIALIASED_QUALITY;
    case IText::kQualityAntiAliased:
    case IText::kQualityClearType: return ANTIALIASED_QUALITY;
    default: return NONANTIALIASED_QUALITY;
  }
}

HFONT CreateNativeFont(const IText* text, int height) {
  const int tenths = text->mOrientation * 10;
  return CreateFont(height, 0, tenths, tenths, text->mStyle == IText::kStyleBold ? FW_BOLD : FW_NORMAL,
                    text->mStyle == IText::kStyleItalic, 0, 0, 0, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    NativeQuality(text->mQuality), 0, text->mFont);
}
}  // namespace

LICE_CachedFont* IGraphics::CacheFont(IText* text) {
  if (!text) return nullptr;
  if (LICE_CachedFont* found = s_fontCache.Find(text)) {
    text->mCached = found;
    return found;
  }
  // Created outside the cache's lock: two engines may both make the same
  // font, and lookups then return the first.
  auto* font = new LICE_CachedFont();
  int size = text->mSize;
  for (int pass = 0; pass < 2; ++pass) {
    const int h = size > 2 ? size : 2;
    HFONT native = CreateNativeFont(text, h);
    if (!native) {
      delete font;
      return nullptr;
    }
    font->SetFromHFont(native, LICE_FONT_FLAG_OWNS_HFONT | LICE_FONT_FLAG_FORCE_NATIVE);
    const int lineHeight = font->GetLineHeight();
    if (pass == 1 || lineHeight == h || lineHeight <= 0) break;
    // The font system's line height differs from the size asked for: scale
    // the request once so the line height comes out as the style's size.
    const double hSquared = size < 2 ? 4.0 : static_cast<double>(h) * h;
    size = static_cast<int>(hSquared / lineHeight + 0.5);
  }
  if (!s_fontCache.Add(font, text)) {
    delete font;
    return nullptr;
  }
  text->mCached = font;
  return font;
}

IText IGraphics::ScaledText(const IText& text) const {
  IText scaled = text;
  scaled.mSize = ScaleEdge(text.mSize, mScalePercent);
  scaled.mCached = nullptr;
  return scaled;
}

bool IGraphics::DrawIText(IText* text, const char* str, IRECT* destRect, bool measure) {
  if (!str || !*str) return true;
  if (!text || !destRect) return false;
  if (mScalePercent != 100) {
    // Laid out and rasterised at the device's pixel size; measured in
    // device pixels and handed back in editor pixels, rounded outward.
    const int p = mScalePercent;
    IText scaled = ScaledText(*text);
    IRECT device = ScaleRect(*destRect, p);
    const bool done = DrawDeviceText(&scaled, str, &device, measure);
    if (done && measure)
      *destRect = IRECT(UnscaleCoord(device.L, p), UnscaleCoord(device.T, p), -UnscaleCoord(-device.R, p),
                        -UnscaleCoord(-device.B, p));
    return done;
  }
  return DrawDeviceText(text, str, destRect, measure);
}

bool IGraphics::DrawDeviceText(IText* text, const char* str, IRECT* destRect, bool measure) {
  LICE_CachedFont* font = text->mCached ? text->mCached : CacheFont(text);
  if (!font) return false;
  font->SetTextColor(text->mColor.Packed());

  unsigned int flags = DT_NOCLIP;
  if (text->mAlign == IText::kAlignNear)
    flags |= DT_LEFT;
  else if (text->mAlign == IText::kAlignCenter)
    flags |= DT_CENTER;
  else
    flags |= DT_RIGHT;
  if (text->mColor.A < 255) flags |= LICE_DT_USEFGALPHA;

  if (!measure) {
    if (!mDrawBitmap) return false;
    RECT r = {destRect->L, destRect->T, destRect->R, destRect->B};
    font->DrawText(mDrawBitmap, str, -1, &r, flags);
    return true;
  }

  RECT r = {0, 0, 0, 0};
  font->DrawText(mDrawBitmap, str, -1, &r, flags | DT_CALCRECT);
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  if (text->mAlign == IText::kAlignNear) {
    destRect->R = destRect->L + w;
  } else if (text->mAlign == IText::kAlignCenter) {
    destRect->L = static_cast<int>(destRect->MW()) - w / 2;
    destRect->R = destRect->L + w;
  } else {
    destRect->L = destRect->R - w;
  }
  destRect->B = destRect->T + h;
  return true;
}

bool IGraphics::MeasureIText(IText* text, const char* str, IRECT* destRect) {
  return DrawIText(text, str, destRect, true);
}
