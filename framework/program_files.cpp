// VST 2 program (fxp) and bank (fxb) files of IPlugBase, in the parameter
// and the chunk variant.
#include <cstdint>
#include <cstring>

#include "framework/big_endian_fields.h"
#include "framework/byte_chunk.h"
#include "framework/iplug_base.h"
#include "framework/whole_file.h"

namespace {
constexpr int PROGRAM_VALUES_START = 56;
constexpr int PROGRAM_CHUNK_START = 60;
constexpr int BANK_RECORDS_START = 156;
constexpr int BANK_CHUNK_START = 160;
constexpr int BANK_RESERVED_SIZE = 124;
constexpr int FILE_NAME_SIZE = 28;
constexpr int PROGRAM_FORMAT_VERSION = 1;
constexpr int BANK_FORMAT_VERSION = 2;

struct ProgramHeader {
  uint32_t byteSize;
  const char* formatTag;
  const char* name;
};

long long ParamProgramSize(int nParams) { return PROGRAM_VALUES_START + 4LL * nParams; }

void AppendName(ByteChunk* out, const char* name) {
  // Always NUL-terminated, so at most 27 characters.
  char field[FILE_NAME_SIZE] = {};
  CopyCut(field, name);
  out->PutBytes(field, FILE_NAME_SIZE);
}

void ReadName(const ByteChunk& data, int pos, char (&name)[FILE_NAME_SIZE]) {
  std::memset(name, 0, sizeof(name));
  data.GetBytes(name, FILE_NAME_SIZE, pos);
  name[FILE_NAME_SIZE - 1] = 0;
}

void AppendProgramHeader(IPlugBase* plug, ByteChunk* out, const ProgramHeader& header) {
  AppendTag(out, "CcnK");
  AppendBE32(out, header.byteSize);
  AppendTag(out, header.formatTag);
  AppendBE32(out, PROGRAM_FORMAT_VERSION);
  AppendBE32(out, static_cast<uint32_t>(plug->GetUniqueID()));
  AppendBE32(out, static_cast<uint32_t>(plug->GetEffectVersion(true)));
  AppendBE32(out, static_cast<uint32_t>(plug->NParams()));
  AppendName(out, header.name);
}

// Values from storedState when given (0.0 where it holds no double), from
// the parameters otherwise.
void AppendParamProgram(IPlugBase* plug, ByteChunk* out, const char* name, const ByteChunk* storedState) {
  AppendProgramHeader(plug, out, {0, "FxCk", name});
  for (int i = 0; i < plug->NParams(); ++i) {
    const IParam* param = plug->GetParam(i);
    double normalized;
    if (storedState) {
      double value = 0.0;
      storedState->ReadAt(&value, 8 * i);
      normalized = param->GetNormalized(value);
    } else {
      normalized = param->GetNormalized();
    }
    AppendBEFloat(out, static_cast<float>(normalized));
  }
}

// Stored floats are untrusted: NaN takes the default, the rest is held to
// the normalised range.
double StoredNormalized(const IParam* param, float stored) {
  const double value = stored;
  if (value != value) return param->GetNormalized(param->Default());
  return value < 0.0 ? 0.0 : value > 1.0 ? 1.0 : value;
}

void ApplyStoredValues(IPlugBase* plug, const ByteChunk& data, int pos) {
  for (int i = 0; i < plug->NParams(); ++i) {
    float stored = 0.0f;
    pos = ReadBEFloatAt(data, &stored, pos);
    plug->GetParam(i)->SetNormalized(StoredNormalized(plug->GetParam(i), stored));
  }
}

// The position of the state inside a chunk-variant file whose chunk starts
// at chunkStart, past the framework version tag when there is one; -1 when
// the chunk-size field or the version is cut off.
int ChunkStateStart(const ByteChunk& data, int chunkStart) {
  uint32_t chunkSize;
  if (ReadBE32At(data, &chunkSize, chunkStart - 4) < 0) return -1;
  int pos = chunkStart;
  IPlugBase::GetIPlugVerFromChunk(&data, &pos);
  return pos;
}

bool ReadBE32Is(const ByteChunk& data, int pos, uint32_t expected) {
  uint32_t value;
  return ReadBE32At(data, &value, pos) >= 0 && value == expected;
}
}  // namespace

