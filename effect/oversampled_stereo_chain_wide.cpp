// The 256-bit form of the chain's sections. Two neighbouring sections of the
// wavefront, k and k + 1, share a register: k + 1 on entry j - 2 in the low
// half, k on entry j in the high half. Each step's input is made of outputs
// of earlier steps with their halves moved: the low half takes what k gave
// two steps before (a lag of one step would put the whole section step,
// conversions included, into every step's latency), the high half what the
// section before k gave one step before. Only these functions use AVX; they
// run only when the processor has it.
#include <immintrin.h>

#include "effect/oversampled_stereo_chain.h"

#define MORVANTE_AVX __attribute__((target("avx")))

namespace {

using Wide = __m256d;

MORVANTE_AVX inline Wide Load(const __m128d* pair) { return _mm256_loadu_pd(reinterpret_cast<const double*>(pair)); }

// Biquad::processSample on all four lanes, in its order.
MORVANTE_AVX inline Wide WideStep(const Wide a0, const Wide a1, const Wide a2, const Wide b1, const Wide b2, Wide& z1,
                                  Wide& z2, Wide in) {
  const Wide out = _mm256_add_pd(_mm256_mul_pd(in, a0), z1);
  z1 = _mm256_sub_pd(_mm256_add_pd(_mm256_mul_pd(in, a1), z2), _mm256_mul_pd(b1, out));
  z2 = _mm256_sub_pd(_mm256_mul_pd(in, a2), _mm256_mul_pd(b2, out));
  return _mm256_cvtps_pd(_mm256_cvtpd_ps(out));
}

using Rows = OversampledStereoChain::TuningRows;

// Two neighbouring lanes of row k, `offset` doubles in: the lower lane (the
// later section) from `later`, the higher from `earlier`.
MORVANTE_AVX inline Wide RowPair(const Rows& later, const Rows& earlier, int offset, int k) {
  return _mm256_blend_pd(_mm256_loadu_pd(&later[k][offset]), _mm256_loadu_pd(&earlier[k][offset]), 0xc);
}

MORVANTE_AVX inline Wide WideStep(const Rows& later, const Rows& earlier, int offset, Wide& z1, Wide& z2, Wide in) {
  return WideStep(RowPair(later, earlier, offset, 0), RowPair(later, earlier, offset, 1),
                  RowPair(later, earlier, offset, 2), RowPair(later, earlier, offset, 3),
                  RowPair(later, earlier, offset, 4), z1, z2, in);
}

// The next input of a pair: its earlier section's last output moves to the
// low half, the high half takes what comes from before the pair.
MORVANTE_AVX inline Wide Advance(Wide pair, Wide before) { return _mm256_permute2f128_pd(pair, before, 0x21); }
MORVANTE_AVX inline Wide Advance(Wide pair, __m128d before) {
  return _mm256_permute2f128_pd(pair, _mm256_castpd128_pd256(before), 0x21);
}

MORVANTE_AVX inline Wide Join(__m128d low, __m128d high) { return _mm256_set_m128d(high, low); }


// A pair's outputs of the last two steps, taken from the stream at the
// start of the steady part: the early section's from its two latest
// entries, the later section's from its latest.
MORVANTE_AVX inline void LoadPair(const __m128d* s, int t, int earlyDelay, Wide& last, Wide& beforeLast) {
  last = Join(s[t - 1 - earlyDelay - 2], s[t - 1 - earlyDelay]);
  beforeLast = Join(s[t - 2 - earlyDelay - 2], s[t - 2 - earlyDelay]);
}

// What the stream must hold where the one-section steps take over: the
// early section's two latest entries and the later section's latest.
MORVANTE_AVX inline void StorePair(__m128d* s, int t, int earlyDelay, Wide last, Wide beforeLast) {
  s[t - 1 - earlyDelay] = _mm256_extractf128_pd(last, 1);
  s[t - 2 - earlyDelay] = _mm256_extractf128_pd(beforeLast, 1);
  s[t - 1 - earlyDelay - 2] = _mm256_castpd256_pd128(last);
}

MORVANTE_AVX inline void LoadStates(const OversampledStereoChain::State* state, int early, Wide& z1, Wide& z2) {
  z1 = Join(state[early + 1].z1, state[early].z1);
  z2 = Join(state[early + 1].z2, state[early].z2);
}

MORVANTE_AVX inline void StoreStates(OversampledStereoChain::State* state, int early, Wide z1, Wide z2) {
  state[early] = {_mm256_extractf128_pd(z1, 1), _mm256_extractf128_pd(z2, 1)};
  state[early + 1] = {_mm256_castpd256_pd128(z1), _mm256_castpd256_pd128(z2)};
}

}  // namespace

