#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/byte_chunk.h"
#include "tests/effect/morvante_test_plug.h"

namespace {

struct ExpectedParam {
  const char* name;
  double defaultValue, minValue, maxValue;
  const char* label;
  double shape;
};

// The host-visible order; a row out of place would scramble stored state.
const ExpectedParam kExpected[kNumMorvanteParams] = {
    {"High Attack", 10, 1, 50, "ms", 1},
    {"High Bandwidth", -2.7, -5, -0.4, "Oct", 1},
    {"High Frequency", 14000, 8000, 20000, "Hz", 1},
    {"High Gain", 0, -24, 24, "dB", 1},
    {"High Mid Attack", 10, 1, 50, "ms", 1},
    {"High Mid Bandwidth", -2.7, -5, -0.4, "Oct", 1},
    {"High Mid Frequency", 9000, 3000, 15000, "Hz", 1},
    {"High Mid Gain", 0, -24, 24, "dB", 1},
    {"High Mid Ratio", 2, 1, 20, "dB", 1},
    {"High Mid Release", 100, 30, 3000, "ms", 2},
    {"High Mid Threshold", 0, 0, 60, "dB", 1},
    {"High Ratio", 2, 1, 20, "dB", 1},
    {"High Release", 100, 30, 3000, "ms", 2},
    {"High Threshold", 0, 0, 60, "dB", 1},
    {"Low Attack", 10, 1, 50, "ms", 1},
    {"Low Bandwidth", -2.7, -5, -0.4, "Oct", 1},
    {"Low Frequency", 510, 20, 1000, "Hz", 1},
    {"Low Gain", 0, -24, 24, "dB", 1},
    {"Low Mid Attack", 10, 1, 50, "ms", 1},
    {"Low Mid Bandwidth", -2.7, -5, -0.4, "Oct", 1},
    {"Low Mid Frequency", 1700, 400, 3000, "Hz", 1},
    {"Low Mid Gain", 0, -24, 24, "dB", 1},
    {"Low Mid Ratio", 2, 1, 20, "dB", 1},
    {"Low Mid Release", 100, 30, 3000, "ms", 2},
    {"Low Mid Threshold", 0, 0, 60, "dB", 1},
    {nullptr, 0, 0, 0, nullptr, 0},
    {"Mid Attack", 10, 1, 50, "ms", 1},
    {"Mid Bandwidth", -2.7, -5, -0.4, "Oct", 1},
    {"Mid Frequency", 4500, 1000, 8000, "Hz", 1},
    {"Mid Gain", 0, -24, 24, "dB", 1},
    {"Mid Ratio", 2, 1, 20, "dB", 1},
    {"Mid Release", 100, 30, 3000, "ms", 2},
    {"Mid Threshold", 0, 0, 60, "dB", 1},
    {"Output", 0, -24, 24, "dB", 1},
    {"Low Threshold", 0, 0, 60, "dB", 1},
    {"Low Release", 100, 30, 3000, "ms", 2},
    {"Low Ratio", 2, 1, 20, "dB", 1},
    {nullptr, 0, 0, 0, nullptr, 0},
    {"MODE-L", 0, 0, 1, "", 1},
    {"MODE-LM", 0, 0, 1, "", 1},
    {"MODE-M", 0, 0, 1, "", 1},
    {"MODE-HM", 0, 0, 1, "", 1},
    {"MODE-H", 0, 0, 1, "", 1},
};

TEST(MorvanteParams, Identity) {
  TestMorvante plug;
  EXPECT_STREQ(plug.GetEffectName(), "MORVANTE");
  EXPECT_STREQ(plug.GetProductName(), "");
  EXPECT_STREQ(plug.GetMfrName(), "Penvarrowsonics");
  EXPECT_EQ(plug.GetEffectVersion(false), 0x20000);
  EXPECT_EQ(plug.GetUniqueID(), 0x4d525631);
  EXPECT_EQ(plug.GetMfrID(), 0x506e7672);
  // The oversampler's delay: a unit impulse comes out largest 3 samples on.
  EXPECT_EQ(plug.GetLatency(), 3);
  EXPECT_EQ(MORVANTE::ProcessingLatency(), 3);
  EXPECT_FALSE(plug.DoesMIDI());
  EXPECT_FALSE(plug.DoesStateChunks());
  EXPECT_FALSE(plug.IsInst());
  EXPECT_EQ(plug.GetAPI(), kAPIVST3);
  EXPECT_TRUE(plug.LegalIO(1, 1));
  EXPECT_TRUE(plug.LegalIO(2, 2));
  EXPECT_FALSE(plug.LegalIO(1, 2));
}

TEST(MorvanteParams, TableInIndexOrder) {
  TestMorvante plug;
  ASSERT_EQ(plug.NParams(), kNumMorvanteParams);
  for (int i = 0; i < kNumMorvanteParams; ++i) {
    const ExpectedParam& e = kExpected[i];
    if (!e.name) continue;
    SCOPED_TRACE(e.name);
    const IParam* p = plug.GetParam(i);
    const bool isSwitch = i >= kModeLow;
    EXPECT_STREQ(p->GetNameForHost(), e.name);
    EXPECT_EQ(p->Type(), isSwitch ? kParamInt : kParamDouble);
    EXPECT_EQ(p->Default(), e.defaultValue);
    EXPECT_EQ(p->Value(), e.defaultValue);
    EXPECT_EQ(p->Min(), e.minValue);
    EXPECT_EQ(p->Max(), e.maxValue);
    EXPECT_EQ(p->Shape(), e.shape);
    EXPECT_EQ(p->Step(), isSwitch ? 1.0 : 0.01);
    EXPECT_EQ(p->GetDisplayPrecision(), isSwitch ? 0 : 2);
    EXPECT_STREQ(p->GetParamGroupForHost(), "");
    // The label lookup goes through display texts, of which there are none.
    EXPECT_EQ(p->GetNDisplayTexts(), 0);
    EXPECT_STREQ(p->GetLabelForHost(), e.label);
  }
}

TEST(MorvanteParams, UninitialisedIndicesStayFresh) {
  TestMorvante plug;
  for (int i : {kUnusedParam, kBypass}) {
    SCOPED_TRACE(i);
    const IParam* p = plug.GetParam(i);
    EXPECT_EQ(p->Type(), kParamNone);
    EXPECT_STREQ(p->GetNameForHost(), "");
    EXPECT_STREQ(p->GetLabelForHost(), "");
    EXPECT_EQ(p->Min(), 0.0);
    EXPECT_EQ(p->Max(), 1.0);
    EXPECT_EQ(p->Step(), 1.0);
    EXPECT_EQ(p->Value(), 0.0);
    EXPECT_EQ(p->Default(), 0.0);
  }
}

TEST(MorvanteParams, OneDefaultPresetNamedDash) {
  TestMorvante plug;
  ASSERT_EQ(plug.NPresets(), 1);
  EXPECT_STREQ(plug.GetPresetName(0), "-");
  // Change everything, then restore the preset: every default comes back.
  for (int i = 0; i < kNumMorvanteParams; ++i) plug.GetParam(i)->Set(plug.GetParam(i)->Max());
  ASSERT_TRUE(plug.RestorePreset(0));
  for (int i = 0; i < kNumMorvanteParams; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(plug.GetParam(i)->Value(), kExpected[i].name ? kExpected[i].defaultValue : 0.0);
  }
}

TEST(MorvanteParams, OutputGainFromDecibels) {
  TestMorvante plug;
  plug.SetParam(kOutput, -6.0);
  EXPECT_NEAR(plug.OutputGain(), 0.501187, 5e-7);
  plug.SetParam(kOutput, 0.0);
  EXPECT_EQ(plug.OutputGain(), 1.0);
  plug.SetParam(kOutput, 24.0);
  EXPECT_NEAR(plug.OutputGain(), 15.848932, 5e-6);
}

constexpr double MorvanteBand::*kCopyFields[] = {
    &MorvanteBand::attack, &MorvanteBand::bandwidth, &MorvanteBand::frequency, &MorvanteBand::gain,
    &MorvanteBand::ratio,  &MorvanteBand::release,   &MorvanteBand::threshold,
};
constexpr int kNumCopyFields = 7;

// Every parameter copy of the effect, plus the output gain.
struct Copies {
  double value[kNumMorvanteBands][kNumCopyFields];
  double outputGain;
  bool operator==(const Copies& other) const {
    return std::memcmp(value, other.value, sizeof(value)) == 0 && outputGain == other.outputGain;
  }
};

Copies CopiesOf(TestMorvante& plug) {
  Copies copies;
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    for (int f = 0; f < kNumCopyFields; ++f) copies.value[b][f] = plug.Band(b).*kCopyFields[f];
  }
  copies.outputGain = plug.OutputGain();
  return copies;
}

