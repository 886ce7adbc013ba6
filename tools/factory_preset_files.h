// The factory preset table made into VST3 preset files of the plug-in's own
// state. (The LV2 bundle's description carries the same presets.)
#pragma once

#include <string>
#include <vector>

#include "tools/factory_preset_values.h"

// A .vstpreset of that state as the component state of MORVANTE's class.
std::string FactoryPresetFile(const std::vector<double>& values);

// Writes every preset as "<name>.vstpreset" into dir (made if missing),
// removing preset files left there from an earlier table.
bool WriteVst3FactoryPresets(const std::string& dir, std::string& error);
