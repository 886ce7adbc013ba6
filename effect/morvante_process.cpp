// The per-sample processing of MORVANTE. Quantities whose inputs cannot
// change within a block (the parameter copies and the rate change only under
// the instance lock, which the caller holds for the whole block) are computed
// once per block; every expression keeps the operation order of the
// per-sample form so that the output is the same bit for bit.
//
// A block runs in chunks: first the detection and the dynamic sections'
// tuning of every base-rate sample of the chunk, then the oversampled chain
// of both channels over the whole chunk (OversampledStereoChain). Digital
// silence reached from rest skips all of that (RestThrough).
#include <immintrin.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "effect/morvante.h"
#include "effect/scoped_flush_denormals.h"
#include "graphics/igraphics.h"

namespace {

// 2 pi x 10 Hz: the detector's one-pole smoothing.
constexpr double kDetectorSmoothingNumerator = -62.83185307;
// Between natural logarithms and the detector's level scale. Not 20 / ln 10:
// the gain computer was tuned with this value.
constexpr double kLevelScale = 8.65617025;
constexpr double kThresholdScale = -1.5;
constexpr double kMeterInputScale = 1.5;

// The detector levels of two samples at once: nothing recursive runs through
// them, and each lane does what the per-sample form does.
using Pair = __m128d;
inline Pair Select(Pair mask, Pair ifSet, Pair otherwise) {
  return _mm_or_pd(_mm_and_pd(mask, ifSet), _mm_andnot_pd(mask, otherwise));
}
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

// The same four samples or four bands at a time in 256-bit registers, for
// processors with AVX (the callers check). The select is written with
// masks, not as a blend, which the compiler would turn into branches on the
// signal.
#define MORVANTE_AVX __attribute__((target("avx")))
using Quad = __m256d;
MORVANTE_AVX inline Quad SelectQuad(Quad mask, Quad ifSet, Quad otherwise) {
  return _mm256_or_pd(_mm256_and_pd(mask, ifSet), _mm256_andnot_pd(mask, otherwise));
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
  const __m128d l = _mm_set_sd(left), r = _mm_set_sd(right);
  const __m128d takeLeft = _mm_or_pd(_mm_cmpgt_sd(l, r), _mm_cmpunord_sd(r, r));
  return _mm_cvtsd_f64(_mm_or_pd(_mm_and_pd(takeLeft, l), _mm_andnot_pd(takeLeft, r)));
}

// Output over input level of a static curve with slope 1/r above T; only
// for levels above the threshold (1.0 otherwise).
inline double TargetGainAbove(double level, const MorvanteBandTerms& terms) {
  const double T = terms.thresholdLevel;
  return std::exp((terms.slope * (std::log(level) * kLevelScale - T) + T) / kLevelScale) / level;
}

// Attack falls toward the target by at most the attack factor per sample,
// release rises by at most its inverse; a 0 coefficient jumps at once.
// std::max(target, a) and std::min(r, target) are maxpd(a, target) and
// minpd(target, r), NaN cases included. Lane by lane, so that two bands
// step side by side.
inline Pair StepGainStatePair(Pair state, Pair target, Pair attackCoefficient, Pair releaseCoefficient) {
  const Pair attack = _mm_max_pd(_mm_mul_pd(attackCoefficient, state), target);
  const Pair release = _mm_min_pd(target, _mm_div_pd(state, releaseCoefficient));
  return Select(_mm_cmpgt_pd(state, target), attack, release);
}

// What rest needs of a filter's tuning (see MORVANTE::RestThrough): finite
// coefficients; a0 positive, so that +0 in and a zero state give +0 out;
// and a0 and b1 not tiny, so that the first step on a non-zero float sample
// (2^-126 at least) takes a result at least 2^-206 from a0 and b1 alone,
// which a state within the rest bound cannot move by one bit.
constexpr double kSmallestRestCoefficient = 0x1p-40;
bool Finite(const BiquadCoefficients& c) {
  const double values[5] = {c.a0, c.a1, c.a2, c.b1, c.b2};
  for (double v : values) {
    if (!(std::fabs(v) < HUGE_VAL)) return false;
  }
  return true;
}
bool KeepsRest(const BiquadCoefficients& c) {
  return Finite(c) && c.a0 >= kSmallestRestCoefficient && std::fabs(c.b1) >= kSmallestRestCoefficient;
}

// Both lanes of a and b bit for bit.
inline bool SameBits(Pair a, Pair b) {
  return _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_castpd_si128(a), _mm_castpd_si128(b))) == 0xffff;
}

