#include "tools/factory_preset_files.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "effect/morvante_params.h"
#include "framework/base64.h"
#include "framework/iparam.h"
#include "framework/wdl_string.h"
#include "pluginterfaces/base/funknown.h"
#include "tools/audio_file.h"
#include "tools/preset_file.h"

namespace {
// The class MORVANTE's module registers.
const Steinberg::FUID kClassId(0xF2AEE70D, 0x00DE4F4E, 0x506E7672, 0x4D525631);
constexpr const char* kVst3Extension = ".vstpreset";

// The parameter records as the plug-in initialises them.
std::vector<std::unique_ptr<IParam>> MakeParams() {
  std::vector<std::unique_ptr<IParam>> params;
  for (int i = 0; i < kNumMorvanteParams; ++i) {
    params.push_back(std::make_unique<IParam>());
    InitMorvanteParam(i, params.back().get());
  }
  return params;
}

template <class T>
void PutLittleEndian(std::string& out, T value) {
  unsigned char bytes[sizeof(T)];
  std::memcpy(bytes, &value, sizeof(T));
  // Every supported target is little-endian; the bytes go as they lie.
  out.append(reinterpret_cast<const char*>(bytes), sizeof(T));
}

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

// The shortest decimal that reads back as exactly this number.
std::string TurtleNumber(double value) {
  char text[40];
  // Parameter values are small: plain decimals, no exponents.
  for (int decimals = 0; decimals <= 17; ++decimals) {
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    if (std::strtod(text, nullptr) == value) break;
  }
  std::string out = text;
  if (out.find_first_of(".eE") == std::string::npos) out += ".0";
  return out;
}

std::string TurtleString(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}
}  // namespace

bool FactoryPresetValues(const FactoryPreset& preset, std::vector<double>& values, std::string& error) {
  const auto params = MakeParams();
  values.clear();
  for (const auto& param : params) values.push_back(param->Value());
  for (const FactoryPresetValue& v : preset.values) {
    int found = -1;
    for (int i = 0; i < kNumMorvanteParams && found < 0; ++i)
      if (std::strcmp(params[static_cast<size_t>(i)]->GetNameForHost(), v.param) == 0 && v.param[0]) found = i;
    if (found < 0) {
      error = std::string("preset \"") + preset.name + "\": no parameter is named \"" + v.param + "\"";
      return false;
    }
    const IParam& param = *params[static_cast<size_t>(found)];
    if (!(v.value >= param.Min() && v.value <= param.Max())) {
      char range[96];
      std::snprintf(range, sizeof range, "%g is outside %g to %g", v.value, param.Min(), param.Max());
      error = std::string("preset \"") + preset.name + "\": \"" + v.param + "\" " + range;
      return false;
    }
    values[static_cast<size_t>(found)] = v.value;
  }
  return true;
}

std::string FactoryPresetState(const std::vector<double>& values) {
  std::string state;
  for (double v : values) PutLittleEndian(state, v);
  PutLittleEndian<int32_t>(state, 0);
  return state;
}

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

const FactoryPreset* FindFactoryPreset(const std::string& name) {
  for (const FactoryPreset& preset : FactoryPresets())
    if (name == preset.name) return &preset;
  return nullptr;
}

std::string FactoryPresetNames(const char* separator) {
  std::string names;
  for (const FactoryPreset& preset : FactoryPresets())
    names += (names.empty() ? "" : separator) + std::string(preset.name);
  return names;
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

std::string Lv2PortSymbol(const std::string& paramName) {
  std::string symbol;
  bool gap = false;
  for (unsigned char c : paramName) {
    if (std::isalnum(c)) {
      if (gap && !symbol.empty()) symbol += '_';
      symbol += static_cast<char>(std::tolower(c));
      gap = false;
    } else {
      gap = true;
    }
  }
  // A symbol may not start with a digit.
  if (!symbol.empty() && std::isdigit(static_cast<unsigned char>(symbol[0]))) symbol.insert(0, "_");
  return symbol;
}

bool WriteLv2FactoryPresets(const std::string& dir, const Lv2PresetOptions& options, std::string& error) {
  if (!MakeDir(dir, error)) return false;
  const auto params = MakeParams();
  std::string manifest =
      "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
      "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
      "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n";
  for (const FactoryPreset& preset : FactoryPresets()) {
    std::vector<double> values;
    if (!FactoryPresetValues(preset, values, error)) return false;
    const std::string file = Lv2PortSymbol(preset.name) + ".ttl";
    const std::string uri = options.pluginUri + "#preset_" + Lv2PortSymbol(preset.name);
    manifest += "\n<" + uri + ">\n    a pset:Preset ;\n    lv2:appliesTo <" + options.pluginUri +
                "> ;\n    rdfs:seeAlso <" + file + "> .\n";

    std::string ttl =
        "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
        "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
        "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
        "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
        "@prefix xsd: <http://www.w3.org/2001/XMLSchema#> .\n\n<" +
        uri + ">\n    a pset:Preset ;\n    lv2:appliesTo <" + options.pluginUri + "> ;\n    rdfs:label " +
        TurtleString(preset.name) + " ;\n    rdfs:comment " + TurtleString(preset.purpose);
    for (int i = 0; i < kNumMorvanteParams; ++i) {
      const std::string symbol = options.symbolFor(i, params[static_cast<size_t>(i)]->GetNameForHost());
      if (symbol.empty()) continue;
      ttl += " ;\n    lv2:port [\n        lv2:symbol " + TurtleString(symbol) + " ;\n        pset:value " +
             TurtleNumber(values[static_cast<size_t>(i)]) + "\n    ]";
    }
    const std::string state = FactoryPresetState(values);
    WDL_String encoded;
    if (!Base64Encode(reinterpret_cast<const uint8_t*>(state.data()), static_cast<int>(state.size()), &encoded)) {
      error = "cannot encode the state of preset \"" + std::string(preset.name) + "\"";
      return false;
    }
    ttl += " ;\n    state:state [\n        <" + options.stateKey + "> \"" + encoded.Get() +
           "\"^^xsd:base64Binary\n    ] .\n";
    if (!WriteFileAtomically(dir + "/" + file, ttl, error)) return false;
  }
  return WriteFileAtomically(dir + "/manifest.ttl", manifest, error);
}