bool IPlugBase::MakeProgramFXPData(ByteChunk* out) {
  if (!out) return false;
  out->Clear();
  const char* name = GetPresetName(mCurrentPresetIdx);
  long long expected;
  if (DoesStateChunks()) {
    ByteChunk state;
    InitChunkWithIPlugVer(&state);
    if (!SerializeState(&state)) return false;
    AppendProgramHeader(this, out, {static_cast<uint32_t>(state.Size() + PROGRAM_CHUNK_START), "FPCh", name});
    AppendBE32(out, static_cast<uint32_t>(state.Size()));
    out->AppendChunk(state);
    expected = PROGRAM_CHUNK_START + static_cast<long long>(state.Size());
  } else {
    AppendParamProgram(this, out, name, nullptr);
    expected = ParamProgramSize(NParams());
  }
  // Every append that failed left the file short.
  return out->Size() == expected;
}

bool IPlugBase::MakeBankFXBData(ByteChunk* out) {
  if (!out) return false;
  out->Clear();
  ByteChunk state;
  if (DoesStateChunks()) {
    InitChunkWithIPlugVer(&state);
    if (!SerializePresets(&state)) return false;
  }
  AppendTag(out, "CcnK");
  AppendBE32(out, DoesStateChunks() ? static_cast<uint32_t>(state.Size() + BANK_CHUNK_START) : 0);
  AppendTag(out, DoesStateChunks() ? "FBCh" : "FxBk");
  AppendBE32(out, BANK_FORMAT_VERSION);
  AppendBE32(out, static_cast<uint32_t>(GetUniqueID()));
  AppendBE32(out, static_cast<uint32_t>(GetEffectVersion(true)));
  AppendBE32(out, static_cast<uint32_t>(NPresets()));
  AppendBE32(out, static_cast<uint32_t>(mCurrentPresetIdx));
  out->PutBytes(nullptr, BANK_RESERVED_SIZE);
  long long expected;
  if (DoesStateChunks()) {
    AppendBE32(out, static_cast<uint32_t>(state.Size()));
    out->AppendChunk(state);
    expected = BANK_CHUNK_START + static_cast<long long>(state.Size());
  } else {
    for (int i = 0; i < NPresets(); ++i) {
      const IPreset* preset = mPresets.Get(i);
      AppendParamProgram(this, out, preset->mName, &preset->mChunk);
    }
    expected = BANK_RECORDS_START + NPresets() * ParamProgramSize(NParams());
  }
  return out->Size() == expected;
}

bool IPlugBase::LoadProgramFromFXPData(const ByteChunk* data) {
  if (!data || data->Size() < PROGRAM_VALUES_START) return false;
  if (!TagAt(*data, "CcnK", 0) || !ReadBE32Is(*data, 12, PROGRAM_FORMAT_VERSION) ||
      !ReadBE32Is(*data, 16, static_cast<uint32_t>(GetUniqueID())))
    return false;
  char name[FILE_NAME_SIZE];
  ReadName(*data, 28, name);

  WDL_MutexLock lock(&mMutex);
  if (TagAt(*data, "FPCh", 8)) {
    if (!DoesStateChunks()) return false;
    const int stateStart = ChunkStateStart(*data, PROGRAM_CHUNK_START);
    if (stateStart < 0 || UnserializeStateOrKeep(data, stateStart) < 0) return false;
  } else if (TagAt(*data, "FxCk", 8)) {
    // All values must be there before any is applied.
    if (data->Size() < ParamProgramSize(NParams())) return false;
    ApplyStoredValues(this, *data, PROGRAM_VALUES_START);
  } else {
    return false;
  }

  ModifyCurrentPreset(name);
  if (!RestorePreset(mCurrentPresetIdx)) {
    // No preset to restore through: the effect still hears of every value.
    OnParamReset();
    RedrawParamControls();
  }
  InformHostOfProgramChange();
  return true;
}

