// One block's ProcessData as a host hands it over: one input and one output
// bus over the host's channel pointers, the sample size following T. The
// data points into the two bus records, so the caller keeps them.
#pragma once

#include "pluginterfaces/vst/ivstaudioprocessor.h"

template <class T>
Steinberg::Vst::ProcessData MakeProcessData(T** in, Steinberg::int32 inChannels, T** out,
                                            Steinberg::int32 outChannels, Steinberg::int32 frames,
                                            Steinberg::Vst::AudioBusBuffers& inBus,
                                            Steinberg::Vst::AudioBusBuffers& outBus) {
  static_assert(sizeof(T) == 4 || sizeof(T) == 8, "samples are float or double");
  inBus = Steinberg::Vst::AudioBusBuffers{};
  outBus = Steinberg::Vst::AudioBusBuffers{};
  inBus.numChannels = inChannels;
  outBus.numChannels = outChannels;
  if constexpr (sizeof(T) == 8) {
    inBus.channelBuffers64 = in;
    outBus.channelBuffers64 = out;
  } else {
    inBus.channelBuffers32 = in;
    outBus.channelBuffers32 = out;
  }
  Steinberg::Vst::ProcessData data{};
  data.symbolicSampleSize = sizeof(T) == 8 ? Steinberg::Vst::kSample64 : Steinberg::Vst::kSample32;
  data.numSamples = frames;
  data.numInputs = 1;
  data.numOutputs = 1;
  data.inputs = &inBus;
  data.outputs = &outBus;
  return data;
}