// Each copy lands in its own band's field and nowhere else.
TEST(MorvanteParams, CopiesGoToTheirBand) {
  // Each band's parameters in the field order of kCopyFields.
  struct BandParams {
    int band;
    int params[kNumCopyFields];
  };
  const BandParams bands[] = {
      {kBandHigh,
       {kHighAttack, kHighBandwidth, kHighFrequency, kHighGain, kHighRatio, kHighRelease,
        kHighThreshold}},
      {kBandHighMid,
       {kHighMidAttack, kHighMidBandwidth, kHighMidFrequency, kHighMidGain, kHighMidRatio,
        kHighMidRelease, kHighMidThreshold}},
      {kBandLow,
       {kLowAttack, kLowBandwidth, kLowFrequency, kLowGain, kLowRatio, kLowRelease, kLowThreshold}},
      {kBandLowMid,
       {kLowMidAttack, kLowMidBandwidth, kLowMidFrequency, kLowMidGain, kLowMidRatio,
        kLowMidRelease, kLowMidThreshold}},
      {kBandMid,
       {kMidAttack, kMidBandwidth, kMidFrequency, kMidGain, kMidRatio, kMidRelease, kMidThreshold}},
  };
  for (const BandParams& row : bands) {
    for (int field = 0; field < kNumCopyFields; ++field) {
      const int param = row.params[field];
      SCOPED_TRACE(param);
      TestMorvante plug;
      const Copies before = CopiesOf(plug);
      // Every maximum differs from its default.
      plug.SetParam(param, plug.GetParam(param)->Max());
      Copies expected = before;
      expected.value[row.band][field] = plug.GetParam(param)->Max();
      EXPECT_TRUE(CopiesOf(plug) == expected);
    }
  }
}

