#include "lice/lice_scaled_blit.h"

#include <cmath>

#include "lice/lice_blit.h"
#include "lice/lice_combine.h"
#include "lice/lice_sample.h"

namespace {

// Sizes and positions agreeing this closely make the stretch a plain blit.
constexpr double kPlainBlitTolerance = 1.0 / 1024.0;
// Source positions beyond this many pixels cannot address any image; the
// bound also keeps 16.16 positions far from the limits of 64-bit integers.
constexpr double kMaxSourcePosition = 1073741824.0;
constexpr double kDownscaleFactor = 1.7;

}  // namespace

void LICE_ScaledBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                     float srcy, float srcw, float srch, float alpha, int mode) {
  if (!dest || !src || dstw <= 0 || dsth <= 0) return;
  if (!std::isfinite(srcx) || !std::isfinite(srcy) || !std::isfinite(srcw) || !std::isfinite(srch)) return;

  const double sx = srcx, sy = srcy, sw = srcw, sh = srch;
  if (std::fabs(sw - dstw) < kPlainBlitTolerance && std::fabs(sh - dsth) < kPlainBlitTolerance) {
    const double rx = std::floor(sx + 0.5), ry = std::floor(sy + 0.5);
    if (std::fabs(sx - rx) < kPlainBlitTolerance && std::fabs(sy - ry) < kPlainBlitTolerance &&
        std::fabs(rx) < kMaxSourcePosition && std::fabs(ry) < kMaxSourcePosition) {
      LICE_Blit(dest, src, dstx, dsty, static_cast<int>(rx), static_cast<int>(ry), dstw, dsth, alpha, mode);
      return;
    }
  }

  LICE_BlitSurfaces px;
  if (!LICE_ReadBlitSurfaces(dest, src, &px)) return;

  const long long x0 = dstx < 0 ? 0 : dstx, y0 = dsty < 0 ? 0 : dsty;
  long long x1 = static_cast<long long>(dstx) + dstw, y1 = static_cast<long long>(dsty) + dsth;
  if (x1 > px.destW) x1 = px.destW;
  if (y1 > px.destH) y1 = px.destH;
  if (x1 <= x0 || y1 <= y0) return;

  const LICE_BlitRowCombiner combiner(alpha, mode);
  if (combiner.DrawsNothing()) return;

  const double xstep = sw / dstw, ystep = sh / dsth;
  const double firstX = sx + (x0 - dstx) * xstep, lastX = sx + (x1 - dstx) * xstep;
  const double firstY = sy + (y0 - dsty) * ystep, lastY = sy + (y1 - dsty) * ystep;
  if (std::fabs(firstX) > kMaxSourcePosition || std::fabs(lastX) > kMaxSourcePosition ||
      std::fabs(firstY) > kMaxSourcePosition || std::fabs(lastY) > kMaxSourcePosition)
    return;

  const int64_t fxStart = static_cast<int64_t>(std::floor(firstX * 65536.0));
  const int64_t fyStart = static_cast<int64_t>(std::floor(firstY * 65536.0));
  const int64_t fxStep = static_cast<int64_t>(xstep * 65536.0);
  const int64_t fyStep = static_cast<int64_t>(ystep * 65536.0);

  const bool bilinear = (mode & LICE_BLIT_FILTER_MASK) == LICE_BLIT_FILTER_BILINEAR;
  const bool downscale = bilinear && std::fabs(xstep) >= kDownscaleFactor && std::fabs(ystep) >= kDownscaleFactor;
  const int radius = std::fabs(xstep) > 3.0 || std::fabs(ystep) > 3.0 ? 2 : 1;
  // Centred on the block of source pixels that one destination pixel spans.
  const int kernelDx = xstep > 0 ? radius : -radius, kernelDy = ystep > 0 ? radius : -radius;

  LICE_BlitScratch scratch;
  if (!scratch.KeepSource(px.srcBits == px.destBits, &px.srcBits, &px.srcSpan, px.srcW, px.srcH)) return;
  const int n = static_cast<int>(x1 - x0);
  LICE_pixel* buf = scratch.RowBuffer(n);
  if (!buf) return;

  int64_t fy = fyStart;
  for (long long y = y0; y < y1; ++y, fy += fyStep) {
    const int64_t syi = LICE_FixedFloor(fy);
    if (syi < 0 || syi >= px.srcH) continue;
    const int sy0 = static_cast<int>(syi);
    const int sy1 = sy0 + 1 < px.srcH ? sy0 + 1 : sy0;
    const unsigned fracY = static_cast<unsigned>(fy - (syi << 16));
    const LICE_pixel* r0 = px.srcBits + static_cast<long long>(sy0) * px.srcSpan;
    const LICE_pixel* r1 = px.srcBits + static_cast<long long>(sy1) * px.srcSpan;

    LICE_ResampleRow(px.destBits + y * px.destSpan + x0, buf, n, combiner, [&](int i, LICE_pixel* out) {
      const int64_t fx = fxStart + fxStep * i;
      const int64_t sxi = LICE_FixedFloor(fx);
      if (sxi < 0 || sxi >= px.srcW) return false;
      const int sx0 = static_cast<int>(sxi);
      if (downscale) {
        *out = LICE_DownscaleSample(px.srcBits, px.srcSpan, px.srcW, px.srcH, sx0 + kernelDx, sy0 + kernelDy, radius);
      } else if (bilinear) {
        const int sx1 = sx0 + 1 < px.srcW ? sx0 + 1 : sx0;
        const unsigned fracX = static_cast<unsigned>(fx - (sxi << 16));
        *out = LICE_BilinearMix(r0[sx0], r0[sx1], r1[sx0], r1[sx1], fracX, fracY);
      } else {
        *out = r0[sx0];
      }
      return true;
    });
  }
}
