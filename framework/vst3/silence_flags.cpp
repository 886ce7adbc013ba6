#include "framework/vst3/silence_flags.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

template <class T>
bool AllZero(const T* samples, int32 n) {
  // Or-ing the comparisons keeps the loop free of early exits, so that it
  // runs at full width; zeros of either sign count.
  bool nonZero = false;
  for (int32 i = 0; i < n; ++i) nonZero |= samples[i] != T(0);
  return !nonZero;
}

template <class T>
uint64 SilentChannels(T* const* channels, int32 nChannels, int32 n) {
  uint64 flags = 0;
  for (int32 ch = 0; ch < nChannels && ch < 64; ++ch) {
    if (channels[ch] && AllZero(channels[ch], n)) flags |= uint64(1) << ch;
  }
  return flags;
}

}  // namespace

void FlagSilentOutputs(ProcessData& data, int32 symbolicSampleSize) {
  if (!data.outputs || data.numSamples <= 0) return;
  for (int32 b = 0; b < data.numOutputs; ++b) {
    AudioBusBuffers& bus = data.outputs[b];
    if (symbolicSampleSize == kSample64 && bus.channelBuffers64) {
      bus.silenceFlags = SilentChannels(bus.channelBuffers64, bus.numChannels, data.numSamples);
    } else if (symbolicSampleSize == kSample32 && bus.channelBuffers32) {
      bus.silenceFlags = SilentChannels(bus.channelBuffers32, bus.numChannels, data.numSamples);
    }
  }
}
