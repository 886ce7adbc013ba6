// The gain-reduction meters: stepped at every sample while an editor exists,
// published as one value per band at each block's end, passed on unclipped,
// and shown by the editor only when its timer reads them; and the live
// switches, read once at the start of each block.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "graphics/icontrol.h"
#include "tests/effect/meter_recording_graphics.h"
#include "tests/effect/morvante_test_plug.h"
#include "tests/effect/test_signal.h"

namespace {

MeterRecordingGraphics* AttachRecorder(TestMorvante& plug) {
  auto* graphics = new MeterRecordingGraphics(&plug);
  plug.AttachGraphics(graphics);
  return graphics;
}

// The constructor's editor takes the meters at its control indices 42 to 46,
// from the Low band up. The audio thread leaves the controls alone; the
// editor's timer shows what was published.
TEST(MorvanteMeters, TheBuiltEditorsMetersShowWhatItsTimerReads) {
  TestMorvante plug;
  const int expected[kNumMorvanteBands] = {46, 45, 42, 43, 44};  // High, High Mid, Low, Low Mid, Mid
  std::vector<double> before(kNumMorvanteBands);
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    EXPECT_EQ(plug.GetMeterControlIdx(plug.Band(b).meterIdx), expected[b]) << b;
    before[b] = plug.GetGUI()->GetControl(expected[b])->GetValue();
  }
  std::vector<double> l(500, 0.3), r(500, 0.3);
  plug.ProcessInPlace(l, r);
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    const double state = plug.Band(b).meter.GetState();
    EXPECT_LT(state, 1.0) << b;
    EXPECT_EQ(plug.GetGUI()->GetControl(expected[b])->GetValue(), before[b]) << b;
  }
  plug.GetGUI()->OnGUIIdle();
  for (int b = 0; b < kNumMorvanteBands; ++b)
    EXPECT_EQ(plug.GetGUI()->GetControl(expected[b])->GetValue(), plug.Band(b).meter.GetState()) << b;
  // The published readings, from the Low band up, under the names and
  // controls bindings hand to hosts.
  const char* names[kNumMorvanteBands] = {"Low Gain Reduction", "Low Mid Gain Reduction", "Mid Gain Reduction",
                                          "High Mid Gain Reduction", "High Gain Reduction"};
  const int bands[kNumMorvanteBands] = {kBandLow, kBandLowMid, kBandMid, kBandHighMid, kBandHigh};
  ASSERT_EQ(plug.NMeters(), kNumMorvanteBands);
  for (int m = 0; m < kNumMorvanteBands; ++m) {
    EXPECT_STREQ(plug.GetMeterName(m), names[m]);
    EXPECT_EQ(plug.Band(bands[m]).meterIdx, m);
    EXPECT_EQ(plug.GetMeterValue(m), plug.Band(bands[m]).meter.GetState()) << m;
  }
  EXPECT_EQ(plug.GetMeterValue(kNumMorvanteBands), 0.0);
  EXPECT_EQ(plug.GetMeterControlIdx(-1), -1);
  EXPECT_STREQ(plug.GetMeterName(99), "");
}

TEST(MorvanteMeters, EachBlockPublishesTheValueItEndsWith) {
  TestMorvante plug;
  AttachRecorder(plug);
  std::vector<double> l(7, 0.3), r(7, 0.3);
  plug.ProcessInPlace(l, r);
  // Every band is off by default, so its meter decays from full scale by
  // the coefficient at each of the seven samples.
  const double c = VUClass::Coefficient(44100.0);
  EXPECT_NEAR(c, 0.999652, 5e-7);
  double expected = 1.0;
  for (int i = 0; i < 7; ++i) expected = c * (expected - 0.0) + 0.0;
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    EXPECT_EQ(Published(plug, plug.Band(b).meterIdx).value, expected) << b;
    EXPECT_EQ(plug.Band(b).meter.GetState(), expected) << b;
  }

  // An empty block steps nothing.
  std::vector<double> none;
  plug.ProcessInPlace(none, none);
  for (int b = 0; b < kNumMorvanteBands; ++b) EXPECT_EQ(Published(plug, plug.Band(b).meterIdx).value, expected);
}

// Below S = 1/3 the meter's input exceeds 1; the value goes out as it is.
TEST(MorvanteMeters, ValuesAboveOnePassUnchanged) {
  TestMorvante plug;
  plug.SetParam(kLowThreshold, 60.0);
  plug.SetParam(kLowRatio, 20.0);
  plug.SetParam(kLowAttack, 1.0);
  AttachRecorder(plug);
  std::vector<double> l(22050, 0.9), r(22050, 0.9);
  plug.ProcessInPlace(l, r);
  ASSERT_LT(plug.Band(kBandLow).gainState, 1.0 / 3.0);
  const PublishedMeter low = Published(plug, plug.Band(kBandLow).meterIdx);
  EXPECT_EQ(low.controlIdx, 42);
  EXPECT_GT(low.value, 1.0);
  EXPECT_EQ(low.value, plug.Band(kBandLow).meter.GetState());
}

// The controller side may flip the bypass or a detector switch at any time;
// the processing reads both once per block, so a change made between two
// blocks takes effect exactly at the second.
TEST(MorvanteMeters, BypassTakesEffectAtTheNextBlock) {
  TestMorvante plug;
  plug.SetParam(kOutput, -12.0);
  AttachRecorder(plug);
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
  plug.GetParam(kBypass)->Set(1.0);
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
    AttachRecorder(plug);
    // Opposite channels: their sum is silence, the larger one is not.
    ProgramSignal signal(44100.0, 32);
    std::vector<double> gains;
    for (int i = 0; i < 80; ++i) {
      if (switchMidway && i == 40) plug.GetParam(kModeMid)->Set(1.0);
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
