// The 256-bit form of the chain's sections. Section k and section k + 5
// share a register (k's two channels in the low half, k + 5's in the high
// half), so each pair's input is the whole output of the pair before it,
// with no move between halves; only the first pair's input is put together,
// from the stream entry and the fifth section's output stored back into the
// stream. Every pair's tuning is one 256-bit row per coefficient (mTuning).
// Only these functions use AVX; they run only when the processor has it.
#include <immintrin.h>

#include "effect/oversampled_stereo_chain.h"

#define MORVANTE_AVX __attribute__((target("avx")))

namespace {

using Wide = __m256d;

// Biquad::processSample on all four lanes, in its order; the coefficients
// straight from their rows.
MORVANTE_AVX inline Wide PairStep(const double* rows, Wide& z1, Wide& z2, Wide in) {
  constexpr int kStride = 4 * OversampledStereoChain::kPairs;
  const Wide out = _mm256_add_pd(_mm256_mul_pd(in, _mm256_loadu_pd(rows)), z1);
  z1 = _mm256_sub_pd(_mm256_add_pd(_mm256_mul_pd(in, _mm256_loadu_pd(rows + kStride)), z2),
                     _mm256_mul_pd(_mm256_loadu_pd(rows + 3 * kStride), out));
  z2 = _mm256_sub_pd(_mm256_mul_pd(in, _mm256_loadu_pd(rows + 2 * kStride)),
                     _mm256_mul_pd(_mm256_loadu_pd(rows + 4 * kStride), out));
  return _mm256_cvtps_pd(_mm256_cvtpd_ps(out));
}

MORVANTE_AVX inline Wide Join(__m128d low, __m128d high) { return _mm256_set_m128d(high, low); }
MORVANTE_AVX inline __m128d Low(Wide v) { return _mm256_castpd256_pd128(v); }
MORVANTE_AVX inline __m128d High(Wide v) { return _mm256_extractf128_pd(v, 1); }

}  // namespace

// All ten sections as pairs (0, 5) ... (4, 9) in one wavefront. The fill and
// the drain run one section at a time; the stream is longer than the fill.
MORVANTE_AVX void OversampledStereoChain::RunPairSections(int count) {
  constexpr int kLast = kPairs - 1;
  __m128d* s = mHistory + kTaps;
  RunNarrowSteps(0, kSections - 1, kPairDelays, 0, kPairFill, count);
  // Each pair's states, and its outputs of the step before (the last
  // pair's went to the stream).
  Wide z1[kPairs], z2[kPairs], out[kPairs];
  for (int p = 0; p < kPairs; ++p) {
    z1[p] = Join(mState[p].z1, mState[p + kPairs].z1);
    z2[p] = Join(mState[p].z2, mState[p + kPairs].z2);
    const int t = kPairFill - 1;
    out[p] = Join(s[t - kPairDelays[p]], s[t - kPairDelays[p + kPairs]]);
  }
  for (int t = kPairFill; t < count; ++t) {
#pragma GCC unroll 5
    for (int p = kLast; p > 0; --p) {
      out[p] = PairStep(&mTuning[FrameOf(t - kPairDelays[p])][0][p][0], z1[p], z2[p], out[p - 1]);
    }
    // The first static section works on the entry the last dynamic one
    // left in the stream.
    out[0] = PairStep(&mTuning[FrameOf(t)][0][0][0], z1[0], z2[0], Join(s[t], s[t - kPairDelays[kPairs]]));
    s[t - kPairDelays[kLast]] = Low(out[kLast]);
    s[t - kPairDelays[kSections - 1]] = High(out[kLast]);
  }
  for (int p = 0; p < kPairs; ++p) {
    const int t = count - 1;
    s[t - kPairDelays[p]] = Low(out[p]);
    s[t - kPairDelays[p + kPairs]] = High(out[p]);
    mState[p] = {Low(z1[p]), Low(z2[p])};
    mState[p + kPairs] = {High(z1[p]), High(z2[p])};
  }
  RunNarrowSteps(0, kSections - 1, kPairDelays, count, count + kPairFill, count);
}

namespace {

MORVANTE_AVX inline Wide Tap(int i) { return _mm256_set1_pd(StOversampler4x::kFir[i]); }
MORVANTE_AVX inline Wide add(Wide a, Wide b) { return _mm256_add_pd(a, b); }
MORVANTE_AVX inline Wide mul(Wide a, Wide b) { return _mm256_mul_pd(a, b); }
MORVANTE_AVX inline Wide toFloat(Wide v) { return _mm256_cvtps_pd(_mm256_cvtpd_ps(v)); }
MORVANTE_AVX inline Wide Load(const __m128d* pair) { return _mm256_loadu_pd(reinterpret_cast<const double*>(pair)); }

}  // namespace
// up4 for two pushes at once (push m in the low half, m + 1 in the high
// half), the sums in up4's order as in UpSample.
MORVANTE_AVX void OversampledStereoChain::UpSampleWide(const double* left, const double* right, int n) {
  __m128d x = _mm_setzero_pd();
  for (int i = 0; i < n; ++i) {
    x = _mm_mul_pd(_mm_set1_pd(4.0), _mm_set_pd(right[i], left[i]));
    for (int step = 0; step < kUpSamplingSteps; ++step) mPushes[kInputs + kUpSamplingSteps * i + step] = x;
  }
  const Wide h0 = Tap(0), h1 = Tap(1), h2 = Tap(2), h4 = Tap(4), h5 = Tap(5), h6 = Tap(6), h8 = Tap(8),
             h9 = Tap(9), h10 = Tap(10), h12 = Tap(12), h13 = Tap(13), h14 = Tap(14), h15 = Tap(15);
  for (int m = 0; m < kUpSamplingSteps * n; m += 2) {
    // u[j] holds the j-th newest input after pushes m and m + 1.
    const __m128d* newest = mPushes + kInputs + m;
    Wide u[8];
    for (int j = 0; j < 8; ++j) u[j] = Load(newest - j);
    if (n == 1) {
      // The two pushes just stored, from the register: a wide load of two
      // narrow stores this recent waits for them to be written.
      u[0] = Join(x, x);
      u[1] = Join(newest[-1], x);
    }
    const Wide y0 = add(add(add(add(add(add(add(mul(h0, u[0]), mul(h4, u[1])), mul(h8, u[2])), mul(h12, u[3])),
                                        mul(h14, u[4])),
                                    mul(h10, u[5])),
                                mul(h6, u[6])),
                            mul(h2, u[7]));
    const Wide y1 = add(add(add(mul(h1, add(u[0], u[7])), mul(h5, add(u[1], u[6]))), mul(h9, add(u[2], u[5]))),
                        mul(h13, add(u[3], u[4])));
    const Wide y2 = add(add(add(add(add(add(add(mul(h2, u[0]), mul(h6, u[1])), mul(h10, u[2])), mul(h14, u[3])),
                                        mul(h12, u[4])),
                                    mul(h8, u[5])),
                                mul(h4, u[6])),
                            mul(h0, u[7]));
    const Wide y3 = mul(h15, u[3]);
    const Wide y[4] = {toFloat(y0), toFloat(y1), toFloat(y2), toFloat(y3)};
    __m128d* out = mHistory + kTaps + 4 * m;
    for (int k = 0; k < 4; ++k) {
      out[k] = _mm256_castpd256_pd128(y[k]);
      out[4 + k] = _mm256_extractf128_pd(y[k], 1);
    }
  }
}
