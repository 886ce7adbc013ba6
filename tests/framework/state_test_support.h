// Helpers for the preset and program-file tests: whole-instance snapshots,
// chunk bytes and a temporary directory with real files.
#pragma once

#include <dirent.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/byte_chunk.h"
#include "tests/framework/preset_test_plug.h"

inline std::vector<uint8_t> BytesOf(const ByteChunk& chunk) {
  return std::vector<uint8_t>(chunk.GetBytes(), chunk.GetBytes() + chunk.Size());
}

inline void SetBytes(ByteChunk* chunk, const std::vector<uint8_t>& bytes) {
  chunk->Clear();
  if (!bytes.empty()) chunk->PutBytes(bytes.data(), static_cast<int>(bytes.size()));
}

// Everything a load may change: parameter values, every preset's name, flag
// and state, and the current preset index.
inline std::vector<uint8_t> Snapshot(PresetPlug& plug) {
  ByteChunk chunk;
  plug.SerializeState(&chunk);
  plug.SerializePresets(&chunk);
  chunk.Append(plug.GetCurrentPresetIdx());
  return BytesOf(chunk);
}

class TempDir {
public:
  TempDir() {
    char pattern[] = "/tmp/morvante-state-XXXXXX";
    if (mkdtemp(pattern)) mPath = pattern;
  }
  ~TempDir() {
    if (DIR* dir = opendir(mPath.c_str())) {
      while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") std::remove((mPath + "/" + name).c_str());
      }
      closedir(dir);
    }
    rmdir(mPath.c_str());
  }
  std::string File(const char* name) const { return mPath + "/" + name; }

private:
  std::string mPath;
};

inline std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (FILE* file = std::fopen(path.c_str(), "rb")) {
    int c;
    while ((c = std::fgetc(file)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(file);
  }
  return bytes;
}

inline std::string ReadFileText(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

inline void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, size_t length) {
  if (FILE* file = std::fopen(path.c_str(), "wb")) {
    if (length > 0) std::fwrite(bytes.data(), 1, length, file);
    std::fclose(file);
  }
}

inline uint32_t BE32At(const std::vector<uint8_t>& bytes, size_t pos) {
  return (uint32_t{bytes.at(pos)} << 24) | (uint32_t{bytes.at(pos + 1)} << 16) | (uint32_t{bytes.at(pos + 2)} << 8) |
         bytes.at(pos + 3);
}

inline void PutBE32(std::vector<uint8_t>* bytes, size_t pos, uint32_t value) {
  bytes->at(pos) = static_cast<uint8_t>(value >> 24);
  bytes->at(pos + 1) = static_cast<uint8_t>(value >> 16);
  bytes->at(pos + 2) = static_cast<uint8_t>(value >> 8);
  bytes->at(pos + 3) = static_cast<uint8_t>(value);
}

inline std::string TagAt(const std::vector<uint8_t>& bytes, size_t pos) {
  return std::string(bytes.begin() + static_cast<long>(pos), bytes.begin() + static_cast<long>(pos) + 4);
}
