#include "tools/preset_file.h"

#include <cstdint>
#include <cstring>

namespace {
constexpr size_t kClassIdSize = 32;
constexpr size_t kHeaderSize = 4 + 4 + kClassIdSize + 8;
constexpr size_t kEntrySize = 4 + 8 + 8;
constexpr int32_t kVersion = 1;

template <class T>
void Put(std::string& out, T value) {
  for (size_t i = 0; i < sizeof(T); ++i) out += static_cast<char>((static_cast<uint64_t>(value) >> (8 * i)) & 0xFF);
}

template <class T>
T Get(const std::string& in, size_t at) {
  uint64_t value = 0;
  for (size_t i = 0; i < sizeof(T); ++i) value |= static_cast<uint64_t>(static_cast<unsigned char>(in[at + i])) << (8 * i);
  return static_cast<T>(value);
}
}  // namespace

std::string WritePresetFile(const PresetFile& preset) {
  std::string out = "VST3";
  Put<int32_t>(out, kVersion);
  std::string id = preset.classId;
  id.resize(kClassIdSize, '0');
  out += id;
  const size_t listOffsetAt = out.size();
  Put<int64_t>(out, 0);
  struct Entry {
    const char* id;
    size_t offset, size;
  };
  Entry entries[2];
  int count = 0;
  if (preset.hasComponent) {
    entries[count++] = {"Comp", out.size(), preset.component.size()};
    out += preset.component;
  }
  if (preset.hasController) {
    entries[count++] = {"Cont", out.size(), preset.controller.size()};
    out += preset.controller;
  }
  const size_t listOffset = out.size();
  out += "List";
  Put<int32_t>(out, count);
  for (int i = 0; i < count; ++i) {
    out.append(entries[i].id, 4);
    Put<int64_t>(out, static_cast<int64_t>(entries[i].offset));
    Put<int64_t>(out, static_cast<int64_t>(entries[i].size));
  }
  std::string offset;
  Put<int64_t>(offset, static_cast<int64_t>(listOffset));
  out.replace(listOffsetAt, 8, offset);
  return out;
}

bool ReadPresetFile(const std::string& bytes, PresetFile& preset, std::string& error) {
  if (bytes.size() < kHeaderSize || bytes.compare(0, 4, "VST3") != 0) {
    error = "it is not a VST3 preset file";
    return false;
  }
  if (Get<int32_t>(bytes, 4) < kVersion) {
    error = "its version is unknown";
    return false;
  }
  preset = PresetFile{};
  preset.classId = bytes.substr(8, kClassIdSize);
  const auto listOffset = Get<uint64_t>(bytes, 8 + kClassIdSize);
  if (listOffset < kHeaderSize || listOffset > bytes.size() - 8 || bytes.compare(listOffset, 4, "List") != 0) {
    error = "its chunk list is missing or damaged";
    return false;
  }
  const auto count = Get<uint32_t>(bytes, listOffset + 4);
  if (count > (bytes.size() - listOffset - 8) / kEntrySize) {
    error = "its chunk list is cut short";
    return false;
  }
  for (uint32_t i = 0; i < count; ++i) {
    const size_t at = listOffset + 8 + i * kEntrySize;
    const auto offset = Get<uint64_t>(bytes, at + 4);
    const auto size = Get<uint64_t>(bytes, at + 12);
    // Chunks lie between the header and the list.
    if (offset < kHeaderSize || offset > listOffset || size > listOffset - offset) {
      error = "a chunk lies outside the file";
      return false;
    }
    const std::string id = bytes.substr(at, 4);
    if (id == "Comp") {
      preset.hasComponent = true;
      preset.component = bytes.substr(offset, size);
    } else if (id == "Cont") {
      preset.hasController = true;
      preset.controller = bytes.substr(offset, size);
    }
  }
  if (!preset.hasComponent && !preset.hasController) {
    error = "it holds no plug-in state";
    return false;
  }
  return true;
}
