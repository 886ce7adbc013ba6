// The per-sample processing of MORVANTE. Quantities whose inputs cannot
// change within a block (the parameter copies and the rate change only under
// the instance lock, which the caller holds for the whole block) are computed
// once per block; every expression keeps the operation order of the
// per-sample form so that the output is the same bit for bit.
#include <algorithm>
#include <cmath>

#include "effect/morvante.h"
#include "graphics/igraphics.h"

namespace {

// 2 pi x 10 Hz: the detector's one-pole smoothing.
constexpr double kDetectorSmoothingNumerator = -62.83185307;
// Between natural logarithms and the detector's level scale. Not 20 / ln 10:
// the gain computer was tuned with this value.
constexpr double kLevelScale = 8.65617025;
constexpr double kThresholdScale = -1.5;
constexpr double kDynamicRangeDB = 24.0;
// The equaliser runs at eight times the base rate.
constexpr double kOversampledFrequencyScale = 0.125;
constexpr double kMeterInputScale = 1.5;
constexpr int kOversamplingPasses = MORVANTE::kOversamplerStepsPerSample;

constexpr double kTrimQ = 0.4;
constexpr double kTrimGainDB = -2.5;

struct BandBlockTerms {
  double thresholdLevel;  // T, in the level scale
  double thresholdLinear;
  double slope;
  double attackCoefficient;
  double releaseCoefficient;
  bool switchedOff;
  double equaliserFc;
  double equaliserQ;
  // The dynamic sections are re-tuned only when their gain moves.
  double tunedDynamicGain;
};

// The larger signed sample; a NaN gives way to the other one.
inline double LargerSample(double left, double right) { return (left > right || right != right) ? left : right; }

// The detector level from one or, when the filtered sample does not stand
// above the first, two steps of the one-pole from rest. A negative x makes
// the root NaN, which counts as below any threshold. The accumulator is what
// the one-pole reached.
inline double TwoStepLevel(double x, double g, double m, double* accumulator) {
  const double a1 = m * x;
  if (x > std::sqrt(a1)) {
    *accumulator = a1;
    return x;
  }
  const double a2 = g * a1 + m * x;
  *accumulator = a2;
  return std::sqrt(a2);
}

// The Mid band continues from the Low Mid band's accumulator.
inline double ContinuedLevel(double x, double g, double m, double accumulator) {
  const double root = std::sqrt(g * accumulator + m * x);
  return x > root ? x : root;
}

// Output over input level of a static curve with slope 1/r above T.
inline double TargetGain(double level, const BandBlockTerms& terms) {
  if (!(level > terms.thresholdLinear)) return 1.0;
  const double T = terms.thresholdLevel;
  return std::exp((terms.slope * (std::log(level) * kLevelScale - T) + T) / kLevelScale) / level;
}

// Attack falls toward the target by at most the attack factor per sample,
// release rises by at most its inverse; a 0 coefficient jumps at once.
inline double StepGainState(double state, double target, const BandBlockTerms& terms) {
  if (state > target) return std::max(target, terms.attackCoefficient * state);
  return std::min(state / terms.releaseCoefficient, target);
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

void MORVANTE::RunOversampledChain(int channel, double input) {
  StOversampler4x& oversampler = mOversampler[channel];
  Biquad* const* chain = mChain[channel];
  oversampler.up4(input);
  for (int e = StOversampler4x::kFirstNewEntry; e < StOversampler4x::kTaps; ++e) {
    float s = static_cast<float>(oversampler.outputHistory[e]);
    for (int k = 0; k < kSectionsPerChannel; ++k) s = chain[k]->processSample(s);
    oversampler.outputHistory[e] = s;
  }
}

void MORVANTE::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) {
  const double sr = GetSampleRate();
  ClearNonFiniteState();

  for (int b = 0; b < kNumMorvanteBands; ++b) {
    const MorvanteBand& band = mBands[b];
    mBands[b].detectorFilter.setBiquad(kMorvanteBandLayouts[b].detectorType, band.frequency / sr, -band.bandwidth,
                                       0.0);
  }
  if (nFrames <= 0) return;

  const double g = DetectorSmoothing(sr);
  const double m = 1 - g;
  BandBlockTerms terms[kNumMorvanteBands];
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    MorvanteBand& band = mBands[b];
    BandBlockTerms& t = terms[b];
    t.thresholdLevel = kThresholdScale * band.threshold;
    t.thresholdLinear = std::exp(t.thresholdLevel / kLevelScale);
    t.slope = 1 / band.ratio;
    t.attackCoefficient = SmoothingCoefficient(band.attack, sr);
    t.releaseCoefficient = SmoothingCoefficient(band.release, sr);
    t.switchedOff = band.threshold == 0.0;
    t.equaliserFc = (band.frequency / sr) * kOversampledFrequencyScale;
    t.equaliserQ = -band.bandwidth;
    // NaN: the first sample always tunes.
    t.tunedDynamicGain = std::nan("");

    const int type = kMorvanteBandLayouts[b].equaliserType;
    band.staticFilter[0].setBiquad(type, t.equaliserFc, t.equaliserQ, band.gain - kDynamicRangeDB);
    band.staticFilter[1].copyTuningFrom(band.staticFilter[0]);
  }
  mTrimFilter[0].setBiquad(Biquad::kPeaking, (sr * 0.5 / sr) * 0.5, kTrimQ, kTrimGainDB);
  mTrimFilter[1].copyTuningFrom(mTrimFilter[0]);
  const double meterCoefficient = VUClass::Coefficient(sr);

