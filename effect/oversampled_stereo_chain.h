// The oversampled part of MORVANTE's processing for both channels at once:
// the two up-sampling steps per base-rate sample, the ten equaliser sections,
// the decimation and the output trim, with the left channel in the low lane
// and the right channel in the high lane of one SSE2 register. Every lane
// does exactly the operations of the scalar forms (Biquad::processSample,
// StOversampler4x::up4 and downSample) in their order and precision, so each
// lane's result is the scalar result bit for bit.
//
// All eight oversampled inputs of a base-rate sample depend only on the
// input, so the whole chunk is up-sampled first; the sections then run as a
// wavefront over the chunk's oversampled stream (section k on sample j while
// section k + 1 is on sample j - 1), which hides the latency of each
// section's recursion behind the work of the others. Where the processor has
// AVX, two neighbouring sections share one 256-bit register (section k + 1's
// two channels in the low half, section k's in the high half); where it has
// AVX-512, four share one 512-bit register in the same way. The operations
// per lane stay the same.
#pragma once

#include <emmintrin.h>

#include "effect/biquad.h"
#include "effect/st_oversampler4x.h"

class OversampledStereoChain {
 public:
  static constexpr int kSections = 10;
  // The first five sections in chain order are re-tuned at every base-rate
  // sample, the last five once per block.
  static constexpr int kDynamicSections = 5;
  static constexpr int kChunk = 64;
  // up4 runs this many times per base-rate sample, with the same sample.
  static constexpr int kUpSamplingSteps = 2;
  // Stream entries per base-rate sample: the equaliser's rate over the
  // host's.
  static constexpr int kOversampling = kUpSamplingSteps * StOversampler4x::kFactor;
  static_assert(kOversampling == 8, "the wide forms' masks and lags are laid out for eight entries per sample");
  // The base-rate sample an entry of the chunk's stream belongs to, and its
  // place among that sample's entries.
  static constexpr int FrameOf(int entry) { return static_cast<int>(static_cast<unsigned>(entry) / kOversampling); }
  static constexpr int StepOf(int entry) { return static_cast<int>(static_cast<unsigned>(entry) % kOversampling); }

  // The chain owns its states (both oversamplers' histories, the sections'
  // and the trim's) from one block to the next. A NaN or infinity in a
  // channel's state is cleared for that channel alone, as the per-filter
  // forms clear each filter.
  void ClearNonFiniteState();

  // At rest: every history entry and the trim's state a zero, and every
  // section's state no larger than kRestBound. Given +0 input from there on,
  // the output stays +0 (the trim gives +0 for a zero of either sign; see
  // MORVANTE::RestThrough) whatever such small states do.
  bool AtRest() const;
  // 2^-400: far below anything a float sample can show, and far below what
  // a step with any non-zero float input absorbs.
  static constexpr double kRestBound = 0x1p-400;

  void SetStaticSection(int section, const BiquadCoefficients& c);
  void SetTrim(const BiquadCoefficients& c) { mTrim = Broadcast(c); }
  // Where the tunings of dynamic section `section` for the next chunk's
  // base-rate samples go: sample i's at [i * kDynamicTuningStride].
  BiquadCoefficients* DynamicTuning(int section) { return &mDynamicTuning[0][section]; }
  static constexpr int kDynamicTuningStride = kDynamicSections;

  OversampledStereoChain();

  // The widest form the processor has runs by default (512, 256 or 128-bit
  // registers); narrower ones give the same bits, so each stays testable.
  // A request wider than the processor has gets the widest it has.
  void UseRegisterWidth(int bits);
  static int WidestRegisters();

  // Runs n <= kChunk base-rate samples; processed[] receives the trimmed
  // samples (left, right) before the output gain.
  void Process(const double* left, const double* right, int n, double* processedLeft, double* processedRight);