inline uint64_t Bits(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return bits;
}

// How many of the n frames from offset are +0 (all bits clear) in both
// channels.
int LeadingPositiveZeros(double** inputs, int offset, int n) {
  const double* left = inputs[0] + offset;
  const double* right = inputs[1] + offset;
  int i = 0;
  while (i < n && (Bits(left[i]) | Bits(right[i])) == 0) ++i;
  return i;
}

}  // namespace

double MORVANTE::SmoothingCoefficient(double milliseconds, double sampleRate) {
  const double seconds = milliseconds / 1000.0;
  if (seconds == 0.0) return 0.0;
  return std::exp(-1.0 / (seconds * sampleRate));
}

double MORVANTE::DetectorSmoothing(double sampleRate) { return std::exp(kDetectorSmoothingNumerator / sampleRate); }

void MORVANTE::ClearNonFiniteState() {
  for (MorvanteBand& band : mBands) {
    if (!band.detectorFilter.HasFiniteState()) band.detectorFilter.ClearState();
    if (!(band.gainState * 0.0 == 0.0)) band.gainState = 1.0;
    if (!band.meter.HasFiniteState()) band.meter.ClearState();
  }
  mStereoChain.ClearNonFiniteState();
  // The dry path is fed only while the effect runs: while the host bypasses
  // it, a NaN taken in before would wait there for the editor's bypass.
  if (!mDryDelay.HasFiniteState()) mDryDelay.Clear();
}

struct MORVANTE::BlockSwitches {
  int mode[kNumMorvanteBands];
  bool bypass;
  IGraphics* gui;
};

void MORVANTE::DeriveSettings(double sr) {
  DerivedSettings& d = mDerived;
  // The rate compared bit for bit: the same bits in give the same bits out.
  if (!mCopiesChanged && std::memcmp(&d.sampleRate, &sr, sizeof sr) == 0) return;
  mCopiesChanged = false;
  d.sampleRate = sr;

  d.g = DetectorSmoothing(sr);
  d.m = 1 - d.g;
  d.meterCoefficient = VUClass::Coefficient(sr);
  BiquadCoefficients staticTuning[kNumMorvanteBands];
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    MorvanteBand& band = mBands[b];
    band.detectorFilter.setBiquad(kMorvanteBandLayouts[b].detectorType, band.frequency / sr, -band.bandwidth, 0.0);

    MorvanteBandTerms& t = d.terms[b];
    t.thresholdLevel = kThresholdScale * band.threshold;
    t.thresholdLinear = std::exp(t.thresholdLevel / kLevelScale);
    t.slope = 1 / band.ratio;
    t.attackCoefficient = SmoothingCoefficient(band.attack, sr);
    t.releaseCoefficient = SmoothingCoefficient(band.release, sr);
    t.switchedOff = band.threshold == 0.0;

    const int type = kMorvanteBandLayouts[b].equaliserType;
    const double Fc = (band.frequency / sr) * kOversampledFrequencyScale;
    const double Q = -band.bandwidth;
    staticTuning[b] = Biquad(type, Fc, Q, band.gain - kDynamicRangeDB).getCoefficients();
    mStereoChain.SetStaticSection(kStaticChainPosition[b], staticTuning[b]);
    mDynamicTuning[b].prepare(type, Fc, Q);
    // NaN: the next sample always tunes.
    mTunedDynamicGain[b] = std::nan("");
    mTunedAmplitude[b] = std::nan("");
    mBoostConstantsInPlace[b] = false;
  }
  // A band switched off steps as the lane after the last one does.
  for (int b = 0; b < 2 * DerivedSettings::kBandPairs; ++b) {
    const bool stepping = b < kNumMorvanteBands && !d.terms[b].switchedOff;
    d.stepAttack[b] = stepping ? d.terms[b].attackCoefficient : 1.0;
    d.stepRelease[b] = stepping ? d.terms[b].releaseCoefficient : 1.0;
  }
  const Biquad trim(Biquad::kPeaking, (sr * 0.5 / sr) * 0.5, kTrimQ, kTrimGainDB);
  mStereoChain.SetTrim(trim.getCoefficients());
  // The trim's state is all zeros at rest and stays so: it only needs a
  // positive a0 and a negative b1, which leaves +0 in z1 after every step
  // on +0, whatever the signs of the zeros before.
  const BiquadCoefficients t = trim.getCoefficients();
  d.filtersKeepRest = Finite(t) && t.a0 > 0.0 && t.b1 < 0.0;
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    // A boost's a0 grows with its gain and its b1 does not depend on it.
    d.filtersKeepRest = d.filtersKeepRest && mDynamicTuning[b].boostsKeepRest() &&
                        KeepsRest(mDynamicTuning[b].coefficients(0.0)) &&
                        KeepsRest(mDynamicTuning[b].coefficients(kDynamicRangeDB)) &&
                        KeepsRest(mBands[b].detectorFilter.getCoefficients()) && KeepsRest(staticTuning[b]);
  }
}

