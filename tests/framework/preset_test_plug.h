// An IPlugBase with parameters of every kind and a chosen number of presets,
// for the state, preset and program-file tests and fuzzers. It counts the
// notifications the base sends.
#pragma once

#include <vector>

#include "framework/byte_chunk.h"
#include "framework/iplug_base.h"
#include "tests/support/no_host.h"

class PresetPlug : public NoHost<IPlugBase> {
public:
  static constexpr int kUniqueID = 0x4d525631;  // MRV1
  static constexpr int kMfrID = 0x506e7672;     // Pnvr

  // Parameter i cycles through: double -24..24, bool, int 1..10, enum of 4,
  // shaped double 0..100.
  PresetPlug(int nParams, int nPresets, bool doesChunks)
      : NoHost<IPlugBase>(nParams, "1-1 2-2", nPresets, "Effect", "Product", "Maker", 0x20000, kUniqueID, kMfrID, 0, false,
                  doesChunks, false, kAPIVST3) {
    for (int i = 0; i < NParams(); ++i) {
      IParam* param = GetParam(i);
      switch (i % 5) {
        case 0: param->InitDouble("Gain", 0.0, -24.0, 24.0, 0.1, "dB"); break;
        case 1: param->InitBool("Switch", false); break;
        case 2: param->InitInt("Count", 3, 1, 10); break;
        case 3: param->InitEnum("Mode", 1, 4); break;
        default: param->InitDouble("Time", 50.0, 0.0, 100.0, 0.01, "ms", "", 2.0); break;
      }
    }
  }

  // Moves every parameter to a distinct in-range value derived from seed.
  void Scramble(int seed) {
    for (int i = 0; i < NParams(); ++i) {
      IParam* param = GetParam(i);
      const int k = seed + 3 * i;
      switch (param->Type()) {
        case kParamBool: param->Set(k % 2); break;
        case kParamInt: param->Set(1 + k % 10); break;
        case kParamEnum: param->Set(k % 4); break;
        default: param->Set(param->Min() + (param->Max() - param->Min()) * ((k % 97) / 97.0)); break;
      }
    }
  }

  std::vector<double> Values() const {
    std::vector<double> values;
    for (int i = 0; i < NParams(); ++i) values.push_back(GetParam(i)->Value());
    return values;
  }

  void OnParamChange(int paramIdx) override {
    IPlugBase::OnParamChange(paramIdx);
    ++paramChanges;
  }
  void PresetsChangedByHost() override { ++presetChanges; }
  void InformHostOfProgramChange() override { ++programChanges; }


  int paramChanges = 0;
  int presetChanges = 0;
  int programChanges = 0;
};
