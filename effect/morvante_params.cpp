// The parameter table of MORVANTE and the fixed description of its bands.
#include "effect/morvante.h"

namespace {

struct DoubleParamRow {
  int index;
  const char* name;
  double defaultValue;
  double minValue;
  double maxValue;
  const char* label;
  double shape;
};

// The labels are display text only: Ratio is used as a plain ratio and the
// negated Bandwidth as a filter Q. Release takes the curve with exponent 2
// for finer steps at short times.
const DoubleParamRow kDoubleParams[] = {
    {kHighAttack, "High Attack", 10.0, 1.0, 50.0, "ms", 1.0},
    {kHighBandwidth, "High Bandwidth", -2.7, -5.0, -0.4, "Oct", 1.0},
    {kHighFrequency, "High Frequency", 14000.0, 8000.0, 20000.0, "Hz", 1.0},
    {kHighGain, "High Gain", 0.0, -24.0, 24.0, "dB", 1.0},
    {kHighMidAttack, "High Mid Attack", 10.0, 1.0, 50.0, "ms", 1.0},
    {kHighMidBandwidth, "High Mid Bandwidth", -2.7, -5.0, -0.4, "Oct", 1.0},
    {kHighMidFrequency, "High Mid Frequency", 9000.0, 3000.0, 15000.0, "Hz", 1.0},
    {kHighMidGain, "High Mid Gain", 0.0, -24.0, 24.0, "dB", 1.0},
    {kHighMidRatio, "High Mid Ratio", 2.0, 1.0, 20.0, "dB", 1.0},
    {kHighMidRelease, "High Mid Release", 100.0, 30.0, 3000.0, "ms", 2.0},
    {kHighMidThreshold, "High Mid Threshold", 0.0, 0.0, 60.0, "dB", 1.0},
    {kHighRatio, "High Ratio", 2.0, 1.0, 20.0, "dB", 1.0},
    {kHighRelease, "High Release", 100.0, 30.0, 3000.0, "ms", 2.0},
    {kHighThreshold, "High Threshold", 0.0, 0.0, 60.0, "dB", 1.0},
    {kLowAttack, "Low Attack", 10.0, 1.0, 50.0, "ms", 1.0},
    {kLowBandwidth, "Low Bandwidth", -2.7, -5.0, -0.4, "Oct", 1.0},
    {kLowFrequency, "Low Frequency", 510.0, 20.0, 1000.0, "Hz", 1.0},
    {kLowGain, "Low Gain", 0.0, -24.0, 24.0, "dB", 1.0},
    {kLowMidAttack, "Low Mid Attack", 10.0, 1.0, 50.0, "ms", 1.0},
    {kLowMidBandwidth, "Low Mid Bandwidth", -2.7, -5.0, -0.4, "Oct", 1.0},
    {kLowMidFrequency, "Low Mid Frequency", 1700.0, 400.0, 3000.0, "Hz", 1.0},
    {kLowMidGain, "Low Mid Gain", 0.0, -24.0, 24.0, "dB", 1.0},
    {kLowMidRatio, "Low Mid Ratio", 2.0, 1.0, 20.0, "dB", 1.0},
    {kLowMidRelease, "Low Mid Release", 100.0, 30.0, 3000.0, "ms", 2.0},
    {kLowMidThreshold, "Low Mid Threshold", 0.0, 0.0, 60.0, "dB", 1.0},
    {kMidAttack, "Mid Attack", 10.0, 1.0, 50.0, "ms", 1.0},
    {kMidBandwidth, "Mid Bandwidth", -2.7, -5.0, -0.4, "Oct", 1.0},
    {kMidFrequency, "Mid Frequency", 4500.0, 1000.0, 8000.0, "Hz", 1.0},
    {kMidGain, "Mid Gain", 0.0, -24.0, 24.0, "dB", 1.0},
    {kMidRatio, "Mid Ratio", 2.0, 1.0, 20.0, "dB", 1.0},
    {kMidRelease, "Mid Release", 100.0, 30.0, 3000.0, "ms", 2.0},
    {kMidThreshold, "Mid Threshold", 0.0, 0.0, 60.0, "dB", 1.0},
    {kOutput, "Output", 0.0, -24.0, 24.0, "dB", 1.0},
    {kLowThreshold, "Low Threshold", 0.0, 0.0, 60.0, "dB", 1.0},
    {kLowRelease, "Low Release", 100.0, 30.0, 3000.0, "ms", 2.0},
    {kLowRatio, "Low Ratio", 2.0, 1.0, 20.0, "dB", 1.0},
};

struct SwitchParamRow {
  int index;
  const char* name;
};

const SwitchParamRow kModeSwitches[] = {
    {kModeLow, "MODE-L"}, {kModeLowMid, "MODE-LM"}, {kModeMid, "MODE-M"},
    {kModeHighMid, "MODE-HM"}, {kModeHigh, "MODE-H"},
};

constexpr double kParamStep = 0.01;

}  // namespace

const MorvanteBandLayout kMorvanteBandLayouts[kNumMorvanteBands] = {
    {"High", kHighAttack, kHighBandwidth, kHighFrequency, kHighGain, kHighRatio, kHighRelease, kHighThreshold,
     kModeHigh, Biquad::kHighPass, Biquad::kHighShelf},
    {"High Mid", kHighMidAttack, kHighMidBandwidth, kHighMidFrequency, kHighMidGain, kHighMidRatio,
     kHighMidRelease, kHighMidThreshold, kModeHighMid, Biquad::kBandPass, Biquad::kPeaking},
    {"Low", kLowAttack, kLowBandwidth, kLowFrequency, kLowGain, kLowRatio, kLowRelease, kLowThreshold, kModeLow,
     Biquad::kLowPass, Biquad::kLowShelf},
    {"Low Mid", kLowMidAttack, kLowMidBandwidth, kLowMidFrequency, kLowMidGain, kLowMidRatio, kLowMidRelease,
     kLowMidThreshold, kModeLowMid, Biquad::kBandPass, Biquad::kPeaking},
    {"Mid", kMidAttack, kMidBandwidth, kMidFrequency, kMidGain, kMidRatio, kMidRelease, kMidThreshold, kModeMid,
     Biquad::kBandPass, Biquad::kPeaking},
};

bool InitMorvanteParam(int paramIdx, IParam* param) {
  for (const DoubleParamRow& row : kDoubleParams) {
    if (row.index != paramIdx) continue;
    param->InitDouble(row.name, row.defaultValue, row.minValue, row.maxValue, kParamStep, row.label, "", 1.0);
    param->SetShape(row.shape);
    return true;
  }
  for (const SwitchParamRow& row : kModeSwitches) {
    if (row.index != paramIdx) continue;
    param->InitInt(row.name, 0, 0, 1, "", "");
    return true;
  }
  return false;
}

// Indices 25 and 37 are left as fresh records on purpose (see
// EMorvanteParam).
void MORVANTE::InitParameters() {
  for (int i = 0; i < kNumMorvanteParams; ++i) InitMorvanteParam(i, GetParam(i));
}
