// Deterministic test programme: noise plus one tone near each band, under a
// slow swell that takes every band from silence to well above its threshold.
#pragma once

#include <cmath>
#include <cstdint>

class ProgramSignal {
public:
  ProgramSignal(double sampleRate, uint32_t seed) : mSampleRate(sampleRate), mSeed(seed ? seed : 1u) {}

  void Fill(double* left, double* right, int nFrames) {
    static constexpr double kTones[5] = {90.0, 900.0, 2600.0, 6100.0, 13000.0};
    static constexpr double kTwoPi = 6.283185307179586;
    for (int i = 0; i < nFrames; ++i, ++mFrame) {
      const double t = static_cast<double>(mFrame) / mSampleRate;
      const double swell = 0.5 - 0.5 * std::cos(kTwoPi * 1.3 * t);
      double tones = 0.0;
      for (int k = 0; k < 5; ++k) tones += std::sin(kTwoPi * kTones[k] * t + k) * (0.12 + 0.05 * k);
      left[i] = swell * (tones + 0.3 * Noise());
      right[i] = swell * (0.7 * tones + 0.3 * Noise()) - 0.05 * swell;
    }
  }

  // Uniform in [-1, 1).
  double Noise() {
    mSeed = mSeed * 1664525u + 1013904223u;
    return static_cast<double>(mSeed >> 8) / 8388608.0 - 1.0;
  }

private:
  double mSampleRate;
  uint32_t mSeed;
  uint64_t mFrame = 0;
};

// Long runs are sized for optimised builds and cut for the sanitizer build,
// where the per-sample oracle is an order of magnitude slower.
#ifdef NDEBUG
constexpr double kTestRunScale = 1.0;
#else
constexpr double kTestRunScale = 0.12;
#endif
