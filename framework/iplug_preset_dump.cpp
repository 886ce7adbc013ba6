// Developer output of IPlugBase presets as source text for an effect's
// constructor.
#include <climits>
#include <cstdio>

#include "framework/base64.h"
#include "framework/byte_chunk.h"
#include "framework/iplug_base.h"

namespace {
int SaturatedInt(double value) {
  if (!(value > INT_MIN)) return value != value ? 0 : INT_MIN;  // NaN gives 0
  if (value >= INT_MAX) return INT_MAX;
  return static_cast<int>(value);
}

// The whole chunk is encoded, however long: the text grows with it.
bool WriteBlobCall(FILE* file, const char* name, const ByteChunk& chunk, bool withName) {
  WDL_String blob;
  if (!Base64Encode(chunk.GetBytes(), chunk.Size(), &blob)) return false;
  if (withName)
    std::fprintf(file, "MakePresetFromBlob(\"%s\", \"", name);
  else
    std::fprintf(file, "MakePresetFromBlob(\"name\", \"");
  std::fprintf(file, "%s\", %i);\n", blob.Get(), chunk.Size());
  return true;
}

bool CloseWritten(FILE* file, bool ok) {
  const bool flushed = !std::ferror(file);
  return std::fclose(file) == 0 && flushed && ok;
}
}  // namespace

bool IPlugBase::DumpPresetSrcCode(const char* path, const char** paramEnumNames) {
  if (!path) return false;
  FILE* file = std::fopen(path, "w");
  if (!file) return false;
  std::fprintf(file, "  MakePresetFromNamedParams(\"name\", %d", NParams());
  for (int i = 0; i < NParams(); ++i) {
    const IParam* param = GetParam(i);
    char value[64];
    switch (param->Type()) {
      case kParamBool: std::snprintf(value, sizeof(value), "%s", param->Value() >= 0.5 ? "true" : "false"); break;
      case kParamInt:
      case kParamEnum: std::snprintf(value, sizeof(value), "%d", SaturatedInt(param->Value())); break;
      default: std::snprintf(value, sizeof(value), "%.6f", param->Value()); break;
    }
    const char* enumName = paramEnumNames ? paramEnumNames[i] : nullptr;
    if (enumName)
      std::fprintf(file, ",\n    %s, %s", enumName, value);
    else
      std::fprintf(file, ",\n    %d, %s", i, value);
  }
  std::fprintf(file, ");\n");
  return CloseWritten(file, true);
}

bool IPlugBase::DumpPresetBlob(const char* path) {
  const IPreset* preset = mPresets.Get(mCurrentPresetIdx);
  if (!path || !preset) return false;
  FILE* file = std::fopen(path, "w");
  if (!file) return false;
  return CloseWritten(file, WriteBlobCall(file, preset->mName, preset->mChunk, false));
}

bool IPlugBase::DumpBankBlob(const char* path) {
  if (!path) return false;
  FILE* file = std::fopen(path, "w");
  if (!file) return false;
  bool ok = true;
  for (int i = 0; i < NPresets() && ok; ++i) {
    const IPreset* preset = mPresets.Get(i);
    ok = WriteBlobCall(file, preset->mName, preset->mChunk, true);
  }
  return CloseWritten(file, ok);
}
