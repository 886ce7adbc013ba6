// Real-time factor of the effect (seconds of audio per second of CPU) for
// ten seconds of stereo noise and tones at 48 kHz with every band working,
// through the plug-in and through the per-sample reference in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <vector>

#include "tests/effect/morvante_test_plug.h"
#include "tests/effect/reference_morvante.h"
#include "tests/effect/test_signal.h"

namespace {

constexpr double kRate = 48000.0;
constexpr double kSeconds = 10.0;
constexpr int kBlock = 512;

struct BandSetting {
  double threshold, gain, ratio, attack, release;
};
// Indexed by EMorvanteBand.
constexpr BandSetting kSettings[kNumMorvanteBands] = {
    {25.0, 6.0, 3.0, 5.0, 200.0},   {30.0, -6.0, 8.0, 20.0, 80.0}, {40.0, 6.0, 2.0, 10.0, 500.0},
    {20.0, -6.0, 4.0, 1.0, 30.0},   {35.0, 6.0, 12.0, 50.0, 1500.0},
};

double ThreadCpuSeconds() {
  timespec ts;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

template <class Fn>
double TimeBlocks(const std::vector<double>& left, const std::vector<double>& right, Fn process) {
  std::vector<double> inL(kBlock), inR(kBlock), outL(kBlock), outR(kBlock);
  const int total = static_cast<int>(left.size());
  const double start = ThreadCpuSeconds();
  for (int done = 0; done < total; done += kBlock) {
    const int n = std::min(kBlock, total - done);
    std::copy_n(left.begin() + done, n, inL.begin());
    std::copy_n(right.begin() + done, n, inR.begin());
    double* in[2] = {inL.data(), inR.data()};
    double* out[2] = {outL.data(), outR.data()};
    process(in, out, n);
    benchmark::DoNotOptimize(outL.data());
    benchmark::DoNotOptimize(outR.data());
  }
  return ThreadCpuSeconds() - start;
}

void BM_EffectRealTimeFactor(benchmark::State& state) {
  const int frames = static_cast<int>(kRate * kSeconds);
  std::vector<double> left(frames), right(frames);
  ProgramSignal(kRate, 77).Fill(left.data(), right.data(), frames);

  double productionCpu = 0.0, referenceCpu = 0.0;
  for (auto _ : state) {
    TestMorvante plug;
    ReferenceMorvante ref;
    plug.SetSampleRate(kRate);
    ref.SetSampleRate(kRate);
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

    productionCpu += TimeBlocks(left, right, [&](double** in, double** out, int n) {
      plug.ProcessDoubleReplacing(in, out, n);
    });
    referenceCpu += TimeBlocks(left, right, [&](double** in, double** out, int n) { ref.Process(in, out, n); });
  }
  const double audio = kSeconds * static_cast<double>(state.iterations());
  state.counters["production_rtf"] = audio / productionCpu;
  state.counters["reference_rtf"] = audio / referenceCpu;
  state.counters["production_over_reference"] = referenceCpu / productionCpu;
}
BENCHMARK(BM_EffectRealTimeFactor)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
