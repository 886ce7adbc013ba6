// Arbitrary bytes as the .vstpreset state file of morvante-process: read by
// the tool's reader, then loaded by its host into the real plug-in. A file
// the reader accepts writes back to one it reads the same; a file the host
// refuses leaves the instance's state as it was; a file it takes saves to
// a state that loads again to the same bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/offline_host_fuzz.h"
#include "tools/preset_file.h"

using hostfuzz::Require;

namespace {
bool Same(const PresetFile& a, const PresetFile& b) {
  return a.classId == b.classId && a.hasComponent == b.hasComponent && a.component == b.component &&
         a.hasController == b.hasController && a.controller == b.controller;
}

// The state the instance had when it was made: every input starts from it.
const std::string& FreshState() {
  static const std::string state = [] {
    std::string bytes;
    Require(hostfuzz::Host().SaveState(bytes));
    return bytes;
  }();
  return state;
}

std::string Saved(OfflineHost& host) {
  std::string bytes;
  Require(host.SaveState(bytes));
  return bytes;
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  FreshState();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  PresetFile preset;
  std::string error;
  if (ReadPresetFile(bytes, preset, error)) {
    Require(preset.classId.size() == 32);
    Require(preset.hasComponent || preset.hasController);
    PresetFile again;
    Require(ReadPresetFile(WritePresetFile(preset), again, error));
    Require(Same(preset, again));
  } else {
    Require(!error.empty());
  }

  OfflineHost& host = hostfuzz::Host();
  Require(host.LoadState(FreshState(), "fresh"));
  Require(Saved(host) == FreshState());
  if (!host.LoadState(bytes, "fuzz.vstpreset")) {
    Require(!host.Error().empty());
    Require(Saved(host) == FreshState());
    return 0;
  }
  const std::string loaded = Saved(host);
  Require(host.LoadState(loaded, "loaded"));
  Require(Saved(host) == loaded);
  return 0;
}
