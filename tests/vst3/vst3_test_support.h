// Shared set-up of the VST3 tests: the bundle, MORVANTE's identity, and a
// fixture holding one initialised instance.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "tests/vst3/host/host_objects.h"
#include "tools/vst3_host/process_block.h"
#include "tools/vst3_host/plugin_module.h"

namespace vst3test {

constexpr int kNumParams = 43;
constexpr Steinberg::Vst::ParamID kPresetTag = 0x70727374;
constexpr Steinberg::Vst::ParamID kBypassTag = 0x62706173;
constexpr Steinberg::Vst::ParamID kHighGain = 3;
constexpr Steinberg::Vst::ParamID kHighMidBandwidth = 5;
constexpr Steinberg::Vst::ParamID kLowGain = 17;
constexpr Steinberg::Vst::ParamID kOutputGain = 33;
constexpr Steinberg::Vst::ParamID kModeL = 38;

// F2AEE70D 00DE4F4E 506E7672 4D525631, most significant byte first.
extern const Steinberg::TUID kMorvanteCid;

// The module stays loaded for the whole test program, as in a host.
PluginModule& Module();

std::string ToUtf8(const Steinberg::Vst::TChar* text);

// Audio buffers of one bus: channels × frames, in the sample type T.
template <class T>
struct BusBuffers {
  BusBuffers(int channels, int frames) : data(channels, std::vector<T>(frames, T(0))) {
    for (auto& ch : data) pointers.push_back(ch.data());
  }
  T** Pointers() { return pointers.data(); }
  std::vector<std::vector<T>> data;
  std::vector<T*> pointers;
};

// Deterministic test input: two different mixes of sines and a little noise.
double TestSignal(int channel, long frame);

// One block's ProcessData over a stereo input and output bus.
template <class T>
Steinberg::Vst::ProcessData MakeBlock(BusBuffers<T>& in, BusBuffers<T>& out, Steinberg::Vst::AudioBusBuffers& inBus,
                                      Steinberg::Vst::AudioBusBuffers& outBus, int frames,
                                      Steinberg::Vst::IParameterChanges* changes = nullptr) {
  Steinberg::Vst::ProcessData data =
      MakeProcessData(in.Pointers(), static_cast<Steinberg::int32>(in.data.size()), out.Pointers(),
                      static_cast<Steinberg::int32>(out.data.size()), frames, inBus, outBus);
  data.processMode = Steinberg::Vst::kRealtime;
  data.inputParameterChanges = changes;
  return data;
}

// An instance from the loaded bundle, initialised with a host application
// of the given name (none for null).
class Vst3Test : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  // A fresh instance beside the fixture's; initialised like it, buses
  // activated.
  std::unique_ptr<PluginInstance> MakeInstance(const char* hostName = "Ardour");
  // As hosts do before processing: every bus the component reports.
  static void ActivateBuses(PluginInstance& plug);
  Steinberg::tresult SetUpProcessing(PluginInstance& plug, Steinberg::int32 sampleSize, Steinberg::int32 maxBlock = 256,
                           double rate = 44100.0);

  // Declared first so that they outlive every instance that holds them.
  std::vector<std::unique_ptr<TestHostApplication>> mHosts;
  std::unique_ptr<PluginInstance> mPlug;
};

}  // namespace vst3test
