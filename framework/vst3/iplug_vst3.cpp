// IPlugVST3: construction, initialisation, buses, processing set-up and the
// per-block process call.
#include "framework/vst3/iplug_vst3.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/host_processing.h"
#include "framework/vst3/editor_snapshot.h"
#include "framework/vst3/iplug_parameter.h"
#include "framework/vst3/silence_flags.h"
#include "framework/vst3/vst3_strings.h"
#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/vst/ivsthostapplication.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/vstspeaker.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
SpeakerArrangement ArrangementForChannels(int n) {
  switch (n) {
    case 1: return SpeakerArr::kMono;
    case 2: return SpeakerArr::kStereo;
    case 3: return SpeakerArr::k30Music;
    case 4: return SpeakerArr::k40Music;
    case 5: return SpeakerArr::k50;
    case 6: return SpeakerArr::k51;
    default: return SpeakerArr::kEmpty;
  }
}

int SpeakerCount(SpeakerArrangement arr) {
  int n = 0;
  for (; arr; arr &= arr - 1) ++n;
  return n;
}

void BusName(const WDL_String* label, const char* fallback, String128 name) {
  Utf8ToUtf16(label ? label->Get() : fallback, name, 128);
}
}  // namespace

IPlugVST3::IPlugVST3(IPlugInstanceInfo, int nParams, const char* channelIOStr, int nPresets, const char* effectName,
                     const char* productName, const char* mfrName, int vendorVersion, int uniqueID, int mfrID,
                     int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst, int nSidechainChannels)
    : IPlugBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion, uniqueID, mfrID,
                latency, plugDoesMidi, plugDoesChunks, plugIsInst, kAPIVST3),
      mSideChainChannels(nSidechainChannels) {
  SetInputChannelConnections(0, NInChannels(), true);
  SetOutputChannelConnections(0, NOutChannels(), true);
  if (NInChannels() > 0) CreateLatencyDelayLine();

  SetInputBusLabel(0, "Main Input");
  if (mSideChainChannels > 0) SetInputBusLabel(1, "Aux Input");
  if (!IsInst()) SetOutputBusLabel(0, "Output");
}

IPlugVST3::~IPlugVST3() = default;

tresult PLUGIN_API IPlugVST3::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  QUERY_INTERFACE(iid, obj, IPlugDiagnostics::iid, IPlugDiagnostics)
  if (FUnknownPrivate::iidEqual(iid, IEditorSnapshot::iid) || FUnknownPrivate::iidEqual(iid, IEditorSnapshot2::iid))
    return QueryEditorSnapshot(this, obj);
  return SingleComponentEffect::queryInterface(iid, obj);
}

tresult PLUGIN_API IPlugVST3::initialize(FUnknown* context) {
  const tresult result = SingleComponentEffect::initialize(context);
  IdentifyHost(context);
  if (result == kResultOk) {
    AddBuses();
    AddHostParameters();
  }
  OnHostIdentified();
  RestorePreset(0);
  return result;
}

void IPlugVST3::IdentifyHost(FUnknown* context) {
  if (!context) return;
  FUnknownPtr<IHostApplication> app(context);
  if (!app) return;
  String128 name = {};
  app->getName(name);
  // A host that fills all 128 characters leaves no terminator.
  name[127] = 0;
  char host[128 * 3 + 1];
  Utf16ToUtf8(name, host, sizeof host);
  SetHost(host, 0);
}

void IPlugVST3::AddBuses() {
  String128 name;
  const int nMainIn = NInChannels() - mSideChainChannels;
  if (nMainIn >= 1 && nMainIn <= 6) {
    BusName(GetInputBusLabel(0), "Main Input", name);
    addAudioInput(name, ArrangementForChannels(nMainIn));
  }
  BusName(GetOutputBusLabel(0), "Output", name);
  addAudioOutput(name, ArrangementForChannels(NOutChannels()));
}