// The stages of a chunk (ProcessChunk), in their order. A band's target
// gains depend only on its detector, its gain states only on the targets,
// and its tuning only on the gain states, so the costly steps of different
// samples do not wait for each other, and the recursive steps run for the
// five bands side by side.
struct MORVANTE::ChunkWork {
  static constexpr int kChunk = OversampledStereoChain::kChunk;
  int n;
  // Copies, so that outputs may share the inputs' buffers in any way.
  double left[kChunk], right[kChunk];
  float filtered[kNumMorvanteBands][kChunk];
  // The detector levels, replaced by the target gains, then by the gain
  // states.
  double gain[kNumMorvanteBands][kChunk];
  double processedLeft[kChunk], processedRight[kChunk];
};

namespace {

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
  if (mWideStages) {
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
  Pair attack[kPairs], release[kPairs];
  for (int p = 0; p < kPairs; ++p) {
    attack[p] = _mm_loadu_pd(&mDerived.stepAttack[2 * p]);
    release[p] = _mm_loadu_pd(&mDerived.stepRelease[2 * p]);
  }
  double states[2 * kPairs], meterStates[2 * kPairs];
  for (int b = 0; b < 2 * kPairs; ++b) {
    const bool band = b < kNumMorvanteBands;
    states[b] = band && !mDerived.terms[b].switchedOff ? mBands[b].gainState : 1.0;
    meterStates[b] = band ? mBands[b].meter.GetState() : 0.0;
  }
  Pair state[kPairs], meter[kPairs];
  for (int p = 0; p < kPairs; ++p) {
    state[p] = _mm_set_pd(states[2 * p + 1], states[2 * p]);
    meter[p] = _mm_set_pd(meterStates[2 * p + 1], meterStates[2 * p]);
  }
  const Pair one = _mm_set1_pd(1.0), meterScale = _mm_set1_pd(kMeterInputScale);
  const Pair meterCoefficient = _mm_set1_pd(mDerived.meterCoefficient);
  for (int i = 0; i < w.n; ++i) {
    for (int p = 0; p < kPairs; ++p) {
      const int low = 2 * p, high = 2 * p + 1;
      double* lowGain = &w.gain[low][i];
      double* highGain = high < kNumMorvanteBands ? &w.gain[high][i] : nullptr;
      const Pair target = _mm_loadh_pd(_mm_load_sd(lowGain), highGain ? highGain : &states[high]);
      state[p] = StepGainStatePair(state[p], target, attack[p], release[p]);
      _mm_storel_pd(lowGain, state[p]);
      if (highGain) _mm_storeh_pd(highGain, state[p]);
      if (kMeters) {
        meter[p] = VUClass::StepPair(meter[p], _mm_mul_pd(_mm_sub_pd(one, state[p]), meterScale), meterCoefficient);
      }
    }
  }
  for (int p = 0; p < kPairs; ++p) {
    _mm_storeu_pd(&states[2 * p], state[p]);
    _mm_storeu_pd(&meterStates[2 * p], meter[p]);
  }
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    mBands[b].gainState = states[b];
    if (kMeters) mBands[b].meter.SetState(meterStates[b]);
  }
}

