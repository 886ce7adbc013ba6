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
  // base-rate samples go (see TuningRows).
  BiquadPairRows DynamicTuning(int section) {
    return {&mTuning[0][GroupOf(section)][0][2 * LaneOf(section)], kTuningFrameStride, kTuningCoefficientStride};
  }

  OversampledStereoChain();

  // The form that runs fastest on the processor runs by default (512, 256
  // or 128-bit registers, usually the widest it has); every form gives the
  // same bits, so each stays testable. A request wider than the processor
  // has gets the widest it has.
  void UseRegisterWidth(int bits);
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
  // The tunings of sections 0..7 per base-rate sample, laid out as the
  // 512-bit form loads them: two registers' worth of five rows (a0, a1, a2,
  // b1, b2) of eight doubles, the first for sections 0..3, the second for
  // 4..7, the lowest section of each in the highest 128-bit lane and every
  // section's value in both doubles of its lane. The 256 and 128-bit forms
  // read the same rows: two neighbouring lanes are a 256-bit pair, one lane
  // a 128-bit section. Sections 5..7 are the same in every sample's rows.
  static constexpr int kRowLanes = 4;
  static constexpr int kTuningGroups = 2;
  static constexpr int GroupOf(int section) { return section / kRowLanes; }
  static constexpr int LaneOf(int section) { return kRowLanes - 1 - section % kRowLanes; }
  using TuningRows = double[5][2 * kRowLanes];

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
  // section at a time: the fill and drain of the 256 and 512-bit forms.
  void RunNarrowSteps(int first, int last, const int* delays, int tBegin, int tEnd, int count);
  void RunWideSections(int count);
  void RunQuadSections(int count);
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
  // Where each section of the 256-bit wavefront works at step t: on entry
  // t - delay. A pair's later section lags its earlier one by two entries,
  // the next pair starts one entry behind that.
  static constexpr int kWideDelays[kSections] = {0, 2, 3, 5, 6, 8, 9, 11, 12, 14};
  static constexpr int kWideFill = kWideDelays[kSections - 1];
  // The same for the 512-bit wavefront: sections 0..3 and 4..7 as quads,
  // 8 and 9 as a quad with two idle lanes.
  static constexpr int kQuadDelays[kSections] = {0, 2, 4, 6, 7, 9, 11, 13, 14, 16};
  static constexpr int kQuadFill = kQuadDelays[kSections - 1];

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
  // The rows of each base-rate sample, then of each register (TuningRows).
  static constexpr int kTuningCoefficientStride = 2 * kRowLanes;
  static constexpr int kTuningFrameStride = kTuningGroups * 5 * kTuningCoefficientStride;
  static_assert(kDynamicSections <= kTuningGroups * kRowLanes, "every dynamic section has a lane");
  alignas(64) TuningRows mTuning[kChunk][kTuningGroups];
};
