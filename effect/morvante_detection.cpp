// The stages of a chunk before its tuning (MORVANTE::DetectAndStepGains):
// the detectors, the levels, the target gains and the gain steps, each in
// a two-lane form and, where the processor has AVX and the chain runs wide,
// a four-lane one; and the dynamic sections' tuning. Both forms give the
// per-sample form's bits.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "effect/morvante_stages.h"

using namespace morvante_lanes;

namespace {

// The filtered samples from x on, of which `count` are the chunk's; the
// rest are silent partners. A short group is put together from the values:
// a wide load of samples just stored one by one would wait for the stores.
inline Pair TwoFiltered(const float* x, int count) {
  if (count < 2) return _mm_set_pd(0.0, x[0]);
  return _mm_cvtps_pd(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(x))));
}

// The level from one or, when the filtered sample does not stand above the
// first, two steps of the one-pole from rest. A negative x makes the root
// NaN, which counts as below any threshold. The accumulator is what the
// one-pole reached.
inline Pair TwoStepLevel(Pair x, Pair g, Pair m, Pair* accumulator) {
  const Pair a1 = _mm_mul_pd(m, x);
  const Pair a2 = _mm_add_pd(_mm_mul_pd(g, a1), _mm_mul_pd(m, x));
  const Pair aboveFirst = _mm_cmpgt_pd(x, _mm_sqrt_pd(a1));
  *accumulator = Select(aboveFirst, a1, a2);
  return Select(aboveFirst, x, _mm_sqrt_pd(a2));
}

// The Mid band continues from the Low Mid band's accumulator; x > root ? x
// : root, NaN included.
inline Pair ContinuedLevel(Pair x, Pair g, Pair m, Pair accumulator) {
  const Pair root = _mm_sqrt_pd(_mm_add_pd(_mm_mul_pd(g, accumulator), _mm_mul_pd(m, x)));
  return _mm_max_pd(x, root);
}

MORVANTE_AVX inline Quad FourFiltered(const float* x, int count) {
  if (count < 4) return _mm256_set_pd(0.0, count > 2 ? x[2] : 0.0, count > 1 ? x[1] : 0.0, x[0]);
  return _mm256_cvtps_pd(_mm_loadu_ps(x));
}
MORVANTE_AVX inline Quad FourStepLevel(Quad x, Quad g, Quad m, Quad* accumulator) {
  const Quad a1 = _mm256_mul_pd(m, x);
  const Quad a2 = _mm256_add_pd(_mm256_mul_pd(g, a1), _mm256_mul_pd(m, x));
  const Quad aboveFirst = _mm256_cmp_pd(x, _mm256_sqrt_pd(a1), _CMP_GT_OQ);
  *accumulator = SelectQuad(aboveFirst, a1, a2);
  return SelectQuad(aboveFirst, x, _mm256_sqrt_pd(a2));
}
MORVANTE_AVX inline Quad FourContinuedLevel(Quad x, Quad g, Quad m, Quad accumulator) {
  const Quad root = _mm256_sqrt_pd(_mm256_add_pd(_mm256_mul_pd(g, accumulator), _mm256_mul_pd(m, x)));
  return _mm256_max_pd(x, root);
}
MORVANTE_AVX inline Quad StepGainStateQuad(Quad state, Quad target, Quad attackCoefficient, Quad releaseCoefficient) {
  const Quad attack = _mm256_max_pd(_mm256_mul_pd(attackCoefficient, state), target);
  const Quad release = _mm256_min_pd(target, _mm256_div_pd(state, releaseCoefficient));
  return SelectQuad(_mm256_cmp_pd(state, target, _CMP_GT_OQ), attack, release);
}
// Stores lane k of v at to[k].
MORVANTE_AVX inline void StoreLanes(Quad v, double* const (&to)[4]) {
  const __m128d low = _mm256_castpd256_pd128(v), high = _mm256_extractf128_pd(v, 1);
  _mm_storel_pd(to[0], low);
  _mm_storeh_pd(to[1], low);
  _mm_storel_pd(to[2], high);
  _mm_storeh_pd(to[3], high);
}

