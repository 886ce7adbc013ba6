// The bank state of IPlugBase: every preset's name, initialised flag and
// state, one after the other.
#include <cstdint>
#include <new>

#include "framework/byte_chunk.h"
#include "framework/iplug_base.h"

bool IPlugBase::SerializePresets(ByteChunk* chunk) {
  if (!chunk) return false;
  for (int i = 0; i < NPresets(); ++i) {
    const IPreset* preset = mPresets.Get(i);
    TRACE_POINT("%d %s", i, preset->mName);
    const uint8_t initialized = preset->mInitialized ? 1 : 0;
    if (!chunk->AppendStr(preset->mName) || !chunk->Append(initialized)) return false;
    if (preset->mInitialized && !chunk->AppendChunk(preset->mChunk)) return false;
  }
  return true;
}

int IPlugBase::UnserializePresets(const ByteChunk* chunk, int startPos) {
  if (!chunk || startPos < 0) return -1;
  WDL_MutexLock lock(&mMutex);
  if (NPresets() == 0) return startPos;

  // Every entry is read into a new preset first: the bank's states can only
  // be checked by loading them, and a bank that turns out short must not
  // leave half of its entries behind.
  ByteChunk before;
  if (!SerializeState(&before)) return -1;
  WDL_OwnedPtrList<IPreset> staged;
  WDL_String name;
  int pos = startPos;
  for (int i = 0; i < NPresets() && pos >= 0; ++i) {
    IPreset* entry = new (std::nothrow) IPreset;
    if (!entry || !staged.Add(entry)) {
      delete entry;
      pos = -1;
      break;
    }
    pos = chunk->ReadStrAt(&name, pos);
    // The flag byte must follow the name inside the chunk.
    if (pos < 0 || pos >= chunk->Size()) {
      pos = -1;
      break;
    }
    CopyCut(entry->mName, name.Get());
    entry->mInitialized = chunk->GetBytes()[pos] != 0;
    ++pos;
    TRACE_POINT("%d %s", i, entry->mName);
    if (entry->mInitialized) {
      pos = UnserializeState(chunk, pos);
      // Stored as this instance writes it, whatever the bank held.
      if (pos <= 0 || !SerializeState(&entry->mChunk)) pos = -1;
    }
  }

  if (pos < 0) {
    UnserializeState(&before, 0);
    return -1;
  }
  for (int i = 0; i < staged.GetSize(); ++i) ReplacePreset(i, staged.Get(i));
  staged.Empty(false);
  RestorePreset(mCurrentPresetIdx);
  return pos;
}
