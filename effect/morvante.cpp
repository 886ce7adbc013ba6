#include "effect/morvante.h"

#include <cmath>

#include "effect/morvante_display_strip.h"
#include "framework/wdl_mutex.h"

namespace {

constexpr int FourCharCode(char a, char b, char c, char d) {
  return (static_cast<int>(a) << 24) | (static_cast<int>(b) << 16) | (static_cast<int>(c) << 8) |
         static_cast<int>(d);
}

}  // namespace

MORVANTE::MORVANTE(IPlugInstanceInfo instanceInfo)
    : MorvantePlugBase(instanceInfo, kNumMorvanteParams, "1-1 2-2", 1, "MORVANTE", "", "Penvarrowsonics", 0x20000,
                       FourCharCode('M', 'R', 'V', '1'), FourCharCode('P', 'n', 'v', 'r'), ProcessingLatency(),
                       false, false, false, 0),
      mDryDelay(kNumChannels, kNumChannels, GetLatency()) {
  InitParameters();
  // The two parameters without a name of their own get one in hosts only;
  // nothing reads 25, so hosts neither list nor automate it.
  SetHostOnlyTitle(kBypass, "Bypass Switch");
  SetHostOnlyTitle(kUnusedParam, "Unused", true);
  // The binding's restore of preset 0 gives the copies their first values;
  // taking the defaults here means nothing ever reads an unset copy.
  for (int i = 0; i < NParams(); ++i) CopyParamValue(i);
  SetTailSize(TailBound(GetSampleRate()));

  BuildEditor();
  MakeDefaultPreset("-", 1);
}

void MORVANTE::Reset() {
  // Nothing is cleared: the effect carries on from its state after the host
  // stops, restarts or changes the rate. Only the tail follows the rate.
  WDL_MutexLock lock(GetMutex());
  SetTailSize(TailBound(GetSampleRate()));
}

int MORVANTE::ProcessingLatency() { return StOversampler4x::ImpulsePeakDelay(kOversamplerStepsPerSample); }

void MORVANTE::OnParamChange(int paramIdx) {
  WDL_MutexLock lock(GetMutex());
  CopyParamValue(paramIdx);
  if (ShapesTheTail(paramIdx)) SetTailSize(TailBound(GetSampleRate()));
}

bool MORVANTE::ShapesTheTail(int paramIdx) {
  for (const MorvanteBandLayout& layout : kMorvanteBandLayouts)
    if (paramIdx == layout.frequencyParam || paramIdx == layout.bandwidthParam || paramIdx == layout.gainParam)
      return true;
  return false;
}

void MORVANTE::CopyParamValue(int paramIdx) {
  const IParam* param = GetParam(paramIdx);
  if (!param) return;
  if (paramIdx == kOutput) {
    mOutputGain = std::pow(10.0, param->Value() / 20.0);
    return;
  }
  if (double* copy = ParamCopy(paramIdx)) {
    *copy = param->Value();
    mCopiesChanged = true;
  }
}

double* MORVANTE::ParamCopy(int paramIdx) {
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    const MorvanteBandLayout& layout = kMorvanteBandLayouts[b];
    MorvanteBand& band = mBands[b];
    if (paramIdx == layout.attackParam) return &band.attack;
    if (paramIdx == layout.bandwidthParam) return &band.bandwidth;
    if (paramIdx == layout.frequencyParam) return &band.frequency;
    if (paramIdx == layout.gainParam) return &band.gain;
    if (paramIdx == layout.ratioParam) return &band.ratio;
    if (paramIdx == layout.releaseParam) return &band.release;
    if (paramIdx == layout.thresholdParam) return &band.threshold;
  }
  return nullptr;
}

// Indices 25 and 37 are left as fresh records on purpose (see
// EMorvanteParam).
void MORVANTE::InitParameters() {
  for (int i = 0; i < kNumMorvanteParams; ++i) InitMorvanteParam(i, GetParam(i));
}
