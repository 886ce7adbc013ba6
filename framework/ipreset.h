// A named snapshot of the plug-in's state.
#pragma once

#include "framework/byte_chunk.h"
#include "framework/wdl_string.h"

constexpr int PRESET_NAME_SIZE = 256;

struct IPreset {
  IPreset() { CopyCut(mName, "empty"); }
  IPreset(const IPreset&) = delete;
  IPreset& operator=(const IPreset&) = delete;

  // False until the preset holds a state.
  bool mInitialized = false;
  char mName[PRESET_NAME_SIZE] = {};
  // The state in SerializeState layout.
  ByteChunk mChunk;
};
