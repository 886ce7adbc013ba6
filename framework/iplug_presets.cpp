// The preset list of IPlugBase: making, restoring and naming presets.
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>

#include "framework/base64.h"
#include "framework/byte_chunk.h"
#include "framework/iplug_base.h"

namespace {
constexpr int32_t IPLUG_VERSION_MAGIC = 0x70666674;  // bytes "tffp"
constexpr int32_t IPLUG_FRAMEWORK_VERSION = 0x00010000;
// Slots of MakePresetFromNamedParams that no pair filled.
constexpr double UNNAMED_PARAM_MARKER = 9.999e-8;

bool TakesIntArgument(const IParam* param) {
  const EParamKind kind = param->Type();
  return kind == kParamBool || kind == kParamInt || kind == kParamEnum;
}
}  // namespace

void IPlugBase::InitChunkWithIPlugVer(ByteChunk* chunk) {
  if (!chunk) return;
  chunk->Clear();
  chunk->Append(IPLUG_VERSION_MAGIC);
  chunk->Append(IPLUG_FRAMEWORK_VERSION);
}

int IPlugBase::GetIPlugVerFromChunk(const ByteChunk* chunk, int* pPos) {
  if (!chunk || !pPos || *pPos < 0) return 0;
  int32_t tag = 0;
  const int afterTag = chunk->ReadAt(&tag, *pPos);
  if (afterTag < 0 || tag != IPLUG_VERSION_MAGIC) return 0;
  int32_t version = 0;
  const int afterVersion = chunk->ReadAt(&version, afterTag);
  *pPos = afterVersion;
  return afterVersion < 0 ? 0 : version;
}

IPreset* IPlugBase::TakeNextUninitializedPreset(const char* name) {
  for (int i = 0; i < NPresets(); ++i) {
    IPreset* preset = mPresets.Get(i);
    if (preset->mInitialized) continue;
    preset->mInitialized = true;
    CopyCut(preset->mName, name ? name : "Empty");
    // An uninitialised preset may still hold the state a bank once gave it.
    preset->mChunk.Clear();
    return preset;
  }
  return nullptr;
}

void IPlugBase::MakeDefaultPreset(const char* name, int nPresets) {
  for (int i = 0; i < nPresets; ++i) {
    IPreset* preset = TakeNextUninitializedPreset(name);
    if (!preset) return;
    SerializeState(&preset->mChunk);
  }
}

void IPlugBase::MakePreset(const char* name, ...) {
  IPreset* preset = TakeNextUninitializedPreset(name);
  if (!preset) return;
  va_list args;
  va_start(args, name);
  for (int i = 0; i < NParams(); ++i) {
    const double value = TakesIntArgument(GetParam(i)) ? va_arg(args, int) : va_arg(args, double);
    preset->mChunk.Append(value);
  }
  va_end(args);
}

void IPlugBase::MakePresetFromNamedParams(const char* name, int nParamsNamed, ...) {
  IPreset* preset = TakeNextUninitializedPreset(name);
  if (!preset) return;
  WDL_TypedBuf<double> values(4096);
  values.Resize(NParams());
  if (values.GetSize() != NParams()) return;
  double* slots = values.Get();
  for (int i = 0; i < NParams(); ++i) slots[i] = UNNAMED_PARAM_MARKER;

  va_list args;
  va_start(args, nParamsNamed);
  for (int n = 0; n < nParamsNamed; ++n) {
    const int paramIdx = va_arg(args, int);
    const IParam* param = GetParam(paramIdx);
    if (!param) break;
    slots[paramIdx] = TakesIntArgument(param) ? va_arg(args, int) : va_arg(args, double);
  }
  va_end(args);

  for (int i = 0; i < NParams(); ++i) {
    const double value = slots[i] == UNNAMED_PARAM_MARKER ? GetParam(i)->Value() : slots[i];
    preset->mChunk.Append(value);
  }
}

void IPlugBase::MakePresetFromChunk(const char* name, const ByteChunk* pChunk) {
  IPreset* preset = TakeNextUninitializedPreset(name);
  if (preset && pChunk) preset->mChunk.AppendChunk(*pChunk);
}

