#include "effect/st_oversampler4x.h"

#include <emmintrin.h>

#include <cmath>

void StOversampler4x::up4(double x) {
  for (int i = 0; i < kInputLength - 1; ++i) inputHistory[i] = inputHistory[i + 1];
  inputHistory[kInputLength - 1] = 4.0 * x;

  for (int i = 0; i < kFirstNewEntry; ++i) outputHistory[i] = outputHistory[i + kFactor];

  // u[j] is the j-th newest input. Each phase is written out with its pairs
  // in a fixed order: the order of the sums is part of the result.
  const double* h = kFir;
  const double u0 = inputHistory[7], u1 = inputHistory[6], u2 = inputHistory[5],
               u3 = inputHistory[4], u4 = inputHistory[3], u5 = inputHistory[2],
               u6 = inputHistory[1], u7 = inputHistory[0];
  double* y = outputHistory + kFirstNewEntry;
  y[0] = h[0] * u0 + h[4] * u1 + h[8] * u2 + h[12] * u3 + h[14] * u4 + h[10] * u5 +
         h[6] * u6 + h[2] * u7;
  y[1] = h[1] * (u0 + u7) + h[5] * (u1 + u6) + h[9] * (u2 + u5) + h[13] * (u3 + u4);
  y[2] = h[2] * u0 + h[6] * u1 + h[10] * u2 + h[14] * u3 + h[12] * u4 + h[8] * u5 +
         h[4] * u6 + h[0] * u7;
  y[3] = h[15] * u3;
}

int StOversampler4x::ImpulsePeakDelay(int stepsPerSample) {
  if (stepsPerSample < 1) stepsPerSample = 1;
  // Long enough for the impulse to leave the input history and then the
  // output history.
  const int length = kInputLength / stepsPerSample + kTaps / (4 * stepsPerSample) + 2;
  StOversampler4x oversampler;
  int peak = 0;
  double largest = 0.0;
  for (int n = 0; n < length; ++n) {
    for (int step = 0; step < stepsPerSample; ++step) oversampler.up4(n == 0 ? 1.0 : 0.0);
    const double magnitude = std::fabs(oversampler.downSample());
    if (magnitude > largest) {
      largest = magnitude;
      peak = n;
    }
  }
  return peak;
}

// Every finite value times zero is a zero, anything else gives NaN; the
// products are summed two at a time in four independent sums.
bool StOversampler4x::HasFiniteState() const {
  static_assert(kTaps % 2 == 1 && kInputLength % 2 == 0, "the taps end in a single one, the inputs do not");
  const __m128d zero = _mm_setzero_pd();
  __m128d sums[4] = {zero, zero, zero, zero};
  int i = 0;
  for (; i + 1 < kTaps; i += 2) {
    __m128d& sum = sums[(i / 2) % 4];
    sum = _mm_add_pd(sum, _mm_mul_pd(_mm_loadu_pd(outputHistory + i), zero));
  }
  // The odd last tap.
  sums[0] = _mm_add_sd(sums[0], _mm_mul_sd(_mm_load_sd(outputHistory + i), zero));
  for (int k = 0; k + 1 < kInputLength; k += 2) {
    __m128d& sum = sums[(k / 2) % 4];
    sum = _mm_add_pd(sum, _mm_mul_pd(_mm_loadu_pd(inputHistory + k), zero));
  }
  const __m128d total = _mm_add_pd(_mm_add_pd(sums[0], sums[1]), _mm_add_pd(sums[2], sums[3]));
  return _mm_movemask_pd(_mm_cmpeq_pd(total, zero)) == 3;
}

void StOversampler4x::ClearState() {
  for (double& v : outputHistory) v = 0.0;
  for (double& v : inputHistory) v = 0.0;
}

// The owner clears the object by value and the effect's layout counts on it.
static_assert(sizeof(StOversampler4x) == 39 * sizeof(double), "StOversampler4x is 39 doubles");
