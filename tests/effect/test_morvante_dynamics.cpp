// The band dynamics and the fixed chain, observed from outside: coefficients,
// the gain state's path, the default chain's response, bypass and Reset.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "tests/effect/morvante_test_plug.h"
#include "tests/effect/test_signal.h"

namespace {

// Processes one frame and returns the band's gain state after it.
double StepBand(TestMorvante& plug, int band, double left, double right) {
  std::vector<double> l{left}, r{right};
  plug.ProcessInPlace(l, r);
  return plug.Band(band).gainState;
}

TEST(MorvanteDynamics, SmoothingCoefficients) {
  EXPECT_NEAR(MORVANTE::SmoothingCoefficient(10.0, 44100.0), 0.997735, 5e-7);
  EXPECT_NEAR(MORVANTE::SmoothingCoefficient(30.0, 48000.0), 0.999306, 5e-7);
  EXPECT_EQ(MORVANTE::SmoothingCoefficient(0.0, 48000.0), 0.0);
  EXPECT_NEAR(MORVANTE::DetectorSmoothing(44100.0), 0.998576, 5e-7);
}

// A fresh band reaches the threshold in its first sample: the attack takes
// one step of exactly the attack factor, then keeps multiplying by it.
TEST(MorvanteDynamics, AttackStepsAreMultiplicative) {
  TestMorvante plug;
  plug.SetParam(kLowThreshold, 60.0);
  plug.SetParam(kLowRatio, 20.0);
  const double alpha = MORVANTE::SmoothingCoefficient(10.0, 44100.0);
  double previous = StepBand(plug, kBandLow, 0.5, 0.5);
  EXPECT_EQ(previous, alpha);
  EXPECT_NEAR(previous, 0.997735, 5e-7);
  for (int i = 0; i < 200; ++i) {
    const double s = StepBand(plug, kBandLow, 0.5, 0.5);
    ASSERT_EQ(s, alpha * previous) << "step " << i;
    previous = s;
  }
}

TEST(MorvanteDynamics, ReleaseStepsAreMultiplicative) {
  TestMorvante plug;
  plug.SetParam(kLowThreshold, 60.0);
  plug.SetParam(kLowRatio, 20.0);
  plug.SetParam(kLowRelease, 3000.0);
  std::vector<double> l(44100, 0.5), r(44100, 0.5);
  plug.ProcessInPlace(l, r);
  // Silence until the detector has rung out below the threshold.
  std::vector<double> zl(4410, 0.0), zr(4410, 0.0);
  plug.ProcessInPlace(zl, zr);
  const double rho = MORVANTE::SmoothingCoefficient(3000.0, 44100.0);
  double previous = plug.Band(kBandLow).gainState;
  ASSERT_LT(previous, 0.5);
  for (int i = 0; i < 1000; ++i) {
    const double s = StepBand(plug, kBandLow, 0.0, 0.0);
    ASSERT_EQ(s, previous / rho) << "step " << i;
    previous = s;
  }
}

// A steady level above the threshold: S settles on (theta / lambda)^(1/r).
// The Low band's low-pass passes DC whole, so lambda is the input itself.
TEST(MorvanteDynamics, ConvergesToTheStaticCurve) {
  TestMorvante plug;
  plug.SetParam(kLowThreshold, 40.0);
  plug.SetParam(kLowRatio, 2.0);
  const double level = 0.5;
  std::vector<double> l(44100, level), r(44100, level);
  plug.ProcessInPlace(l, r);
  const double theta = std::exp(-60.0 / 8.65617025);
  EXPECT_NEAR(theta, 0.000977, 5e-7);
  EXPECT_NEAR(plug.Band(kBandLow).gainState, std::sqrt(theta / level), 1e-9);
}

TEST(MorvanteDynamics, RatioOneNeverReduces) {
  TestMorvante plug;
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    plug.SetParam(kMorvanteBandLayouts[b].thresholdParam, 60.0);
    plug.SetParam(kMorvanteBandLayouts[b].ratioParam, 1.0);
  }
  ProgramSignal signal(44100.0, 9);
  std::vector<double> l(4410), r(4410);
  for (int k = 0; k < 5; ++k) {
    signal.Fill(l.data(), r.data(), 4410);
    for (double& v : l) v *= 4.0;
    plug.ProcessInPlace(l, r);
    for (int b = 0; b < kNumMorvanteBands; ++b) EXPECT_NEAR(plug.Band(b).gainState, 1.0, 1e-12);
  }
}

// A negative filtered detector sample makes the level NaN, which never
// counts as above the threshold. The first detector output of a fresh band
// has the sign of its input in all four bands.
TEST(MorvanteDynamics, NegativeDetectorSampleNeverLowersTheGain) {
  for (int band : {kBandHigh, kBandHighMid, kBandLow, kBandLowMid}) {
    SCOPED_TRACE(kMorvanteBandLayouts[band].name);
    for (double sign : {1.0, -1.0}) {
      TestMorvante plug;
      plug.SetParam(kMorvanteBandLayouts[band].thresholdParam, 60.0);
      plug.SetParam(kMorvanteBandLayouts[band].ratioParam, 20.0);
      const double s = StepBand(plug, band, sign, sign);
      if (sign > 0) {
        EXPECT_LT(s, 1.0);
      } else {
        EXPECT_EQ(s, 1.0);
      }
    }
  }
}

