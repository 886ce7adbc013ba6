#include "lice/lice_fill.h"

#include "lice/lice_combine.h"

namespace {

struct ClippedRect {
  LICE_pixel* first = nullptr;
  int span = 0;
  int w = 0;
  int h = 0;
};

// Clips (x, y, w, h) to the image; false when nothing remains.
bool ClipToImage(LICE_IBitmap* bm, int x, int y, int w, int h, ClippedRect* out) {
  if (!bm) return false;
  LICE_pixel* bits = bm->getBits();
  const int bw = bm->getWidth(), bh = bm->getHeight(), span = bm->getRowSpan();
  if (!bits || bw <= 0 || bh <= 0 || span < bw) return false;
  long long l = x, t = y, r = static_cast<long long>(x) + w, b = static_cast<long long>(y) + h;
  if (l < 0) l = 0;
  if (t < 0) t = 0;
  if (r > bw) r = bw;
  if (b > bh) b = bh;
  if (r <= l || b <= t) return false;
  out->first = bits + t * span + l;
  out->span = span;
  out->w = static_cast<int>(r - l);
  out->h = static_cast<int>(b - t);
  return true;
}

// Solid copy at one weight, with the whole-word forms of the quarter steps.
void CopyFillRow(LICE_pixel* d, int n, LICE_pixel color, int weight) {
  switch (weight) {
    case 64: {
      const LICE_pixel c = (color >> 2) & 0x3F3F3F3Fu;
      for (int i = 0; i < n; ++i) d[i] = c + ((d[i] >> 2) & 0x3F3F3F3Fu) + ((d[i] >> 1) & 0x7F7F7F7Fu);
      break;
    }
    case 128: {
      const LICE_pixel c = (color >> 1) & 0x7F7F7F7Fu;
      for (int i = 0; i < n; ++i) d[i] = c + ((d[i] >> 1) & 0x7F7F7F7Fu);
      break;
    }
    case 192: {
      const LICE_pixel c = ((color >> 1) & 0x7F7F7F7Fu) + ((color >> 2) & 0x3F3F3F3Fu);
      for (int i = 0; i < n; ++i) d[i] = c + ((d[i] >> 2) & 0x3F3F3F3Fu);
      break;
    }
    case 256:
      for (int i = 0; i < n; ++i) d[i] = color;
      break;
    default:
      if (weight > 0) LICE_CombineSolidRowWith<LICE_CombineCopy>(d, color, n, weight, false);
      break;
  }
}

void FillClipped(const ClippedRect& rc, LICE_pixel color, float alpha, int mode) {
  if (!(alpha != 0.0f)) return;  // zero or NaN
  const int weight = LICE_AlphaToWeight(alpha);
  // The flag has already been folded into alpha by the caller.
  const int rule = mode & ~LICE_BLIT_USE_ALPHA;
  const bool copy = !LICE_IsChannelCopy(rule) && (rule & LICE_BLIT_MODE_MASK) == LICE_BLIT_MODE_COPY;
  for (int y = 0; y < rc.h; ++y) {
    LICE_pixel* row = rc.first + static_cast<long long>(y) * rc.span;
    if (copy) CopyFillRow(row, rc.w, color, weight);
    else LICE_CombineSolidRow(row, color, rc.w, weight, rule);
  }
}

}  // namespace

void LICE_FillRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel color, float alpha, int mode) {
  if (mode & LICE_BLIT_USE_ALPHA) alpha *= static_cast<float>(LICE_GETA(color)) / 255.0f;
  ClippedRect rc;
  if (!ClipToImage(dest, x, y, w, h, &rc)) return;
  FillClipped(rc, color, alpha, mode);
}

void LICE_PutPixel(LICE_IBitmap* dest, int x, int y, LICE_pixel color, float alpha, int mode) {
  ClippedRect rc;
  if (!ClipToImage(dest, x, y, 1, 1, &rc)) return;
  FillClipped(rc, color, alpha, mode);
}

LICE_pixel LICE_GetPixel(LICE_IBitmap* bm, int x, int y) {
  ClippedRect rc;
  if (!ClipToImage(bm, x, y, 1, 1, &rc)) return 0;
  return *rc.first;
}

void LICE_Clear(LICE_IBitmap* dest, LICE_pixel color) {
  if (!dest) return;
  ClippedRect rc;
  if (!ClipToImage(dest, 0, 0, dest->getWidth(), dest->getHeight(), &rc)) return;
  for (int y = 0; y < rc.h; ++y) {
    LICE_pixel* row = rc.first + static_cast<long long>(y) * rc.span;
    for (int i = 0; i < rc.w; ++i) row[i] = color;
  }
}

void LICE_ClearRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel mask, LICE_pixel orbits) {
  ClippedRect rc;
  if (!ClipToImage(dest, x, y, w, h, &rc)) return;
  for (int j = 0; j < rc.h; ++j) {
    LICE_pixel* row = rc.first + static_cast<long long>(j) * rc.span;
    for (int i = 0; i < rc.w; ++i) row[i] = (row[i] & mask) | orbits;
  }
}
