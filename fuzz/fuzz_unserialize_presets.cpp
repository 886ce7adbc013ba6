// Arbitrary bytes as a bank state: it loads whole or changes nothing.
#include <cstddef>
#include <cstdint>

#include "fuzz/state_fuzz_plug.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ByteChunk chunk;
  ChunkOf(data, size, &chunk);
  CheckLoadIntoFuzzPresets(true, [&](PresetPlug* plug) {
    const int end = plug->UnserializePresets(&chunk, 0);
    if (end > chunk.Size()) __builtin_trap();
    return end >= 0;
  });
  return 0;
}
