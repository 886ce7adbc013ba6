// The gain-reduction meters: stepped at every sample while an editor exists,
// handed to it as five values per block in band order, passed on unclipped;
// and the live switches, read once at the start of each block.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "graphics/icontrol.h"
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

// The constructor's editor takes the meters at its control indices 42 to 46,
// from the Low band up, and each shows the last value sent.
TEST(MorvanteMeters, TheBuiltEditorsMetersFollowTheProcessing) {
  TestMorvante plug;
  const int expected[kNumMorvanteBands] = {46, 45, 42, 43, 44};  // High, High Mid, Low, Low Mid, Mid
  for (int b = 0; b < kNumMorvanteBands; ++b) EXPECT_EQ(plug.Band(b).meterControlIdx, expected[b]) << b;
  std::vector<double> l(500, 0.3), r(500, 0.3);
  plug.ProcessInPlace(l, r);
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    const double state = plug.Band(b).meter.GetState();
    EXPECT_LT(state, 1.0) << b;
    EXPECT_EQ(plug.GetGUI()->GetControl(expected[b])->GetValue(), state) << b;
  }
  // The base publishes the same readings, from the Low band up, under the
  // names and controls bindings hand to hosts.
  const char* names[kNumMorvanteBands] = {"Low Gain Reduction", "Low Mid Gain Reduction", "Mid Gain Reduction",
                                          "High Mid Gain Reduction", "High Gain Reduction"};
  const int bands[kNumMorvanteBands] = {kBandLow, kBandLowMid, kBandMid, kBandHighMid, kBandHigh};
  ASSERT_EQ(plug.NMeters(), kNumMorvanteBands);
  for (int m = 0; m < kNumMorvanteBands; ++m) {
    EXPECT_STREQ(plug.GetMeterName(m), names[m]);
    EXPECT_EQ(plug.GetMeterControlIdx(m), plug.Band(bands[m]).meterControlIdx) << m;
    EXPECT_EQ(plug.GetMeterValue(m), plug.Band(bands[m]).meter.GetState()) << m;
  }
  EXPECT_EQ(plug.GetMeterValue(kNumMorvanteBands), 0.0);
  EXPECT_EQ(plug.GetMeterControlIdx(-1), -1);
  EXPECT_STREQ(plug.GetMeterName(99), "");
}

TEST(MorvanteMeters, FiveValuesPerBlockInBandOrder) {
  TestMorvante plug;
  MeterRecordingGraphics* graphics = AttachRecorder(plug);
  std::vector<double> l(7, 0.3), r(7, 0.3);
  plug.ProcessInPlace(l, r);
  ASSERT_EQ(graphics->updates.size(), 5u);
  for (size_t k = 0; k < graphics->updates.size(); ++k) {
    EXPECT_EQ(graphics->updates[k].controlIdx, 100 + static_cast<int>(k));
  }
  // Every band is off by default, so its meter decays from full scale by
  // the coefficient at each of the seven samples.
  const double c = VUClass::Coefficient(44100.0);
  EXPECT_NEAR(c, 0.999652, 5e-7);
  double expected = 1.0;
  for (int i = 0; i < 7; ++i) expected = c * (expected - 0.0) + 0.0;
  EXPECT_EQ(graphics->updates[0].value, expected);
  EXPECT_EQ(plug.Band(0).meter.GetState(), expected);

  // An empty block steps nothing and hands nothing over.
  graphics->updates.clear();
  std::vector<double> none;
  plug.ProcessInPlace(none, none);
  EXPECT_TRUE(graphics->updates.empty());
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

// The controller side may flip the bypass or a detector switch at any time;
// the processing reads both once per block, so a change made while a block
// runs takes effect at the next one. The recorder's callback, which runs at
// the block's end, plays that other thread.
TEST(MorvanteMeters, BypassTakesEffectAtTheNextBlock) {
  TestMorvante plug;
  plug.SetParam(kOutput, -12.0);
  MeterRecordingGraphics* graphics = AttachRecorder(plug);
  graphics->onUpdate = [&](int count) {
    if (count == kNumMorvanteBands) plug.GetParam(kBypass)->Set(1.0);
  };
  ProgramSignal signal(44100.0, 31);
  std::vector<double> l(20), r(20);
  for (int i = 0; i < 20; ++i) {
    l[i] = signal.Noise();
    r[i] = signal.Noise();
  }
  const std::vector<double> inL = l;
  std::vector<double> firstL(l.begin(), l.begin() + 10), firstR(r.begin(), r.begin() + 10);
  std::vector<double> secondL(l.begin() + 10, l.end()), secondR(r.begin() + 10, r.end());
  plug.ProcessInPlace(firstL, firstR);
  plug.ProcessInPlace(secondL, secondR);
  for (int i = 0; i < 10; ++i) EXPECT_NE(firstL[i], inL[i]) << i;
  // The dry path runs one latency behind, as the processed one does.
  const int latency = plug.GetLatency();
  for (int i = 10; i < 20; ++i) EXPECT_EQ(secondL[i - 10], inL[i - latency]) << i;
}

// "MODE-M" switched between blocks changes the Mid detector's input from
// the next block on, with no OnParamChange.
TEST(MorvanteMeters, DetectorSwitchTakesEffectAtTheNextBlock) {
  auto run = [](bool switchMidway) {
    TestMorvante plug;
    plug.SetParam(kMidThreshold, 60.0);
    plug.SetParam(kMidRatio, 20.0);
    MeterRecordingGraphics* graphics = AttachRecorder(plug);
    graphics->onUpdate = [&](int count) {
      if (switchMidway && count == 40 * kNumMorvanteBands) plug.GetParam(kModeMid)->Set(1.0);
    };
    // Opposite channels: their sum is silence, the larger one is not.
    ProgramSignal signal(44100.0, 32);
    std::vector<double> gains;
    for (int i = 0; i < 80; ++i) {
      std::vector<double> l(1, signal.Noise()), r(1, -l[0]);
      plug.ProcessInPlace(l, r);
      gains.push_back(plug.Band(kBandMid).gainState);
    }
    return gains;
  };
  const std::vector<double> steady = run(false), switched = run(true);
  ASSERT_EQ(steady.size(), 80u);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(switched[i], steady[i]) << i;
  EXPECT_NE(switched[79], steady[79]);
}

}  // namespace
