// The instance the state fuzzers load into: parameters of every kind and
// three presets (two made, one left uninitialised), with or without state
// chunks, plus the checks every load must pass.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "framework/byte_chunk.h"
#include "tests/framework/preset_test_plug.h"

inline void MakeFuzzPresets(PresetPlug* plug) {
  plug->Scramble(1);
  plug->MakeDefaultPreset("First", 1);
  plug->Scramble(2);
  plug->MakeDefaultPreset("Second", 1);
}

// Parameter values, every preset and the current index, as bytes.
inline std::vector<uint8_t> FuzzSnapshot(PresetPlug* plug) {
  ByteChunk chunk;
  plug->SerializeState(&chunk);
  plug->SerializePresets(&chunk);
  chunk.Append(plug->GetCurrentPresetIdx());
  return std::vector<uint8_t>(chunk.GetBytes(), chunk.GetBytes() + chunk.Size());
}

// No parameter may hold a value outside its range, NaN included.
inline void CheckParamsInRange(const PresetPlug& plug) {
  for (int i = 0; i < plug.NParams(); ++i) {
    const IParam* param = plug.GetParam(i);
    const double value = param->Value();
    if (!(value >= param->Min() && value <= param->Max())) __builtin_trap();
  }
}

// A load that reports failure must have changed nothing.
inline void CheckFailedLoadChangedNothing(bool loaded, const std::vector<uint8_t>& before, PresetPlug* plug) {
  CheckParamsInRange(*plug);
  if (!loaded && FuzzSnapshot(plug) != before) __builtin_trap();
}

// Loads into an instance with the fuzz presets, with or without state
// chunks: load(&plug) reports whether it loaded, and a failed load must have
// changed nothing.
template <class Load>
inline void CheckLoadIntoFuzzPresets(bool chunks, Load load) {
  PresetPlug plug(10, 3, chunks);
  MakeFuzzPresets(&plug);
  const std::vector<uint8_t> before = FuzzSnapshot(&plug);
  CheckFailedLoadChangedNothing(load(&plug), before, &plug);
}

inline ByteChunk* ChunkOf(const uint8_t* data, size_t size, ByteChunk* chunk) {
  if (size > 0 && size < 0x7fffffff) chunk->PutBytes(data, static_cast<int>(size));
  return chunk;
}
