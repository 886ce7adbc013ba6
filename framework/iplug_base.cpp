#include "framework/iplug_base.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "framework/byte_chunk.h"
#include "framework/imidi_msg.h"
#include "framework/latency_delay_line.h"
#include "graphics/igraphics.h"

namespace {
// Reads one decimal integer the way "%d" does (leading white space, optional
// sign), saturating instead of overflowing. False when there is no number.
bool ReadInt(const char** p, int* value) {
  char* end = nullptr;
  const long v = std::strtol(*p, &end, 10);
  if (end == *p) return false;
  *value = v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v);
  *p = end;
  return true;
}

void ReplaceBusLabel(WDL_PtrList<WDL_String>& labels, int idx, const char* label) {
  labels.Delete(idx, true);
  WDL_String* text = new (std::nothrow) WDL_String(label);
  if (text && !labels.Insert(idx, text)) delete text;
}
}  // namespace

IPlugBase::IPlugBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
                     const char* productName, const char* mfrName, int vendorVersion, int uniqueID, int mfrID,
                     int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst, EAPI plugAPI)
    : mUniqueID(uniqueID),
      mMfrID(mfrID),
      mVersion(vendorVersion),
      mAPI(plugAPI),
      mStateChunks(plugDoesChunks),
      mIsInst(plugIsInst),
      mDoesMIDI(plugDoesMidi),
      mLatency(latency) {
  for (int i = 0; i < nParams; ++i) {
    IParam* param = new (std::nothrow) IParam;
    if (!param || !mParams.Add(param)) {
      delete param;
      break;
    }
  }
  for (int i = 0; i < nPresets; ++i) {
    IPreset* preset = new (std::nothrow) IPreset;
    if (!preset || !mPresets.Add(preset)) {
      delete preset;
      break;
    }
  }

  ReserveStateBackup();

  CopyCut(mEffectName, effectName);
  CopyCut(mProductName, productName);
  CopyCut(mMfrName, mfrName);

  int maxIn = 0, maxOut = 0;
  ParseChannelIO(channelIOStr, &maxIn, &maxOut);
  CreateChannels(maxIn, maxOut);

  TRACE_POINT("%s:%s", mEffectName, CurrentTime());
}

IPlugBase::~IPlugBase() {
  delete mGraphics;
  mGraphics = nullptr;
  mParams.Empty(true);
  mPresets.Empty(true);
  mInChannels.Empty(true);
  mOutChannels.Empty(true);
  mChannelIO.Empty(true);
  mInputBusLabels.Empty(true);
  mOutputBusLabels.Empty(true);
  delete mLatencyDelayLine;
  mLatencyDelayLine = nullptr;
}

void IPlugBase::ParseChannelIO(const char* channelIOStr, int* maxIn, int* maxOut) {
  for (const char* p = channelIOStr; p;) {
    int nIn = 0, nOut = 0;
    const char* q = p;
    if (ReadInt(&q, &nIn) && *q == '-') {
      ++q;
      ReadInt(&q, &nOut);
    }
    ChannelIO* io = new (std::nothrow) ChannelIO;
    if (io) {
      io->mIn = nIn;
      io->mOut = nOut;
      if (!mChannelIO.Add(io)) delete io;
    }
    if (nIn > *maxIn) *maxIn = nIn;
    if (nOut > *maxOut) *maxOut = nOut;

    p = std::strchr(p, ' ');
    if (p) ++p;
  }
}

void IPlugBase::CreateChannels(int nIn, int nOut) {
  // The records point into the data arrays: never create more records than
  // the arrays could hold.
  mInData.Resize(nIn);
  mOutData.Resize(nOut);
  for (int i = 0; i < mInData.GetSize(); ++i) mInData.Get()[i] = nullptr;
  for (int i = 0; i < mOutData.GetSize(); ++i) mOutData.Get()[i] = nullptr;

  for (int i = 0; i < mInData.GetSize(); ++i) {
    InChannel* ch = new (std::nothrow) InChannel;
    if (!ch) break;
    ch->mSrc = mInData.Get() + i;
    if (!mInChannels.Add(ch)) {
      delete ch;
      break;
    }
  }
  for (int i = 0; i < mOutData.GetSize(); ++i) {
    OutChannel* ch = new (std::nothrow) OutChannel;
    if (!ch) break;
    ch->mDest = mOutData.Get() + i;
    if (!mOutChannels.Add(ch)) {
      delete ch;
      break;
    }
  }
}

bool IPlugBase::LegalIO(int nIn, int nOut) const {
  bool legal = false;
  for (int i = 0; i < mChannelIO.GetSize() && !legal; ++i) {
    const ChannelIO* io = mChannelIO.Get(i);
    legal = (nIn < 0 || nIn == io->mIn) && (nOut < 0 || nOut == io->mOut);
  }
  TRACE_POINT("%d:%d:%s", nIn, nOut, legal ? "legal" : "illegal");
  return legal;
}

void IPlugBase::Reset() { WDL_MutexLock lock(&mMutex); }

void IPlugBase::OnParamChange(int) { WDL_MutexLock lock(&mMutex); }

void IPlugBase::OnActivate(bool) { WDL_MutexLock lock(&mMutex); }

void IPlugBase::ProcessMidiMsg(IMidiMsg* msg) { SendMidiMsg(msg); }

bool IPlugBase::MidiNoteName(int, char* name) {
  if (name) name[0] = 0;
  return false;
}