void IPlugBase::MakePresetFromBlob(const char* name, const char* blob, int sizeOfChunk) {
  if (sizeOfChunk < 0) return;
  ByteChunk decoded;
  if (sizeOfChunk > 0) {
    // Zero-filled, so that a short text leaves zeros behind its bytes.
    if (!decoded.PutBytes(nullptr, sizeOfChunk)) return;
    Base64Decode(blob, decoded.GetBytes(), sizeOfChunk);
  }
  IPreset* preset = TakeNextUninitializedPreset(name);
  if (preset) preset->mChunk.AppendChunk(decoded);
}

void IPlugBase::EnsureDefaultPreset() {
  while (IPreset* preset = TakeNextUninitializedPreset("Empty")) SerializeState(&preset->mChunk);
}

void IPlugBase::PruneUninitializedPresets() {
  const IPreset* current = mPresets.Get(mCurrentPresetIdx);
  for (int i = NPresets() - 1; i >= 0; --i)
    if (!mPresets.Get(i)->mInitialized) mPresets.Delete(i, true);
  const int newIdx = current ? mPresets.Find(current) : -1;
  mCurrentPresetIdx = newIdx >= 0 ? newIdx : 0;
}

void IPlugBase::ReserveStateBackup() {
  mStateBackup.reset(new (std::nothrow) ByteChunk);
  if (!mStateBackup) return;
  // Clearing keeps the memory: later backups of this size reuse it.
  mStateBackup->Resize(NParams() * static_cast<int>(sizeof(double)));
  mStateBackup->Clear();
}

int IPlugBase::UnserializeStateOrKeep(const ByteChunk* chunk, int startPos) {
  WDL_MutexLock lock(&mMutex);
  ByteChunk fallback;
  ByteChunk* before = mStateBackup ? mStateBackup.get() : &fallback;
  before->Clear();
  if (!SerializeState(before)) return -1;
  const int pos = UnserializeState(chunk, startPos);
  if (pos < 0) UnserializeState(before, 0);
  return pos;
}

bool IPlugBase::CaptureIntoPreset(IPreset* preset) {
  int nUserPresets = 0;
  for (int i = 0; i < NPresets(); ++i)
    if (std::strstr(mPresets.Get(i)->mName, "user preset")) ++nUserPresets;
  preset->mInitialized = true;
  std::snprintf(preset->mName, sizeof(preset->mName), "%s %d", "user preset", nUserPresets + 1);
  preset->mChunk.Clear();
  return SerializeState(&preset->mChunk);
}

bool IPlugBase::RestorePreset(int idx) {
  IPreset* preset = mPresets.Get(idx);
  if (!preset) return false;
  bool restored;
  if (preset->mInitialized)
    restored = UnserializeStateOrKeep(&preset->mChunk, 0) > 0;
  else
    restored = CaptureIntoPreset(preset);
  if (!restored) return false;
  mCurrentPresetIdx = idx;
  PresetsChangedByHost();
  RedrawParamControls();
  return true;
}

bool IPlugBase::RestorePreset(const char* name) {
  if (!name || !name[0]) return false;
  for (int i = 0; i < NPresets(); ++i)
    if (std::strcmp(mPresets.Get(i)->mName, name) == 0) return RestorePreset(i);
  return false;
}

const char* IPlugBase::GetPresetName(int idx) const {
  const IPreset* preset = mPresets.Get(idx);
  return preset ? preset->mName : "";
}

void IPlugBase::ModifyCurrentPreset(const char* name) {
  IPreset* preset = mPresets.Get(mCurrentPresetIdx);
  if (!preset) return;
  preset->mChunk.Clear();
  SerializeState(&preset->mChunk);
  if (name && name[0]) CopyCut(preset->mName, name);
  TRACE_POINT("%d %s", mCurrentPresetIdx, preset->mName);
}

void IPlugBase::ReplacePreset(int idx, IPreset* replacement) {
  // Deleting shrinks the list without giving memory back, so the insert
  // that follows cannot fail.
  mPresets.Delete(idx, true);
  mPresets.Insert(idx, replacement);
}
