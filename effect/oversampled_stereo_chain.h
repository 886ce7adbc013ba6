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
// section's recursion behind the work of the others.
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
  static constexpr int kChunk = 32;
  static constexpr int kOversampling = 8;

  // The states live in the filter and oversampler objects between blocks;
  // they are taken in at the start of a block and handed back at its end.
  void LoadState(const StOversampler4x& left, const StOversampler4x& right, Biquad* const* leftChain,
                 Biquad* const* rightChain, const Biquad& leftTrim, const Biquad& rightTrim);
  void StoreState(StOversampler4x& left, StOversampler4x& right, Biquad* const* leftChain,
                  Biquad* const* rightChain, Biquad& leftTrim, Biquad& rightTrim) const;

  void SetStaticSection(int section, const BiquadCoefficients& c) { mStatic[section - kDynamicSections] = Broadcast(c); }
  void SetTrim(const BiquadCoefficients& c) { mTrim = Broadcast(c); }
  // The tuning of dynamic section `section` for base-rate sample `frame` of
  // the next chunk.
  void SetDynamicSection(int frame, int section, const BiquadCoefficients& c) {
    mDynamic[frame][section] = Broadcast(c);
  }

  // Runs n <= kChunk base-rate samples; processed[] receives the trimmed
  // samples (left, right) before the output gain.
  void Process(const double* left, const double* right, int n, double* processedLeft, double* processedRight);

 private:
  struct Coefficients {
    __m128d a0, a1, a2, b1, b2;
  };
  struct State {
    __m128d z1, z2;
  };

  static Coefficients Broadcast(const BiquadCoefficients& c) {
    return {_mm_set1_pd(c.a0), _mm_set1_pd(c.a1), _mm_set1_pd(c.a2), _mm_set1_pd(c.b1), _mm_set1_pd(c.b2)};
  }

  static __m128d Step(const Coefficients& c, State& state, __m128d in);
  void UpSample(const double* left, const double* right, int n);
  void RunDynamicSections(int count);
  void RunStaticSections(int count);
  void DecimateAndTrim(int n, double* processedLeft, double* processedRight);

  static constexpr int kTaps = StOversampler4x::kTaps;
  static constexpr int kInputs = StOversampler4x::kInputLength;
  static constexpr int kStream = kOversampling * kChunk;

  // The 31 processed entries before the chunk, then the chunk's stream.
  __m128d mHistory[kTaps + kStream];
  // The eight inputs (times 4) before the chunk, then two per sample.
  __m128d mPushes[kInputs + 2 * kChunk];
  State mState[kSections];
  State mTrimState;
  Coefficients mDynamic[kChunk][kDynamicSections];
  Coefficients mStatic[kSections - kDynamicSections];
  Coefficients mTrim;
};
