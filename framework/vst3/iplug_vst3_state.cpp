// IPlugVST3: the state the host keeps in its project. The parameter state of
// SerializeState, then the host bypass as a 32-bit integer (348 bytes for
// MORVANTE). The component and the controller hand out and take the same
// stream, so a host that keeps only one of them loses nothing.
#include <cstdint>
#include <cstring>

#include "framework/byte_chunk.h"
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
  WDL_MutexLock lock(GetMutex());
  ByteChunk chunk;
  if (!SerializeState(&chunk)) return kResultFalse;
  const int32_t bypassed = IsBypassed() ? 1 : 0;
  int32 written = 0;
  // A stream that took less than all of it holds a state nobody can restore.
  if (chunk.Size() > 0 &&
      (state->write(chunk.GetBytes(), chunk.Size(), &written) != kResultOk || written != chunk.Size()))
    return kResultFalse;
  written = 0;
  if (state->write(const_cast<int32_t*>(&bypassed), sizeof bypassed, &written) != kResultOk ||
      written != static_cast<int32>(sizeof bypassed))
    return kResultFalse;
  return kResultOk;
}

// Everything is read before anything is applied: a stream that is short or
// fails leaves every value and the bypass as they were.
tresult IPlugVST3::ReadStateStream(IBStream* state) {
  if (!state) return kInvalidArgument;
  WDL_MutexLock lock(GetMutex());
  ByteChunk chunk;
  if (!SerializeState(&chunk) || chunk.Size() < 1) return kResultFalse;
  const int32 length = chunk.Size();

  int32 read = 0;
  if (state->read(chunk.GetBytes(), length, &read) != kResultOk || read != length) {
    // The chunk held the current state and may now hold part of the stream.
    return kResultFalse;
  }
  // A stream that ends right after the parameters (its read succeeds with
  // nothing delivered) clears the bypass; one whose read fails is refused.
  int32_t bypassed = 0;
  read = 0;
  if (state->read(&bypassed, sizeof bypassed, &read) != kResultOk) return kResultFalse;

  if (UnserializeState(&chunk, 0) < 0) return kResultFalse;
  SetHostBypass(bypassed != 0);
  RedrawParamControls();
  return kResultOk;
}
