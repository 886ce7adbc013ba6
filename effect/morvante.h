// MORVANTE: a five-band dynamic equaliser. Each band's boost or cut is
// reduced by up to 24 dB while its detector finds the band's part of the
// input above its Threshold; the equaliser runs at eight times the host rate.
#pragma once

#include <memory>

#include "effect/biquad_gain_tuning.h"
#include "effect/morvante_band.h"
#include "effect/morvante_display_feed.h"
#include "effect/morvante_params.h"
#include "effect/morvante_plug_base.h"
#include "effect/oversampled_stereo_chain.h"
#include "framework/latency_delay_line.h"

class MorvanteDisplayStrip;

class MORVANTE : public MorvantePlugBase {
public:
  static constexpr int kNumChannels = 2;
  static constexpr int kSectionsPerChannel = 2 * kNumMorvanteBands;
  // up4 calls per input sample: the equaliser runs at eight times the rate.
  static constexpr int kOversamplerStepsPerSample = OversampledStereoChain::kUpSamplingSteps;
  // The equalisers' frequencies are fractions of the oversampled rate.
  static constexpr double kOversampledFrequencyScale = 1.0 / OversampledStereoChain::kOversampling;
  static_assert(kOversampledFrequencyScale == 0.125, "the tuning's bits follow (f / sr) x 0.125");
  // A dynamic section carries up to this much boost; its static partner the
  // band's Gain less the same.
  static constexpr double kDynamicRangeDB = 24.0;
  // The output trim after down-sampling: a peaking cut at half the Nyquist
  // frequency.
  static constexpr double kTrimQ = 0.4;
  static constexpr double kTrimGainDB = -2.5;

  explicit MORVANTE(IPlugInstanceInfo instanceInfo);
  ~MORVANTE() override;

  void Reset() override;
  void OnParamChange(int paramIdx) override;
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;
  void OnGUIViewCreated() override;
  void OnGUIClose() override;
  bool ShowEditorDisplay(bool show) override;
  // Another editor in place of the built one (tests do that) has no strip.
  void AttachGraphics(IGraphics* g) override;

  // exp(-1 / (seconds x sampleRate)) for a time in ms, or 0 for no time at
  // all: the factor by which the gain state may move per sample.
  static double SmoothingCoefficient(double milliseconds, double sampleRate);
  // The detector's 10 Hz one-pole coefficient g.
  static double DetectorSmoothing(double sampleRate);
  // Samples by which the oversampler delays the processed signal; the
  // instance reports it as its latency and delays its dry paths to match.
  static int ProcessingLatency();
  // How many samples the output can go on after the input falls silent, at
  // the current settings and the given rate.
  int TailBound(double sampleRate) const;

