// Ballistics of a gain-reduction meter: a one-pole follower that covers 99 %
// of the way in 0.3 s at any sample rate, aiming slightly past its input.
#pragma once

#include <immintrin.h>

#include <cmath>

class VUClass {
 public:
  // The meter starts at full scale and decays from there.
  static constexpr double kInitialState = 1.0;

  // One step at sampleRate; returns the new state.
  double Process(double in, double sampleRate) {
    return ProcessWithCoefficient(in, Coefficient(sampleRate));
  }

  // The coefficient depends only on the rate, so callers may compute it once
  // per block; Process gives the same bits.
  static double Coefficient(double sampleRate);
  // Two meters' steps at once, each lane as ProcessWithCoefficient takes
  // it (which is this on one lane), for callers that run meters side by
  // side so that their recursions overlap. Both overshoots are computed and
  // one is picked without a branch: whether the input stands above the
  // state changes with the signal.
  static __m128d StepPair(__m128d state, __m128d in, __m128d coefficient) {
    const __m128d x = _mm_and_pd(in, _mm_castsi128_pd(_mm_set1_epi64x(0x7fffffffffffffff)));
    const __m128d rising = _mm_cmpgt_pd(x, state);
    const __m128d target = _mm_or_pd(_mm_and_pd(rising, _mm_mul_pd(x, _mm_set1_pd(kRiseOvershoot))),
                                     _mm_andnot_pd(rising, _mm_mul_pd(x, _mm_set1_pd(kFallOvershoot))));
    return _mm_add_pd(_mm_mul_pd(coefficient, _mm_sub_pd(state, target)), target);
  }
  // Four meters' steps, the same in a 256-bit register; only for
  // processors with AVX.
  __attribute__((target("avx"))) static __m256d StepQuad(__m256d state, __m256d in, __m256d coefficient) {
    const __m256d x = _mm256_and_pd(in, _mm256_castsi256_pd(_mm256_set1_epi64x(0x7fffffffffffffff)));
    const __m256d rising = _mm256_cmp_pd(x, state, _CMP_GT_OQ);
    const __m256d target = _mm256_or_pd(_mm256_and_pd(rising, _mm256_mul_pd(x, _mm256_set1_pd(kRiseOvershoot))),
                                        _mm256_andnot_pd(rising, _mm256_mul_pd(x, _mm256_set1_pd(kFallOvershoot))));
    return _mm256_add_pd(_mm256_mul_pd(coefficient, _mm256_sub_pd(state, target)), target);
  }
  double ProcessWithCoefficient(double in, double coefficient) {
    state = _mm_cvtsd_f64(StepPair(_mm_set1_pd(state), _mm_set1_pd(in), _mm_set1_pd(coefficient)));
    return state;
  }

  double GetState() const { return state; }
  // For callers that step many meters at once in a form of their own.
  void SetState(double newState) { state = newState; }

  // A NaN input would otherwise hold the meter at NaN for good.
  bool HasFiniteState() const { return state * 0.0 == 0.0; }
  void ClearState() { state = kInitialState; }

 private:
  // The target overshoots the input a little in the direction of travel.
  static constexpr double kRiseOvershoot = 1.0125;
  static constexpr double kFallOvershoot = 0.9875;

  double state = kInitialState;
};
