// Arbitrary bytes as the controller state a host restores from its project.
#include "fuzz/vst3_state_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vst3fuzz::FuzzSetState<Steinberg::Vst::IEditController>(
      data, size, [](PluginInstance& plug) { return plug.controller; });
  return 0;
}