void IPlugBase::SetParameterFromGUI(int paramIdx, double normalizedValue) {
  IParam* param = GetParam(paramIdx);
  if (!param) return;
  TRACE_POINT("%d:%f", paramIdx, normalizedValue);
  WDL_MutexLock lock(&mMutex);
  param->SetNormalized(normalizedValue);
  // The host gets the editor's value, not the one rounded to the step.
  InformHostOfParamChange(paramIdx, normalizedValue);
  OnParamChange(paramIdx);
}

void IPlugBase::OnParamReset() {
  for (int i = 0; i < NParams(); ++i) OnParamChange(i);
}

void IPlugBase::DirtyParameters() {
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < NParams(); ++i) InformHostOfParamChange(i, GetParam(i)->GetNormalized());
}

void IPlugBase::AttachGraphics(IGraphics* g) {
  if (!g) return;
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < NParams(); ++i) g->SetParameterFromPlug(i, GetParam(i)->GetNormalized(), true);
  g->PrepDraw();
  if (mGraphics != g) delete mGraphics;
  mGraphics = g;
}

void IPlugBase::RedrawParamControls() {
  if (!mGraphics) return;
  for (int i = 0; i < NParams(); ++i) mGraphics->SetParameterFromPlug(i, GetParam(i)->Value(), false);
}

double IPlugBase::GetSamplesPerBeat() {
  const double tempo = GetTempo();
  return tempo > 0.0 ? mSampleRate * 60.0 / tempo : 0.0;
}

const char* IPlugBase::GetAPIString() {
  switch (GetAPI()) {
    case kAPIVST2: return "VST2";
    case kAPIVST3: return "VST3";
    case kAPIAU: return "AU";
    case kAPIRTAS: return "RTAS";
    case kAPIAAX: return "AAX";
    case kAPISA: return "Standalone";
    case kAPILV2: return "LV2";
  }
  return "";
}

int IPlugBase::AddMeter(const char* name, int controlIdx) {
  if (mNMeters >= kMaxMeters) return -1;
  Meter& meter = mMeters[mNMeters];
  std::snprintf(meter.name, sizeof meter.name, "%s", name ? name : "");
  meter.controlIdx = controlIdx;
  meter.value.store(0.0, std::memory_order_relaxed);
  return mNMeters++;
}

void IPlugBase::SetMeterValue(int meterIdx, double value) {
  if (meterIdx < 0 || meterIdx >= mNMeters) return;
  mMeters[meterIdx].value.store(value, std::memory_order_relaxed);
}

const char* IPlugBase::GetMeterName(int meterIdx) const {
  return meterIdx >= 0 && meterIdx < mNMeters ? mMeters[meterIdx].name : "";
}

int IPlugBase::GetMeterControlIdx(int meterIdx) const {
  return meterIdx >= 0 && meterIdx < mNMeters ? mMeters[meterIdx].controlIdx : -1;
}

double IPlugBase::GetMeterValue(int meterIdx) const {
  return meterIdx >= 0 && meterIdx < mNMeters ? mMeters[meterIdx].value.load(std::memory_order_relaxed) : 0.0;
}

int IPlugBase::GetEffectVersion(bool decimal) const {
  return decimal ? GetDecimalVersion(mVersion) : mVersion;
}

void IPlugBase::GetEffectVersionStr(char* str) const { GetVersionStr(mVersion, str); }

void IPlugBase::SetHost(const char* host, int version) {
  const char* name = host ? host : "";
  mHost = LookUpHost(name);
  mHostVersion = version;
  char versionStr[32];
  GetVersionStr(version, versionStr);
  TRACE_POINT("host_%sknown:%s:%s", mHost == kHostUnknown ? "un" : "", name, versionStr);
}

int IPlugBase::GetHostVersion(bool decimal) {
  GetHost();  // lets a binding identify the host late
  return decimal ? GetDecimalVersion(mHostVersion) : mHostVersion;
}

void IPlugBase::GetHostVersionStr(char* str) {
  GetHost();
  GetVersionStr(mHostVersion, str);
}

void IPlugBase::SetInputLabel(int idx, const char* label) {
  if (InChannel* ch = mInChannels.Get(idx)) ch->mLabel.Set(label);
}

void IPlugBase::SetOutputLabel(int idx, const char* label) {
  if (OutChannel* ch = mOutChannels.Get(idx)) ch->mLabel.Set(label);
}

const char* IPlugBase::GetInputLabel(int idx) const {
  const InChannel* ch = mInChannels.Get(idx);
  return ch ? ch->mLabel.Get() : "";
}

const char* IPlugBase::GetOutputLabel(int idx) const {
  const OutChannel* ch = mOutChannels.Get(idx);
  return ch ? ch->mLabel.Get() : "";
}

void IPlugBase::SetInputBusLabel(int idx, const char* label) {
  if (idx != 0 && idx != 1) return;
  ReplaceBusLabel(mInputBusLabels, idx, label);
}

void IPlugBase::SetOutputBusLabel(int idx, const char* label) {
  if (idx < 0) return;
  ReplaceBusLabel(mOutputBusLabels, idx, label);
}

bool IPlugBase::SendMidiMsgs(WDL_TypedBuf<IMidiMsg>* msgs) {
  if (!msgs) return true;
  bool allSent = true;
  IMidiMsg* msg = msgs->Get();
  for (int i = 0; i < msgs->GetSize(); ++i)
    if (!SendMidiMsg(&msg[i])) allSent = false;
  return allSent;
}
