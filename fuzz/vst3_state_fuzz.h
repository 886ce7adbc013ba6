// The state fuzzers of the VST3 binding: a fresh MORVANTE instance made
// through the module's factory, as a host makes it, gets the input as the
// stream of one setState call. The first input byte picks how the stream
// misbehaves, the rest is the stream's content.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "tests/vst3/host/host_objects.h"
#include "tests/vst3/host/morvante_ids.h"
#include "tools/vst3_host/plugin_module.h"
#include "tools/vst3_host/process_block.h"

extern "C" Steinberg::IPluginFactory* PLUGIN_API GetPluginFactory();

namespace vst3fuzz {

using morvante_ids::kBypassTag;
using morvante_ids::kNumParams;

// Made once: the factory lives as long as the module, as in a host.
inline Steinberg::IPluginFactory* Factory() {
  static Steinberg::IPluginFactory* factory = GetPluginFactory();
  return factory;
}

// The state one side (component or controller) reports, or empty.
template <class Side>
std::vector<uint8_t> Save(Side* side) {
  TestStream stream;
  if (side->getState(&stream) != Steinberg::kResultOk) return {};
  return stream.data;
}

inline void Require(bool condition) {
  if (!condition) __builtin_trap();
}

// Every parameter the controller reports stays a normalised value.
inline void CheckParamsNormalised(Steinberg::Vst::IEditController* controller) {
  for (Steinberg::Vst::ParamID tag = 0; tag < kNumParams; ++tag) {
    const double value = controller->getParamNormalized(tag);
    Require(value >= 0.0 && value <= 1.0);
  }
  const double bypass = controller->getParamNormalized(kBypassTag);
  Require(bypass == 0.0 || bypass == 1.0);
}

// A block of a finite signal gives finite output whatever state was loaded.
inline void CheckProcessesFinite(PluginInstance& plug) {
  constexpr int kFrames = 32;
  Steinberg::Vst::ProcessSetup setup{Steinberg::Vst::kRealtime, Steinberg::Vst::kSample32, kFrames, 48000.0};
  if (plug.processor->setupProcessing(setup) != Steinberg::kResultOk) return;
  plug.component->setActive(true);
  plug.processor->setProcessing(true);
  std::vector<float> in[2], out[2];
  float* ins[2];
  float* outs[2];
  for (int c = 0; c < 2; ++c) {
    in[c].resize(kFrames);
    out[c].resize(kFrames);
    for (int i = 0; i < kFrames; ++i) in[c][static_cast<size_t>(i)] = static_cast<float>(0.5 * std::sin(0.1 * i + c));
    ins[c] = in[c].data();
    outs[c] = out[c].data();
  }
  Steinberg::Vst::AudioBusBuffers inBus, outBus;
  Steinberg::Vst::ProcessData data = MakeProcessData(ins, 2, outs, 2, kFrames, inBus, outBus);
  data.processMode = Steinberg::Vst::kRealtime;
  for (int block = 0; block < 2; ++block) {
    Require(plug.processor->process(data) == Steinberg::kResultOk);
    for (int c = 0; c < 2; ++c)
      for (float s : out[c]) Require(std::isfinite(s));
  }
  plug.processor->setProcessing(false);
  plug.component->setActive(false);
}

// Loads the input into one side of a fresh instance. A refused load leaves
// the side's state as it was; an accepted one is saved and restored to the
// same bytes; either way the parameters stay in range and the audio finite.
template <class Side>
void FuzzSetState(const uint8_t* data, size_t size, Side* (*sideOf)(PluginInstance&)) {
  if (size < 1) return;
  PluginInstance plug(Factory(), morvante_ids::kCid);
  Require(plug.component && plug.controller && plug.processor);
  HostApplication host("Fuzz");
  Require(plug.component->initialize(&host) == Steinberg::kResultOk);
  Side* side = sideOf(plug);

  const std::vector<uint8_t> before = Save(side);
  TestStream stream(std::vector<uint8_t>(data + 1, data + size));
  stream.failShortReads = (data[0] & 1) != 0;
  if (data[0] & 2) stream.position = stream.data.size() / 2;  // a host that hands a stream mid-way
  const Steinberg::tresult result = side->setState(&stream);
  CheckParamsNormalised(plug.controller);
  if (result != Steinberg::kResultOk) {
    Require(Save(side) == before);
  } else {
    const std::vector<uint8_t> saved = Save(side);
    TestStream again(saved);
    if (!saved.empty()) {
      Require(side->setState(&again) == Steinberg::kResultOk);
      Require(Save(side) == saved);
    }
  }
  CheckProcessesFinite(plug);
  plug.component->terminate();
}

}  // namespace vst3fuzz
