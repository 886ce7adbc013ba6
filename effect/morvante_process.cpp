// The per-sample processing of MORVANTE. Quantities whose inputs cannot
// change within a block (the parameter copies and the rate change only under
// the instance lock, which the caller holds for the whole block) are computed
// once per block; every expression keeps the operation order of the
// per-sample form so that the output is the same bit for bit.
//
// A block runs in chunks: first the detection and the dynamic sections'
// tuning of every base-rate sample of the chunk (morvante_detection.cpp),
// then the oversampled chain of both channels over the whole chunk
// (OversampledStereoChain). Digital silence reached from rest skips all of
// that (morvante_rest.cpp).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "effect/morvante_stages.h"
#include "effect/scoped_flush_denormals.h"
#include "graphics/igraphics.h"

using namespace morvante_lanes;

namespace {

// 2 pi x 10 Hz: the detector's one-pole smoothing.
constexpr double kDetectorSmoothingNumerator = -62.83185307;
constexpr double kThresholdScale = -1.5;

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

// The dry signal runs one latency behind, as the processed one does.
void MORVANTE::WriteOutputs(const BlockSwitches& block, const ChunkWork& w, double** outputs, int offset) {
  for (int i = 0; i < w.n; ++i) {
    double dry[kNumChannels] = {w.left[i], w.right[i]};
    mDryDelay.ProcessFrame(dry);
    outputs[0][offset + i] = block.bypass ? dry[0] : w.processedLeft[i] * mOutputGain;
    outputs[1][offset + i] = block.bypass ? dry[1] : w.processedRight[i] * mOutputGain;
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
