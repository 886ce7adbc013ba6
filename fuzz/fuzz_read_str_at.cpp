// ReadStrAt at every position of arbitrary bytes, and at hostile positions.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "framework/byte_chunk.h"
#include "fuzz/state_fuzz_plug.h"

namespace {
void ReadOne(const ByteChunk& chunk, int pos) {
  WDL_String out("unchanged");
  const int end = chunk.ReadStrAt(&out, pos);
  if (end == -1) {
    if (std::strcmp(out.Get(), "unchanged") != 0) __builtin_trap();
    return;
  }
  if (end < static_cast<long long>(pos) + 4) __builtin_trap();
  if (end <= chunk.Size()) {
    if (out.GetLength() > end - pos - 4) __builtin_trap();
  } else if (std::strcmp(out.Get(), "unchanged") != 0) {
    __builtin_trap();
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ByteChunk chunk;
  ChunkOf(data, size, &chunk);
  for (int pos = 0; pos <= chunk.Size() && pos < 512; ++pos) ReadOne(chunk, pos);
  for (int pos : {-1, -4, INT_MIN, INT_MAX, INT_MAX - 3, chunk.Size() - 3}) ReadOne(chunk, pos);
  return 0;
}
