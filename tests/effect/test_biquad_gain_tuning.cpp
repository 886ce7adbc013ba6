// The re-tuning shortcuts must give the coefficients of a full setBiquad bit
// for bit, for boosts and cuts (the effect itself only ever boosts), for
// every type, odd counts and strided output.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "effect/biquad_gain_tuning.h"

namespace {

BiquadCoefficients Full(int type, double Fc, double Q, double gain) {
  Biquad b;
  b.setBiquad(type, Fc, Q, gain);
  return b.getCoefficients();
}

bool SameBits(const BiquadCoefficients& a, const BiquadCoefficients& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

const std::vector<double>& Gains() {
  static const std::vector<double> gains = {
      0.0, -0.0, 0.5, -0.5, 3.0, -3.0, 12.25, -12.25, 24.0, -24.0, 1e-300, -1e-300, 0.1234567,
      -7.654321, 60.0, -60.0, std::numeric_limits<double>::quiet_NaN()};
  return gains;
}

struct Tuning {
  double Fc, Q;
};
const Tuning kTunings[] = {{0.001, 0.1}, {0.02, 0.707}, {0.125, 2.0}, {0.3, 12.0}, {0.49, 0.5}, {0.6, 1.0}};

TEST(BiquadGainTuning, SingleGainMatchesFullTuning) {
  for (int type = Biquad::kLowPass; type <= Biquad::kHighShelf; ++type) {
    for (const Tuning& t : kTunings) {
      BiquadGainTuning tuning;
      tuning.prepare(type, t.Fc, t.Q);
      for (double gain : Gains()) {
        EXPECT_TRUE(SameBits(tuning.coefficients(gain), Full(type, t.Fc, t.Q, gain)))
            << "type " << type << " Fc " << t.Fc << " Q " << t.Q << " gain " << gain;
      }
    }
  }
}

TEST(BiquadGainTuning, PairsMatchFullTuningWithOddCountsAndStride) {
  constexpr int kStride = 3;
  const std::vector<double>& gains = Gains();
  std::vector<double> amplitudes;
  for (double gain : gains) amplitudes.push_back(BiquadGainTuning::Amplitude(gain));
  for (int type = Biquad::kLowPass; type <= Biquad::kHighShelf; ++type) {
    for (const Tuning& t : kTunings) {
      BiquadGainTuning tuning;
      tuning.prepare(type, t.Fc, t.Q);
      // Every count from 1 to all gains, so each lands in both lanes and in
      // the odd last place.
      for (int n = 1; n <= static_cast<int>(gains.size()); ++n) {
        for (int offset = 0; offset + n <= static_cast<int>(gains.size()); offset += n) {
          std::vector<BiquadCoefficients> out(static_cast<size_t>(n * kStride), BiquadCoefficients{7, 7, 7, 7, 7});
          tuning.coefficientsFor(&gains[offset], &amplitudes[offset], n, out.data(), kStride);
          for (int i = 0; i < n; ++i) {
            EXPECT_TRUE(SameBits(out[i * kStride], Full(type, t.Fc, t.Q, gains[offset + i])))
                << "type " << type << " Fc " << t.Fc << " n " << n << " gain " << gains[offset + i];
            // Between the strided entries nothing is written.
            for (int gap = 1; gap < kStride; ++gap) EXPECT_EQ(out[i * kStride + gap].a0, 7.0);
          }
        }
      }
    }
  }
}

}  // namespace
