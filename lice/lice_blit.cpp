#include "lice/lice_blit.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "lice/lice_combine.h"

LICE_BlitRowCombiner::LICE_BlitRowCombiner(float alpha, int mode)
    : m_kind(Kind::Combine), m_weight(LICE_AlphaToWeight(alpha)), m_mode(mode) {
  if (LICE_IsChannelCopy(mode)) return;
  // The whole-word forms serve only the copy rule without any flag: with a
  // filter bit the general rule applies (filters themselves mean nothing here).
  const bool plainCopy =
      (mode & (LICE_BLIT_MODE_MASK | LICE_BLIT_USE_ALPHA | LICE_BLIT_FILTER_MASK)) == LICE_BLIT_MODE_COPY;
  if (plainCopy && alpha == 1.0f) {
    m_kind = Kind::Move;
  } else if (plainCopy && alpha == 0.5f) {
    m_kind = Kind::HalfMix;
  } else if (m_weight == 0 || (m_weight < 0 && (mode & LICE_BLIT_MODE_MASK) == LICE_BLIT_MODE_COPY)) {
    m_kind = Kind::Nothing;
  }
}

void LICE_BlitRowCombiner::Apply(LICE_pixel* dest, const LICE_pixel* src, int n) const {
  switch (m_kind) {
    case Kind::Nothing: break;
    case Kind::Move: std::memmove(dest, src, static_cast<size_t>(n) * sizeof(LICE_pixel)); break;
    case Kind::HalfMix:
      for (int i = 0; i < n; ++i) dest[i] = LICE_HalfMix(dest[i], src[i]);
      break;
    case Kind::Combine: LICE_CombineRow(dest, src, n, m_weight, m_mode); break;
  }
}

bool LICE_ReadBlitSurfaces(LICE_IBitmap* dest, LICE_IBitmap* src, LICE_BlitSurfaces* out) {
  LICE_BlitSurfaces& px = *out;
  px.destBits = dest->getBits();
  px.srcBits = src->getBits();
  px.destW = dest->getWidth();
  px.destH = dest->getHeight();
  px.destSpan = dest->getRowSpan();
  px.srcW = src->getWidth();
  px.srcH = src->getHeight();
  px.srcSpan = src->getRowSpan();
  return px.destBits && px.srcBits && px.destW > 0 && px.destH > 0 && px.srcW > 0 && px.srcH > 0 &&
         px.destSpan >= px.destW && px.srcSpan >= px.srcW;
}

LICE_BlitScratch::~LICE_BlitScratch() {
  std::free(m_row);
  std::free(m_source);
}

bool LICE_BlitScratch::KeepSource(bool readsDest, const LICE_pixel** bits, int* span, int w, int h) {
  if (!readsDest) return true;
  std::free(m_source);
  m_source = static_cast<LICE_pixel*>(std::malloc(static_cast<size_t>(w) * h * sizeof(LICE_pixel)));
  if (!m_source) return false;
  for (int y = 0; y < h; ++y)
    std::memcpy(m_source + static_cast<size_t>(y) * w, *bits + static_cast<intptr_t>(y) * *span,
                w * sizeof(LICE_pixel));
  *bits = m_source;
  *span = w;
  return true;
}

LICE_pixel* LICE_BlitScratch::RowBuffer(int n) {
  std::free(m_row);
  m_row = static_cast<LICE_pixel*>(std::malloc(static_cast<size_t>(n) * sizeof(LICE_pixel)));
  return m_row;
}

void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, const RECT* srcrect, float alpha, int mode) {
  if (!dest || !src) return;
  LICE_BlitSurfaces px;
  if (!LICE_ReadBlitSurfaces(dest, src, &px)) return;

  // 64-bit so that no coordinate combination can overflow.
  long long l = 0, t = 0, r = px.srcW, b = px.srcH;
  if (srcrect) {
    l = srcrect->left;
    t = srcrect->top;
    r = srcrect->right;
    b = srcrect->bottom;
  }
  long long dx = dstx, dy = dsty;
  if (l < 0) {
    dx -= l;
    l = 0;
  }
  if (t < 0) {
    dy -= t;
    t = 0;
  }
  if (r > px.srcW) r = px.srcW;
  if (b > px.srcH) b = px.srcH;
  if (dx < 0) {
    l -= dx;
    dx = 0;
  }
  if (dy < 0) {
    t -= dy;
    dy = 0;
  }
  if (r - l > px.destW - dx) r = l + (px.destW - dx);
  if (b - t > px.destH - dy) b = t + (px.destH - dy);
  if (r <= l || b <= t) return;

  const int w = static_cast<int>(r - l), h = static_cast<int>(b - t);
  const LICE_pixel* sp = px.srcBits + t * px.srcSpan + l;
  int sspan = px.srcSpan;
  LICE_pixel* dp = px.destBits + dy * px.destSpan + dx;

  const LICE_BlitRowCombiner combiner(alpha, mode);
  if (combiner.DrawsNothing()) return;

  LICE_BlitScratch scratch;
  if (!scratch.KeepSource(px.srcBits == px.destBits, &sp, &sspan, w, h)) return;
  for (int y = 0; y < h; ++y) combiner.Apply(dp + static_cast<long long>(y) * px.destSpan, sp + static_cast<long long>(y) * sspan, w);
}

void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw, int srch,
               float alpha, int mode) {
  // The right and bottom edges saturate instead of overflowing.
  const long long r = static_cast<long long>(srcx) + srcw;
  const long long b = static_cast<long long>(srcy) + srch;
  RECT rc;
  rc.left = srcx;
  rc.top = srcy;
  rc.right = static_cast<int>(r > INT_MAX ? INT_MAX : (r < INT_MIN ? INT_MIN : r));
  rc.bottom = static_cast<int>(b > INT_MAX ? INT_MAX : (b < INT_MIN ? INT_MIN : b));
  LICE_Blit(dest, src, dstx, dsty, &rc, alpha, mode);
}

void LICE_Copy(LICE_IBitmap* dest, LICE_IBitmap* src) {
  if (!dest || !src || dest == src) return;
  dest->resize(src->getWidth(), src->getHeight());
  LICE_Blit(dest, src, 0, 0, nullptr, 1.0f, LICE_BLIT_MODE_COPY);
}