void IPlugVST3::AddHostParameters() {
  if (NPresets() > 0)
    parameters.addParameter(STR16("Preset"), STR16(""), NPresets(), 0.0, ParameterInfo::kIsProgramChange,
                            static_cast<int32>(kPresetParamTag), kRootUnitId);
  if (!IsInst()) {
    auto* bypass = new StringListParameter(
        STR16("Bypass"), kBypassParamTag, nullptr,
        ParameterInfo::kCanAutomate | ParameterInfo::kIsList | ParameterInfo::kIsBypass, kRootUnitId);
    bypass->appendString(STR16("off"));
    bypass->appendString(STR16("on"));
    parameters.addParameter(bypass);
  }
  for (int i = 0; i < NParams(); ++i) {
    IParam* param = GetParam(i);
    parameters.addParameter(new IPlugParameter(param, static_cast<ParamID>(i),
                                               UnitForGroup(param->GetParamGroupForHost()),
                                               mHostOnlyTitles.Title(i), mHostOnlyTitles.IsHidden(i)));
  }
}

void IPlugVST3::SetHostOnlyTitle(int paramIdx, const char* title, bool hiddenFromHost) {
  if (GetParam(paramIdx)) mHostOnlyTitles.Set(paramIdx, title, hiddenFromHost);
}

UnitID IPlugVST3::UnitForGroup(const char* group) {
  if (!group || !group[0]) return kRootUnitId;
  for (int i = mParamGroups.GetSize() - 1; i >= 0; --i)
    if (std::strcmp(mParamGroups.Get(i)->Get(), group) == 0) return i + 1;
  mParamGroups.Add(new WDL_String(group));
  return mParamGroups.GetSize();
}

tresult PLUGIN_API IPlugVST3::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                 SpeakerArrangement* outputs, int32 numOuts) {
  SetInputChannelConnections(0, NInChannels(), false);
  SetOutputChannelConnections(0, NOutChannels(), false);

  const int nIn = numIns > 0 && inputs ? SpeakerCount(inputs[0]) : 0;
  const int nOut = numOuts > 0 && outputs ? SpeakerCount(outputs[0]) : 0;
  if (!LegalIO(nIn, nOut)) return kResultFalse;

  String128 name;
  auto* firstIn = audioInputs.empty() ? nullptr : FCast<AudioBus>(audioInputs.at(0).get());
  if (firstIn && SpeakerCount(firstIn->getArrangement()) != nIn) {
    audioInputs.clear();
    Utf8ToUtf16("Input", name, 128);
    addAudioInput(name, ArrangementForChannels(nIn));
  }
  auto* firstOut = audioOutputs.empty() ? nullptr : FCast<AudioBus>(audioOutputs.at(0).get());
  if (firstOut && SpeakerCount(firstOut->getArrangement()) != nOut) {
    audioOutputs.clear();
    Utf8ToUtf16("Output", name, 128);
    addAudioOutput(name, ArrangementForChannels(nOut));
  }
  return numIns == 1 ? kResultOk : kResultFalse;
}