// The larger signed sample; a NaN gives way to the other one. Without a
// branch: which channel is larger changes with the signal.
inline double LargerSample(double left, double right) {
  const Pair l = _mm_set_sd(left), r = _mm_set_sd(right);
  return _mm_cvtsd_f64(Select(_mm_or_pd(_mm_cmpgt_sd(l, r), _mm_cmpunord_sd(r, r)), l, r));
}

// Output over input level of a static curve with slope 1/r above T; only
// for levels above the threshold (1.0 otherwise).
inline double TargetGainAbove(double level, const MorvanteBandTerms& terms) {
  const double T = terms.thresholdLevel;
  return std::exp((terms.slope * (std::log(level) * kLevelScale - T) + T) / kLevelScale) / level;
}

// The detectors' coefficients and states, a lane per band and a silent one
// (no coefficients) after the last, and the lanes that take the channels'
// sum rather than the larger sample. The registers are put together from
// the values, not loaded from arrays just written, which would wait for
// the stores (a cost that shows in blocks of one sample).
struct DetectorLanes {
  static constexpr int kLanes = 6;
  static_assert(kLanes >= kNumMorvanteBands + 1, "a lane per band and one after");
  BiquadCoefficients c[kLanes];
  BiquadState z[kLanes];
  int64_t takesSum[kLanes];

  DetectorLanes(const MorvanteBand* bands, const int* mode) {
    for (int b = 0; b < kLanes; ++b) {
      const bool band = b < kNumMorvanteBands;
      c[b] = band ? bands[b].detectorFilter.getCoefficients() : BiquadCoefficients{};
      z[b] = band ? bands[b].detectorFilter.getState() : BiquadState{};
      takesSum[b] = band && mode[b] == 1 ? -1 : 0;
    }
  }
  // Lanes b and b + 1 of a value.
  template <class T, class V>
  static Pair Two(const V (&v)[kLanes], T V::*member, int b) {
    return _mm_set_pd(v[b + 1].*member, v[b].*member);
  }
  Pair TwoTakingSum(int b) const { return _mm_castsi128_pd(_mm_set_epi64x(takesSum[b + 1], takesSum[b])); }
  template <class T, class V>
  MORVANTE_AVX static Quad Four(const V (&v)[kLanes], T V::*member) {
    return _mm256_set_pd(v[3].*member, v[2].*member, v[1].*member, v[0].*member);
  }
  MORVANTE_AVX Quad FourTakingSum() const {
    return _mm256_castsi256_pd(_mm256_set_epi64x(takesSum[3], takesSum[2], takesSum[1], takesSum[0]));
  }
  void StoreStates(const double (&z1)[kLanes], const double (&z2)[kLanes], MorvanteBand* bands) const {
    for (int b = 0; b < kNumMorvanteBands; ++b) bands[b].detectorFilter.setState({z1[b], z2[b]});
  }
};

// What the detectors take: the channels' sum and the larger sample, each
// rounded to float as Biquad::processSample's argument is.
struct DetectorInputs {
  double sum, larger;
  DetectorInputs(double L, double R)
      : sum(static_cast<float>(L + R)), larger(static_cast<float>(LargerSample(L, R))) {}

  // The inputs of n samples, before the recursions (which then only read
  // them), two samples at a time.
  static void Fill(const double* left, const double* right, int n, double* sums, double* largers) {
    int i = 0;
    for (; i + 2 <= n; i += 2) {
      const Pair L = _mm_loadu_pd(&left[i]), R = _mm_loadu_pd(&right[i]);
      const Pair takeLeft = _mm_or_pd(_mm_cmpgt_pd(L, R), _mm_cmpunord_pd(R, R));
      _mm_storeu_pd(&sums[i], _mm_cvtps_pd(_mm_cvtpd_ps(_mm_add_pd(L, R))));
      _mm_storeu_pd(&largers[i], _mm_cvtps_pd(_mm_cvtpd_ps(Select(takeLeft, L, R))));
    }
    if (i < n) {
      const DetectorInputs in(left[i], right[i]);
      sums[i] = in.sum;
      largers[i] = in.larger;
    }
  }
};

}  // namespace

