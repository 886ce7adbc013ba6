#include "framework/big_endian_fields.h"

#include <cstring>

int AppendBE32(ByteChunk* chunk, uint32_t value) {
  const uint8_t bytes[4] = {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
                            static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
  return chunk->PutBytes(bytes, 4);
}

int AppendBEFloat(ByteChunk* chunk, float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof(bits));
  return AppendBE32(chunk, bits);
}

int AppendTag(ByteChunk* chunk, const char* tag) { return chunk->PutBytes(tag, 4); }

int ReadBE32At(const ByteChunk& chunk, uint32_t* value, int pos) {
  uint8_t bytes[4];
  const int next = chunk.GetBytes(bytes, 4, pos);
  if (next < 0) return -1;
  *value = (static_cast<uint32_t>(bytes[0]) << 24) | (static_cast<uint32_t>(bytes[1]) << 16) |
           (static_cast<uint32_t>(bytes[2]) << 8) | bytes[3];
  return next;
}

int ReadBEFloatAt(const ByteChunk& chunk, float* value, int pos) {
  uint32_t bits;
  const int next = ReadBE32At(chunk, &bits, pos);
  if (next >= 0) std::memcpy(value, &bits, sizeof(bits));
  return next;
}

bool TagAt(const ByteChunk& chunk, const char* tag, int pos) {
  char bytes[4];
  return chunk.GetBytes(bytes, 4, pos) >= 0 && std::memcmp(bytes, tag, 4) == 0;
}