TEST(MorvanteDynamics, ThresholdZeroSwitchesTheBandOff) {
  TestMorvante plug;
  plug.SetParam(kMidThreshold, 60.0);
  plug.SetParam(kMidRatio, 20.0);
  ProgramSignal signal(44100.0, 3);
  std::vector<double> l(2000), r(2000);
  signal.Fill(l.data(), r.data(), 2000);
  plug.ProcessInPlace(l, r);
  ASSERT_LT(plug.Band(kBandMid).gainState, 1.0);
  plug.SetParam(kMidThreshold, 0.0);
  signal.Fill(l.data(), r.data(), 1);
  l.resize(1);
  r.resize(1);
  plug.ProcessInPlace(l, r);
  EXPECT_EQ(plug.Band(kBandMid).gainState, 1.0);
}

// With the defaults every dynamic/static pair cancels: what is left is the
// oversampler and the trim section.
TEST(MorvanteDynamics, DefaultChainImpulseResponse) {
  TestMorvante plug;
  std::vector<double> l(64, 0.0), r(64, 0.0);
  l[0] = 1.0;
  plug.ProcessInPlace(l, r);
  int peak = 0;
  for (int i = 1; i < 64; ++i) {
    if (std::fabs(l[i]) > std::fabs(l[peak])) peak = i;
  }
  EXPECT_EQ(peak, 3);
  EXPECT_NEAR(l[3], 0.9894, 5e-5);
  for (double v : r) EXPECT_EQ(v, 0.0);
}

TEST(MorvanteDynamics, DefaultChainPassesDcWithUnitGain) {
  TestMorvante plug;
  std::vector<double> l(8000, 0.25), r(8000, -0.5);
  plug.ProcessInPlace(l, r);
  EXPECT_NEAR(l.back(), 0.25, 0.25e-5);
  EXPECT_NEAR(r.back(), -0.5, 0.5e-5);
}

TEST(MorvanteDynamics, BypassPassesTheInputUntouchedOneLatencyLate) {
  TestMorvante plug;
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    plug.SetParam(kMorvanteBandLayouts[b].thresholdParam, 50.0);
    plug.SetParam(kMorvanteBandLayouts[b].gainParam, 12.0);
  }
  plug.SetParam(kOutput, -6.0);
  plug.GetParam(kBypass)->Set(1.0);
  ProgramSignal signal(48000.0, 5);
  std::vector<double> l(3000), r(3000);
  signal.Fill(l.data(), r.data(), 3000);
  const std::vector<double> inL = l, inR = r;
  plug.ProcessInPlace(l, r);
  // Late by the processing's own delay, so that switching never moves the
  // audio in time.
  const size_t latency = static_cast<size_t>(plug.GetLatency());
  ASSERT_EQ(latency, 3u);
  for (size_t i = 0; i < latency; ++i) {
    EXPECT_EQ(l[i], 0.0);
    EXPECT_EQ(r[i], 0.0);
  }
  EXPECT_EQ(std::memcmp(l.data() + latency, inL.data(), (l.size() - latency) * sizeof(double)), 0);
  EXPECT_EQ(std::memcmp(r.data() + latency, inR.data(), (r.size() - latency) * sizeof(double)), 0);
  // The processing kept running underneath.
  EXPECT_LT(plug.Band(kBandMid).gainState, 1.0);
}

TEST(MorvanteDynamics, ResetBetweenBlocksChangesNothing) {
  TestMorvante a, b;
  for (TestMorvante* plug : {&a, &b}) {
    plug->SetParam(kLowMidThreshold, 40.0);
    plug->SetParam(kLowMidGain, -9.0);
    plug->SetParam(kHighThreshold, 30.0);
  }
  ProgramSignal signal(44100.0, 11);
  for (int k = 0; k < 4; ++k) {
    std::vector<double> l(700), r(700);
    signal.Fill(l.data(), r.data(), 700);
    std::vector<double> l2 = l, r2 = r;
    a.ProcessInPlace(l, r);
    b.Reset();
    b.ProcessInPlace(l2, r2);
    ASSERT_EQ(std::memcmp(l.data(), l2.data(), l.size() * sizeof(double)), 0);
    ASSERT_EQ(std::memcmp(r.data(), r2.data(), r.size() * sizeof(double)), 0);
  }
}

// Separate input and output buffers give what in-place processing gives.
TEST(MorvanteDynamics, SeparateBuffersMatchInPlace) {
  TestMorvante a, b;
  for (TestMorvante* plug : {&a, &b}) plug->SetParam(kHighMidThreshold, 45.0);
  ProgramSignal signal(44100.0, 12);
  std::vector<double> l(900), r(900);
  signal.Fill(l.data(), r.data(), 900);
  std::vector<double> outL(900), outR(900);
  double* in[2] = {l.data(), r.data()};
  double* out[2] = {outL.data(), outR.data()};
  b.ProcessDoubleReplacing(in, out, 900);
  a.ProcessInPlace(l, r);
  EXPECT_EQ(std::memcmp(l.data(), outL.data(), l.size() * sizeof(double)), 0);
  EXPECT_EQ(std::memcmp(r.data(), outR.data(), r.size() * sizeof(double)), 0);
}

}  // namespace
