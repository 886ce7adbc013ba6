// IPlugLV2: construction, host titles, the edits sent to the user interface,
// and the processing instance's ports, blocks and state.
#include "framework/lv2/iplug_lv2.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

#include "framework/byte_chunk.h"
#include "framework/host_processing.h"
#include "framework/host_state.h"
#include "framework/lv2/lv2_port_map.h"

IPlugLV2::IPlugLV2(IPlugInstanceInfo, int nParams, const char* channelIOStr, int nPresets, const char* effectName,
                   const char* productName, const char* mfrName, int vendorVersion, int uniqueID, int mfrID,
                   int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst, int)
    : IPlugBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion, uniqueID, mfrID,
                latency, plugDoesMidi, plugDoesChunks, plugIsInst, kAPILV2) {
  SetInputChannelConnections(0, NInChannels(), true);
  SetOutputChannelConnections(0, NOutChannels(), true);
  if (NInChannels() > 0) CreateLatencyDelayLine();
}

IPlugLV2::~IPlugLV2() = default;

void IPlugLV2::SetHostOnlyTitle(int paramIdx, const char* title, bool hiddenFromHost) {
  if (GetParam(paramIdx)) mHostOnlyTitles.Set(paramIdx, title, hiddenFromHost);
}

const char* IPlugLV2::HostTitle(int paramIdx) const {
  const IParam* param = GetParam(paramIdx);
  if (!param) return "";
  const char* title = mHostOnlyTitles.Title(paramIdx);
  return title ? title : param->GetNameForHost();
}

bool IPlugLV2::IsHiddenFromHost(int paramIdx) const { return mHostOnlyTitles.IsHidden(paramIdx); }

void IPlugLV2::BeginInformHostOfParamChange(int paramIdx) {
  if (mEditListener) mEditListener->BeginEdit(paramIdx);
}

void IPlugLV2::InformHostOfParamChange(int paramIdx, double normalizedValue) {
  if (mEditListener) mEditListener->Edit(paramIdx, normalizedValue);
}

void IPlugLV2::EndInformHostOfParamChange(int paramIdx) {
  if (mEditListener) mEditListener->EndEdit(paramIdx);
}

bool IPlugLV2::ResizeGraphics(int w, int h) { return !mEditListener || mEditListener->ResizeEditor(w, h); }

// An LV2 host without the time extension reports no transport.
void IPlugLV2::GetTimeSig(int* numerator, int* denominator) {
  if (numerator) *numerator = 0;
  if (denominator) *denominator = 0;
}

void IPlugLV2::GetTime(ITimeInfo* timeInfo) {
  if (timeInfo) *timeInfo = ITimeInfo();
}

bool IPlugLV2::Instantiate(double sampleRate, int maxBlockLength, int nChannels) {
  if (mPorts || !(sampleRate > 0.0) || !std::isfinite(sampleRate)) return false;
  mPorts = std::make_unique<Lv2PortMap>(*this, nChannels);
  mPortData.assign(static_cast<size_t>(mPorts->NPorts()), nullptr);
  mAppliedPortValues.assign(static_cast<size_t>(mPorts->NControlInputs()), std::numeric_limits<float>::quiet_NaN());
  mInputChannels.assign(static_cast<size_t>(mPorts->NChannels()), nullptr);
  mOutputChannels.assign(static_cast<size_t>(mPorts->NChannels()), nullptr);

  const int blockSize = maxBlockLength > 0 ? std::min(maxBlockLength, kMaxScratchBlockSize) : kDefaultBlockSize;
  WDL_MutexLock lock(GetMutex());
  OnHostIdentified();
  RestorePreset(0);
  SetSampleRate(sampleRate);
  SetBlockSize(blockSize);
  Reset();
  // Without scratch buffers every block would be silence.
  return GetBlockSize() == blockSize;
}

void IPlugLV2::ConnectPort(uint32_t port, void* data) {
  if (port < mPortData.size()) mPortData[port] = static_cast<float*>(data);
}

void IPlugLV2::Activate() { OnActivate(true); }

