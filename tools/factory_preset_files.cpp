#include "tools/factory_preset_files.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "pluginterfaces/base/funknown.h"
#include "tools/audio_file.h"
#include "tools/preset_file.h"

namespace {
// The class MORVANTE's module registers.
const Steinberg::FUID kClassId(0xF2AEE70D, 0x00DE4F4E, 0x506E7672, 0x4D525631);
constexpr const char* kVst3Extension = ".vstpreset";

bool MakeDir(const std::string& dir, std::string& error) {
  struct stat st {};
  if (stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return true;
  // Parents first, as mkdir -p does.
  const size_t slash = dir.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !MakeDir(dir.substr(0, slash), error)) return false;
  if (mkdir(dir.c_str(), 0777) == 0 || errno == EEXIST) return true;
  error = "cannot make folder '" + dir + "': " + std::strerror(errno);
  return false;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}
}  // namespace

std::string FactoryPresetFile(const std::vector<double>& values) {
  PresetFile file;
  char id[33] = {};
  kClassId.toString(id);
  file.classId = id;
  file.hasComponent = true;
  // The plug-in's controller keeps the same stream, so one chunk is all.
  file.component = FactoryPresetState(values);
  return WritePresetFile(file);
}

bool WriteVst3FactoryPresets(const std::string& dir, std::string& error) {
  if (!MakeDir(dir, error)) return false;
  if (DIR* folder = opendir(dir.c_str())) {
    while (const dirent* entry = readdir(folder)) {
      const std::string name = entry->d_name;
      const size_t stem = name.size() - std::strlen(kVst3Extension);
      if (EndsWith(name, kVst3Extension) && !FindFactoryPreset(name.substr(0, stem)))
        std::remove((dir + "/" + name).c_str());
    }
    closedir(folder);
  }
  for (const FactoryPreset& preset : FactoryPresets()) {
    std::vector<double> values;
    if (!FactoryPresetValues(preset, values, error)) return false;
    if (!WriteFileAtomically(dir + "/" + preset.name + kVst3Extension, FactoryPresetFile(values), error)) return false;
  }
  return true;
}