// All ten sections as pairs (0, 1) ... (8, 9) in one wavefront, so that the
// five pairs' recursions overlap. Sections 0 to 4 are tuned per base-rate
// sample, the others once per block. The fill and the drain run one section
// at a time; the stream is longer than the fill.
MORVANTE_AVX void OversampledStereoChain::RunWideSections(int count) {
  const Coefficients &c6 = mStatic[1], &c7 = mStatic[2], &c8 = mStatic[3], &c9 = mStatic[4];
  const Wide a0d = Join(c7.a0, c6.a0), a1d = Join(c7.a1, c6.a1), a2d = Join(c7.a2, c6.a2),
             b1d = Join(c7.b1, c6.b1), b2d = Join(c7.b2, c6.b2);
  const Wide a0e = Join(c9.a0, c8.a0), a1e = Join(c9.a1, c8.a1), a2e = Join(c9.a2, c8.a2),
             b1e = Join(c9.b1, c8.b1), b2e = Join(c9.b2, c8.b2);

  __m128d* s = mHistory + kTaps;
  RunNarrowSteps(0, kSections - 1, kWideDelays, 0, kWideFill, count);
  Wide z1[5], z2[5], last[5], before[5];
  for (int p = 0; p < 5; ++p) {
    LoadStates(mState, 2 * p, z1[p], z2[p]);
    LoadPair(s, kWideFill, kWideDelays[2 * p], last[p], before[p]);
  }
  for (int t = kWideFill; t < count; ++t) {
    // The later section of a dynamic pair is still in the previous
    // base-rate sample's tuning on the first two entries of each sample.
    const int ja = t - kWideDelays[0], jb = t - kWideDelays[2], jc = t - kWideDelays[4];
    const Wide inE = Advance(before[4], last[3]);
    const Wide inD = Advance(before[3], last[2]);
    const Wide inC = Advance(before[2], last[1]);
    const Wide inB = Advance(before[1], last[0]);
    const Wide inA = Advance(before[0], s[ja]);
    for (int p = 0; p < 5; ++p) before[p] = last[p];
    // Sections 1 and 0, 3 and 2, 5 and 4 (see LaneOf).
    last[0] = WideStep(mTuning[FrameOf(ja - 2)][0], mTuning[FrameOf(ja)][0], 4, z1[0], z2[0], inA);
    last[1] = WideStep(mTuning[FrameOf(jb - 2)][0], mTuning[FrameOf(jb)][0], 0, z1[1], z2[1], inB);
    last[2] = WideStep(mTuning[FrameOf(jc)][1], mTuning[FrameOf(jc)][1], 4, z1[2], z2[2], inC);
    last[3] = WideStep(a0d, a1d, a2d, b1d, b2d, z1[3], z2[3], inD);
    last[4] = WideStep(a0e, a1e, a2e, b1e, b2e, z1[4], z2[4], inE);
    s[t - kWideDelays[kSections - 1]] = _mm256_castpd256_pd128(last[4]);
  }
  for (int p = 0; p < 5; ++p) {
    StorePair(s, count, kWideDelays[2 * p], last[p], before[p]);
    StoreStates(mState, 2 * p, z1[p], z2[p]);
  }
  RunNarrowSteps(0, kSections - 1, kWideDelays, count, count + kWideFill, count);
}

namespace {

MORVANTE_AVX inline Wide Tap(int i) { return _mm256_set1_pd(StOversampler4x::kFir[i]); }
MORVANTE_AVX inline Wide add(Wide a, Wide b) { return _mm256_add_pd(a, b); }
MORVANTE_AVX inline Wide mul(Wide a, Wide b) { return _mm256_mul_pd(a, b); }
MORVANTE_AVX inline Wide toFloat(Wide v) { return _mm256_cvtps_pd(_mm256_cvtpd_ps(v)); }

}  // namespace

// up4 for two pushes at once (push m in the low half, m + 1 in the high
// half), the sums in up4's order as in UpSample.
MORVANTE_AVX void OversampledStereoChain::UpSampleWide(const double* left, const double* right, int n) {
  for (int i = 0; i < n; ++i) {
    const __m128d x = _mm_mul_pd(_mm_set1_pd(4.0), _mm_set_pd(right[i], left[i]));
    for (int step = 0; step < kUpSamplingSteps; ++step) mPushes[kInputs + kUpSamplingSteps * i + step] = x;
  }
  const Wide h0 = Tap(0), h1 = Tap(1), h2 = Tap(2), h4 = Tap(4), h5 = Tap(5), h6 = Tap(6), h8 = Tap(8),
             h9 = Tap(9), h10 = Tap(10), h12 = Tap(12), h13 = Tap(13), h14 = Tap(14), h15 = Tap(15);
  for (int m = 0; m < kUpSamplingSteps * n; m += 2) {
    // u[j] holds the j-th newest input after pushes m and m + 1.
    const __m128d* newest = mPushes + kInputs + m;
    Wide u[8];
    for (int j = 0; j < 8; ++j) u[j] = Load(newest - j);
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
