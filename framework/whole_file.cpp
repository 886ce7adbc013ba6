#include "framework/whole_file.h"

#include <cstdio>

bool ReadWholeFile(const char* path, long maxSize, ByteChunk* out) {
  if (!path || !path[0] || !out) return false;
  FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  long size = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
  bool ok = size >= 0 && size <= maxSize && size <= 0x7fffffffL && std::fseek(file, 0, SEEK_SET) == 0;
  out->Clear();
  if (ok && size > 0) {
    ok = out->PutBytes(nullptr, static_cast<int>(size)) == size &&
         std::fread(out->GetBytes(), 1, static_cast<size_t>(size), file) == static_cast<size_t>(size);
  }
  std::fclose(file);
  return ok;
}

bool WriteWholeFile(const char* path, const ByteChunk& data) {
  if (!path || !path[0]) return false;
  FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  const size_t size = static_cast<size_t>(data.Size());
  const bool written = size == 0 || std::fwrite(data.GetBytes(), 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}
