// The host-facing operations a format binding supplies, answered as if no host
// were there. Test plug-ins derive from NoHost<IPlugBase> (or another base)
// and override only what they record.
#pragma once

#include "framework/iplug_base.h"

template <class Base>
class NoHost : public Base {
public:
  using Base::Base;

  void BeginInformHostOfParamChange(int) override {}
  void InformHostOfParamChange(int, double) override {}
  void EndInformHostOfParamChange(int) override {}
  void InformHostOfProgramChange() override {}
  double GetSamplePos() override { return 0.0; }
  // No transport: samples-per-beat reads as 0.
  double GetTempo() override { return 0.0; }
  void GetTimeSig(int* numerator, int* denominator) override {
    *numerator = 4;
    *denominator = 4;
  }
  void GetTime(ITimeInfo*) override {}
  bool ResizeGraphics(int, int) override { return true; }
  bool SendMidiMsg(IMidiMsg*) override { return false; }
};
