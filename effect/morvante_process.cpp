// The per-sample processing of MORVANTE. Quantities whose inputs cannot
// change within a block (the parameter copies and the rate change only under
// the instance lock, which the caller holds for the whole block) are computed
// once per block; every expression keeps the operation order of the
// per-sample form so that the output is the same bit for bit.
//
// A block runs in chunks: first the detection and the dynamic sections'
// tuning of every base-rate sample of the chunk, then the oversampled chain
// of both channels over the whole chunk (OversampledStereoChain).
#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "effect/morvante.h"
#include "graphics/igraphics.h"

namespace {

// 2 pi x 10 Hz: the detector's one-pole smoothing.
constexpr double kDetectorSmoothingNumerator = -62.83185307;
// Between natural logarithms and the detector's level scale. Not 20 / ln 10:
// the gain computer was tuned with this value.
constexpr double kLevelScale = 8.65617025;
constexpr double kThresholdScale = -1.5;
constexpr double kMeterInputScale = 1.5;

// Subnormal numbers are flushed to zero while the processing runs: on many
// processors every operation on one costs a hundred times a normal one, and
// the decay of a filter after a loud passage is made of them. The caller's
// control word comes back when the block is done.
class ScopedFlushDenormals {
public:
  ScopedFlushDenormals() : mSaved(_mm_getcsr()) { _mm_setcsr(mSaved | kFlushToZero | kDenormalsAreZero); }
  ~ScopedFlushDenormals() { _mm_setcsr(mSaved); }
  ScopedFlushDenormals(const ScopedFlushDenormals&) = delete;
  ScopedFlushDenormals& operator=(const ScopedFlushDenormals&) = delete;

private:
  static constexpr unsigned kFlushToZero = 0x8000;
  static constexpr unsigned kDenormalsAreZero = 0x0040;
  unsigned mSaved;
};

// The detector levels of two samples at once: nothing recursive runs through
// them, and each lane does what the per-sample form does.
using Pair = __m128d;
inline Pair Select(Pair mask, Pair ifSet, Pair otherwise) {
  return _mm_or_pd(_mm_and_pd(mask, ifSet), _mm_andnot_pd(mask, otherwise));
}
inline Pair TwoFiltered(const float* x) {
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

// The larger signed sample; a NaN gives way to the other one.
inline double LargerSample(double left, double right) { return (left > right || right != right) ? left : right; }

inline __m128d Scalar(double v) { return _mm_set_sd(v); }

// Output over input level of a static curve with slope 1/r above T; only
// for levels above the threshold (1.0 otherwise).
inline double TargetGainAbove(double level, const MorvanteBandTerms& terms) {
  const double T = terms.thresholdLevel;
  return std::exp((terms.slope * (std::log(level) * kLevelScale - T) + T) / kLevelScale) / level;
}

// Attack falls toward the target by at most the attack factor per sample,
// release rises by at most its inverse; a 0 coefficient jumps at once.
// std::max(target, a) and std::min(r, target) are maxsd(a, target) and
// minsd(target, r), NaN cases included.
inline double StepGainState(double state, double target, const MorvanteBandTerms& terms) {
  const __m128d attack = _mm_max_sd(Scalar(terms.attackCoefficient * state), Scalar(target));
  const __m128d release = _mm_min_sd(Scalar(target), Scalar(state / terms.releaseCoefficient));
  const __m128d falling = _mm_cmpgt_sd(Scalar(state), Scalar(target));
  return _mm_cvtsd_f64(_mm_or_pd(_mm_and_pd(falling, attack), _mm_andnot_pd(falling, release)));
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
    for (int c = 0; c < kNumChannels; ++c) {
      if (!band.dynamicFilter[c].HasFiniteState()) band.dynamicFilter[c].ClearState();
      if (!band.staticFilter[c].HasFiniteState()) band.staticFilter[c].ClearState();
    }
    if (!(band.gainState * 0.0 == 0.0)) band.gainState = 1.0;
    if (!band.meter.HasFiniteState()) band.meter.ClearState();
  }
  for (int c = 0; c < kNumChannels; ++c) {
    if (!mTrimFilter[c].HasFiniteState()) mTrimFilter[c].ClearState();
    if (!mOversampler[c].HasFiniteState()) mOversampler[c].ClearState();
  }
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
  double copies[kNumMorvanteBands][7];
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    const MorvanteBand& band = mBands[b];
    const double values[7] = {band.attack, band.bandwidth, band.frequency, band.gain,
                              band.ratio,  band.release,   band.threshold};
    std::copy(values, values + 7, copies[b]);
  }
  // Compared bit for bit: the same bits in give the same bits out.
  if (d.valid && std::memcmp(&d.sampleRate, &sr, sizeof sr) == 0 && std::memcmp(d.copies, copies, sizeof copies) == 0) {
    return;
  }
  d.valid = true;
  d.sampleRate = sr;
  std::memcpy(d.copies, copies, sizeof copies);

