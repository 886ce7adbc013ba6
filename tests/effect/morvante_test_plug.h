// MORVANTE made concrete for tests and benchmarks: the host-facing
// operations the format binding will supply do nothing here, and the band
// records are open to inspection.
#pragma once

#include <vector>

#include "effect/morvante.h"
#include "tests/support/no_host.h"

class TestMorvante : public NoHost<MORVANTE> {
public:
  TestMorvante() : NoHost<MORVANTE>(IPlugInstanceInfo{}) {}


  using MORVANTE::Band;
  using MORVANTE::OutputGain;
  using MORVANTE::FramesRestedThrough;
  using MORVANTE::FramesRungDown;
  using MORVANTE::UseRegisterWidth;

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
