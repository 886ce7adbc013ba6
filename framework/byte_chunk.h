// Serialised state: a growable byte buffer with position-based reads.
#pragma once

#include <cstdint>
#include <type_traits>

#include "wdl_heapbuf.h"
#include "wdl_string.h"

// Values are stored in native (little-endian) byte order, unaligned and
// unpadded. Reads take a byte position and return the position after the
// value, or -1 when the chunk is too short; a failed read leaves its output
// untouched.
class ByteChunk {
public:
  ByteChunk() = default;
  ByteChunk(const ByteChunk&) = delete;
  ByteChunk& operator=(const ByteChunk&) = delete;

  // Appends the raw bytes of a value; returns the new size, or 0 if memory
  // cannot be had (the chunk is then unchanged).
  template <class T>
  int Append(const T& value) {
    static_assert(std::is_trivially_copyable<T>::value, "only plain values are stored");
    return PutBytes(&value, static_cast<int>(sizeof(T)));
  }
  int PutBytes(const void* data, int size);

  template <class T>
  int ReadAt(T* value, int startPos) const {
    static_assert(std::is_trivially_copyable<T>::value, "only plain values are read");
    return GetBytes(value, static_cast<int>(sizeof(T)), startPos);
  }
  int GetBytes(void* out, int size, int startPos) const;

  // Length-prefixed text: int32 strlen, then the characters without a NUL.
  int AppendStr(const char* text);
  // Reads a length-prefixed text. Returns the position after it (even when
  // the declared text runs past the end, in which case out is untouched and
  // the returned position lies beyond Size()), or -1 when the length itself
  // is missing, negative, or would overflow the position arithmetic.
  int ReadStrAt(WDL_String* out, int startPos) const;

  int AppendChunk(const ByteChunk& other) { return PutBytes(other.GetBytes(), other.Size()); }

  void Clear() { mBytes.Resize(0, false); }
  int Size() const { return mBytes.GetSize(); }
  uint8_t* GetBytes() const { return mBytes.Get(); }
  void Resize(int size) { mBytes.Resize(size, false); }

private:
  WDL_TypedBuf<uint8_t> mBytes{4096};
};