// Linked detection: one gain state per band drives both channels. The
// detectors' recursions run sample by sample, bands 2p and 2p + 1 side by
// side in the low and high lanes of a register; each lane does what
// Biquad::processSample does, the float rounding of its output included.
void MORVANTE::FilterDetectors(const BlockSwitches& block, ChunkWork& w) {
  constexpr int kPairs = DetectorLanes::kLanes / 2;
  const DetectorLanes lanes(mBands, block.mode);
  using C = BiquadCoefficients;
  using Z = BiquadState;
  Pair a0[kPairs], a1[kPairs], a2[kPairs], b1[kPairs], b2[kPairs], z1[kPairs], z2[kPairs], takesSum[kPairs];
  for (int p = 0; p < kPairs; ++p) {
    a0[p] = DetectorLanes::Two(lanes.c, &C::a0, 2 * p);
    a1[p] = DetectorLanes::Two(lanes.c, &C::a1, 2 * p);
    a2[p] = DetectorLanes::Two(lanes.c, &C::a2, 2 * p);
    b1[p] = DetectorLanes::Two(lanes.c, &C::b1, 2 * p);
    b2[p] = DetectorLanes::Two(lanes.c, &C::b2, 2 * p);
    z1[p] = DetectorLanes::Two(lanes.z, &Z::z1, 2 * p);
    z2[p] = DetectorLanes::Two(lanes.z, &Z::z2, 2 * p);
    takesSum[p] = lanes.TwoTakingSum(2 * p);
  }
  double sums[ChunkWork::kChunk], largers[ChunkWork::kChunk];
  DetectorInputs::Fill(w.left, w.right, w.n, sums, largers);
  for (int i = 0; i < w.n; ++i) {
    const Pair sum = _mm_load1_pd(&sums[i]), larger = _mm_load1_pd(&largers[i]);
    for (int p = 0; p < kPairs; ++p) {
      const Pair x = Select(takesSum[p], sum, larger);
      const Pair out = _mm_add_pd(_mm_mul_pd(x, a0[p]), z1[p]);
      z1[p] = _mm_sub_pd(_mm_add_pd(_mm_mul_pd(x, a1[p]), z2[p]), _mm_mul_pd(b1[p], out));
      z2[p] = _mm_sub_pd(_mm_mul_pd(x, a2[p]), _mm_mul_pd(b2[p], out));
      const __m128 rounded = _mm_cvtpd_ps(out);
      _mm_store_ss(&w.filtered[2 * p][i], rounded);
      if (2 * p + 1 < kNumMorvanteBands) {
        _mm_store_ss(&w.filtered[2 * p + 1][i], _mm_shuffle_ps(rounded, rounded, 1));
      }
    }
  }
  double z1s[DetectorLanes::kLanes], z2s[DetectorLanes::kLanes];
  for (int p = 0; p < kPairs; ++p) {
    _mm_storeu_pd(&z1s[2 * p], z1[p]);
    _mm_storeu_pd(&z2s[2 * p], z2[p]);
  }
  lanes.StoreStates(z1s, z2s, mBands);
}