void IPlugLV2::Deactivate() { OnActivate(false); }

void IPlugLV2::Run(uint32_t nFrames) {
  if (!mPorts) return;
  WDL_MutexLock lock(GetMutex());
  ApplyControlPorts();
  // The host's bypass: on while the port is 0 (a toggle counts as on above
  // zero); a port that is not a number leaves it as it was.
  if (const float* enabled = mPortData[static_cast<size_t>(mPorts->EnabledPort())]) {
    if (!std::isnan(*enabled)) SetBypassed(!(*enabled > 0.0f));
  }
  const int n = static_cast<int>(std::min<uint32_t>(nFrames, INT_MAX));
  if (n > 0) {
    ConnectAudio(n);
    // The whole block as one piece: a port holds one value per block.
    ProcessBufferRange(0.0f, 0, n, IsBypassed());
  }
  WriteOutputPorts();
}

// Ports hold floats, parameters doubles: a port showing the parameter's
// value rounded to a float asks for no change. That keeps the exact value a
// preset or a restored state gave, which the port cannot hold.
//
// The ports are the host's word on the settings, the state only the exact
// values behind them: a port the host moved since it was last applied wins
// over a state restored in between, one it left alone does not. So a host
// that restores a project's state and then its port values (as lilv does)
// gets the state's exact values, and one whose saved state is older than
// the ports it shows (a session saved before the plug-in ran again, as
// Ardour can) plays what it shows. The host's port buffers are read in
// run() only, never from the thread that restores.
void IPlugLV2::ApplyControlPorts() {
  for (int port = 0; port < mPorts->NControlInputs(); ++port) {
    const float* data = mPortData[static_cast<size_t>(port)];
    if (!data) continue;
    const float value = *data;
    float& applied = mAppliedPortValues[static_cast<size_t>(port)];
    if (!std::isfinite(value) || value == applied) continue;
    applied = value;
    const int paramIdx = mPorts->PortParam(port);
    const IParam* param = GetParam(paramIdx);
    if (value == static_cast<float>(param->Value())) continue;
    ApplyHostParamChange(*this, paramIdx, param->GetNormalized(value));
  }
}

// Inputs count up to the first one the host left unconnected; outputs are
// taken one by one. Whatever is missing reads silence or writes to scratch.
void IPlugLV2::ConnectAudio(int nFrames) {
  const int nChannels = mPorts->NChannels();
  int nIn = 0;
  while (nIn < nChannels && mPortData[static_cast<size_t>(mPorts->AudioInPort(nIn))]) {
    mInputChannels[static_cast<size_t>(nIn)] = mPortData[static_cast<size_t>(mPorts->AudioInPort(nIn))];
    ++nIn;
  }
  AttachHostInputs(*this, nIn, mInputChannels.data(), nFrames);
  DetachHostOutputs(*this);
  for (int c = 0; c < nChannels; ++c) {
    float*& out = mOutputChannels[static_cast<size_t>(c)];
    out = mPortData[static_cast<size_t>(mPorts->AudioOutPort(c))];
    if (out) AttachHostOutputs(*this, c, 1, &out);
  }
}

void IPlugLV2::WriteOutputPorts() {
  if (float* latency = mPortData[static_cast<size_t>(mPorts->LatencyPort())])
    *latency = static_cast<float>(GetLatency());
  for (int m = 0; m < mPorts->NMeters(); ++m) {
    if (float* meter = mPortData[static_cast<size_t>(mPorts->MeterPort(m))])
      *meter = static_cast<float>(GetMeterValue(m));
  }
}

bool IPlugLV2::SaveState(ByteChunk* chunk) { return WriteHostState(*this, chunk); }

bool IPlugLV2::RestoreState(const void* data, size_t size) {
  WDL_MutexLock lock(GetMutex());
  const int expected = HostStateSize(*this);
  if (!data || expected <= 0 || size != static_cast<size_t>(expected)) return false;
  return ReadHostState(*this, static_cast<const unsigned char*>(data), expected);
}
