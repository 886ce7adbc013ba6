// Real-time factor of the effect (seconds of audio per second of CPU) with
// every band working and its gain moving, against the per-sample reference
// in the same run: 64 and 32-bit samples, 48 and 96 kHz, block sizes from 1
// to 4096, silence after a loud passage, and the same audio through the
// built VST3 module with the host's calls.
//
// Counters: production_rtf and reference_rtf, and production_over_reference
// (how many times faster than the reference). The two take turns over short
// segments of the same audio, each leading in turn, so that a change in the
// load of the shared machine falls on both alike: compare ratios, and use
// --benchmark_repetitions.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <optional>
#include <vector>

#include "effect/scoped_flush_denormals.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "tests/effect/morvante_test_plug.h"
#include "tests/effect/reference_morvante.h"
#include "tests/effect/test_signal.h"
#include "tools/vst3_host/host_application.h"
#include "tools/vst3_host/param_changes.h"
#include "tools/vst3_host/plugin_module.h"
#include "tools/vst3_host/process_block.h"

namespace {

constexpr double kSeconds = 5.0;
// Production and reference alternate every this many frames (rounded to
// whole blocks).
constexpr int kSegmentFrames = 8192;

struct BandSetting {
  double threshold, gain, ratio, attack, release;
};
// Indexed by EMorvanteBand.
constexpr BandSetting kSettings[kNumMorvanteBands] = {
    {35.0, 6.0, 3.0, 5.0, 200.0},   {35.0, -6.0, 8.0, 20.0, 80.0}, {45.0, 6.0, 2.0, 10.0, 500.0},
    {30.0, -6.0, 4.0, 1.0, 30.0},   {40.0, 6.0, 12.0, 50.0, 1500.0},
};

double ThreadCpuSeconds() {
  timespec ts;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

struct Signal {
  std::vector<double> left, right;
  int Frames() const { return static_cast<int>(left.size()); }
};

Signal Programme(double rate, double seconds) {
  Signal s;
  const int frames = static_cast<int>(rate * seconds);
  s.left.resize(frames);
  s.right.resize(frames);
  ProgramSignal(rate, 77).Fill(s.left.data(), s.right.data(), frames);
  return s;
}

// A plug-in instance with every band working, and the reference set alike.
void Configure(TestMorvante& plug, ReferenceMorvante& ref, double rate) {
  plug.SetSampleRate(rate);
  ref.SetSampleRate(rate);
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    const MorvanteBandLayout& layout = kMorvanteBandLayouts[b];
    const BandSetting& s = kSettings[b];
    plug.SetParam(layout.thresholdParam, s.threshold);
    plug.SetParam(layout.gainParam, s.gain);
    plug.SetParam(layout.ratioParam, s.ratio);
    plug.SetParam(layout.attackParam, s.attack);
    plug.SetParam(layout.releaseParam, s.release);
    plug.GetParam(layout.modeParam)->Set(b % 2);
  }
  for (int i = 0; i < kNumMorvanteParams; ++i) ref.SetParameter(i, plug.GetParam(i)->Value());
}

// CPU seconds for frames [from, to) of the signal in blocks of `block`.
// The signal is converted beforehand and the clock read once around the
// whole run: reading a thread's CPU clock is a system call, which at one
// sample per block would cost more than the processing it measures.
template <class T, class Fn>
double TimeBlocks(const Signal& signal, int from, int to, int block, Fn process) {
  const int frames = to - from;
  std::vector<T> inL(signal.left.begin() + from, signal.left.begin() + to);
  std::vector<T> inR(signal.right.begin() + from, signal.right.begin() + to);
  std::vector<T> outL(frames), outR(frames);
  const double start = ThreadCpuSeconds();
  for (int done = 0; done < frames; done += block) {
    T* in[2] = {inL.data() + done, inR.data() + done};
    T* out[2] = {outL.data() + done, outR.data() + done};
    process(in, out, std::min(block, frames - done));
  }
  const double cpu = ThreadCpuSeconds() - start;
  benchmark::DoNotOptimize(outL.data());
  benchmark::DoNotOptimize(outR.data());
  return cpu;
}

// For floats the frame's buffers and channel connections, once.
void PrepareFloats(TestMorvante& plug, int block) {
  plug.SetBlockSize(std::max(block, 4096));
  for (int c = 0; c < 2; ++c) {
    plug.SetInputChannelConnections(c, 1, true);
    plug.SetOutputChannelConnections(c, 1, true);
  }
}

// The effect alone for doubles; for floats through the frame, which converts.
double RunProduction(TestMorvante& plug, const Signal& signal, int from, int to, int block, bool floats) {
  if (!floats) {
    return TimeBlocks<double>(signal, from, to, block,
                              [&](double** in, double** out, int n) { plug.ProcessDoubleReplacing(in, out, n); });
  }
  return TimeBlocks<float>(signal, from, to, block, [&](float** in, float** out, int n) {
    plug.AttachInputBuffers(0, 2, in, n);
    plug.AttachOutputBuffers(0, 2, out);
    plug.ProcessBuffers(0.0f, n);
  });
}

double RunReference(ReferenceMorvante& ref, const Signal& signal, int from, int to, int block) {
  return TimeBlocks<double>(signal, from, to, block, [&](double** in, double** out, int n) { ref.Process(in, out, n); });
}

struct Timing {
  double production = 0.0, reference = 0.0;
};

// Frames [from, to) through both, taking turns segment by segment; `also`
// (if given) is a third contender over the same segments. Whoever runs first
// after another contender finds the caches full of that one's data, so the
// lead rotates from segment to segment and every contender is first, second
// (and third) equally often.
template <class Also>
Timing RunInTurns(TestMorvante& plug, ReferenceMorvante& ref, const Signal& signal, int from, int to, int block,
                  bool floats, int contenders, Also also) {
  const int segment = std::max(1, kSegmentFrames / block) * block;
  Timing t;
  int lead = 0;
  for (int start = from; start < to; start += segment, lead = (lead + 1) % contenders) {
    const int end = std::min(to, start + segment);
    for (int k = 0; k < contenders; ++k) {
      switch ((lead + k) % contenders) {
        case 0:
          t.production += RunProduction(plug, signal, start, end, block, floats);
          break;
        case 1:
          t.reference += RunReference(ref, signal, start, end, block);
          break;
        default:
          also(start, end);
          break;
      }
    }
  }
  return t;
}

Timing RunInTurns(TestMorvante& plug, ReferenceMorvante& ref, const Signal& signal, int from, int to, int block,
                  bool floats) {
  return RunInTurns(plug, ref, signal, from, to, block, floats, 2, [](int, int) {});
}

void Report(benchmark::State& state, double audioSeconds, double production, double reference) {
  state.counters["production_rtf"] = audioSeconds / production;
  state.counters["reference_rtf"] = audioSeconds / reference;
  state.counters["production_over_reference"] = reference / production;
}

// How busy the settings keep the bands over the signal, from the reference
// frame by frame: the least share of frames any band spends in gain
// reduction, and the least share in which its gain moves.
void ReportBusy(benchmark::State& state, double rate, const Signal& signal) {
  TestMorvante plug;
  ReferenceMorvante ref;
  Configure(plug, ref, rate);
  int reducing[kNumMorvanteBands] = {}, moving[kNumMorvanteBands] = {};
  for (int i = 0; i < signal.Frames(); ++i) {
    double before[kNumMorvanteBands];
    for (int b = 0; b < kNumMorvanteBands; ++b) before[b] = ref.band[b].S;
    double out[2];
    const double* in[2] = {&signal.left[i], &signal.right[i]};
    double* outs[2] = {&out[0], &out[1]};
    ref.Process(in, outs, 1);
    for (int b = 0; b < kNumMorvanteBands; ++b) {
      reducing[b] += ref.band[b].S < 1.0 ? 1 : 0;
      moving[b] += ref.band[b].S != before[b] ? 1 : 0;
    }
  }
  const double frames = signal.Frames();
  state.counters["least_band_reducing"] = *std::min_element(reducing, reducing + kNumMorvanteBands) / frames;
  state.counters["least_band_moving"] = *std::min_element(moving, moving + kNumMorvanteBands) / frames;
}

// Args: rate, block size, bits, and whether the host's thread flushes
// subnormals already (as many hosts' audio threads do), in which case the
// effect leaves the control word alone; both contenders run so.
void BM_Effect(benchmark::State& state) {
  const double rate = static_cast<double>(state.range(0));
  const int block = static_cast<int>(state.range(1));
  const bool floats = state.range(2) == 32;
  const Signal signal = Programme(rate, kSeconds);
  double production = 0.0, reference = 0.0;
  std::optional<ScopedFlushDenormals> hostFlushes;
  if (state.range(3) == 1) hostFlushes.emplace();
  for (auto _ : state) {
    TestMorvante plug;
    ReferenceMorvante ref;
    Configure(plug, ref, rate);
    if (floats) PrepareFloats(plug, block);
    const Timing t = RunInTurns(plug, ref, signal, 0, signal.Frames(), block, floats);
    production += t.production;
    reference += t.reference;
  }
  Report(state, kSeconds * static_cast<double>(state.iterations()), production, reference);
  ReportBusy(state, rate, signal);
}
BENCHMARK(BM_Effect)
    ->ArgNames({"rate", "block", "bits", "host_flushes"})
    ->Args({48000, 512, 64, 0})
    ->Args({48000, 512, 32, 0})
    ->Args({96000, 512, 64, 0})
    ->Args({96000, 512, 32, 0})
    ->Args({48000, 1, 64, 0})
    ->Args({48000, 1, 64, 1})
    ->Args({48000, 32, 64, 0})
    ->Args({48000, 4096, 64, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// One second of the programme at full level, then eight of digital
// silence: the filters ring down (through the subnormal range, which is
// flushed) until every state is small enough to count as rest, after which
// the chain is skipped. Counters, as shares of the loud second's CPU time
// per second of audio: silence_over_signal for the whole silence,
// rest_over_signal for its last four seconds; seconds_to_rest is how long
// the silence ran before the effect came to rest, seconds_chain_ran how
// long of it the chain ran (after that only the detectors rang on).
void BM_SilenceAfterLoudPassage(benchmark::State& state) {
  constexpr double kRate = 48000.0;
  Signal signal = Programme(kRate, 9.0);
  const int loud = static_cast<int>(kRate), restFrom = static_cast<int>(5 * kRate);
  for (int i = 0; i < loud; ++i) {
    signal.left[i] *= 3.0;
    signal.right[i] *= 3.0;
  }
  std::fill(signal.left.begin() + loud, signal.left.end(), 0.0);
  std::fill(signal.right.begin() + loud, signal.right.end(), 0.0);
  const double silentSeconds = (signal.Frames() - loud) / kRate;
  const double restSeconds = (signal.Frames() - restFrom) / kRate;

  Timing loudPart, silentPart, restPart;
  double toRest = 0.0, chainRan = 0.0;
  for (auto _ : state) {
    TestMorvante plug;
    ReferenceMorvante ref;
    Configure(plug, ref, kRate);
    const Timing l = RunInTurns(plug, ref, signal, 0, loud, 512, false);
    const Timing s = RunInTurns(plug, ref, signal, loud, restFrom, 512, false);
    const Timing r = RunInTurns(plug, ref, signal, restFrom, signal.Frames(), 512, false);
    loudPart.production += l.production;
    loudPart.reference += l.reference;
    silentPart.production += s.production + r.production;
    silentPart.reference += s.reference + r.reference;
    restPart.production += r.production;
    restPart.reference += r.reference;
    toRest += silentSeconds - static_cast<double>(plug.FramesRestedThrough()) / kRate;
    chainRan += silentSeconds - static_cast<double>(plug.FramesRestedThrough() + plug.FramesRungDown()) / kRate;
  }
  const double n = static_cast<double>(state.iterations());
  Report(state, silentSeconds * n, silentPart.production, silentPart.reference);
  state.counters["production_silence_over_signal"] = (silentPart.production / silentSeconds) / loudPart.production;
  state.counters["production_rest_over_signal"] = (restPart.production / restSeconds) / loudPart.production;
  state.counters["reference_silence_over_signal"] = (silentPart.reference / silentSeconds) / loudPart.reference;
  state.counters["seconds_to_rest"] = toRest / n;
  state.counters["seconds_chain_ran"] = chainRan / n;
}
BENCHMARK(BM_SilenceAfterLoudPassage)->Unit(benchmark::kMillisecond)->Iterations(1);

// The built module as a host drives it: parameters arrive as normalised
// values in the first block's queues; stereo buses; process() per block.
// Args: bits, block size.
// binding_over_effect is the module's time over the effect's own for the
// same audio in the same run.
void BM_Vst3Module(benchmark::State& state) {
  using namespace Steinberg;
  using namespace Steinberg::Vst;
  constexpr double kRate = 48000.0;
  const int block = static_cast<int>(state.range(1));
  const int32 sampleSize = state.range(0) == 32 ? kSample32 : kSample64;
  PluginModule module(MORVANTE_VST3_SO);
  if (!module.Loaded()) {
    state.SkipWithError(module.Error().c_str());
    return;
  }
  PClassInfo info{};
  module.Factory()->getClassInfo(0, &info);
  const Signal signal = Programme(kRate, kSeconds);

  double moduleCpu = 0.0, production = 0.0, reference = 0.0;
  for (auto _ : state) {
    TestMorvante plug;
    ReferenceMorvante ref;
    Configure(plug, ref, kRate);
    ParamChanges first, none;
    for (int i = 0; i < kNumMorvanteParams; ++i) first.Add(static_cast<ParamID>(i), plug.GetParam(i)->GetNormalized());

    HostApplication host("bench_effect");
    PluginInstance instance(module.Factory(), info.cid);
    instance.component->initialize(&host);
    SpeakerArrangement in = SpeakerArr::kStereo, out = SpeakerArr::kStereo;
    instance.processor->setBusArrangements(&in, 1, &out, 1);
    instance.component->activateBus(kAudio, BusDirections::kInput, 0, true);
    instance.component->activateBus(kAudio, BusDirections::kOutput, 0, true);
    ProcessSetup setup{kRealtime, sampleSize, block, kRate};
    instance.processor->setupProcessing(setup);
    instance.component->setActive(true);
    instance.processor->setProcessing(true);
    bool firstBlock = true;
    auto run = [&](auto** inputs, auto** outputs, int n) {
      AudioBusBuffers inBus, outBus;
      ProcessData data = MakeProcessData(inputs, 2, outputs, 2, n, inBus, outBus);
      data.inputParameterChanges = firstBlock ? &first : &none;
      firstBlock = false;
      instance.processor->process(data);
    };
    const bool floats = sampleSize == kSample32;
    if (floats) PrepareFloats(plug, block);
    const Timing t = RunInTurns(plug, ref, signal, 0, signal.Frames(), block, floats, 3, [&](int from, int to) {
      moduleCpu += floats ? TimeBlocks<float>(signal, from, to, block, run)
                          : TimeBlocks<double>(signal, from, to, block, run);
    });
    production += t.production;
    reference += t.reference;
    instance.processor->setProcessing(false);
    instance.component->setActive(false);
    instance.component->terminate();
  }
  const double audio = kSeconds * static_cast<double>(state.iterations());
  state.counters["module_rtf"] = audio / moduleCpu;
  state.counters["module_over_reference"] = reference / moduleCpu;
  state.counters["binding_over_effect"] = moduleCpu / production;
  Report(state, audio, production, reference);
}
BENCHMARK(BM_Vst3Module)
    ->ArgNames({"bits", "block"})
    ->Args({64, 512})
    ->Args({32, 512})
    ->Args({64, 1})
    ->Args({64, 32})
    ->Args({64, 4096})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
