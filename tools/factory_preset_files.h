// The factory preset table made into files: the plug-in's own state in a
// VST3 preset file, and LV2 presets (pset:Preset) for an LV2 bundle.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "effect/factory_presets.h"

// Every parameter's plain value for the preset, in parameter order: the
// named ones as given, the rest at their defaults. False with a message for
// a name that is no parameter's or a value outside its range.
bool FactoryPresetValues(const FactoryPreset& preset, std::vector<double>& values, std::string& error);
// The state stream the plug-in writes and reads: each value as a
// little-endian double, then the host bypass (off) as a 32-bit integer.
std::string FactoryPresetState(const std::vector<double>& values);
// A .vstpreset of that state as the component state of MORVANTE's class.
std::string FactoryPresetFile(const std::vector<double>& values);
// The preset named exactly so, or null.
const FactoryPreset* FindFactoryPreset(const std::string& name);
// "Vocal De-esser", "Tame Boomy Bass", ...
std::string FactoryPresetNames(const char* separator);

// Writes every preset as "<name>.vstpreset" into dir (made if missing),
// removing preset files left there from an earlier table.
bool WriteVst3FactoryPresets(const std::string& dir, std::string& error);

// An LV2 port symbol from a parameter name: lower case, every run of other
// characters than letters and digits one '_' ("Low Mid Threshold" gives
// "low_mid_threshold", "MODE-L" "mode_l"); "" for an unnamed parameter.
std::string Lv2PortSymbol(const std::string& paramName);
// The port symbol of a parameter; "" leaves it out of the presets.
using Lv2SymbolFor = std::function<std::string(int paramIdx, const std::string& paramName)>;
struct Lv2PresetOptions {
  std::string pluginUri;
  // The key under which the plug-in keeps its state (the state stream
  // above, as base64 binary).
  std::string stateKey;
  Lv2SymbolFor symbolFor;
};
// Writes manifest.ttl and one "<symbol of the name>.ttl" per preset into
// dir (made if missing).
bool WriteLv2FactoryPresets(const std::string& dir, const Lv2PresetOptions& options, std::string& error);