// Bands 0..3 in one 256-bit register, band 4 and the silent lane in a
// 128-bit one.
MORVANTE_AVX void MORVANTE::FilterDetectorsWide(const BlockSwitches& block, ChunkWork& w) {
  static_assert(kNumMorvanteBands == 5 && DetectorLanes::kLanes == 6, "four lanes, then two");
  const DetectorLanes lanes(mBands, block.mode);
  using C = BiquadCoefficients;
  using Z = BiquadState;
  const Quad a0 = DetectorLanes::Four(lanes.c, &C::a0), a1 = DetectorLanes::Four(lanes.c, &C::a1),
             a2 = DetectorLanes::Four(lanes.c, &C::a2), b1 = DetectorLanes::Four(lanes.c, &C::b1),
             b2 = DetectorLanes::Four(lanes.c, &C::b2), takesSum = lanes.FourTakingSum();
  Quad z1 = DetectorLanes::Four(lanes.z, &Z::z1), z2 = DetectorLanes::Four(lanes.z, &Z::z2);
  const Pair lastA0 = DetectorLanes::Two(lanes.c, &C::a0, 4), lastA1 = DetectorLanes::Two(lanes.c, &C::a1, 4),
             lastA2 = DetectorLanes::Two(lanes.c, &C::a2, 4), lastB1 = DetectorLanes::Two(lanes.c, &C::b1, 4),
             lastB2 = DetectorLanes::Two(lanes.c, &C::b2, 4), lastTakesSum = lanes.TwoTakingSum(4);
  Pair lastZ1 = DetectorLanes::Two(lanes.z, &Z::z1, 4), lastZ2 = DetectorLanes::Two(lanes.z, &Z::z2, 4);
  float* const filtered[kNumMorvanteBands] = {w.filtered[0], w.filtered[1], w.filtered[2], w.filtered[3],
                                              w.filtered[4]};
  double sums[ChunkWork::kChunk], largers[ChunkWork::kChunk];
  DetectorInputs::Fill(w.left, w.right, w.n, sums, largers);
  for (int i = 0; i < w.n; ++i) {
    const Quad x = SelectQuad(takesSum, _mm256_broadcast_sd(&sums[i]), _mm256_broadcast_sd(&largers[i]));
    const Quad out = _mm256_add_pd(_mm256_mul_pd(x, a0), z1);
    z1 = _mm256_sub_pd(_mm256_add_pd(_mm256_mul_pd(x, a1), z2), _mm256_mul_pd(b1, out));
    z2 = _mm256_sub_pd(_mm256_mul_pd(x, a2), _mm256_mul_pd(b2, out));
    const Pair lastX = Select(lastTakesSum, _mm_load1_pd(&sums[i]), _mm_load1_pd(&largers[i]));
    const Pair lastOut = _mm_add_pd(_mm_mul_pd(lastX, lastA0), lastZ1);
    lastZ1 = _mm_sub_pd(_mm_add_pd(_mm_mul_pd(lastX, lastA1), lastZ2), _mm_mul_pd(lastB1, lastOut));
    lastZ2 = _mm_sub_pd(_mm_mul_pd(lastX, lastA2), _mm_mul_pd(lastB2, lastOut));
    const __m128 rounded = _mm256_cvtpd_ps(out);
    _mm_store_ss(&filtered[0][i], rounded);
    _mm_store_ss(&filtered[1][i], _mm_shuffle_ps(rounded, rounded, 1));
    _mm_store_ss(&filtered[2][i], _mm_shuffle_ps(rounded, rounded, 2));
    _mm_store_ss(&filtered[3][i], _mm_shuffle_ps(rounded, rounded, 3));
    _mm_store_ss(&filtered[4][i], _mm_cvtpd_ps(lastOut));
  }
  double z1s[DetectorLanes::kLanes], z2s[DetectorLanes::kLanes];
  _mm256_storeu_pd(z1s, z1);
  _mm256_storeu_pd(z2s, z2);
  _mm_storeu_pd(&z1s[4], lastZ1);
  _mm_storeu_pd(&z2s[4], lastZ2);
  lanes.StoreStates(z1s, z2s, mBands);
}

