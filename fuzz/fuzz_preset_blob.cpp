// Arbitrary text as a preset blob: the first two bytes give the chunk size,
// the rest is the Base64 text. The preset then restores or fails cleanly.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/state_fuzz_plug.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int sizeOfChunk = (data[0] | (data[1] << 8)) - 16;  // a few negative sizes too
  const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
  PresetPlug plug(10, 3, false);
  MakeFuzzPresets(&plug);
  plug.MakePresetFromBlob("Blob", text.c_str(), sizeOfChunk);
  const std::vector<uint8_t> before = FuzzSnapshot(&plug);
  CheckFailedLoadChangedNothing(plug.RestorePreset(2), before, &plug);
  return 0;
}
