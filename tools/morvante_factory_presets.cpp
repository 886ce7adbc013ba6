// morvante-factory-presets: writes the factory preset table as preset files
// at build time.
//   morvante-factory-presets --vst3 DIR
//   morvante-factory-presets --lv2 DIR --lv2-uri PLUGIN_URI [--lv2-state-key URI]
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/factory_preset_files.h"

namespace {
int Usage() {
  std::fputs("usage: morvante-factory-presets [--vst3 DIR] [--lv2 DIR --lv2-uri PLUGIN_URI [--lv2-state-key URI]]\n",
             stderr);
  return 2;
}
}  // namespace

int main(int argc, char** argv) {
  std::string vst3, lv2;
  Lv2PresetOptions options;
  for (int i = 1; i < argc; ++i) {
    std::string* target = nullptr;
    if (!std::strcmp(argv[i], "--vst3")) target = &vst3;
    else if (!std::strcmp(argv[i], "--lv2")) target = &lv2;
    else if (!std::strcmp(argv[i], "--lv2-uri")) target = &options.pluginUri;
    else if (!std::strcmp(argv[i], "--lv2-state-key")) target = &options.stateKey;
    if (!target || i + 1 == argc) return Usage();
    *target = argv[++i];
  }
  if ((vst3.empty() && lv2.empty()) || (!lv2.empty() && options.pluginUri.empty())) return Usage();
  if (options.stateKey.empty()) options.stateKey = options.pluginUri + "#state";
  options.symbolFor = [](int, const std::string& name) { return Lv2PortSymbol(name); };

  std::string error;
  if (!vst3.empty() && !WriteVst3FactoryPresets(vst3, error)) {
    std::fprintf(stderr, "morvante-factory-presets: %s\n", error.c_str());
    return 1;
  }
  if (!lv2.empty() && !WriteLv2FactoryPresets(lv2, options, error)) {
    std::fprintf(stderr, "morvante-factory-presets: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
