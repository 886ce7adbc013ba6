#include "byte_chunk.h"

#include <cstring>

int ByteChunk::PutBytes(const void* data, int size) {
  const int old = Size();
  if (size <= 0) return old;
  if (size > 0x7fffffff - old) return 0;
  // The typed buffer copes with data taken from this chunk itself
  // (AppendChunk(*this)), whose bytes the growth may move.
  uint8_t* dst = mBytes.Add(static_cast<const uint8_t*>(data), size);
  if (!dst) return 0;
  if (!data) std::memset(dst, 0, static_cast<size_t>(size));
  return Size();
}

int ByteChunk::GetBytes(void* out, int size, int startPos) const {
  if (startPos < 0 || size < 0 || static_cast<long long>(startPos) + size > Size()) return -1;
  if (size > 0) std::memcpy(out, mBytes.Get() + startPos, static_cast<size_t>(size));
  return startPos + size;
}

int ByteChunk::AppendStr(const char* text) {
  const size_t len = text ? std::strlen(text) : 0;
  if (len > 0x7ffffff0u) return 0;
  const int32_t n = static_cast<int32_t>(len);
  const int old = Size();
  if (!Append(n)) return 0;
  if (n > 0 && !PutBytes(text, n)) {
    mBytes.Resize(old, false);
    return 0;
  }
  return Size();
}

int ByteChunk::ReadStrAt(WDL_String* out, int startPos) const {
  int32_t len = 0;
  const int afterLength = ReadAt(&len, startPos);
  // A negative length would send the reader backwards into bytes it has
  // already consumed: treat it as corrupt data.
  if (afterLength < 0 || len < 0) return -1;
  const long long end = static_cast<long long>(afterLength) + len;
  if (end < 0 || end > 0x7fffffff) return -1;
  if (end <= Size()) {
    if (len == 0) out->Set("");
    else out->Set(reinterpret_cast<const char*>(mBytes.Get() + afterLength), len);
  }
  return static_cast<int>(end);
}
