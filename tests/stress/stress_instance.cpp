#include "tests/stress/stress_instance.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "tests/vst3/host/morvante_ids.h"
#include "tools/vst3_host/process_block.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
constexpr int kChannels = 2;
constexpr int kMaxFrames = 8192;
using morvante_ids::kBypassTag;
using morvante_ids::kNumParams;
using morvante_ids::kPresetTag;
// Finite input for this long must bring finite output.
constexpr long kRecoverySamples = 4096;
constexpr int kRecoveryBlocks = 4;

tresult SaveComponent(PluginInstance& plug, IBStream* stream) { return plug.component->getState(stream); }
// As hosts do, the controller then hears of the component's state.
tresult RestoreComponent(PluginInstance& plug, IBStream* stream) {
  const tresult result = plug.component->setState(stream);
  if (result != kResultOk) return result;
  stream->seek(0, IBStream::kIBSeekSet, nullptr);
  return plug.controller->setComponentState(stream);
}
tresult SaveController(PluginInstance& plug, IBStream* stream) { return plug.controller->getState(stream); }
tresult RestoreController(PluginInstance& plug, IBStream* stream) { return plug.controller->setState(stream); }

int Uniform(StressRng& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
double Uniform(StressRng& rng, double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }
template <class T>
std::vector<std::vector<T>>& Buffers(std::vector<std::vector<float>>& f, std::vector<std::vector<double>>& d) {
  if constexpr (sizeof(T) == 8)
    return d;
  else
    return f;
}

bool Chance(StressRng& rng, double p) { return std::bernoulli_distribution(p)(rng); }

// A normalised value, now and then one no host should send.
double AutomationValue(StressRng& rng) {
  if (!Chance(rng, 0.1)) return Uniform(rng, 0.0, 1.0);
  const double hostile[] = {-0.5, 1.5, -1e300, 1e300, std::numeric_limits<double>::infinity(),
                            -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()};
  return hostile[Uniform(rng, 0, 6)];
}
}  // namespace

const StateSide kStateSides[] = {
    {"component", SaveComponent, RestoreComponent},
    {"controller", SaveController, RestoreController},
};
const int kNumStateSides = 2;

StressSetup RandomSetup(StressRng& rng) {
  static const double kRates[] = {8000.0, 11025.0, 22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0,
                                  352800.0, 384000.0};
  StressSetup setup;
  setup.rate = Chance(rng, 0.8) ? kRates[Uniform(rng, 0, 10)] : Uniform(rng, 8000.0, 384000.0);
  setup.maxBlock = Chance(rng, 0.5) ? 1 << Uniform(rng, 0, 13) : Uniform(rng, 1, kMaxFrames);
  setup.sampleSize = Chance(rng, 0.5) ? kSample32 : kSample64;
  return setup;
}

StressInstance::StressInstance(IPluginFactory* factory, StressReport& report)
    : mReport(report), mPlug(factory, morvante_ids::kCid) {
  if (!mPlug.component || !mPlug.processor || !mPlug.controller) {
    mReport.Finding("the factory made no complete instance");
    return;
  }
  if (mPlug.component->initialize(&mHost) != kResultOk) {
    mReport.Finding("initialize failed");
    return;
  }
  for (int32 i = 0; i < mPlug.component->getBusCount(kAudio, kInput); ++i)
    mPlug.component->activateBus(kAudio, kInput, i, true);
  for (int32 i = 0; i < mPlug.component->getBusCount(kAudio, kOutput); ++i)
    mPlug.component->activateBus(kAudio, kOutput, i, true);
  mIn32.assign(kChannels, std::vector<float>(kMaxFrames));
  mOut32.assign(kChannels, std::vector<float>(kMaxFrames));
  mIn64.assign(kChannels, std::vector<double>(kMaxFrames));
  mOut64.assign(kChannels, std::vector<double>(kMaxFrames));
  mReport.instances.fetch_add(1, std::memory_order_relaxed);
  mOk = true;
}

StressInstance::~StressInstance() {
  if (!mOk) return;
  Stop();
  mPlug.component->terminate();
}

bool StressInstance::Start(const StressSetup& setup) {
  Stop();
  ProcessSetup vst{kRealtime, setup.sampleSize, setup.maxBlock, setup.rate};
  if (mPlug.processor->setupProcessing(vst) != kResultOk) {
    mReport.Finding("setupProcessing refused rate " + std::to_string(setup.rate) + ", block " +
                    std::to_string(setup.maxBlock) + ", sample size " + std::to_string(setup.sampleSize));
    return false;
  }
  mSetup = setup;
  mPlug.component->setActive(true);
  mPlug.processor->setProcessing(true);
  mActive = true;
  return true;
}

