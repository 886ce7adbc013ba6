// Arbitrary bytes as a program file, into instances with and without state
// chunks.
#include <cstddef>
#include <cstdint>

#include "fuzz/state_fuzz_plug.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ByteChunk file;
  ChunkOf(data, size, &file);
  for (bool chunks : {false, true})
    CheckLoadIntoFuzzPresets(chunks, [&](PresetPlug* plug) { return plug->LoadProgramFromFXPData(&file); });
  return 0;
}
