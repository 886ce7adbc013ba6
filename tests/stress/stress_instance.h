// One MORVANTE instance as the stress host drives it: set up at random
// rates, block limits and sample sizes, fed random blocks of hostile input
// and automation, its states saved and restored. Every call goes through the
// VST3 interfaces of the loaded bundle.
#pragma once

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "pluginterfaces/base/ibstream.h"
#include "tests/stress/stress_report.h"
#include "tests/vst3/host/host_objects.h"
#include "tools/vst3_host/plugin_module.h"

using StressRng = std::mt19937_64;

// What a host keeps of one side of an instance: the component or the
// controller. A refusal to save is a finding.
struct StateSide {
  const char* name;
  Steinberg::tresult (*save)(PluginInstance& plug, Steinberg::IBStream* stream);
  Steinberg::tresult (*restore)(PluginInstance& plug, Steinberg::IBStream* stream);
};
extern const StateSide kStateSides[];
extern const int kNumStateSides;

// One set-up a host may choose.
struct StressSetup {
  double rate = 48000.0;
  int maxBlock = 512;
  Steinberg::int32 sampleSize = Steinberg::Vst::kSample32;
};
StressSetup RandomSetup(StressRng& rng);

class StressInstance {
public:
  StressInstance(Steinberg::IPluginFactory* factory, StressReport& report);
  ~StressInstance();
  StressInstance(const StressInstance&) = delete;
  StressInstance& operator=(const StressInstance&) = delete;

  bool Ok() const { return mOk; }
  PluginInstance& Plug() { return mPlug; }

  // Inactive, then set up, then active and processing.
  bool Start(const StressSetup& setup);
  void Stop();
  // Between blocks: sometimes a new set-up, sometimes processing toggled.
  void MaybeRestart(StressRng& rng);
  // One block of random length, input and automation; checks the output.
  void ProcessRandomBlock(StressRng& rng, bool automate);
  // A block of the given input with no automation, its output appended to
  // *out (left channel then right, per block).
  void ProcessFixedBlock(const std::vector<double>& input, int frames, std::vector<double>* out);
  // Host-side edits as a generic editor makes them, from any thread.
  void RandomEdits(StressRng& rng);

  // State of one side, or false when the side refuses.
  bool SaveState(const StateSide& side, std::vector<uint8_t>* bytes);
  Steinberg::tresult RestoreState(const StateSide& side, const std::vector<uint8_t>& bytes);
  // The controller reports only normalised values.
  void CheckParameters(const char* when);

  const StressSetup& Setup() const { return mSetup; }

private:
  template <class T>
  void RunBlock(StressRng& rng, int frames, bool automate);
  void FillAutomation(StressRng& rng, int frames);
  template <class T>
  void FillInput(StressRng& rng, int frames, std::vector<std::vector<T>>& in);

  StressReport& mReport;
  HostApplication mHost{"MORVANTE stress host"};
  PluginInstance mPlug;
  bool mOk = false;
  bool mActive = false;
  StressSetup mSetup;
  TestParamChanges mChanges;
  std::vector<std::vector<float>> mIn32, mOut32;
  std::vector<std::vector<double>> mIn64, mOut64;
  // Samples of finite input since the last NaN or infinity went in.
  long mFiniteRun = 1L << 30;
  int mFiniteBlocks = 1 << 30;
};