void StressInstance::Stop() {
  if (!mActive) return;
  mPlug.processor->setProcessing(false);
  mPlug.component->setActive(false);
  mActive = false;
}

void StressInstance::MaybeRestart(StressRng& rng) {
  if (Chance(rng, 0.02)) {
    Start(RandomSetup(rng));
  } else if (Chance(rng, 0.03)) {
    mPlug.processor->setProcessing(false);
    mPlug.processor->setProcessing(true);
  } else if (Chance(rng, 0.01)) {
    // Off and on again with the same set-up, as hosts do around transport.
    Stop();
    Start(mSetup);
  }
}

void StressInstance::FillAutomation(StressRng& rng, int frames) {
  mChanges.Clear();
  const int queues = Uniform(rng, 0, 6);
  for (int q = 0; q < queues; ++q) {
    ParamID tag = static_cast<ParamID>(Uniform(rng, 0, kNumParams - 1));
    if (Chance(rng, 0.1)) tag = kBypassTag;
    else if (Chance(rng, 0.05)) tag = kPresetTag;
    else if (Chance(rng, 0.02)) tag = static_cast<ParamID>(Uniform(rng, kNumParams, 100000));
    const int points = Uniform(rng, 1, 5);
    // Offsets ascend inside the block; now and then one lies outside it.
    std::vector<int32> offsets;
    for (int p = 0; p < points; ++p) offsets.push_back(Uniform(rng, 0, frames - 1));
    std::sort(offsets.begin(), offsets.end());
    if (Chance(rng, 0.03)) offsets.back() = Chance(rng, 0.5) ? frames + 100 : -5;
    for (int32 offset : offsets) mChanges.Add(tag, AutomationValue(rng), offset);
    mReport.automationPoints.fetch_add(points, std::memory_order_relaxed);
  }
}

template <class T>
void StressInstance::FillInput(StressRng& rng, int frames, std::vector<std::vector<T>>& in) {
  const int kind = Uniform(rng, 0, 9);
  bool finite = true;
  for (int c = 0; c < kChannels; ++c) {
    T* x = in[static_cast<size_t>(c)].data();
    switch (kind) {
      case 0: std::fill_n(x, frames, T(0)); break;
      case 1: std::fill_n(x, frames, c ? T(-1) : T(1)); break;                                    // DC
      case 2: std::fill_n(x, frames, std::numeric_limits<T>::denorm_min() * T(3)); break;        // denormals
      default:
        for (int i = 0; i < frames; ++i) x[i] = static_cast<T>(Uniform(rng, -1.0, 1.0));        // full scale
    }
    if (kind >= 8 && Chance(rng, 0.5)) {
      // A burst of NaN or infinity somewhere in the block.
      const T bad = kind == 8 ? std::numeric_limits<T>::quiet_NaN()
                              : (Chance(rng, 0.5) ? 1 : -1) * std::numeric_limits<T>::infinity();
      const int start = Uniform(rng, 0, frames - 1);
      const int length = Uniform(rng, 1, std::min(64, frames - start));
      std::fill_n(x + start, length, bad);
      finite = false;
    }
  }
  if (finite) {
    mFiniteRun += frames;
    ++mFiniteBlocks;
  } else {
    mFiniteRun = 0;
    mFiniteBlocks = 0;
  }
}

template <class T>
void StressInstance::RunBlock(StressRng& rng, int frames, bool automate) {
  std::vector<std::vector<T>>& in = Buffers<T>(mIn32, mIn64);
  std::vector<std::vector<T>>& out = Buffers<T>(mOut32, mOut64);
  FillInput(rng, frames, in);
  for (auto& ch : out) std::fill_n(ch.data(), frames, T(0));
  T* ins[kChannels] = {in[0].data(), in[1].data()};
  T* outs[kChannels] = {out[0].data(), out[1].data()};
  if (automate) FillAutomation(rng, frames);
  AudioBusBuffers inBus, outBus;
  ProcessData data = MakeProcessData(ins, kChannels, outs, kChannels, frames, inBus, outBus);
  data.processMode = kRealtime;
  data.inputParameterChanges = automate ? &mChanges : nullptr;
  if (mPlug.processor->process(data) != kResultOk) mReport.Finding("process failed");
  mReport.blocks.fetch_add(1, std::memory_order_relaxed);
  mReport.Progress();
  if (mFiniteRun < kRecoverySamples || mFiniteBlocks < kRecoveryBlocks) return;
  for (int c = 0; c < kChannels; ++c) {
    for (int i = 0; i < frames; ++i) {
      if (std::isfinite(outs[c][i])) continue;
      mReport.Finding("output not finite after " + std::to_string(mFiniteRun) + " samples of finite input (rate " +
                      std::to_string(mSetup.rate) + ", block " + std::to_string(frames) + " of " +
                      std::to_string(mSetup.maxBlock) + ", " + std::to_string(sizeof(T) * 8) + "-bit)");
      return;
    }
  }
}

