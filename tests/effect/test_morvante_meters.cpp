// The gain-reduction meters: fed only while an editor exists, five values
// per sample in band order, passed on unclipped; and the live switches, read
// at every sample.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/effect/meter_recording_graphics.h"
#include "tests/effect/morvante_test_plug.h"
#include "tests/effect/test_signal.h"

namespace {

// Distinct made-up control indices show which band each value belongs to.
MeterRecordingGraphics* AttachRecorder(TestMorvante& plug) {
  for (int b = 0; b < kNumMorvanteBands; ++b) plug.Band(b).meterControlIdx = 100 + b;
  auto* graphics = new MeterRecordingGraphics(&plug);
  plug.AttachGraphics(graphics);
  return graphics;
}

TEST(MorvanteMeters, NothingIsSteppedWithoutAnEditor) {
  TestMorvante plug;
  std::vector<double> l(500, 0.3), r(500, 0.3);
  plug.ProcessInPlace(l, r);
  for (int b = 0; b < kNumMorvanteBands; ++b) EXPECT_EQ(plug.Band(b).meter.GetState(), 1.0);
}

TEST(MorvanteMeters, FiveValuesPerSampleInBandOrder) {
  TestMorvante plug;
  MeterRecordingGraphics* graphics = AttachRecorder(plug);
  std::vector<double> l(7, 0.3), r(7, 0.3);
  plug.ProcessInPlace(l, r);
  ASSERT_EQ(graphics->updates.size(), 35u);
  for (size_t k = 0; k < graphics->updates.size(); ++k) {
    EXPECT_EQ(graphics->updates[k].controlIdx, 100 + static_cast<int>(k % kNumMorvanteBands));
  }
  // Every band is off by default, so its meter decays from full scale by
  // the coefficient at each sample.
  const double c = VUClass::Coefficient(44100.0);
  EXPECT_NEAR(c, 0.999652, 5e-7);
  EXPECT_EQ(graphics->updates[0].value, c);
  EXPECT_EQ(graphics->updates[5].value, c * c);
}

// Below S = 1/3 the meter's input exceeds 1; the value goes out as it is.
TEST(MorvanteMeters, ValuesAboveOnePassUnchanged) {
  TestMorvante plug;
  plug.SetParam(kLowThreshold, 60.0);
  plug.SetParam(kLowRatio, 20.0);
  plug.SetParam(kLowAttack, 1.0);
  MeterRecordingGraphics* graphics = AttachRecorder(plug);
  std::vector<double> l(22050, 0.9), r(22050, 0.9);
  plug.ProcessInPlace(l, r);
  ASSERT_LT(plug.Band(kBandLow).gainState, 1.0 / 3.0);
  const MeterRecordingGraphics::Update& last = graphics->updates.back();
  const MeterRecordingGraphics::Update& low = graphics->updates[graphics->updates.size() - 3];
  EXPECT_EQ(last.controlIdx, 100 + kBandMid);
  EXPECT_EQ(low.controlIdx, 100 + kBandLow);
  EXPECT_GT(low.value, 1.0);
  EXPECT_EQ(low.value, plug.Band(kBandLow).meter.GetState());
}

// The controller side may flip the bypass in the middle of a block; the
// processing reads it at every sample. The recorder's callback plays that
// other thread.
TEST(MorvanteMeters, BypassTakesEffectAtTheNextSample) {
  TestMorvante plug;
  plug.SetParam(kOutput, -12.0);
  MeterRecordingGraphics* graphics = AttachRecorder(plug);
  graphics->onUpdate = [&](int count) {
    if (count == 10 * kNumMorvanteBands) plug.GetParam(kBypass)->Set(1.0);
  };
  ProgramSignal signal(44100.0, 31);
  std::vector<double> l(20), r(20);
  for (int i = 0; i < 20; ++i) {
    l[i] = signal.Noise();
    r[i] = signal.Noise();
  }
  const std::vector<double> inL = l;
  plug.ProcessInPlace(l, r);
  for (int i = 0; i < 10; ++i) EXPECT_NE(l[i], inL[i]) << i;
  const int latency = plug.GetLatency();
  for (int i = 10; i < 20; ++i) EXPECT_EQ(l[i], inL[i - latency]) << i;
}

// "MODE-M" is read live as well: switching it mid-block changes the Mid
// detector's input from the next sample on, with no OnParamChange.
TEST(MorvanteMeters, DetectorSwitchTakesEffectAtTheNextSample) {
  auto run = [](bool switchMidway) {
    TestMorvante plug;
    plug.SetParam(kMidThreshold, 60.0);
    plug.SetParam(kMidRatio, 20.0);
    MeterRecordingGraphics* graphics = AttachRecorder(plug);
    std::vector<double> gains;
    graphics->onUpdate = [&](int count) {
      if (count % kNumMorvanteBands == 0) gains.push_back(plug.Band(kBandMid).gainState);
      if (switchMidway && count == 40 * kNumMorvanteBands) plug.GetParam(kModeMid)->Set(1.0);
    };
    // Opposite channels: their sum is silence, the larger one is not.
    ProgramSignal signal(44100.0, 32);
    std::vector<double> l(80), r(80);
    for (int i = 0; i < 80; ++i) {
      l[i] = signal.Noise();
      r[i] = -l[i];
    }
    plug.ProcessInPlace(l, r);
    return gains;
  };
  const std::vector<double> steady = run(false), switched = run(true);
  ASSERT_EQ(steady.size(), 80u);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(switched[i], steady[i]) << i;
  EXPECT_NE(switched[79], steady[79]);
}

}  // namespace
