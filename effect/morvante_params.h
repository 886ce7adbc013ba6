// Parameter indices of MORVANTE. The order is the host's parameter order and
// the order of stored state, so it must never change.
#pragma once

class IParam;

enum EMorvanteParam {
  kHighAttack = 0,
  kHighBandwidth = 1,
  kHighFrequency = 2,
  kHighGain = 3,
  kHighMidAttack = 4,
  kHighMidBandwidth = 5,
  kHighMidFrequency = 6,
  kHighMidGain = 7,
  kHighMidRatio = 8,
  kHighMidRelease = 9,
  kHighMidThreshold = 10,
  kHighRatio = 11,
  kHighRelease = 12,
  kHighThreshold = 13,
  kLowAttack = 14,
  kLowBandwidth = 15,
  kLowFrequency = 16,
  kLowGain = 17,
  kLowMidAttack = 18,
  kLowMidBandwidth = 19,
  kLowMidFrequency = 20,
  kLowMidGain = 21,
  kLowMidRatio = 22,
  kLowMidRelease = 23,
  kLowMidThreshold = 24,
  // Never initialised and read by nothing.
  kUnusedParam = 25,
  kMidAttack = 26,
  kMidBandwidth = 27,
  kMidFrequency = 28,
  kMidGain = 29,
  kMidRatio = 30,
  kMidRelease = 31,
  kMidThreshold = 32,
  kOutput = 33,
  // The Low band's dynamics sit after Output: the order is fixed by state
  // already stored by hosts.
  kLowThreshold = 34,
  kLowRelease = 35,
  kLowRatio = 36,
  // Never initialised, yet live: the editor's bypass switch (1 passes the dry
  // input while processing keeps running).
  kBypass = 37,
  // Detector input of each band: 0 the larger channel, 1 their sum.
  kModeLow = 38,
  kModeLowMid = 39,
  kModeMid = 40,
  kModeHighMid = 41,
  kModeHigh = 42,
  kNumMorvanteParams = 43,
};

// Gives param the name, range, default, unit label and curve of parameter
// paramIdx; false (param untouched) for the indices left as fresh records.
// The effect initialises its own parameters with it, and the artwork
// generator labels the knobs from the same records.
bool InitMorvanteParam(int paramIdx, IParam* param);
