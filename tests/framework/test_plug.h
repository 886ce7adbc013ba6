// A minimal binding of IPlugBase for the frame and base tests: it records
// what the base hands it and runs a small stateful effect.
#pragma once

#include <vector>

#include "framework/imidi_msg.h"
#include "framework/iplug_base.h"
#include "tests/support/no_host.h"

class TestPlug : public NoHost<IPlugBase> {
public:
  static constexpr int kUniqueID = 0x4d525631;  // MRV1
  static constexpr int kMfrID = 0x506e7672;     // Pnvr

  explicit TestPlug(const char* channelIO = "1-1 2-2", int nParams = 3, int latency = 0)
      : NoHost<IPlugBase>(nParams, channelIO, 1, "Effect", "Product", "Maker", 0x20000, kUniqueID, kMfrID, latency, false,
                  false, false, kAPIVST3) {}

  struct Call {
    std::vector<double*> inputs, outputs;
    int nFrames;
  };

  // Each output sample: twice the input plus half the previous output of the
  // channel, so that pieces that lose or repeat samples show.
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override {
    Call call;
    call.inputs.assign(inputs, inputs + NInChannels());
    call.outputs.assign(outputs, outputs + NOutChannels());
    call.nFrames = nFrames;
    calls.push_back(call);
    mState.resize(NOutChannels(), 0.0);
    for (int c = 0; c < NOutChannels(); ++c) {
      const double* in = c < NInChannels() ? inputs[c] : nullptr;
      for (int s = 0; s < nFrames; ++s) {
        mState[c] = (in ? 2.0 * in[s] : 0.0) + 0.5 * mState[c];
        outputs[c][s] = mState[c];
      }
    }
  }

  void InformHostOfParamChange(int paramIdx, double normalizedValue) override {
    informed.push_back({paramIdx, normalizedValue});
  }
  double GetTempo() override { return tempo; }
  bool SendMidiMsg(IMidiMsg* msg) override {
    sent.push_back(*msg);
    return msg->mStatus != 0xff;
  }

  using IPlugBase::CreateLatencyDelayLine;

  struct Inform {
    int paramIdx;
    double value;
  };
  std::vector<Call> calls;
  std::vector<Inform> informed;
  std::vector<IMidiMsg> sent;
  double tempo = 120.0;

private:
  std::vector<double> mState;
};
