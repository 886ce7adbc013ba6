#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "effect/st_oversampler4x.h"

namespace {

constexpr const double* h = StOversampler4x::kFir;

// Two up-sampling steps of the same sample, then the decimated output: how
// the effect drives each channel at eight times the base rate.
double EffectStep(StOversampler4x& os, double x) {
  os.up4(x);
  os.up4(x);
  return os.downSample();
}

double PhaseGain(int phase) {
  double sum = 0.0;
  for (int j = 0; j < 8; ++j) {
    const int i = 4 * j + phase;
    sum += i < StOversampler4x::kTaps ? h[i] : 0.0;
  }
  return 4.0 * sum;
}

TEST(StOversampler4x, TapsAreTheDesignedPrototype) {
  const double firstHalf[16] = {
      -0.00248078931015061, -0.004570244176216314, -0.004355356208146785, 0.0,
      0.00795714816545856,  0.014777623526947411,  0.013578369569319975,  0.0,
      -0.022456715627743595, -0.040914779384992654, -0.03769151644963085, 0.0,
      0.0706496448477984,   0.15538007457109065,   0.2245335588462797,    0.2511859632599724};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(h[i], firstHalf[i]) << i;
  for (int i = 0; i < 31; ++i) EXPECT_EQ(h[30 - i], h[i]) << i;
  for (int i : {3, 7, 11, 19, 23, 27}) EXPECT_EQ(h[i], 0.0) << i;
  double sum = 0.0;
  for (int i = 0; i < 31; ++i) sum += h[i];
  EXPECT_NEAR(sum, 1.0, 1e-15);
}

TEST(StOversampler4x, PhaseGains) {
  EXPECT_NEAR(PhaseGain(0), 0.99894, 5e-6);
  EXPECT_NEAR(PhaseGain(1), 0.99738, 5e-6);
  EXPECT_NEAR(PhaseGain(2), 0.99894, 5e-6);
  EXPECT_NEAR(PhaseGain(3), 1.00474, 5e-6);
}

TEST(StOversampler4x, SingleImpulseProducesFourTimesTheTaps) {
  StOversampler4x os;
  os.up4(1.0);
  EXPECT_EQ(os.outputHistory[27], 4 * h[0]);
  EXPECT_EQ(os.outputHistory[28], 4 * h[1]);
  EXPECT_EQ(os.outputHistory[29], 4 * h[2]);
  EXPECT_EQ(os.outputHistory[30], 0.0);
  for (int i = 0; i < 27; ++i) EXPECT_EQ(os.outputHistory[i], 0.0) << i;
  os.up4(0.0);
  os.up4(0.0);
  os.up4(0.0);
  EXPECT_NEAR(os.outputHistory[30], 1.0047, 5e-5);
  EXPECT_EQ(os.outputHistory[30], 4 * h[15]);
}

// The interpolated impulse response is the whole prototype, scaled by 4.
TEST(StOversampler4x, ImpulseResponseOfUpSamplingIsThePrototype) {
  StOversampler4x os;
  std::vector<double> response;
  for (int step = 0; step < 8; ++step) {
    os.up4(step == 0 ? 1.0 : 0.0);
    for (int p = 0; p < 4; ++p) response.push_back(os.outputHistory[27 + p]);
  }
  for (int k = 0; k < 32; ++k) {
    EXPECT_NEAR(response[k], k < 31 ? 4 * h[k] : 0.0, 1e-16) << k;
  }
  os.up4(0.0);
  for (int p = 0; p < 4; ++p) EXPECT_EQ(os.outputHistory[27 + p], 0.0);
}

TEST(StOversampler4x, ConstantConvergesToPhaseGains) {
  for (double c : {1.0, -0.37}) {
    StOversampler4x os;
    for (int i = 0; i < 20; ++i) os.up4(c);
    for (int p = 0; p < 4; ++p) {
      EXPECT_NEAR(os.outputHistory[27 + p], c * PhaseGain(p), 1e-15) << p;
      // Every earlier group of four holds the same values once settled.
      EXPECT_EQ(os.outputHistory[23 + p], os.outputHistory[27 + p]) << p;
    }
  }
}

TEST(StOversampler4x, HistoriesMoveDownByFourAndOne) {
  StOversampler4x os;
  for (int i = 0; i < 7; ++i) os.up4(i + 1.0);
  EXPECT_EQ(os.inputHistory[0], 0.0);
  for (int i = 1; i < 8; ++i) EXPECT_EQ(os.inputHistory[i], 4.0 * i);
  // Processed values written by the owner travel down like any other.
  for (int p = 0; p < 4; ++p) os.outputHistory[27 + p] = 100.0 + p;
  os.up4(0.5);
  for (int p = 0; p < 4; ++p) EXPECT_EQ(os.outputHistory[23 + p], 100.0 + p);
  EXPECT_EQ(os.inputHistory[0], 4.0);
  EXPECT_EQ(os.inputHistory[7], 2.0);
}

TEST(StOversampler4x, DownSampleIsTheFirOverTheHistory) {
  StOversampler4x os;
  for (int i = 0; i < 31; ++i) os.outputHistory[i] = std::sin(0.7 * i) + 0.01 * i;
  double direct = 0.0;
  for (int i = 0; i < 31; ++i) direct += h[i] * os.outputHistory[i];
  EXPECT_NEAR(os.downSample(), direct, 1e-15);
  for (int i = 0; i < 31; ++i) {
    StOversampler4x unit;
    unit.outputHistory[i] = 1.0;
    EXPECT_EQ(unit.downSample(), h[i]) << i;
  }
}

TEST(StOversampler4x, EffectChainImpulseArrivesThreeSamplesLater) {
  StOversampler4x os;
  std::vector<double> out;
  for (int n = 0; n < 12; ++n) out.push_back(EffectStep(os, n == 0 ? 1.0 : 0.0));
  EXPECT_NEAR(out[3], 1.1838, 5e-5);
  for (int n = 0; n < 12; ++n) {
    if (n != 3) {
      EXPECT_LT(std::fabs(out[n]), 0.1) << n;
    }
  }
  // The chain spans 31 + 7 × 4 oversampled samples, under eight base samples.
  for (int n = 8; n < 12; ++n) EXPECT_EQ(out[n], 0.0) << n;
}

TEST(StOversampler4x, EffectChainPassesDcWithUnitGain) {
  for (double c : {1.0, -0.5}) {
    StOversampler4x os;
    double y = 0.0;
    for (int n = 0; n < 20; ++n) y = EffectStep(os, c);
    EXPECT_NEAR(y / c, 1.0, 2e-6);
  }
}

TEST(StOversampler4x, NonFiniteStateIsDetectedAndCleared) {
  for (double bad : {std::numeric_limits<double>::quiet_NaN(),
                     std::numeric_limits<double>::infinity()}) {
    StOversampler4x os;
    for (int n = 0; n < 5; ++n) EffectStep(os, 0.3);
    EXPECT_TRUE(os.HasFiniteState());
    EffectStep(os, bad);
    EXPECT_FALSE(os.HasFiniteState());
    EXPECT_FALSE(std::isfinite(EffectStep(os, 0.0)));

    os.ClearState();
    EXPECT_TRUE(os.HasFiniteState());
    StOversampler4x fresh;
    for (int n = 0; n < 20; ++n) {
      const double x = 0.1 * n;
      ASSERT_EQ(EffectStep(os, x), EffectStep(fresh, x)) << n;
    }
  }
}

TEST(StOversampler4x, NonFiniteValueWrittenByOwnerIsDetected) {
  StOversampler4x os;
  os.up4(0.2);
  os.outputHistory[29] = std::numeric_limits<double>::quiet_NaN();
  EXPECT_FALSE(os.HasFiniteState());
  os.ClearState();
  os.outputHistory[0] = std::numeric_limits<double>::max();
  EXPECT_TRUE(os.HasFiniteState());
}

// The check reads the state in pairs: a bad value in any single place,
// the odd last tap included, is found.
TEST(StOversampler4x, NonFiniteValueInAnyPlaceIsDetected) {
  for (double bad : {std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::infinity()}) {
    for (int i = 0; i < StOversampler4x::kTaps + StOversampler4x::kInputLength; ++i) {
      StOversampler4x os;
      double& place = i < StOversampler4x::kTaps ? os.outputHistory[i] : os.inputHistory[i - StOversampler4x::kTaps];
      place = bad;
      EXPECT_FALSE(os.HasFiniteState()) << i;
      place = -std::numeric_limits<double>::max();
      EXPECT_TRUE(os.HasFiniteState()) << i;
    }
  }
}

}  // namespace
