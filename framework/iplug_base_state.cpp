// The parameter state of IPlugBase: one double per parameter, in index order.
#include <cmath>
#include <cstring>

#include "framework/byte_chunk.h"
#include "framework/iplug_base.h"

bool IPlugBase::SerializeState(ByteChunk* chunk) { return SerializeParams(chunk); }

int IPlugBase::UnserializeState(const ByteChunk* chunk, int startPos) { return UnserializeParams(chunk, startPos); }

bool IPlugBase::CompareState(const unsigned char* incomingState, int startPos) {
  if (NParams() == 0) return true;
  if (!incomingState || startPos < 0) return false;
  for (int i = 0; i < NParams(); ++i) {
    double incoming;
    std::memcpy(&incoming, incomingState + (static_cast<size_t>(startPos) + i) * sizeof(double), sizeof(double));
    const float diff = static_cast<float>(GetParam(i)->Value()) - static_cast<float>(incoming);
    if (!(std::fabs(static_cast<double>(diff)) < 0.00001)) return false;
  }
  return true;
}

bool IPlugBase::SerializeParams(ByteChunk* chunk) {
  if (!chunk) return false;
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < NParams(); ++i) {
    IParam* param = GetParam(i);
    const double value = param->Value();
    TRACE_POINT("%d %s %f", i, param->GetNameForHost(), value);
    // Append's own result: a chunk that already held bytes still has a size
    // above 0 after a failed append.
    if (chunk->Append(value) <= 0) return false;
  }
  return true;
}

int IPlugBase::UnserializeParams(const ByteChunk* chunk, int startPos) {
  if (!chunk) return -1;
  WDL_MutexLock lock(&mMutex);
  // Any negative start is a failed read: -1 is the one failure position.
  int pos = startPos < 0 ? -1 : startPos;
  for (int i = 0; i < NParams() && pos >= 0; ++i) {
    IParam* param = GetParam(i);
    double value = 0.0;
    pos = chunk->ReadAt(&value, pos);
    param->Set(value);
    TRACE_POINT("%d %s %f", i, param->GetNameForHost(), param->Value());
  }
  OnParamReset();
  return pos;
}
