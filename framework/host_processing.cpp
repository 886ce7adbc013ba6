#include "framework/host_processing.h"

#include <algorithm>
#include <cmath>

#include "framework/iplug_base.h"
#include "graphics/igraphics.h"

void ApplyHostParamChange(IPlugBase& plug, int paramIdx, double normalizedValue) {
  if (!std::isfinite(normalizedValue)) return;
  IParam* param = plug.GetParam(paramIdx);
  if (!param) return;
  const double value = std::min(std::max(normalizedValue, 0.0), 1.0);
  WDL_MutexLock lock(plug.GetMutex());
  param->SetNormalized(value);
  if (IGraphics* gui = plug.GetGUI()) gui->SetParameterFromPlug(paramIdx, value, true);
  plug.OnParamChange(paramIdx);
}

namespace {
template <class T, class... Frames>
void AttachInputs(IPlugBase& plug, int n, T** channels, Frames... nFrames) {
  const int nIn = plug.NInChannels();
  n = channels ? std::min(std::max(n, 0), nIn) : 0;
  plug.SetInputChannelConnections(0, n, true);
  plug.SetInputChannelConnections(n, nIn - n, false);
  // Channels without host input read their scratch, which may still hold an
  // earlier block's converted samples.
  if (n < nIn) plug.ZeroScratchBuffers();
  if (n > 0) plug.AttachInputBuffers(0, n, channels, nFrames...);
}

template <class T>
void AttachOutputs(IPlugBase& plug, int idx, int n, T** channels) {
  if (!channels || n <= 0) return;
  plug.SetOutputChannelConnections(idx, n, true);
  plug.AttachOutputBuffers(idx, n, channels);
}

template <class T>
void Run(IPlugBase& plug, T sampleType, int nFrames) {
  if (plug.IsBypassed())
    plug.PassThroughBuffers(sampleType, nFrames);
  else
    plug.ProcessBuffers(sampleType, nFrames);
}
}  // namespace

void AttachHostInputs(IPlugBase& plug, int n, float** channels, int nFrames) {
  AttachInputs(plug, n, channels, nFrames);
}

void AttachHostInputs(IPlugBase& plug, int n, double** channels) { AttachInputs(plug, n, channels); }

void DetachHostOutputs(IPlugBase& plug) { plug.SetOutputChannelConnections(0, plug.NOutChannels(), false); }

void AttachHostOutputs(IPlugBase& plug, int idx, int n, float** channels) { AttachOutputs(plug, idx, n, channels); }

void AttachHostOutputs(IPlugBase& plug, int idx, int n, double** channels) { AttachOutputs(plug, idx, n, channels); }

void RunHostBlock(IPlugBase& plug, float sampleType, int nFrames) { Run(plug, sampleType, nFrames); }

void RunHostBlock(IPlugBase& plug, double sampleType, int nFrames) { Run(plug, sampleType, nFrames); }
