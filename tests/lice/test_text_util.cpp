#include "tests/lice/test_text_util.h"

#include "lice/lice_png.h"

std::unique_ptr<LICE_CachedFont> MakeTextFont(int size, const char* face, int flags, int style, int quality) {
  auto font = std::make_unique<LICE_CachedFont>();
  const int nativeQuality = quality == 0 ? DEFAULT_QUALITY
                            : quality == 1 ? NONANTIALIASED_QUALITY
                            : quality <= 3 ? ANTIALIASED_QUALITY
                                           : NONANTIALIASED_QUALITY;
  int s = size;
  for (int pass = 0; pass < 2; ++pass) {
    const int h = s > 2 ? s : 2;
    HFONT hf = CreateFont(h, 0, 0, 0, style == 1 ? FW_BOLD : FW_NORMAL, style == 2, 0, 0, 0, 0, 0, nativeQuality, 0,
                          face);
    if (!hf) return nullptr;
    font->SetFromHFont(hf, flags | LICE_FONT_FLAG_OWNS_HFONT);
    const int lh = font->GetLineHeight();
    if (pass == 1 || lh == h || lh <= 0) break;
    const double h2 = s < 2 ? 4.0 : static_cast<double>(h) * h;
    s = static_cast<int>(h2 / lh + 0.5);
  }
  return font;
}

TextInk FindTextInk(LICE_IBitmap* bm, LICE_pixel background) {
  TextInk ink;
  const int bgRed = static_cast<int>(LICE_GETR(background));
  for (int y = 0; y < bm->getHeight(); ++y) {
    for (int x = 0; x < bm->getWidth(); ++x) {
      const LICE_pixel p = bm->getBits()[y * bm->getRowSpan() + x];
      if (p == background) continue;
      const int red = static_cast<int>(LICE_GETR(p));
      ink.coverage += red > bgRed ? red - bgRed : bgRed - red;
      if (ink.count++ == 0) {
        ink.left = x;
        ink.top = y;
        ink.right = x + 1;
        ink.bottom = y + 1;
        continue;
      }
      if (x < ink.left) ink.left = x;
      if (x + 1 > ink.right) ink.right = x + 1;
      if (y + 1 > ink.bottom) ink.bottom = y + 1;
    }
  }
  return ink;
}

void SaveTextImage(LICE_IBitmap* bm, const char* path, int scale) {
  if (scale < 1) scale = 1;
  LICE_MemBitmap image(bm->getWidth() * scale, bm->getHeight() * scale);
  for (int y = 0; y < image.getHeight(); ++y)
    for (int x = 0; x < image.getWidth(); ++x)
      image.getBits()[y * image.getRowSpan() + x] =
          bm->getBits()[(y / scale) * bm->getRowSpan() + x / scale] | 0xff000000u;
  LICE_WritePNG(path, &image);
}
