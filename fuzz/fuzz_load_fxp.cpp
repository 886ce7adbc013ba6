// Arbitrary bytes as a program file, into instances with and without state
// chunks.
#include <cstddef>
#include <cstdint>

#include "fuzz/state_fuzz_plug.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ByteChunk file;
  ChunkOf(data, size, &file);
  for (bool chunks : {false, true}) {
    PresetPlug plug(10, 3, chunks);
    MakeFuzzPresets(&plug);
    const std::vector<uint8_t> before = FuzzSnapshot(&plug);
    CheckFailedLoadChangedNothing(plug.LoadProgramFromFXPData(&file), before, &plug);
  }
  return 0;
}