  d.g = DetectorSmoothing(sr);
  d.m = 1 - d.g;
  d.meterCoefficient = VUClass::Coefficient(sr);
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
    band.staticFilter[0].setBiquad(type, Fc, Q, band.gain - kDynamicRangeDB);
    band.staticFilter[1].copyTuningFrom(band.staticFilter[0]);
    mDynamicTuning[b].prepare(type, Fc, Q);
    // NaN: the next sample always tunes.
    mTunedDynamicGain[b] = std::nan("");
    mTunedAmplitude[b] = std::nan("");
  }
  mTrimFilter[0].setBiquad(Biquad::kPeaking, (sr * 0.5 / sr) * 0.5, kTrimQ, kTrimGainDB);
  mTrimFilter[1].copyTuningFrom(mTrimFilter[0]);
  for (int k = kNumMorvanteBands; k < kSectionsPerChannel; ++k) {
    mStereoChain.SetStaticSection(k, mChain[0][k]->getCoefficients());
  }
  mStereoChain.SetTrim(mTrimFilter[0].getCoefficients());
}

// In steps over the whole chunk: a band's target gains depend only on its
// detector, its gain states only on the targets, and its tuning only on the
// gain states, so the costly steps of different samples do not wait for
// each other, and the recursive steps run for the five bands side by side.
void MORVANTE::ProcessChunk(const BlockSwitches& block, double** inputs, double** outputs, int offset, int n) {
  constexpr int kChunk = OversampledStereoChain::kChunk;
  // Copies, so that outputs may share the inputs' buffers in any way.
  double left[kChunk], right[kChunk];
  for (int i = 0; i < n; ++i) {
    left[i] = inputs[0][offset + i];
    right[i] = inputs[1][offset + i];
  }

  // Linked detection: one gain state per band drives both channels. The
  // detectors' recursions run sample by sample, the levels two samples at
  // a time (an odd chunk's last pair takes a silent partner).
  float filtered[kNumMorvanteBands][kChunk];
  for (int i = 0; i < n; ++i) {
    const double L = left[i], R = right[i];
    for (int b = 0; b < kNumMorvanteBands; ++b) {
      const float d = static_cast<float>(block.mode[b] == 1 ? L + R : LargerSample(L, R));
      filtered[b][i] = mBands[b].detectorFilter.processSample(d);
    }
  }
  if (n % 2 != 0) {
    for (int b = 0; b < kNumMorvanteBands; ++b) filtered[b][n] = 0.0f;
  }
  const Pair g = _mm_set1_pd(mDerived.g), m = _mm_set1_pd(mDerived.m);
  double level[kNumMorvanteBands][kChunk];
  for (int i = 0; i < n; i += 2) {
    Pair accumulator = _mm_setzero_pd();
    for (int b = 0; b < kNumMorvanteBands; ++b) {
      const Pair x = TwoFiltered(&filtered[b][i]);
      Pair bandLevel;
      if (b == kBandMid) {
        bandLevel = ContinuedLevel(x, g, m, accumulator);
      } else {
        Pair reached;
        bandLevel = TwoStepLevel(x, g, m, &reached);
        if (b == kBandLowMid) accumulator = reached;
      }
      _mm_storeu_pd(&level[b][i], bandLevel);
    }
  }
  // The levels are replaced by the target gains, then by the gain states.
  double (&gainState)[kNumMorvanteBands][kChunk] = level;
  // The samples above the threshold are listed first, so that the loop
  // around the library calls does not branch on the signal.
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    const MorvanteBandTerms& terms = mDerived.terms[b];
    int above[kChunk];
    int count = 0;
    for (int i = 0; i < n; ++i) {
      above[count] = i;
      count += level[b][i] > terms.thresholdLinear ? 1 : 0;
    }
    double target[kChunk];
    for (int k = 0; k < count; ++k) target[k] = TargetGainAbove(level[b][above[k]], terms);
    for (int i = 0; i < n; ++i) gainState[b][i] = 1.0;
    for (int k = 0; k < count; ++k) gainState[b][above[k]] = target[k];
  }
  double state[kNumMorvanteBands];
  for (int b = 0; b < kNumMorvanteBands; ++b) state[b] = mBands[b].gainState;
  for (int i = 0; i < n; ++i) {
    for (int b = 0; b < kNumMorvanteBands; ++b) {
      const MorvanteBandTerms& terms = mDerived.terms[b];
      state[b] = terms.switchedOff ? 1.0 : StepGainState(state[b], gainState[b][i], terms);
      gainState[b][i] = state[b];
    }
  }
  for (int b = 0; b < kNumMorvanteBands; ++b) mBands[b].gainState = state[b];

  // The library's power only where a gain moved, then the coefficients two
  // samples at a time, straight into the chain.
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    double gains[kChunk], amplitudes[kChunk];
    double tunedGain = mTunedDynamicGain[b], tunedAmplitude = mTunedAmplitude[b];
    for (int i = 0; i < n; ++i) {
      gains[i] = kDynamicRangeDB * gainState[b][i];
      if (gains[i] != tunedGain) {
        tunedAmplitude = BiquadGainTuning::Amplitude(gains[i]);
        tunedGain = gains[i];
      }
      amplitudes[i] = tunedAmplitude;
    }
    mTunedDynamicGain[b] = tunedGain;
    mTunedAmplitude[b] = tunedAmplitude;
    BiquadCoefficients* tuning = mStereoChain.DynamicTuning(mDynamicChainPosition[b]);
    mDynamicTuning[b].coefficientsFor(gains, amplitudes, n, tuning, OversampledStereoChain::kDynamicTuningStride);
    mDynamicCoefficients[b] = tuning[(n - 1) * OversampledStereoChain::kDynamicTuningStride];
  }

  // The five meters run side by side on local copies, so that their
  // recursions overlap.
  if (block.gui) {
    VUClass meters[kNumMorvanteBands];
    for (int b = 0; b < kNumMorvanteBands; ++b) meters[b] = mBands[b].meter;
    for (int i = 0; i < n; ++i) {
      for (int b = 0; b < kNumMorvanteBands; ++b) {
        meters[b].ProcessWithCoefficient((1.0 - gainState[b][i]) * kMeterInputScale, mDerived.meterCoefficient);
      }
    }
    for (int b = 0; b < kNumMorvanteBands; ++b) mBands[b].meter = meters[b];
  }

  double processedLeft[kChunk], processedRight[kChunk];
  mStereoChain.Process(left, right, n, processedLeft, processedRight);
  for (int i = 0; i < n; ++i) {
    // The dry signal runs one latency behind, as the processed one does.
    double dry[kNumChannels] = {left[i], right[i]};
    mDryDelay.ProcessFrame(dry);
    outputs[0][offset + i] = block.bypass ? dry[0] : processedLeft[i] * mOutputGain;
    outputs[1][offset + i] = block.bypass ? dry[1] : processedRight[i] * mOutputGain;
  }
}

