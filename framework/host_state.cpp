#include "framework/host_state.h"

#include <cstdint>
#include <cstring>

#include "framework/byte_chunk.h"
#include "framework/iplug_base.h"

namespace {
constexpr int kBypassFlagSize = static_cast<int>(sizeof(int32_t));

// The size of the effect's own part, or 0.
int EffectStateSize(IPlugBase& plug) {
  ByteChunk chunk;
  return plug.SerializeState(&chunk) ? chunk.Size() : 0;
}
}  // namespace

int HostStateSize(IPlugBase& plug) {
  WDL_MutexLock lock(plug.GetMutex());
  const int effect = EffectStateSize(plug);
  return effect > 0 ? effect + kBypassFlagSize : 0;
}

bool WriteHostState(IPlugBase& plug, ByteChunk* chunk) {
  if (!chunk) return false;
  WDL_MutexLock lock(plug.GetMutex());
  const int before = chunk->Size();
  if (!plug.SerializeState(chunk)) return false;
  const int32_t bypassed = plug.IsBypassed() ? 1 : 0;
  // The effect wrote nothing: a state nobody could restore.
  return chunk->Size() > before && chunk->Append(bypassed) > 0;
}

bool ReadHostState(IPlugBase& plug, const unsigned char* data, int size) {
  if (!data || size <= 0) return false;
  WDL_MutexLock lock(plug.GetMutex());
  ByteChunk chunk;
  if (!plug.SerializeState(&chunk) || chunk.Size() < 1) return false;
  const int length = chunk.Size();
  if (size < length) return false;
  std::memcpy(chunk.GetBytes(), data, static_cast<size_t>(length));
  int32_t bypassed = 0;
  const int flagBytes = size - length < kBypassFlagSize ? size - length : kBypassFlagSize;
  std::memcpy(&bypassed, data + length, static_cast<size_t>(flagBytes));

  if (plug.UnserializeState(&chunk, 0) < 0) return false;
  plug.SetBypassed(bypassed != 0);
  plug.RedrawParamControls();
  return true;
}