namespace {

constexpr int kChunkFrames = OversampledStereoChain::kChunk;

// The levels two samples at a time.
void LevelsTwoAtATime(const float (*filtered)[kChunkFrames], double (*levels)[kChunkFrames], int n, double gValue,
                      double mValue) {
  const Pair g = _mm_set1_pd(gValue), m = _mm_set1_pd(mValue);
  for (int i = 0; i < n; i += 2) {
    Pair accumulator = _mm_setzero_pd();
    for (int b = 0; b < kNumMorvanteBands; ++b) {
      const Pair x = TwoFiltered(&filtered[b][i], n - i);
      Pair bandLevel;
      if (b == kBandMid) {
        bandLevel = ContinuedLevel(x, g, m, accumulator);
      } else {
        Pair reached;
        bandLevel = TwoStepLevel(x, g, m, &reached);
        if (b == kBandLowMid) accumulator = reached;
      }
      _mm_storeu_pd(&levels[b][i], bandLevel);
    }
  }
}

// Four at a time: the roots are most of the work, and a 256-bit root costs
// what a 128-bit one does.
MORVANTE_AVX void LevelsFourAtATime(const float (*filtered)[kChunkFrames], double (*levels)[kChunkFrames], int n,
                                    double gValue, double mValue) {
  const Quad g = _mm256_set1_pd(gValue), m = _mm256_set1_pd(mValue);
  for (int i = 0; i < n; i += 4) {
    Quad accumulator = _mm256_setzero_pd();
    for (int b = 0; b < kNumMorvanteBands; ++b) {
      const Quad x = FourFiltered(&filtered[b][i], n - i);
      Quad bandLevel;
      if (b == kBandMid) {
        bandLevel = FourContinuedLevel(x, g, m, accumulator);
      } else {
        Quad reached;
        bandLevel = FourStepLevel(x, g, m, &reached);
        if (b == kBandLowMid) accumulator = reached;
      }
      _mm256_storeu_pd(&levels[b][i], bandLevel);
    }
  }
}

}  // namespace

// The levels several samples at a time; the samples after the chunk's last
// take silent partners (the level arrays have room for them).
void MORVANTE::MeasureLevels(ChunkWork& w) const {
  static_assert(ChunkWork::kChunk % 4 == 0, "whole groups of four fill the chunk");
  if (WideStages()) {
    LevelsFourAtATime(w.filtered, w.gain, w.n, mDerived.g, mDerived.m);
  } else {
    LevelsTwoAtATime(w.filtered, w.gain, w.n, mDerived.g, mDerived.m);
  }
}

// The samples above the threshold are listed first, so that the loop around
// the library calls does not branch on the signal; the arithmetic around the
// calls runs two samples at a time.
void MORVANTE::ComputeTargetGains(ChunkWork& w) const {
  constexpr int kChunk = ChunkWork::kChunk;
  const Pair levelScale = _mm_set1_pd(kLevelScale);
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    const MorvanteBandTerms& terms = mDerived.terms[b];
    double* gain = w.gain[b];
    int above[kChunk];
    double aboveLevel[kChunk];
    int count = 0;
    for (int i = 0; i < w.n; ++i) {
      const double level = gain[i];
      above[count] = i;
      aboveLevel[count] = level;
      count += level > terms.thresholdLinear ? 1 : 0;
      gain[i] = 1.0;
    }
    // exp((slope x (log(level) x scale - T) + T) / scale) / level
    const Pair T = _mm_set1_pd(terms.thresholdLevel), slope = _mm_set1_pd(terms.slope);
    int k = 0;
    for (; k + 1 < count; k += 2) {
      const Pair level = _mm_loadu_pd(&aboveLevel[k]);
      const Pair logs = _mm_set_pd(std::log(aboveLevel[k + 1]), std::log(aboveLevel[k]));
      const Pair exponents =
          _mm_div_pd(_mm_add_pd(_mm_mul_pd(slope, _mm_sub_pd(_mm_mul_pd(logs, levelScale), T)), T), levelScale);
      const Pair exps = _mm_set_pd(std::exp(_mm_cvtsd_f64(_mm_unpackhi_pd(exponents, exponents))),
                                   std::exp(_mm_cvtsd_f64(exponents)));
      const Pair targets = _mm_div_pd(exps, level);
      _mm_storel_pd(&gain[above[k]], targets);
      _mm_storeh_pd(&gain[above[k + 1]], targets);
    }
    if (k < count) gain[above[k]] = TargetGainAbove(aboveLevel[k], terms);
  }
}