void MORVANTE::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) {
  const ScopedFlushDenormals noDenormals;
  const double sr = GetSampleRate();
  ClearNonFiniteState();
  DeriveSettings(sr);
  if (nFrames <= 0) return;

  BlockSwitches block;
  for (int b = 0; b < kNumMorvanteBands; ++b) block.mode[b] = GetParam(kMorvanteBandLayouts[b].modeParam)->Int();
  block.bypass = GetParam(kBypass)->Int() == 1;
  block.gui = GetGUI();
  mStereoChain.LoadState(mOversampler[0], mOversampler[1], mChain[0], mChain[1], mTrimFilter[0], mTrimFilter[1]);
  for (int offset = 0; offset < nFrames; offset += OversampledStereoChain::kChunk) {
    ProcessChunk(block, inputs, outputs, offset, std::min(OversampledStereoChain::kChunk, nFrames - offset));
  }
  mStereoChain.StoreState(mOversampler[0], mOversampler[1], mChain[0], mChain[1], mTrimFilter[0], mTrimFilter[1]);

  for (int b = 0; b < kNumMorvanteBands; ++b) {
    const BiquadGainTuning& tuning = mDynamicTuning[b];
    for (Biquad& section : mBands[b].dynamicFilter) {
      section.setTuning(tuning.type(), tuning.Fc(), tuning.Q(), mTunedDynamicGain[b], mDynamicCoefficients[b]);
    }
  }
  if (block.gui) {
    for (const MorvanteBand& band : mBands) {
      SetMeterValue(band.meterIdx, band.meter.GetState());
    }
  }
}
