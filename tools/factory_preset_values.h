// The factory preset table as the plug-in's own settings: every parameter's
// value and the state stream a host keeps. Both the VST3 preset files and
// the LV2 bundle's presets are made from these.
#pragma once

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
// The preset named exactly so, or null.
const FactoryPreset* FindFactoryPreset(const std::string& name);
// "Vocal De-esser", "Tame Boomy Bass", ...
std::string FactoryPresetNames(const char* separator);
