#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "effect/vu_meter.h"

namespace {

TEST(VUClass, StartsAtFullScale) { EXPECT_EQ(VUClass().GetState(), 1.0); }

TEST(VUClass, CoefficientAt44100) {
  EXPECT_NEAR(VUClass::Coefficient(44100.0), 0.999652, 5e-7);
}

// With input 0 every step multiplies the state by the coefficient, so the
// meter reaches 1 % after 0.3 s whatever the rate.
TEST(VUClass, DecaysToOnePercentInPointThreeSeconds) {
  for (double rate : {22050.0, 44100.0, 48000.0, 96000.0}) {
    SCOPED_TRACE(rate);
    VUClass meter;
    const double c = VUClass::Coefficient(rate);
    EXPECT_EQ(meter.Process(0.0, rate), c);
    const int steps = static_cast<int>(rate * 0.3);
    for (int i = 1; i < steps; ++i) meter.Process(0.0, rate);
    EXPECT_NEAR(meter.GetState(), 0.01, 1e-6);
  }
}

TEST(VUClass, RisesTowardSlightlyMoreThanItsInput) {
  VUClass meter;
  for (int i = 0; i < 44100; ++i) meter.Process(0.0, 44100.0);
  const double before = meter.GetState();
  const double first = meter.Process(0.8, 44100.0);
  // One step toward 0.8 × 1.0125 from below.
  const double c = VUClass::Coefficient(44100.0);
  EXPECT_EQ(first, c * (before - 0.8 * 1.0125) + 0.8 * 1.0125);
  // 99 % of the way in 0.3 s.
  for (int i = 1; i < 13230; ++i) meter.Process(0.8, 44100.0);
  EXPECT_NEAR(meter.GetState(), 0.8 * 1.0125 * 0.99, 2e-3);
}

TEST(VUClass, FallsTowardSlightlyLessThanItsInput) {
  VUClass meter;
  const double c = VUClass::Coefficient(48000.0);
  EXPECT_EQ(meter.Process(0.4, 48000.0), c * (1.0 - 0.4 * 0.9875) + 0.4 * 0.9875);
}

// Once near its input the meter hovers between the two overshoot targets.
// Only an input strictly above the state counts as rising.
TEST(VUClass, InputEqualToStateAimsBelow) {
  VUClass meter;
  const double c = VUClass::Coefficient(44100.0);
  EXPECT_EQ(meter.Process(1.0, 44100.0), c * (1.0 - 0.9875) + 0.9875);
  EXPECT_LT(meter.GetState(), 1.0);
}

TEST(VUClass, SteadyInputHoldsTheMeterAtTheInput) {
  VUClass meter;
  for (int i = 0; i < 96000; ++i) meter.Process(0.5, 48000.0);
  for (int i = 0; i < 1000; ++i) {
    const double v = meter.Process(0.5, 48000.0);
    ASSERT_GT(v, 0.5 * 0.9875);
    ASSERT_LT(v, 0.5 * 1.0125);
  }
  EXPECT_NEAR(meter.GetState(), 0.5, 1e-3);
}

TEST(VUClass, UsesTheMagnitudeOfItsInput) {
  VUClass positive, negative;
  for (int i = 0; i < 100; ++i) {
    ASSERT_EQ(positive.Process(0.3 + 0.001 * i, 44100.0), negative.Process(-0.3 - 0.001 * i, 44100.0));
  }
}

TEST(VUClass, PrecomputedCoefficientGivesTheSameBits) {
  VUClass a, b;
  const double c = VUClass::Coefficient(44100.0);
  for (int i = 0; i < 1000; ++i) {
    const double in = std::sin(0.01 * i);
    ASSERT_EQ(a.Process(in, 44100.0), b.ProcessWithCoefficient(in, c)) << i;
  }
}

TEST(VUClass, NonFiniteStateIsDetectedAndCleared) {
  VUClass meter;
  EXPECT_TRUE(meter.HasFiniteState());
  meter.Process(std::numeric_limits<double>::quiet_NaN(), 44100.0);
  EXPECT_FALSE(meter.HasFiniteState());
  meter.Process(0.2, 44100.0);
  EXPECT_FALSE(meter.HasFiniteState());
  meter.ClearState();
  EXPECT_TRUE(meter.HasFiniteState());
  EXPECT_EQ(meter.Process(0.2, 44100.0), VUClass().Process(0.2, 44100.0));
}

}  // namespace
