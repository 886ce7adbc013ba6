#include "lice/lice_rotated_blit.h"

#include <cmath>

#include "lice/lice_blit.h"
#include "lice/lice_combine.h"
#include "lice/lice_sample.h"

namespace {

// See the scaled blit: no image reaches this far, and 16.16 stays exact.
constexpr double kMaxSourcePosition = 1073741824.0;

int64_t ToFixed(double v) { return static_cast<int64_t>(std::llround(v * 65536.0)); }

// Allowed sample range along one axis, in 16.16 for the test and in whole
// pixels for clamping bilinear neighbours.
struct AxisBounds {
  int64_t lo = 0, hi = 0;  // lo <= position < hi
  int first = 0, last = 0;
};

AxisBounds MakeBounds(double start, double size, int imageSize, bool clipToRect) {
  double lo = 0.0, hi = imageSize;
  if (clipToRect) {
    const double a = size < 0 ? start + size : start, b = size < 0 ? start : start + size;
    if (a > lo) lo = a;
    if (b < hi) hi = b;
  }
  AxisBounds out;
  if (!(hi > lo)) return out;
  out.lo = ToFixed(lo);
  out.hi = ToFixed(hi);
  out.first = static_cast<int>(std::floor(lo));
  out.last = static_cast<int>(std::ceil(hi)) - 1;
  return out;
}

int ClampInt(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

}  // namespace

void LICE_RotatedBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                      float srcy, float srcw, float srch, float angle, bool cliptosourcerect, float alpha, int mode,
                      float rotxcent, float rotycent) {
  if (!dest || !src || dstw == 0 || dsth == 0) return;
  const float args[] = {srcx, srcy, srcw, srch, angle, rotxcent, rotycent};
  for (float v : args)
    if (!std::isfinite(v)) return;

  LICE_BlitSurfaces px;
  if (!LICE_ReadBlitSurfaces(dest, src, &px)) return;

  // A negative size puts the rectangle to the left of (above) the corner.
  const long long ex = static_cast<long long>(dstx) + dstw, ey = static_cast<long long>(dsty) + dsth;
  long long x0 = dstw < 0 ? ex : dstx, x1 = dstw < 0 ? dstx : ex;
  long long y0 = dsth < 0 ? ey : dsty, y1 = dsth < 0 ? dsty : ey;
  if (x0 < 0) x0 = 0;
  if (y0 < 0) y0 = 0;
  if (x1 > px.destW) x1 = px.destW;
  if (y1 > px.destH) y1 = px.destH;
  if (x1 <= x0 || y1 <= y0) return;

  const LICE_BlitRowCombiner combiner(alpha, mode);
  if (combiner.DrawsNothing()) return;

  // Signed scales: a negative destination size mirrors the mapping.
  const double xscale = static_cast<double>(srcw) / dstw, yscale = static_cast<double>(srch) / dsth;
  const double c = std::cos(static_cast<double>(angle)), s = std::sin(static_cast<double>(angle));
  const double dsdx = xscale * c, dsdy = xscale * s, dtdx = -yscale * s, dtdy = yscale * c;
  const double srcCx = srcx + srcw * 0.5 + rotxcent, srcCy = srcy + srch * 0.5 + rotycent;
  const double dstCx = dstx + dstw * 0.5, dstCy = dsty + dsth * 0.5;
  // Sampling at pixel centres keeps an unrotated copy exact.
  auto sAt = [&](double x, double y) { return srcCx + (x + 0.5 - dstCx) * dsdx + (y + 0.5 - dstCy) * dsdy; };
  auto tAt = [&](double x, double y) { return srcCy + (x + 0.5 - dstCx) * dtdx + (y + 0.5 - dstCy) * dtdy; };
  const double cornersX[2] = {static_cast<double>(x0), static_cast<double>(x1)};
  const double cornersY[2] = {static_cast<double>(y0), static_cast<double>(y1)};
  for (double cx : cornersX)
    for (double cy : cornersY)
      if (!(std::fabs(sAt(cx, cy)) < kMaxSourcePosition) || !(std::fabs(tAt(cx, cy)) < kMaxSourcePosition)) return;

  const AxisBounds bx = MakeBounds(srcx, srcw, px.srcW, cliptosourcerect);
  const AxisBounds by = MakeBounds(srcy, srch, px.srcH, cliptosourcerect);
  if (bx.hi <= bx.lo || by.hi <= by.lo) return;

  const bool bilinear = (mode & LICE_BLIT_FILTER_MASK) == LICE_BLIT_FILTER_BILINEAR;
  const int64_t sStep = ToFixed(dsdx), tStep = ToFixed(dtdx);

  LICE_BlitScratch scratch;
  if (!scratch.KeepSource(px.srcBits == px.destBits, &px.srcBits, &px.srcSpan, px.srcW, px.srcH)) return;
  const int n = static_cast<int>(x1 - x0);
  LICE_pixel* buf = scratch.RowBuffer(n);
  if (!buf) return;

  for (long long y = y0; y < y1; ++y) {
    const int64_t sRow = ToFixed(sAt(static_cast<double>(x0), static_cast<double>(y)));
    const int64_t tRow = ToFixed(tAt(static_cast<double>(x0), static_cast<double>(y)));
    LICE_ResampleRow(px.destBits + y * px.destSpan + x0, buf, n, combiner, [&](int i, LICE_pixel* out) {
      const int64_t sf = sRow + sStep * i, tf = tRow + tStep * i;
      if (sf < bx.lo || sf >= bx.hi || tf < by.lo || tf >= by.hi) return false;
      if (!bilinear) {
        const int sx = static_cast<int>(LICE_FixedFloor(sf)), sy = static_cast<int>(LICE_FixedFloor(tf));
        *out = px.srcBits[static_cast<long long>(sy) * px.srcSpan + sx];
        return true;
      }
      // Neighbours straddle the sample point; at the edges of the allowed
      // range the missing neighbour repeats the last available one.
      const int64_t sb = sf - 32768, tb = tf - 32768;
      const int64_t sxi = LICE_FixedFloor(sb), syi = LICE_FixedFloor(tb);
      const unsigned fx = static_cast<unsigned>(sb - sxi * 65536), fy = static_cast<unsigned>(tb - syi * 65536);
      const int sx0 = ClampInt(static_cast<int>(sxi), bx.first, bx.last);
      const int sx1 = ClampInt(static_cast<int>(sxi) + 1, bx.first, bx.last);
      const int sy0 = ClampInt(static_cast<int>(syi), by.first, by.last);
      const int sy1 = ClampInt(static_cast<int>(syi) + 1, by.first, by.last);
      const LICE_pixel* r0 = px.srcBits + static_cast<long long>(sy0) * px.srcSpan;
      const LICE_pixel* r1 = px.srcBits + static_cast<long long>(sy1) * px.srcSpan;
      *out = LICE_BilinearMix(r0[sx0], r0[sx1], r1[sx0], r1[sx1], fx, fy);
      return true;
    });
  }
}