  // What the response display reads of the audio; the editor opens and
  // closes it.
  MorvanteDisplayFeed& DisplayFeed() { return mDisplayFeed; }

protected:
  // For subclasses that need to look inside (the tests).
  // A subclass may write the copies through it: they are derived again.
  MorvanteBand& Band(int band) {
    mCopiesChanged = true;
    return mBands[band];
  }
  const MorvanteBand& Band(int band) const { return mBands[band]; }
  double OutputGain() const { return mOutputGain; }
  // The chain runs in the widest registers the processor has; every width
  // gives the same bits, and tests check each.
  void UseRegisterWidth(int bits) { mStereoChain.UseRegisterWidth(bits); }
  // Frames of silence passed from rest without the chain (RestThrough).
  long long FramesRestedThrough() const { return mFramesRestedThrough; }
  // Frames of silence passed with only the detectors (RingDownDetectors).
  long long FramesRungDown() const { return mFramesRungDown; }

private:
  void InitParameters();
  // Builds the editor (1220 x 590 bitmap panel) from the layout table and
  // attaches it, keeping each band's meter control index in its band record.
  // Runs after the parameters are set up and before the default preset.
  void BuildEditor();
  // The copy of one parameter inside the effect, or null for parameters the
  // processing reads live (bypass, detector switches) or nobody reads.
  double* ParamCopy(int paramIdx);
  void CopyParamValue(int paramIdx);
  // Frequencies, bandwidths and gains set how long the filters ring.
  static bool ShapesTheTail(int paramIdx);
  // A NaN or infinity in any state would otherwise stay for the life of the
  // instance; clearing it lets finite input give finite output again.
  void ClearNonFiniteState();
  // Everything derived from the parameter copies and the rate: the filters'
  // tunings and the gain computer's terms. Derived again only when a copy
  // was written or the rate changed, which keeps small blocks cheap.
  struct DerivedSettings {
    double sampleRate = 0.0;
    double g = 0.0, m = 0.0, meterCoefficient = 0.0;
    MorvanteBandTerms terms[kNumMorvanteBands] = {};
    // The gain steps' coefficients, a lane per band and one after the last
    // (StepGainStates pairs them); that lane, and any band switched off,
    // holds a gain at rest.
    static constexpr int kBandPairs = (kNumMorvanteBands + 1) / 2;
    double stepAttack[2 * kBandPairs] = {}, stepRelease[2 * kBandPairs] = {};
    // Every filter, tuned so, turns +0 at rest into +0 (see RestThrough).
    bool filtersKeepRest = false;
  };
  // The switches and the editor, read once at the start of a block.
  struct BlockSwitches;
  void DeriveSettings(double sampleRate);
  void ProcessChunk(const BlockSwitches& block, double** inputs, double** outputs, int offset, int n);
  // ProcessChunk's stages and what they hand each other.
  struct ChunkWork;
  void FilterDetectors(const BlockSwitches& block, ChunkWork& w);
  void FilterDetectorsWide(const BlockSwitches& block, ChunkWork& w);
  void MeasureLevels(ChunkWork& w) const;
  void ComputeTargetGains(ChunkWork& w) const;
  template <bool kMeters>
  void StepGainStates(ChunkWork& w);
  template <bool kMeters>
  void StepGainStatesWide(ChunkWork& w);
  // The detectors, the levels and the gain steps run four bands or four
  // samples to a 256-bit register where the chain runs in 256-bit registers
  // (so the processor has AVX); both forms give the same bits.
  bool WideStages() const { return mStereoChain.RegisterWidth() >= 256; }
  void TuneDynamicSections(const ChunkWork& w);
  void WriteOutputs(const BlockSwitches& block, const ChunkWork& w, double** outputs, int offset);
  // The detectors and the gains of a chunk: ProcessChunk's stages before
  // the tuning.
  void DetectAndStepGains(const BlockSwitches& block, double** inputs, int offset, ChunkWork& w);
  void TakeInputsAndFilter(const BlockSwitches& block, double** inputs, int offset, ChunkWork& w);
  void StepGainsFromFiltered(const BlockSwitches& block, ChunkWork& w);
  // Every section state within the rest bound, every history and the dry
  // path +0; and every detector state within the bound.
  bool ChainAtRest() const;
  bool DetectorsAtRest() const;
  // n frames of +0 input with only the detectors ringing.
  void RingDownDetectors(const BlockSwitches& block, double** inputs, double** outputs, int offset, int n);
  // n frames of +0 input from rest: what a processed stretch of silence
  // would do, without the chain.
  void RestThrough(const BlockSwitches& block, double** outputs, int offset, int n);
  void AdvanceGainsAndMetersAtRest(const BlockSwitches& block, int n);
  // The bands' gain states and meters, a lane per band and one at rest
  // after the last (2 x DerivedSettings::kBandPairs; a band switched off is
  // at rest too), and back (the meters only when asked).
  void GainLanes(double* states, double* meterStates) const;
  void SetGainLanes(const double* states, const double* meterStates, bool meters);
  // The same, and the step coefficients, in DerivedSettings' pairs.
  void LoadBandPairs(__m128d* state, __m128d* meter, __m128d* attack, __m128d* release) const;
  void StoreBandPairs(const __m128d* state, const __m128d* meter, bool meters);

  MorvanteBand mBands[kNumMorvanteBands];
  double mOutputGain = 1.0;
  // Per band: the tuning of its dynamic sections without the gain, and the
  // gain they carry now with its amplitude.
  BiquadGainTuning mDynamicTuning[kNumMorvanteBands];
  double mTunedDynamicGain[kNumMorvanteBands];
  double mTunedAmplitude[kNumMorvanteBands];
  // The chain's rows of the band's dynamic sections hold what every boost
  // shares, in every frame.
  bool mBoostConstantsInPlace[kNumMorvanteBands] = {};
  // The equaliser sections, the oversamplers and the output trim of both
  // channels, with their states.
  OversampledStereoChain mStereoChain;
  DerivedSettings mDerived;
  // A copy was written since the last derivation (under the instance lock,
  // as the processing reads it).
  bool mCopiesChanged = true;
  // The bypass switch's dry signal, delayed like the processed one so that
  // switching never moves the audio in time.
  LatencyDelayLine mDryDelay;
  // ChainAtRest(), and that with DetectorsAtRest(), as the last chunk of all
  // +0 input left them.
  bool mChainAtRest = false, mAtRest = false;
  long long mFramesRestedThrough = 0, mFramesRungDown = 0;
  MorvanteDisplayFeed mDisplayFeed;
  // The editor's display strip and its switch (UI thread only).
  std::unique_ptr<MorvanteDisplayStrip> mDisplayStrip;
};