// With the editor open the meters follow the gain states in the same loop.
// Bands 2p and 2p + 1 share a register, the low lane and the high lane, so
// that the recursions of all five overlap; the sixth lane runs a gain at
// rest (1.0 toward 1.0) and a meter at zero. A band switched off runs so
// too: from 1.0, with both coefficients 1.0, its state stays 1.0 whatever
// the target (a NaN target included).
template <bool kMeters>
void MORVANTE::StepGainStates(ChunkWork& w) {
  constexpr int kPairs = DerivedSettings::kBandPairs;
  Pair state[kPairs], meter[kPairs], attack[kPairs], release[kPairs];
  LoadBandPairs(state, meter, attack, release);
  const Pair meterCoefficient = _mm_set1_pd(mDerived.meterCoefficient);
  const double restTarget = 1.0;
  for (int i = 0; i < w.n; ++i) {
    for (int p = 0; p < kPairs; ++p) {
      const int low = 2 * p, high = 2 * p + 1;
      double* lowGain = &w.gain[low][i];
      double* highGain = high < kNumMorvanteBands ? &w.gain[high][i] : nullptr;
      const Pair target = _mm_loadh_pd(_mm_load_sd(lowGain), highGain ? highGain : &restTarget);
      state[p] = StepGainStatePair(state[p], target, attack[p], release[p]);
      _mm_storel_pd(lowGain, state[p]);
      if (highGain) _mm_storeh_pd(highGain, state[p]);
      if (kMeters) meter[p] = VUClass::StepPair(meter[p], MeterInputPair(state[p]), meterCoefficient);
    }
  }
  StoreBandPairs(state, meter, kMeters);
}

// The same with bands 0..3 in one 256-bit register and band 4 with the
// lane at rest in a 128-bit one.
template <bool kMeters>
MORVANTE_AVX void MORVANTE::StepGainStatesWide(ChunkWork& w) {
  constexpr int kLanes = 2 * DerivedSettings::kBandPairs;
  static_assert(kNumMorvanteBands == 5 && kLanes == 6, "four lanes, then two");
  double states[kLanes], meterStates[kLanes];
  GainLanes(states, meterStates);
  const Quad attack = _mm256_loadu_pd(mDerived.stepAttack), release = _mm256_loadu_pd(mDerived.stepRelease);
  const Pair lastAttack = _mm_loadu_pd(&mDerived.stepAttack[4]), lastRelease = _mm_loadu_pd(&mDerived.stepRelease[4]);
  // Put together from the values (see DetectorLanes).
  Quad state = _mm256_set_pd(states[3], states[2], states[1], states[0]);
  Quad meter = _mm256_set_pd(meterStates[3], meterStates[2], meterStates[1], meterStates[0]);
  Pair lastState = _mm_set_pd(states[5], states[4]), lastMeter = _mm_set_pd(meterStates[5], meterStates[4]);
  const Quad one = _mm256_set1_pd(1.0), meterScale = _mm256_set1_pd(kMeterInputScale);
  const Quad meterCoefficient = _mm256_set1_pd(mDerived.meterCoefficient);
  const Pair lastMeterCoefficient = _mm_set1_pd(mDerived.meterCoefficient);
  for (int i = 0; i < w.n; ++i) {
    double* const gains[4] = {&w.gain[0][i], &w.gain[1][i], &w.gain[2][i], &w.gain[3][i]};
    const Quad target = _mm256_set_pd(*gains[3], *gains[2], *gains[1], *gains[0]);
    state = StepGainStateQuad(state, target, attack, release);
    StoreLanes(state, gains);
    const Pair lastTarget = _mm_loadh_pd(_mm_load_sd(&w.gain[4][i]), &states[5]);
    lastState = StepGainStatePair(lastState, lastTarget, lastAttack, lastRelease);
    _mm_storel_pd(&w.gain[4][i], lastState);
    if (kMeters) {
      meter = VUClass::StepQuad(meter, _mm256_mul_pd(_mm256_sub_pd(one, state), meterScale), meterCoefficient);
      lastMeter = VUClass::StepPair(lastMeter, MeterInputPair(lastState), lastMeterCoefficient);
    }
  }
  _mm256_storeu_pd(states, state);
  _mm256_storeu_pd(meterStates, meter);
  _mm_storeu_pd(&states[4], lastState);
  _mm_storeu_pd(&meterStates[4], lastMeter);
  SetGainLanes(states, meterStates, kMeters);
}