// The same with bands 0..3 in one 256-bit register and band 4 with the
// lane at rest in a 128-bit one.
template <bool kMeters>
MORVANTE_AVX void MORVANTE::StepGainStatesWide(ChunkWork& w) {
  constexpr int kLanes = 2 * DerivedSettings::kBandPairs;
  static_assert(kNumMorvanteBands == 5 && kLanes == 6, "four lanes, then two");
  double states[kLanes], meterStates[kLanes];
  for (int b = 0; b < kLanes; ++b) {
    const bool band = b < kNumMorvanteBands;
    states[b] = band && !mDerived.terms[b].switchedOff ? mBands[b].gainState : 1.0;
    meterStates[b] = band ? mBands[b].meter.GetState() : 0.0;
  }
  const Quad attack = _mm256_loadu_pd(mDerived.stepAttack), release = _mm256_loadu_pd(mDerived.stepRelease);
  const Pair lastAttack = _mm_loadu_pd(&mDerived.stepAttack[4]), lastRelease = _mm_loadu_pd(&mDerived.stepRelease[4]);
  // Put together from the values (see DetectorLanes).
  Quad state = _mm256_set_pd(states[3], states[2], states[1], states[0]);
  Quad meter = _mm256_set_pd(meterStates[3], meterStates[2], meterStates[1], meterStates[0]);
  Pair lastState = _mm_set_pd(states[5], states[4]), lastMeter = _mm_set_pd(meterStates[5], meterStates[4]);
  const Quad one = _mm256_set1_pd(1.0), meterScale = _mm256_set1_pd(kMeterInputScale);
  const Quad meterCoefficient = _mm256_set1_pd(mDerived.meterCoefficient);
  const Pair lastOne = _mm_set1_pd(1.0), lastMeterScale = _mm_set1_pd(kMeterInputScale);
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
      lastMeter = VUClass::StepPair(lastMeter, _mm_mul_pd(_mm_sub_pd(lastOne, lastState), lastMeterScale),
                                    lastMeterCoefficient);
    }
  }
  _mm256_storeu_pd(states, state);
  _mm256_storeu_pd(meterStates, meter);
  _mm_storeu_pd(&states[4], lastState);
  _mm_storeu_pd(&meterStates[4], lastMeter);
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    mBands[b].gainState = states[b];
    if (kMeters) mBands[b].meter.SetState(meterStates[b]);
  }
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
    mBoostConstantsInPlace[b] = mDynamicTuning[b].coefficientsFor(gains, amplitudes, w.n, rows, true);
  }
}

// The dry signal runs one latency behind, as the processed one does.
void MORVANTE::WriteOutputs(const BlockSwitches& block, const ChunkWork& w, double** outputs, int offset) {
  for (int i = 0; i < w.n; ++i) {
    double dry[kNumChannels] = {w.left[i], w.right[i]};
    mDryDelay.ProcessFrame(dry);
    outputs[0][offset + i] = block.bypass ? dry[0] : w.processedLeft[i] * mOutputGain;
    outputs[1][offset + i] = block.bypass ? dry[1] : w.processedRight[i] * mOutputGain;
  }
}