bool IPlugBase::LoadBankFromFXBData(const ByteChunk* data) {
  if (!data || data->Size() < BANK_RECORDS_START) return false;
  if (!TagAt(*data, "CcnK", 0) || !ReadBE32Is(*data, 16, static_cast<uint32_t>(GetUniqueID()))) return false;

  WDL_MutexLock lock(&mMutex);
  if (TagAt(*data, "FBCh", 8)) {
    if (!DoesStateChunks()) return false;
    const int stateStart = ChunkStateStart(*data, BANK_CHUNK_START);
    if (stateStart < 0 || UnserializePresets(data, stateStart) < 0) return false;
    InformHostOfProgramChange();
    return true;
  }
  if (TagAt(*data, "FxBk", 8)) return LoadParamBank(data);
  return false;
}

bool IPlugBase::LoadParamBank(const ByteChunk* data) {
  uint32_t nPrograms = 0, currentProgram = 0;
  ReadBE32At(*data, &nPrograms, 24);
  ReadBE32At(*data, &currentProgram, 28);
  // Records beyond the instance's presets have nowhere to go and are not
  // read.
  const int nNamed = static_cast<int32_t>(nPrograms);
  const int nRecords = nNamed <= 0 ? 0 : nNamed < NPresets() ? nNamed : NPresets();
  const long long recordSize = ParamProgramSize(NParams());

  // Every record is checked before the first is applied.
  for (int r = 0; r < nRecords; ++r) {
    const long long start = BANK_RECORDS_START + r * recordSize;
    if (start + recordSize > data->Size()) return false;
    const int pos = static_cast<int>(start);
    if (!TagAt(*data, "CcnK", pos) || !TagAt(*data, "FxCk", pos + 8) ||
        !ReadBE32Is(*data, pos + 12, PROGRAM_FORMAT_VERSION) ||
        !ReadBE32Is(*data, pos + 24, static_cast<uint32_t>(NParams())))
      return false;
  }

  for (int r = 0; r < nRecords; ++r) {
    const int pos = static_cast<int>(BANK_RECORDS_START + r * recordSize);
    char name[FILE_NAME_SIZE];
    ReadName(*data, pos + 28, name);
    RestorePreset(r);
    // A preset whose stored state is corrupt cannot be restored, but the
    // record still belongs to it.
    mCurrentPresetIdx = r;
    ApplyStoredValues(this, *data, pos + PROGRAM_VALUES_START);
    ModifyCurrentPreset(name);
  }
  if (!RestorePreset(static_cast<int32_t>(currentProgram)) && nRecords > 0) RestorePreset(mCurrentPresetIdx);
  InformHostOfProgramChange();
  return true;
}

bool IPlugBase::SaveProgramAsFXP(const WDL_String* pFileName) {
  if (!pFileName || !pFileName->GetLength()) return false;
  ByteChunk file;
  return MakeProgramFXPData(&file) && WriteWholeFile(pFileName->Get(), file);
}

bool IPlugBase::SaveBankAsFXB(const WDL_String* pFileName) {
  if (!pFileName || !pFileName->GetLength()) return false;
  ByteChunk file;
  return MakeBankFXBData(&file) && WriteWholeFile(pFileName->Get(), file);
}

bool IPlugBase::LoadProgramFromFXP(const WDL_String* pFileName) {
  if (!pFileName || !pFileName->GetLength()) return false;
  ByteChunk file;
  return ReadWholeFile(pFileName->Get(), MAX_PROGRAM_FILE_SIZE, &file) && LoadProgramFromFXPData(&file);
}

bool IPlugBase::LoadBankFromFXB(const WDL_String* pFileName) {
  if (!pFileName || !pFileName->GetLength()) return false;
  ByteChunk file;
  return ReadWholeFile(pFileName->Get(), MAX_PROGRAM_FILE_SIZE, &file) && LoadBankFromFXBData(&file);
}
