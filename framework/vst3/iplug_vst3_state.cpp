// IPlugVST3: the state the host keeps in its project. The parameter state of
// SerializeState, then the host bypass as a 32-bit integer (348 bytes for
// MORVANTE). The component and the controller hand out and take the same
// stream, so a host that keeps only one of them loses nothing.
#include <algorithm>
#include <cstdint>

#include "framework/byte_chunk.h"
#include "framework/host_state.h"
#include "framework/vst3/iplug_vst3.h"
#include "pluginterfaces/base/ibstream.h"

using namespace Steinberg;

tresult IPlugVST3::getEditorState(IBStream* state) { return WriteStateStream(state); }

tresult IPlugVST3::setEditorState(IBStream* state) { return ReadStateStream(state); }

tresult IPlugVST3::getComponentOwnState(IBStream* state) { return WriteStateStream(state); }

tresult IPlugVST3::setComponentOwnState(IBStream* state) { return ReadStateStream(state); }

tresult PLUGIN_API IPlugVST3::setComponentState(IBStream* state) { return ReadStateStream(state); }

tresult IPlugVST3::WriteStateStream(IBStream* state) {
  if (!state) return kInvalidArgument;
  ByteChunk chunk;
  if (!WriteHostState(*this, &chunk)) return kResultFalse;
  int32 written = 0;
  // A stream that took less than all of it holds a state nobody can restore.
  if (state->write(chunk.GetBytes(), chunk.Size(), &written) != kResultOk || written != chunk.Size())
    return kResultFalse;
  return kResultOk;
}

// Everything is read before anything is applied: a stream that is short or
// fails leaves every value and the bypass as they were.
tresult IPlugVST3::ReadStateStream(IBStream* state) {
  if (!state) return kInvalidArgument;
  WDL_MutexLock lock(GetMutex());
  const int32 size = HostStateSize(*this);
  if (size <= 0) return kResultFalse;
  ByteChunk chunk;
  chunk.Resize(size);
  if (chunk.Size() != size) return kResultFalse;
  const int32 length = size - static_cast<int32>(sizeof(int32_t));

  int32 read = 0;
  if (state->read(chunk.GetBytes(), length, &read) != kResultOk || read != length) return kResultFalse;
  // A stream that ends right after the parameters (its read succeeds with
  // nothing delivered) clears the bypass; one whose read fails is refused.
  int32 flagRead = 0;
  if (state->read(chunk.GetBytes() + length, static_cast<int32>(sizeof(int32_t)), &flagRead) != kResultOk)
    return kResultFalse;
  flagRead = std::min(std::max(flagRead, 0), static_cast<int32>(sizeof(int32_t)));
  if (!ReadHostState(*this, chunk.GetBytes(), length + flagRead)) return kResultFalse;
  SetHostBypass(IsBypassed());
  return kResultOk;
}
