// MORVANTE's factory presets: named settings, each parameter by its name in
// its own units. A parameter a preset does not name keeps its default. The
// build turns the table into preset files for every host's browser; the
// plug-in itself is not built from it (its one program slot stays).
#pragma once

#include <vector>

struct FactoryPresetValue {
  const char* param;
  double value;
};

struct FactoryPreset {
  const char* name;
  // What it is for, in a line.
  const char* purpose;
  std::vector<FactoryPresetValue> values;
};

const std::vector<FactoryPreset>& FactoryPresets();