tresult PLUGIN_API IPlugVST3::setActive(TBool state) {
  OnActivate(state != 0);
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::canProcessSampleSize(int32 symbolicSampleSize) {
  return symbolicSampleSize == kSample32 || symbolicSampleSize == kSample64 ? kResultTrue : kResultFalse;
}

uint32 PLUGIN_API IPlugVST3::getLatencySamples() { return static_cast<uint32>(std::max(GetLatency(), 0)); }

uint32 PLUGIN_API IPlugVST3::getTailSamples() { return static_cast<uint32>(std::max(GetTailSize(), 0)); }

tresult PLUGIN_API IPlugVST3::setupProcessing(ProcessSetup& setup) {
  if (canProcessSampleSize(setup.symbolicSampleSize) != kResultTrue) return kResultFalse;
  // Every filter is designed from the rate: a rate of zero, below or NaN
  // would fill the effect with infinities.
  if (!(setup.sampleRate > 0.0) || !std::isfinite(setup.sampleRate)) return kResultFalse;
  // A host must not process while it sets up; taking the lock keeps a block
  // that does from meeting half-resized scratch buffers.
  WDL_MutexLock lock(GetMutex());
  SetSampleRate(setup.sampleRate);
  // The bypass stays as the host last set it: the host still shows it, and
  // a new rate or block size is no reason to unmute the effect.
  SetBlockSize(setup.maxSamplesPerBlock);
  Reset();
  processSetup = setup;
  mProcessingSetUp = true;
  return kResultOk;
}

void IPlugVST3::SetHostBypass(bool bypassed) {
  SetBypassed(bypassed);
  mHostBypassed.store(bypassed, std::memory_order_relaxed);
}

tresult PLUGIN_API IPlugVST3::process(ProcessData& data) {
  WDL_MutexLock lock(GetMutex());
  if (data.processContext) mProcessContext = *data.processContext;
  CutAtParameterChanges(data.inputParameterChanges, data.numSamples);

  const int32 sampleSize = processSetup.symbolicSampleSize;
  // A flush (no samples) only delivers parameter changes. The buffers are a
  // union of float and double pointers: a block that disagrees with the
  // set-up has buffers of unknown size, and neither reading nor writing
  // them is safe.
  const bool runsAudio = data.numSamples > 0 && data.symbolicSampleSize == sampleSize &&
                         (sampleSize == kSample32 || sampleSize == kSample64);
  if (!runsAudio || !mProcessingSetUp) {
    for (int p = 0; p < mPieces.NPieces(); ++p) ApplyPieceChanges(data.inputParameterChanges, p);
    // No rate and no scratch yet: the effect has nothing to run with.
    if (runsAudio) {
      SilenceActiveOutputs(data);
      FlagSilentOutputs(data, sampleSize);
    }
    return kResultOk;
  }
  ConnectInputBuffers(data);
  ConnectOutputBuffers(data);

  // Each piece runs with the values in force from its first sample.
  for (int p = 0; p < mPieces.NPieces(); ++p) {
    ApplyPieceChanges(data.inputParameterChanges, p);
    const BlockPieces::Piece piece = mPieces.GetPiece(p);
    if (sampleSize == kSample64)
      ProcessBufferRange(0.0, piece.start, piece.frames, IsBypassed());
    else
      ProcessBufferRange(0.0f, piece.start, piece.frames, IsBypassed());
  }
  FlagSilentOutputs(data, sampleSize);
  return kResultOk;
}

namespace {
// Every readable point of every queue, in the host's order.
template <class Fn>
void ForEachPoint(IParameterChanges* changes, Fn&& fn) {
  if (!changes) return;
  const int32 nQueues = changes->getParameterCount();
  for (int32 i = 0; i < nQueues; ++i) {
    IParamValueQueue* queue = changes->getParameterData(i);
    if (!queue) continue;
    const ParamID tag = queue->getParameterId();
    const int32 nPoints = queue->getPointCount();
    for (int32 k = 0; k < nPoints; ++k) {
      int32 offset = 0;
      ParamValue value = 0.0;
      if (queue->getPoint(k, offset, value) == kResultOk) fn(offset, tag, value);
    }
  }
}
}  // namespace

void IPlugVST3::CutAtParameterChanges(IParameterChanges* changes, int32 numSamples) {
  mPieces.Begin(numSamples);
  ForEachPoint(changes, [this](int32 offset, ParamID tag, ParamValue value) { mPieces.Add(offset, tag, value); });
  mPieces.Cut();
}

void IPlugVST3::ApplyPieceChanges(IParameterChanges* changes, int pieceIdx) {
  const BlockPieces::Piece piece = mPieces.GetPiece(pieceIdx);
  for (int i = 0; i < piece.nChanges; ++i) ApplyParameterChange(piece.changes[i].tag, piece.changes[i].value);
  if (!mPieces.Overflowed() || pieceIdx != mPieces.NPieces() - 1) return;
  // The points the pieces had no room for, read again from the host.
  int counted = 0;
  ForEachPoint(changes, [&](int32, ParamID tag, ParamValue value) {
    if (counted++ >= BlockPieces::kCapacity) ApplyParameterChange(tag, value);
  });
}

void IPlugVST3::ApplyParameterChange(ParamID tag, double value) {
  if (IsParamTag(tag)) {
    ApplyHostParamChange(*this, static_cast<int>(tag), value);
    return;
  }
  // Normalised values are 0..1 by definition; a NaN has no meaning at all.
  if (std::isnan(value)) return;
  value = std::min(std::max(value, 0.0), 1.0);
  if (tag == kBypassParamTag) {
    SetHostBypass(BypassIsOn(value));
  } else if (tag == kPresetParamTag) {
    // 1.0 names the place after the last preset, which restores nothing.
    RestorePreset(static_cast<int>(value * NPresets()));
  }
}

void IPlugVST3::ConnectInputBuffers(ProcessData& data) {
  AudioBusBuffers* bus = data.numInputs > 0 && data.inputs ? &data.inputs[0] : nullptr;
  const int n = bus ? bus->numChannels : 0;
  if (processSetup.symbolicSampleSize == kSample64)
    AttachHostInputs(*this, n, bus ? bus->channelBuffers64 : nullptr);
  else
    AttachHostInputs(*this, n, bus ? bus->channelBuffers32 : nullptr, data.numSamples);
}

void IPlugVST3::ConnectOutputBuffers(ProcessData& data) {
  const int nOut = NOutChannels();
  const bool is64 = processSetup.symbolicSampleSize == kSample64;
  // Anything the host does not hand over this block writes to scratch, never
  // to an earlier block's buffers.
  DetachHostOutputs(*this);
  int c = 0;
  for (int32 b = 0; data.outputs && b < data.numOutputs && c < nOut; ++b) {
    AudioBusBuffers& bus = data.outputs[b];
    const int n = std::min(std::max(bus.numChannels, 0), nOut - c);
    // Buses the component never reported have no active flag: left alone.
    Bus* componentBus = getBus(kAudio, kOutput, b);
    if (componentBus && componentBus->isActive()) {
      if (is64)
        AttachHostOutputs(*this, c, n, bus.channelBuffers64);
      else
        AttachHostOutputs(*this, c, n, bus.channelBuffers32);
    }
    c += n;
  }
}

void IPlugVST3::SilenceActiveOutputs(ProcessData& data) {
  const bool is64 = processSetup.symbolicSampleSize == kSample64;
  for (int32 b = 0; data.outputs && b < data.numOutputs; ++b) {
    AudioBusBuffers& bus = data.outputs[b];
    Bus* componentBus = getBus(kAudio, kOutput, b);
    if (!componentBus || !componentBus->isActive()) continue;
    for (int32 ch = 0; ch < bus.numChannels; ++ch) {
      if (is64 && bus.channelBuffers64 && bus.channelBuffers64[ch])
        std::fill_n(bus.channelBuffers64[ch], data.numSamples, 0.0);
      else if (!is64 && bus.channelBuffers32 && bus.channelBuffers32[ch])
        std::fill_n(bus.channelBuffers32[ch], data.numSamples, 0.0f);
    }
  }
}

bool IPlugVST3::IsRenderingOffline() { return processSetup.processMode == kOffline; }

double IPlugVST3::GetSamplePos() { return static_cast<double>(mProcessContext.projectTimeSamples); }

double IPlugVST3::GetTempo() { return mProcessContext.tempo; }

void IPlugVST3::GetTimeSig(int* numerator, int* denominator) {
  if (numerator) *numerator = mProcessContext.timeSigNumerator;
  if (denominator) *denominator = mProcessContext.timeSigDenominator;
}

void IPlugVST3::GetTime(ITimeInfo* timeInfo) {
  if (!timeInfo) return;
  timeInfo->mTempo = mProcessContext.tempo;
  timeInfo->mSamplePos = static_cast<double>(mProcessContext.projectTimeSamples);
  timeInfo->mPPQPos = mProcessContext.projectTimeMusic;
  timeInfo->mLastBar = mProcessContext.barPositionMusic;
  timeInfo->mCycleStart = mProcessContext.cycleStartMusic;
  timeInfo->mCycleEnd = mProcessContext.cycleEndMusic;
  timeInfo->mNumerator = mProcessContext.timeSigNumerator;
  timeInfo->mDenominator = mProcessContext.timeSigDenominator;
  timeInfo->mTransportIsRunning = (mProcessContext.state & ProcessContext::kPlaying) != 0;
  timeInfo->mTransportLoopEnabled = (mProcessContext.state & ProcessContext::kCycleActive) != 0;
}

bool IPlugVST3::SendMidiMsg(IMidiMsg*) { return false; }
