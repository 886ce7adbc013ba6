// The preset list of IPlugBase: making, restoring and naming presets.
#include "framework/byte_chunk.h"
#include "framework/iplug_base.h"

IPreset* IPlugBase::NextUninitializedPreset() {
  for (int i = 0; i < NPresets(); ++i) {
    IPreset* preset = mPresets.Get(i);
    if (!preset->mInitialized) return preset;
  }
  return nullptr;
}

void IPlugBase::MakeDefaultPreset(const char* name, int nPresets) {
  for (int i = 0; i < nPresets; ++i) {
    IPreset* preset = NextUninitializedPreset();
    if (!preset) return;
    preset->mInitialized = true;
    CopyCut(preset->mName, name ? name : "Empty");
    SerializeState(&preset->mChunk);
  }
}
