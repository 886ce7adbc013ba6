// MORVANTE made concrete for tests and benchmarks: the host-facing
// operations the format binding will supply do nothing here, and the band
// records are open to inspection.
#pragma once

#include <vector>

#include "effect/morvante.h"

class TestMorvante : public MORVANTE {
public:
  TestMorvante() : MORVANTE(IPlugInstanceInfo{}) {}

  void BeginInformHostOfParamChange(int) override {}
  void InformHostOfParamChange(int, double) override {}
  void EndInformHostOfParamChange(int) override {}
  void InformHostOfProgramChange() override {}
  double GetSamplePos() override { return 0.0; }
  double GetTempo() override { return 0.0; }
  void GetTimeSig(int* numerator, int* denominator) override {
    *numerator = 4;
    *denominator = 4;
  }
  void GetTime(ITimeInfo*) override {}
  void ResizeGraphics(int, int) override {}
  bool SendMidiMsg(IMidiMsg*) override { return false; }

  using MORVANTE::Band;
  using MORVANTE::OutputGain;

  // The way the framework delivers a change: store, then notify.
  void SetParam(int paramIdx, double value) {
    GetParam(paramIdx)->Set(value);
    OnParamChange(paramIdx);
  }

  // Processes a stereo block held in two vectors, in place.
  void ProcessInPlace(std::vector<double>& left, std::vector<double>& right) {
    double* channels[2] = {left.data(), right.data()};
    ProcessDoubleReplacing(channels, channels, static_cast<int>(left.size()));
  }
};
