#include "tools/factory_preset_values.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "effect/morvante_params.h"
#include "framework/iparam.h"

namespace {
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