  for (int i = 0; i < nFrames; ++i) {
    const double L = inputs[0][i];
    const double R = inputs[1][i];

    // Linked detection: one gain state per band drives both channels.
    double accumulator = 0.0;
    for (int b = 0; b < kNumMorvanteBands; ++b) {
      MorvanteBand& band = mBands[b];
      const int mode = GetParam(kMorvanteBandLayouts[b].modeParam)->Int();
      const float d = static_cast<float>(mode == 1 ? L + R : LargerSample(L, R));
      const float x = band.detectorFilter.processSample(d);
      double level;
      if (b == kBandMid) {
        level = ContinuedLevel(x, g, m, accumulator);
      } else {
        double reached;
        level = TwoStepLevel(x, g, m, &reached);
        if (b == kBandLowMid) accumulator = reached;
      }
      band.gainState = StepGainState(band.gainState, TargetGain(level, terms[b]), terms[b]);
    }
    for (int b = 0; b < kNumMorvanteBands; ++b) {
      if (terms[b].switchedOff) mBands[b].gainState = 1.0;
    }

    for (int b = 0; b < kNumMorvanteBands; ++b) {
      MorvanteBand& band = mBands[b];
      BandBlockTerms& t = terms[b];
      const double dynamicGain = kDynamicRangeDB * band.gainState;
      if (dynamicGain != t.tunedDynamicGain) {
        band.dynamicFilter[0].setBiquad(kMorvanteBandLayouts[b].equaliserType, t.equaliserFc, t.equaliserQ,
                                        dynamicGain);
        band.dynamicFilter[1].copyTuningFrom(band.dynamicFilter[0]);
        t.tunedDynamicGain = dynamicGain;
      }
    }

    for (int pass = 0; pass < kOversamplingPasses; ++pass) {
      RunOversampledChain(0, L);
      RunOversampledChain(1, R);
    }

    double processed[kNumChannels];
    for (int c = 0; c < kNumChannels; ++c) {
      const float D = static_cast<float>(mOversampler[c].downSample());
      processed[c] = mTrimFilter[c].processSample(D);
      // The trim section runs at twice the rate it is tuned for; its second
      // step sees silence.
      mTrimFilter[c].processSample(0.0f);
    }

    // The dry signal runs one latency behind, as the processed one does.
    double dry[kNumChannels] = {L, R};
    mDryDelay.ProcessFrame(dry);
    // Read per channel: the controller side may change it at any time.
    outputs[0][i] = GetParam(kBypass)->Int() == 1 ? dry[0] : processed[0] * mOutputGain;
    outputs[1][i] = GetParam(kBypass)->Int() == 1 ? dry[1] : processed[1] * mOutputGain;

    for (int b = 0; b < kNumMorvanteBands; ++b) {
      IGraphics* gui = GetGUI();
      if (!gui) break;
      MorvanteBand& band = mBands[b];
      const double v = band.meter.ProcessWithCoefficient((1.0 - band.gainState) * kMeterInputScale, meterCoefficient);
      gui->SetControlFromPlug(band.meterControlIdx, v);
    }
  }
}
