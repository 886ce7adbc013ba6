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

template <class C>
MORVANTE_AVX inline Wide WideStep(const C& c, Wide& z1, Wide& z2, Wide in) {
  return WideStep(Load(c.a0), Load(c.a1), Load(c.a2), Load(c.b1), Load(c.b2), z1, z2, in);
}

// The next input of a pair: its earlier section's last output moves to the
// low half, the high half takes what comes from before the pair.
MORVANTE_AVX inline Wide Advance(Wide pair, Wide before) { return _mm256_permute2f128_pd(pair, before, 0x21); }
MORVANTE_AVX inline Wide Advance(Wide pair, __m128d before) {
  return _mm256_permute2f128_pd(pair, _mm256_castpd128_pd256(before), 0x21);
}

MORVANTE_AVX inline Wide Join(__m128d low, __m128d high) { return _mm256_set_m128d(high, low); }

MORVANTE_AVX inline void SetHalf(OversampledStereoChain::WideCoefficients& w, int half, const BiquadCoefficients& c) {
  w.a0[half] = _mm_set1_pd(c.a0);
  w.a1[half] = _mm_set1_pd(c.a1);
  w.a2[half] = _mm_set1_pd(c.a2);
  w.b1[half] = _mm_set1_pd(c.b1);
  w.b2[half] = _mm_set1_pd(c.b2);
}

}  // namespace

bool OversampledStereoChain::WideRegistersAvailable() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx");
}

namespace {

// Where each section of a group works at step t: on entry t - delay.
constexpr int kDynamicDelays[4] = {0, 2, 3, 5};
constexpr int kStaticDelays[6] = {0, 2, 3, 5, 6, 8};

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

// Sections 0..3 as pairs (0, 1) and (2, 3). The fill and the drain of the
// wavefront run one section at a time.
MORVANTE_AVX void OversampledStereoChain::RunWideDynamicSections(int count) {
  const int frames = count / kOversampling;
  for (int f = 0; f < frames; ++f) {
    for (int p = 0; p < 2; ++p) {
      SetHalf(mPairInside[f][p], 0, mDynamicTuning[f][2 * p + 1]);
      SetHalf(mPairInside[f][p], 1, mDynamicTuning[f][2 * p]);
      SetHalf(mPairStraddling[f][p], 0, mDynamicTuning[f > 0 ? f - 1 : 0][2 * p + 1]);
      SetHalf(mPairStraddling[f][p], 1, mDynamicTuning[f][2 * p]);
    }
  }

  __m128d* s = mHistory + kTaps;
  constexpr int kFill = kDynamicDelays[3];
  RunNarrowSteps(0, 3, kDynamicDelays, 0, kFill, count);
  Wide z1a, z2a, z1b, z2b, lastA, beforeA, lastB, beforeB;
  LoadStates(mState, 0, z1a, z2a);
  LoadStates(mState, 2, z1b, z2b);
  LoadPair(s, kFill, kDynamicDelays[0], lastA, beforeA);
  LoadPair(s, kFill, kDynamicDelays[2], lastB, beforeB);
  for (int t = kFill; t < count; ++t) {
    // The later section of a pair is still in the previous base-rate
    // sample's tuning on the first two entries of each sample.
    const int ja = t - kDynamicDelays[0], jb = t - kDynamicDelays[2];
    const WideCoefficients& ca = (ja & 7) >= 2 ? mPairInside[ja >> 3][0] : mPairStraddling[ja >> 3][0];
    const WideCoefficients& cb = (jb & 7) >= 2 ? mPairInside[jb >> 3][1] : mPairStraddling[jb >> 3][1];
    const Wide inB = Advance(beforeB, lastA);
    const Wide inA = Advance(beforeA, s[ja]);
    beforeA = lastA;
    beforeB = lastB;
    lastA = WideStep(ca, z1a, z2a, inA);
    lastB = WideStep(cb, z1b, z2b, inB);
    s[t - kDynamicDelays[3]] = _mm256_castpd256_pd128(lastB);
  }
  StorePair(s, count, kDynamicDelays[0], lastA, beforeA);
  StorePair(s, count, kDynamicDelays[2], lastB, beforeB);
  StoreStates(mState, 0, z1a, z2a);
  StoreStates(mState, 2, z1b, z2b);
  RunNarrowSteps(0, 3, kDynamicDelays, count, count + kFill, count);
}

// Sections 4..9 as pairs (4, 5), (6, 7) and (8, 9). Section 4 is tuned per
// base-rate sample, the others once per block.
MORVANTE_AVX void OversampledStereoChain::RunWideStaticSections(int count) {
  const int frames = count / kOversampling;
  const Coefficients& c5 = mStatic[0];
  for (int f = 0; f < frames; ++f) {
    WideCoefficients& mixed = mMixedPair[f];
    mixed.a0[0] = c5.a0, mixed.a1[0] = c5.a1, mixed.a2[0] = c5.a2, mixed.b1[0] = c5.b1, mixed.b2[0] = c5.b2;
    SetHalf(mixed, 1, mDynamicTuning[f][4]);
  }
  const Coefficients &c6 = mStatic[1], &c7 = mStatic[2], &c8 = mStatic[3], &c9 = mStatic[4];
  const Wide a0b = Join(c7.a0, c6.a0), a1b = Join(c7.a1, c6.a1), a2b = Join(c7.a2, c6.a2),
             b1b = Join(c7.b1, c6.b1), b2b = Join(c7.b2, c6.b2);
  const Wide a0c = Join(c9.a0, c8.a0), a1c = Join(c9.a1, c8.a1), a2c = Join(c9.a2, c8.a2),
             b1c = Join(c9.b1, c8.b1), b2c = Join(c9.b2, c8.b2);

  __m128d* s = mHistory + kTaps;
  constexpr int kFill = kStaticDelays[5];
  RunNarrowSteps(4, 9, kStaticDelays, 0, kFill, count);
  Wide z1a, z2a, z1b, z2b, z1c, z2c, lastA, beforeA, lastB, beforeB, lastC, beforeC;
  LoadStates(mState, 4, z1a, z2a);
  LoadStates(mState, 6, z1b, z2b);
  LoadStates(mState, 8, z1c, z2c);
  LoadPair(s, kFill, kStaticDelays[0], lastA, beforeA);
  LoadPair(s, kFill, kStaticDelays[2], lastB, beforeB);
  LoadPair(s, kFill, kStaticDelays[4], lastC, beforeC);
  for (int t = kFill; t < count; ++t) {
    const Wide inC = Advance(beforeC, lastB);
    const Wide inB = Advance(beforeB, lastA);
    const Wide inA = Advance(beforeA, s[t]);
    beforeA = lastA;
    beforeB = lastB;
    beforeC = lastC;
    lastA = WideStep(mMixedPair[t >> 3], z1a, z2a, inA);
    lastB = WideStep(a0b, a1b, a2b, b1b, b2b, z1b, z2b, inB);
    lastC = WideStep(a0c, a1c, a2c, b1c, b2c, z1c, z2c, inC);
    s[t - kStaticDelays[5]] = _mm256_castpd256_pd128(lastC);
  }
  StorePair(s, count, kStaticDelays[0], lastA, beforeA);
  StorePair(s, count, kStaticDelays[2], lastB, beforeB);
  StorePair(s, count, kStaticDelays[4], lastC, beforeC);
  StoreStates(mState, 4, z1a, z2a);
  StoreStates(mState, 6, z1b, z2b);
  StoreStates(mState, 8, z1c, z2c);
  RunNarrowSteps(4, 9, kStaticDelays, count, count + kFill, count);
}