void MORVANTE::DetectAndStepGains(const BlockSwitches& block, double** inputs, int offset, ChunkWork& w) {
  std::copy_n(inputs[0] + offset, w.n, w.left);
  std::copy_n(inputs[1] + offset, w.n, w.right);
  if (mWideStages) {
    FilterDetectorsWide(block, w);
  } else {
    FilterDetectors(block, w);
  }
  MeasureLevels(w);
  ComputeTargetGains(w);
  if (mWideStages) {
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

void MORVANTE::ProcessChunk(const BlockSwitches& block, double** inputs, double** outputs, int offset, int n) {
  ChunkWork w;
  w.n = n;
  DetectAndStepGains(block, inputs, offset, w);
  TuneDynamicSections(w);
  mStereoChain.Process(w.left, w.right, n, w.processedLeft, w.processedRight);
  WriteOutputs(block, w, outputs, offset);
}

// +0 input with the chain and the dry path at rest while a detector still
// rings (a narrow low band's can ring for longer than the whole chain): the
// detectors and the gains run as ProcessChunk runs them, and the chain,
// which turns +0 into +0 from rest whatever its tuning (see RestThrough),
// is skipped with its tuning. The next chunk that runs the chain tunes
// every frame of its own first.
void MORVANTE::RingDownDetectors(const BlockSwitches& block, double** inputs, double** outputs, int offset, int n) {
  ChunkWork w;
  w.n = n;
  DetectAndStepGains(block, inputs, offset, w);
  std::fill_n(outputs[0] + offset, n, 0.0);
  std::fill_n(outputs[1] + offset, n, 0.0);
  mFramesRungDown += n;
}

bool MORVANTE::ChainAtRest() const { return mStereoChain.AtRest() && mDryDelay.HoldsOnlyPositiveZeros(); }

bool MORVANTE::DetectorsAtRest() const {
  for (const MorvanteBand& band : mBands) {
    if (!band.detectorFilter.StateWithin(OversampledStereoChain::kRestBound)) return false;
  }
  return true;
}

// Why +0 input from rest needs neither the detectors nor the chain:
// - A filter whose state is within the rest bound, given a zero, gives a
//   value far below the float range, so its float output is a zero: the
//   detector levels are zeros, every target gain is 1.0, and every history
//   entry stays a zero. Such small states decay, or hang about just above
//   the smallest double where flushing b2 x out to zero keeps them from
//   dying out, but stay far within 2^-330 either way.
// - The trim, its state zeros and its input a zero, gives +0 (b1 < 0), so
//   every processed sample is +0, and the dry path holds +0 only.
// - Only the signs of zeros and the small states differ from processing
//   every frame. Nothing divides by a zero and a zero added to a non-zero
//   value leaves it, so the signs never reach a value; and the first step
//   of a filter on a non-zero float sample gives the same bits whatever
//   small state it had (KeepsRest), after which it is in step again.
// So only the gain states and the meters move.
void MORVANTE::RestThrough(const BlockSwitches& block, double** outputs, int offset, int n) {
  AdvanceGainsAndMetersAtRest(block, n);
  std::fill_n(outputs[0] + offset, n, 0.0);
  std::fill_n(outputs[1] + offset, n, 0.0);
  mFramesRestedThrough += n;
}

// The gain states release toward 1.0 and the meters follow them, frame by
// frame as in ProcessChunk with every target gain 1.0 (StepGainStates' pairs
// of bands). Once a frame leaves every gain state as it was, none moves
// again; once they are all 1.0 the meters' input is +0, for which their step
// is a product (below); and once a frame moves nothing, nothing moves any
// more.
void MORVANTE::AdvanceGainsAndMetersAtRest(const BlockSwitches& block, int n) {
  constexpr int kPairs = DerivedSettings::kBandPairs;
  const Pair *attack = mDerived.attackPairs, *release = mDerived.releasePairs,
             *switchedOff = mDerived.switchedOffPairs;
  Pair state[kPairs], meter[kPairs];
  LoadBandPairs(state, meter);
  const Pair one = _mm_set1_pd(1.0), meterScale = _mm_set1_pd(kMeterInputScale);
  const Pair meterCoefficient = _mm_set1_pd(mDerived.meterCoefficient);
  int i = 0;
  for (bool moving = true; moving && i < n; ++i) {
    __m128i moved = _mm_setzero_si128();
    for (int p = 0; p < kPairs; ++p) {
      const Pair next = Select(switchedOff[p], one, StepGainStatePair(state[p], one, attack[p], release[p]));
      moved = _mm_or_si128(moved, _mm_xor_si128(_mm_castpd_si128(next), _mm_castpd_si128(state[p])));
      state[p] = next;
      if (block.gui) {
        meter[p] = VUClass::StepPair(meter[p], _mm_mul_pd(_mm_sub_pd(one, state[p]), meterScale), meterCoefficient);
      }
    }
    moving = !SameBits(_mm_castsi128_pd(moved), _mm_setzero_pd());
  }
  bool released = true;
  for (const Pair& s : state) released = released && SameBits(s, one);
  if (block.gui && i < n) {
    if (released) {
      // With the input +0 the target is +0 (+0 is not above a meter's state,
      // which is never negative), and c x (state - 0) + 0 is c x state.
      const auto allZero = [&] {
        Pair any = _mm_setzero_pd();
        for (const Pair& m : meter) any = _mm_or_pd(any, _mm_cmpneq_pd(m, _mm_setzero_pd()));
        return _mm_movemask_pd(any) == 0;
      };
      for (; i < n && !allZero(); ++i) {
        for (Pair& m : meter) m = _mm_mul_pd(meterCoefficient, m);
      }
    } else {
      for (; i < n; ++i) {
        for (int p = 0; p < kPairs; ++p) {
          meter[p] = VUClass::StepPair(meter[p], _mm_mul_pd(_mm_sub_pd(one, state[p]), meterScale), meterCoefficient);
        }
      }
    }
  }
  StoreBandPairs(state, meter, block.gui != nullptr);
}

void MORVANTE::LoadBandPairs(__m128d* state, __m128d* meter) const {
  constexpr int kPairs = DerivedSettings::kBandPairs;
  double states[2 * kPairs], meterStates[2 * kPairs];
  for (int b = 0; b < 2 * kPairs; ++b) {
    const bool band = b < kNumMorvanteBands;
    states[b] = band ? mBands[b].gainState : 1.0;
    meterStates[b] = band ? mBands[b].meter.GetState() : 0.0;
  }
  for (int p = 0; p < kPairs; ++p) {
    state[p] = _mm_loadu_pd(&states[2 * p]);
    meter[p] = _mm_loadu_pd(&meterStates[2 * p]);
  }
}

void MORVANTE::StoreBandPairs(const __m128d* state, const __m128d* meter, bool meters) {
  constexpr int kPairs = DerivedSettings::kBandPairs;
  double states[2 * kPairs], meterStates[2 * kPairs];
  for (int p = 0; p < kPairs; ++p) {
    _mm_storeu_pd(&states[2 * p], state[p]);
    _mm_storeu_pd(&meterStates[2 * p], meter[p]);
  }
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    mBands[b].gainState = states[b];
    if (meters) mBands[b].meter.SetState(meterStates[b]);
  }
}

void MORVANTE::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) {
  const ScopedFlushDenormals noDenormals;
  const double sr = GetSampleRate();
  ClearNonFiniteState();
  DeriveSettings(sr);
  if (nFrames <= 0) return;
  mDisplayFeed.TakeInput(inputs, nFrames);

  BlockSwitches block;
  for (int b = 0; b < kNumMorvanteBands; ++b) block.mode[b] = GetParam(kMorvanteBandLayouts[b].modeParam)->Int();
  block.bypass = GetParam(kBypass)->Int() == 1;
  block.gui = GetGUI();
  // From rest, +0 input needs no chain: only the gains and the meters move.
  const bool restIsExact = mDerived.filtersKeepRest && mOutputGain > 0.0 && mOutputGain < HUGE_VAL;
  for (int offset = 0; offset < nFrames;) {
    if (mAtRest && restIsExact) {
      const int silent = LeadingPositiveZeros(inputs, offset, nFrames - offset);
      if (silent > 0) {
        RestThrough(block, outputs, offset, silent);
        offset += silent;
        continue;
      }
    }
    const int n = std::min(OversampledStereoChain::kChunk, nFrames - offset);
    // Read before the chunk writes: outputs may be the inputs' buffers.
    const bool silentInput = LeadingPositiveZeros(inputs, offset, n) == n;
    if (silentInput && mChainAtRest && restIsExact) {
      RingDownDetectors(block, inputs, outputs, offset, n);
    } else {
      ProcessChunk(block, inputs, outputs, offset, n);
    }
    mChainAtRest = silentInput && ChainAtRest();
    mAtRest = mChainAtRest && DetectorsAtRest();
    offset += n;
  }
  if (block.gui) {
    for (const MorvanteBand& band : mBands) {
      SetMeterValue(band.meterIdx, band.meter.GetState());
    }
  }
  mDisplayFeed.TakeOutput(outputs, nFrames, mBands);
}