// Changing the value of a parameter the effect does not copy, then notifying,
// leaves every copy as it was.
TEST(MorvanteParams, UncopiedIndicesChangeNothing) {
  TestMorvante plug;
  const Copies before = CopiesOf(plug);
  for (int i : {kUnusedParam, kBypass, kModeLow, kModeLowMid, kModeMid, kModeHighMid, kModeHigh}) {
    plug.GetParam(i)->Set(1.0);
    plug.OnParamChange(i);
  }
  plug.OnParamChange(kNumMorvanteParams);
  plug.OnParamChange(-1);
  EXPECT_TRUE(CopiesOf(plug) == before);
}

TEST(MorvanteParams, CopiesStartAtTheDefaults) {
  TestMorvante plug;
  EXPECT_EQ(plug.OutputGain(), 1.0);
  EXPECT_EQ(plug.Band(kBandLow).threshold, 0.0);
  EXPECT_EQ(plug.Band(kBandLow).ratio, 2.0);
  EXPECT_EQ(plug.Band(kBandLow).frequency, 510.0);
  EXPECT_EQ(plug.Band(kBandHigh).bandwidth, -2.7);
  EXPECT_EQ(plug.Band(kBandMid).release, 100.0);
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    EXPECT_EQ(plug.Band(b).gainState, 1.0);
    EXPECT_EQ(plug.Band(b).meter.GetState(), 1.0);
  }
}

}  // namespace
