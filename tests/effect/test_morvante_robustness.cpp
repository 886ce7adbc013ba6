// Input and settings the design did not guard against: non-finite samples
// and detector frequencies at half the rate.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "tests/effect/morvante_test_plug.h"
#include "tests/effect/test_signal.h"

namespace {

void ActivateEveryBand(TestMorvante& plug) {
  const double gains[kNumMorvanteBands] = {6.0, -6.0, 9.0, -3.0, 4.0};
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    const MorvanteBandLayout& layout = kMorvanteBandLayouts[b];
    plug.SetParam(layout.thresholdParam, 35.0);
    plug.SetParam(layout.gainParam, gains[b]);
    plug.SetParam(layout.ratioParam, 4.0);
  }
}

bool AllFinite(const std::vector<double>& v) {
  for (double x : v) {
    if (!std::isfinite(x)) return false;
  }
  return true;
}

// One bad sample would otherwise leave NaN in filter and oversampler
// histories for good; the next block starts from cleared state.
TEST(MorvanteRobustness, FiniteOutputReturnsAfterNonFiniteInput) {
  for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
    SCOPED_TRACE(bad);
    TestMorvante plug;
    ActivateEveryBand(plug);
    ProgramSignal signal(44100.0, 21);
    std::vector<double> l(512), r(512);
    signal.Fill(l.data(), r.data(), 512);
    l[100] = bad;
    plug.ProcessInPlace(l, r);
    EXPECT_FALSE(AllFinite(l));
    for (int k = 0; k < 4; ++k) {
      signal.Fill(l.data(), r.data(), 512);
      plug.ProcessInPlace(l, r);
      EXPECT_TRUE(AllFinite(l)) << "block " << k;
      EXPECT_TRUE(AllFinite(r)) << "block " << k;
    }
    for (int b = 0; b < kNumMorvanteBands; ++b) {
      EXPECT_TRUE(std::isfinite(plug.Band(b).gainState));
      EXPECT_TRUE(std::isfinite(plug.Band(b).meter.GetState()));
    }
  }
}

TEST(MorvanteRobustness, NanThenInfinityThenFinite) {
  TestMorvante plug;
  ActivateEveryBand(plug);
  ProgramSignal signal(48000.0, 22);
  std::vector<double> l(256), r(256);
  signal.Fill(l.data(), r.data(), 256);
  r[3] = std::numeric_limits<double>::quiet_NaN();
  plug.ProcessInPlace(l, r);
  signal.Fill(l.data(), r.data(), 256);
  l[200] = std::numeric_limits<double>::infinity();
  plug.ProcessInPlace(l, r);
  for (int k = 0; k < 3; ++k) {
    signal.Fill(l.data(), r.data(), 256);
    plug.ProcessInPlace(l, r);
    ASSERT_TRUE(AllFinite(l) && AllFinite(r)) << "block " << k;
  }
}

// The High band's 20 kHz reaches half the rate below 40 kHz; its detector's
// Fc is limited short of the pole, so the effect stays stable.
TEST(MorvanteRobustness, HighBandAtHalfTheRate) {
  for (double rate : {22050.0, 32000.0}) {
    SCOPED_TRACE(rate);
    TestMorvante plug;
    plug.SetSampleRate(rate);
    ActivateEveryBand(plug);
    plug.SetParam(kHighFrequency, 20000.0);
    plug.SetParam(kHighThreshold, 60.0);
    plug.SetParam(kHighBandwidth, -5.0);
    plug.SetParam(kHighMidFrequency, 15000.0);
    ProgramSignal signal(rate, 23);
    double peak = 0.0;
    const int total = static_cast<int>(rate * 2.0 * kTestRunScale);
    std::vector<double> l(1024), r(1024);
    for (int done = 0; done < total; done += 1024) {
      for (int i = 0; i < 1024; ++i) {
        l[i] = signal.Noise();
        r[i] = signal.Noise();
      }
      plug.ProcessInPlace(l, r);
      for (int i = 0; i < 1024; ++i) peak = std::fmax(peak, std::fmax(std::fabs(l[i]), std::fabs(r[i])));
      ASSERT_TRUE(AllFinite(l) && AllFinite(r));
    }
    // Full-scale noise through at most +9 dB of boost.
    EXPECT_LT(peak, 8.0);
    for (int b = 0; b < kNumMorvanteBands; ++b) {
      EXPECT_GT(plug.Band(b).gainState, 0.0);
      EXPECT_LE(plug.Band(b).gainState, 1.0);
    }
  }
}

}  // namespace
