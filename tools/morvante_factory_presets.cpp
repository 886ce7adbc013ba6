// morvante-factory-presets DIR: writes the factory preset table as VST3
// preset files at build time. (The LV2 bundle's presets are written with
// its description, by morvante-lv2-ttl.)
#include <cstdio>
#include <string>

#include "tools/factory_preset_files.h"

int main(int argc, char** argv) {
  if (argc != 3 || std::string(argv[1]) != "--vst3") {
    std::fputs("usage: morvante-factory-presets --vst3 DIR\n", stderr);
    return 2;
  }
  std::string error;
  if (!WriteVst3FactoryPresets(argv[2], error)) {
    std::fprintf(stderr, "morvante-factory-presets: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
