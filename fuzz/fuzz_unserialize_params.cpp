// Arbitrary bytes as a parameter state, read from the start and from a
// position taken from the input.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz/state_fuzz_plug.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ByteChunk chunk;
  ChunkOf(data, size, &chunk);
  PresetPlug plug(10, 3, false);
  const int end = plug.UnserializeParams(&chunk, 0);
  if (end != -1 && end != 80) __builtin_trap();
  CheckParamsInRange(plug);

  int32_t startPos = 0;
  if (size >= 4) std::memcpy(&startPos, data, 4);
  const int fromPos = plug.UnserializeParams(&chunk, startPos);
  if (fromPos != -1 && (fromPos < 80 || fromPos > chunk.Size())) __builtin_trap();
  CheckParamsInRange(plug);
  return 0;
}
