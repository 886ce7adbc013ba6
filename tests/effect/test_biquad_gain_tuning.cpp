// The re-tuning shortcuts must give the coefficients of a full setBiquad bit
// for bit, for boosts and cuts (the effect itself only ever boosts), for
// every type, pairs of boosts and mixed pairs, odd counts and the chain's
// row layout.
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
bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

const std::vector<double>& Gains() {
  static const std::vector<double> gains = {
      0.0, -0.0, 0.5, -0.5, 3.0, -3.0, 12.25, -12.25, 24.0, 6.0, 18.5, 2.25, -24.0, 1e-300, -1e-300, 0.1234567,
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

TEST(BiquadGainTuning, PairsMatchFullTuningWithOddCountsAndStrides) {
  // Rows as the chain lays them out: a coefficient's pair every 8 doubles,
  // a gain's five pairs every 80.
  constexpr int kCoefficientStride = 8, kFrameStride = 80;
  const std::vector<double>& gains = Gains();
  std::vector<double> amplitudes;
  for (double gain : gains) amplitudes.push_back(BiquadGainTuning::Amplitude(gain));
  for (int type = Biquad::kLowPass; type <= Biquad::kHighShelf; ++type) {
    for (const Tuning& t : kTunings) {
      BiquadGainTuning tuning;
      tuning.prepare(type, t.Fc, t.Q);
      // Every count from 1 to all gains, so each lands in both lanes and in
      // the odd last place; with the rows written whole, and with boosts
      // writing only what moves over the shared values written before.
      for (int n = 1; n <= static_cast<int>(gains.size()); ++n) {
        for (int run = 0; (run / 2) * n + n <= static_cast<int>(gains.size()); ++run) {
          const int offset = (run / 2) * n;
          const bool constantsInPlace = run % 2 != 0;
          std::vector<double> out(static_cast<size_t>(n * kFrameStride), 7.0);
          const BiquadPairRows rows = {out.data(), kFrameStride, kCoefficientStride};
          if (constantsInPlace) tuning.writeBoostConstants(n, rows);
          const bool keptConstants =
              tuning.coefficientsFor(&gains[offset], &amplitudes[offset], n, rows, constantsInPlace);
          if (n == 1) {
            // The one-gain form writes the same rows and says the same.
            std::vector<double> one(out.size(), 7.0);
            const BiquadPairRows oneRows = {one.data(), kFrameStride, kCoefficientStride};
            if (constantsInPlace) tuning.writeBoostConstants(1, oneRows);
            EXPECT_EQ(tuning.coefficientsForOne(gains[offset], amplitudes[offset], oneRows, constantsInPlace),
                      keptConstants);
            EXPECT_EQ(std::memcmp(one.data(), out.data(), out.size() * sizeof(double)), 0)
                << "type " << type << " gain " << gains[offset];
          }
          bool anyCut = false;
          for (int i = 0; i < n; ++i) anyCut = anyCut || !(gains[offset + i] >= 0.0);
          const bool gainDependent = type >= Biquad::kPeaking;
          EXPECT_EQ(keptConstants, !(anyCut && gainDependent)) << "type " << type << " n " << n;
          for (int i = 0; i < n; ++i) {
            const BiquadCoefficients full = Full(type, t.Fc, t.Q, gains[offset + i]);
            const double expected[5] = {full.a0, full.a1, full.a2, full.b1, full.b2};
            for (int k = 0; k < 5; ++k) {
              const double* pair = &out[static_cast<size_t>(i * kFrameStride + k * kCoefficientStride)];
              EXPECT_TRUE(SameBits(pair[0], expected[k]) && SameBits(pair[1], expected[k]))
                  << "type " << type << " Fc " << t.Fc << " n " << n << " gain " << gains[offset + i] << " k " << k;
            }
          }
          // Between the pairs nothing is written.
          for (size_t idx = 0; idx < out.size(); ++idx) {
            const int place = static_cast<int>(idx % kFrameStride);
            if (place >= 5 * kCoefficientStride || place % kCoefficientStride >= 2) {
              EXPECT_EQ(out[idx], 7.0);
            }
          }
        }
      }
    }
  }
}

}  // namespace
