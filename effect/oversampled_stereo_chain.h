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
// AVX, section k and section k + 5 share one 256-bit register (k's two
// channels in the low half, k + 5's in the high half), five such pairs in a
// row: no lane idles and only the first pair's input is put together. The
// operations per lane stay the same. (Four sections per 512-bit register
// ran slower on Zen 4, which splits such registers in two: it left lanes
// idle and moved every sample between lanes.)
#pragma once

#include <emmintrin.h>

#include "effect/biquad.h"
#include "effect/biquad_gain_tuning.h"
#include "effect/st_oversampler4x.h"

class OversampledStereoChain {
 public:
  static constexpr int kSections = 10;
  // The first five sections in chain order are re-tuned at every base-rate
  // sample, the last five once per block.
  static constexpr int kDynamicSections = 5;
  static constexpr int kChunk = 256;
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
  // base-rate samples go (see mTuning).
  BiquadPairRows DynamicTuning(int section) {
    return {&mTuning[0][0][section][0], kTuningFrameStride, kTuningCoefficientStride};
  }

  OversampledStereoChain();

  // The form that runs fastest on the processor runs by default (256 or
  // 128-bit registers, usually the widest it has); every form gives the
  // same bits, so each stays testable. A request wider than the processor
  // has, or than 256 bits, gets the widest it has.
  void UseRegisterWidth(int bits);
  int RegisterWidth() const { return mWidth; }
  static int WidestRegisters();
  static int FastestRegisters();

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
  // Section k < kPairs shares a register with section k + kPairs (see
  // mTuning and RunPairSections).
  static constexpr int kPairs = kSections / 2;
  static_assert(kPairs == kDynamicSections, "each pair holds one dynamic and one static section");

 private:
  static __m128d AllLanes() { return _mm_castsi128_pd(_mm_set1_epi64x(-1)); }
  static Coefficients Broadcast(const BiquadCoefficients& c) {
    return {_mm_set1_pd(c.a0), _mm_set1_pd(c.a1), _mm_set1_pd(c.a2), _mm_set1_pd(c.b1), _mm_set1_pd(c.b2)};
  }

  static __m128d Step(const Coefficients& c, State& state, __m128d in);
  // Section k's tuning for base-rate sample `frame` of the chunk.
  Coefficients Tuned(int frame, int k) const;
  // Sections first..last, steps [tBegin, tEnd) of a wavefront over count
  // entries in which section first + i works on entry t - delays[i], one
  // section at a time: the fill and drain of the 256-bit form.
  void RunNarrowSteps(int first, int last, const int* delays, int tBegin, int tEnd, int count);
  // The static halves of the first `frames` samples' rows (mTuning), where
  // they are not set since the last SetStaticSection: a host that moves a
  // setting at every short block pays for the rows it uses only.
  void SetStaticRows(int frames);
  void RunPairSections(int count);
  void UpSample(const double* left, const double* right, int n);
  void UpSampleWide(const double* left, const double* right, int n);
  template <int kFirst>
  void RunSectionGroup(int count);
  void RunSections(int count);
  template <int kFirst>
  void RunOneFrameGroup();
  void RunOneFrame();
  void DecimateAndTrim(int n, double* processedLeft, double* processedRight);

  static constexpr int kTaps = StOversampler4x::kTaps;
  static constexpr int kInputs = StOversampler4x::kInputLength;
  static constexpr int kStream = kOversampling * kChunk;
  // Where each section of the paired wavefront works at step t: on entry
  // t - delay. Pair k + 1 takes pair k's outputs of the step before; the
  // first pair's static section takes the last dynamic one's output of
  // kPairLag - kPairs + 1 steps before from the stream, far enough back that
  // the path through all five pairs does not hold up each step.
  static constexpr int kPairLag = 12;
  static constexpr int kPairDelays[kSections] = {
      0, 1, 2, 3, 4, kPairLag, kPairLag + 1, kPairLag + 2, kPairLag + 3, kPairLag + 4};
  static constexpr int kPairFill = kPairDelays[kSections - 1];

  // The 31 processed entries before the chunk, then the chunk's stream.
  __m128d mHistory[kTaps + kStream] = {};
  // The eight inputs (times 4) before the chunk, then two per sample.
  __m128d mPushes[kInputs + kUpSamplingSteps * kChunk] = {};
  // All ones in the lanes where every history entry was finite when the
  // last chunk ended, as far as Process looked (a lane it could not vouch
  // for is clear).
  __m128d mKeptFinite = AllLanes();
  State mState[kSections] = {};
  State mTrimState = {};
  Coefficients mStatic[kSections - kDynamicSections];
  Coefficients mTrim;
  int mWidth = 128;
  // Per base-rate sample and coefficient (a0, a1, a2, b1, b2), four doubles
  // per pair: dynamic section k's value in the low two, static section
  // k + kPairs's in the high two, so that a pair's coefficient is one load.
  // The static halves are the same in every sample's rows; those of the
  // first mStaticRowsSet samples are set.
  static constexpr int kTuningCoefficientStride = kPairs * 4;
  static constexpr int kTuningFrameStride = 5 * kTuningCoefficientStride;
  alignas(64) double mTuning[kChunk][5][kPairs][4];
  int mStaticRowsSet = 0;
};
