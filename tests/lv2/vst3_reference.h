// The reference for the LV2 plug-ins: the same input and settings through
// the built VST3 bundle's 32-bit path, driven as a DAW drives it.
#pragma once

#include <cstdint>
#include <vector>

#include "tests/lv2/host/lv2_test_host.h"

namespace lv2test {

struct Vst3Options {
  double rate = 48000.0;
  int blockSize = 512;
  int nChannels = 2;
  bool hostBypass = false;
};

// Settings are plain values, handed over as the controller normalises them.
Channels RenderVst3(const Channels& in, const std::vector<Setting>& settings, const Vst3Options& options);

// The latency the VST3 processor reports.
int Vst3Latency();

// What the VST3 component's state holds after a restore of bytes; empty
// when the restore is refused.
std::vector<uint8_t> Vst3StateAfterRestore(const std::vector<uint8_t>& bytes);

}  // namespace lv2test
