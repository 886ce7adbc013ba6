// Source sampling shared by the scaled and rotated blits.
#pragma once

#include <cstdint>

#include "lice/lice_bitmap.h"
#include "lice/lice_blit.h"

// Blend of four neighbours by 16-bit fractional positions fx, fy (0..65535).
inline LICE_pixel LICE_BilinearMix(LICE_pixel p00, LICE_pixel p10, LICE_pixel p01, LICE_pixel p11, unsigned fx,
                                   unsigned fy) {
  const unsigned w11 = (fx * fy) >> 16;
  const unsigned w10 = fx - w11;
  const unsigned w01 = fy - w11;
  const unsigned w00 = 65536u - fx - fy + w11;
  LICE_pixel out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const unsigned v = ((p00 >> shift) & 0xffu) * w00 + ((p10 >> shift) & 0xffu) * w10 +
                       ((p01 >> shift) & 0xffu) * w01 + ((p11 >> shift) & 0xffu) * w11;
    out |= (v >> 16) << shift;
  }
  return out;
}

// Binomial low-pass over (2 * radius + 1)^2 pixels around (cx, cy), radius 1
// or 2; coordinates outside the image repeat its edge pixels.
inline LICE_pixel LICE_DownscaleSample(const LICE_pixel* bits, int span, int w, int h, int cx, int cy, int radius) {
  static const unsigned kTap3[3] = {1, 2, 1};
  static const unsigned kTap5[5] = {1, 4, 6, 4, 1};
  const unsigned* taps = radius >= 2 ? kTap5 : kTap3;
  const int n = radius >= 2 ? 5 : 3;
  const int r = n / 2;
  const int shift = radius >= 2 ? 8 : 4;
  unsigned acc[4] = {0, 0, 0, 0};
  for (int j = 0; j < n; ++j) {
    int y = cy + j - r;
    y = y < 0 ? 0 : (y >= h ? h - 1 : y);
    const LICE_pixel* row = bits + static_cast<intptr_t>(y) * span;
    for (int i = 0; i < n; ++i) {
      int x = cx + i - r;
      x = x < 0 ? 0 : (x >= w ? w - 1 : x);
      const unsigned tap = taps[i] * taps[j];
      const LICE_pixel p = row[x];
      acc[0] += (p & 0xffu) * tap;
      acc[1] += ((p >> 8) & 0xffu) * tap;
      acc[2] += ((p >> 16) & 0xffu) * tap;
      acc[3] += (p >> 24) * tap;
    }
  }
  return (acc[0] >> shift) | ((acc[1] >> shift) << 8) | ((acc[2] >> shift) << 16) | ((acc[3] >> shift) << 24);
}

// Floor of a 16.16 fixed-point position, defined for negative values too.
inline int64_t LICE_FixedFloor(int64_t v) { return v >= 0 ? v >> 16 : -((-v + 65535) >> 16); }

// Resamples one destination row of n pixels: sample(i, &p) yields the source
// pixel for destination pixel i, or false to leave that pixel alone. Runs of
// samples gather in buf and are combined a run at a time.
template <class Sampler>
inline void LICE_ResampleRow(LICE_pixel* drow, LICE_pixel* buf, int n, const LICE_BlitRowCombiner& combiner,
                             Sampler sample) {
  int runStart = 0, runLen = 0;
  for (int i = 0; i < n; ++i) {
    if (sample(i, &buf[i])) {
      if (runLen == 0) runStart = i;
      ++runLen;
    } else if (runLen > 0) {
      combiner.Apply(drow + runStart, buf + runStart, runLen);
      runLen = 0;
    }
  }
  if (runLen > 0) combiner.Apply(drow + runStart, buf + runStart, runLen);
}