void StressInstance::ProcessRandomBlock(StressRng& rng, bool automate) {
  if (!mActive) return;
  // Mostly within the set-up's limit, now and then beyond it.
  const int frames = Chance(rng, 0.85) ? Uniform(rng, 1, mSetup.maxBlock) : Uniform(rng, 1, kMaxFrames);
  if (mSetup.sampleSize == kSample64)
    RunBlock<double>(rng, frames, automate);
  else
    RunBlock<float>(rng, frames, automate);
}

void StressInstance::ProcessFixedBlock(const std::vector<double>& input, int frames, std::vector<double>* out) {
  const bool is64 = mSetup.sampleSize == kSample64;
  for (int c = 0; c < kChannels; ++c) {
    for (int i = 0; i < frames; ++i) {
      const double x = input[static_cast<size_t>(i) * kChannels + c];
      mIn64[c][i] = x;
      mIn32[c][i] = static_cast<float>(x);
    }
  }
  AudioBusBuffers inBus, outBus;
  double* ins64[kChannels] = {mIn64[0].data(), mIn64[1].data()};
  double* outs64[kChannels] = {mOut64[0].data(), mOut64[1].data()};
  float* ins32[kChannels] = {mIn32[0].data(), mIn32[1].data()};
  float* outs32[kChannels] = {mOut32[0].data(), mOut32[1].data()};
  ProcessData data = is64 ? MakeProcessData(ins64, kChannels, outs64, kChannels, frames, inBus, outBus)
                          : MakeProcessData(ins32, kChannels, outs32, kChannels, frames, inBus, outBus);
  data.processMode = kRealtime;
  if (mPlug.processor->process(data) != kResultOk) mReport.Finding("process failed");
  mReport.blocks.fetch_add(1, std::memory_order_relaxed);
  mReport.Progress();
  for (int c = 0; c < kChannels; ++c)
    for (int i = 0; i < frames; ++i) out->push_back(is64 ? mOut64[c][i] : mOut32[c][i]);
}

void StressInstance::RandomEdits(StressRng& rng) {
  const int edits = Uniform(rng, 1, 8);
  for (int e = 0; e < edits; ++e) {
    const ParamID tag = Chance(rng, 0.1) ? kBypassTag : static_cast<ParamID>(Uniform(rng, 0, kNumParams - 1));
    mPlug.controller->setParamNormalized(tag, AutomationValue(rng));
  }
}

bool StressInstance::SaveState(const StateSide& side, std::vector<uint8_t>* bytes) {
  TestStream stream;
  const tresult result = side.save(mPlug, &stream);
  if (result != kResultOk) {
    mReport.Finding(std::string(side.name) + " getState failed");
    return false;
  }
  *bytes = std::move(stream.data);
  return true;
}

tresult StressInstance::RestoreState(const StateSide& side, const std::vector<uint8_t>& bytes) {
  TestStream stream(bytes);
  const tresult result = side.restore(mPlug, &stream);
  if (result != kResultOk) mReport.Finding(std::string(side.name) + " setState refused its own saved state");
  return result;
}

void StressInstance::CheckParameters(const char* when) {
  for (ParamID tag = 0; tag < kNumParams; ++tag) {
    const double value = mPlug.controller->getParamNormalized(tag);
    if (!(value >= 0.0 && value <= 1.0))
      mReport.Finding("parameter " + std::to_string(tag) + " reads " + std::to_string(value) + " " + when);
  }
  const double bypass = mPlug.controller->getParamNormalized(kBypassTag);
  if (bypass != 0.0 && bypass != 1.0) mReport.Finding("bypass reads " + std::to_string(bypass) + " " + when);
}