 public:
  // Exposed for the wide forms' helpers.
  struct Coefficients {
    __m128d a0, a1, a2, b1, b2;
  };
  struct State {
    __m128d z1, z2;
  };
  // Two sections' coefficients as the 256-bit form loads them: [0] for the
  // low half (the later section), [1] for the high half.
  struct WideCoefficients {
    __m128d a0[2], a1[2], a2[2], b1[2], b2[2];
  };

 private:

  static Coefficients Broadcast(const BiquadCoefficients& c) {
    return {_mm_set1_pd(c.a0), _mm_set1_pd(c.a1), _mm_set1_pd(c.a2), _mm_set1_pd(c.b1), _mm_set1_pd(c.b2)};
  }

  static __m128d Step(const Coefficients& c, State& state, __m128d in);
  // Sections first..last, steps [tBegin, tEnd) of a wavefront over count
  // entries in which section first + i works on entry t - delays[i], one
  // section at a time: the fill and drain of the 256 and 512-bit forms.
  void RunNarrowSteps(int first, int last, const int* delays, int tBegin, int tEnd, int count);
  void RunWideSections(int count);
  void RunQuadSections(int count);
  void PrepareQuadTuning(int frames);
  void BroadcastDynamic(int firstFrame, int endFrame);
  void UpSample(const double* left, const double* right, int n);
  void UpSampleWide(const double* left, const double* right, int n);
  void RunSections(int count);
  void DecimateAndTrim(int n, double* processedLeft, double* processedRight);

  static constexpr int kTaps = StOversampler4x::kTaps;
  static constexpr int kInputs = StOversampler4x::kInputLength;
  static constexpr int kStream = kOversampling * kChunk;
  // Where each section of the 256-bit wavefront works at step t: on entry
  // t - delay. A pair's later section lags its earlier one by two entries,
  // the next pair starts one entry behind that.
  static constexpr int kWideDelays[kSections] = {0, 2, 3, 5, 6, 8, 9, 11, 12, 14};
  static constexpr int kWideFill = kWideDelays[kSections - 1];
  // The base-rate samples whose tuning the one-section fill reaches.
  static constexpr int kWideFillFrames = (kWideFill - 1) / kOversampling + 1;
  // The same for the 512-bit wavefront: sections 0..3 and 4..7 as quads,
  // 8 and 9 as a quad with two idle lanes.
  static constexpr int kQuadDelays[kSections] = {0, 2, 4, 6, 7, 9, 11, 13, 14, 16};
  static constexpr int kQuadFill = kQuadDelays[kSections - 1];
  static constexpr int kQuadFillFrames = (kQuadFill - 1) / kOversampling + 1;

  // The 31 processed entries before the chunk, then the chunk's stream.
  __m128d mHistory[kTaps + kStream] = {};
  // The eight inputs (times 4) before the chunk, then two per sample.
  __m128d mPushes[kInputs + kUpSamplingSteps * kChunk] = {};
  State mState[kSections] = {};
  State mTrimState = {};
  // As set, and spread over both lanes for the frames the 128-bit steps use.
  BiquadCoefficients mDynamicTuning[kChunk][kDynamicSections];
  Coefficients mDynamic[kChunk][kDynamicSections];
  Coefficients mStatic[kSections - kDynamicSections];
  Coefficients mTrim;
  int mWidth = 128;
  // Per base-rate sample: sections 0 and 1 (pair 0) and 2 and 3 (pair 1)
  // with both in that sample's tuning, and with the later section still in
  // the previous sample's (the step where the pair straddles two samples);
  // sections 5 and 4.
  WideCoefficients mPairInside[kChunk][2];
  WideCoefficients mPairStraddling[kChunk][2];
  WideCoefficients mMixedPair[kChunk];
  // Per base-rate sample for the 512-bit form: sections 0..3 in that
  // sample's tuning, and sections 4..7 with 4 in it. One row of eight per
  // coefficient, each section's value in both doubles of its lane (section
  // 0 and 4 in the highest lane).
  alignas(64) double mQuadTuning[kChunk][5][8];
  alignas(64) double mMixedQuad[kChunk][5][8];
};