// The library's power only where a gain moved (equal gains give equal
// amplitudes), then the coefficients two samples at a time, straight into
// the chain; what every boost shares stays in the rows from one chunk to the
// next.
void MORVANTE::TuneDynamicSections(const ChunkWork& w) {
  constexpr int kChunk = ChunkWork::kChunk;
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    double gains[kChunk], amplitudes[kChunk];
    double tunedGain = mTunedDynamicGain[b], tunedAmplitude = mTunedAmplitude[b];
    for (int i = 0; i < w.n; ++i) {
      gains[i] = kDynamicRangeDB * w.gain[b][i];
      if (gains[i] != tunedGain) {
        tunedAmplitude = BiquadGainTuning::Amplitude(gains[i]);
        tunedGain = gains[i];
      }
      amplitudes[i] = tunedAmplitude;
    }
    mTunedDynamicGain[b] = tunedGain;
    mTunedAmplitude[b] = tunedAmplitude;
    const BiquadPairRows rows = mStereoChain.DynamicTuning(kDynamicChainPosition[b]);
    if (!mBoostConstantsInPlace[b]) mDynamicTuning[b].writeBoostConstants(kChunk, rows);
    const BiquadGainTuning& tuning = mDynamicTuning[b];
    mBoostConstantsInPlace[b] = w.n == 1 ? tuning.coefficientsForOne(gains[0], amplitudes[0], rows, true)
                                         : tuning.coefficientsFor(gains, amplitudes, w.n, rows, true);
  }
}

void MORVANTE::DetectAndStepGains(const BlockSwitches& block, double** inputs, int offset, ChunkWork& w) {
  TakeInputsAndFilter(block, inputs, offset, w);
  StepGainsFromFiltered(block, w);
}

void MORVANTE::TakeInputsAndFilter(const BlockSwitches& block, double** inputs, int offset, ChunkWork& w) {
  std::copy_n(inputs[0] + offset, w.n, w.left);
  std::copy_n(inputs[1] + offset, w.n, w.right);
  if (WideStages()) {
    FilterDetectorsWide(block, w);
  } else {
    FilterDetectors(block, w);
  }
}

void MORVANTE::StepGainsFromFiltered(const BlockSwitches& block, ChunkWork& w) {
  MeasureLevels(w);
  ComputeTargetGains(w);
  if (WideStages()) {
    if (block.gui) {
      StepGainStatesWide<true>(w);
    } else {
      StepGainStatesWide<false>(w);
    }
  } else if (block.gui) {
    StepGainStates<true>(w);
  } else {
    StepGainStates<false>(w);
  }
}

void MORVANTE::LoadBandPairs(__m128d* state, __m128d* meter, __m128d* attack, __m128d* release) const {
  constexpr int kPairs = DerivedSettings::kBandPairs;
  double states[2 * kPairs], meterStates[2 * kPairs];
  GainLanes(states, meterStates);
  // Put together from the values: a load of what was just stored one value
  // at a time would wait for the stores.
  for (int p = 0; p < kPairs; ++p) {
    state[p] = _mm_set_pd(states[2 * p + 1], states[2 * p]);
    meter[p] = _mm_set_pd(meterStates[2 * p + 1], meterStates[2 * p]);
    attack[p] = _mm_loadu_pd(&mDerived.stepAttack[2 * p]);
    release[p] = _mm_loadu_pd(&mDerived.stepRelease[2 * p]);
  }
}

void MORVANTE::StoreBandPairs(const __m128d* state, const __m128d* meter, bool meters) {
  constexpr int kPairs = DerivedSettings::kBandPairs;
  double states[2 * kPairs], meterStates[2 * kPairs];
  for (int p = 0; p < kPairs; ++p) {
    _mm_storeu_pd(&states[2 * p], state[p]);
    _mm_storeu_pd(&meterStates[2 * p], meter[p]);
  }
  SetGainLanes(states, meterStates, meters);
}
