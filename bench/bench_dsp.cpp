// Cost of the effect's DSP primitives at the rates the effect runs them:
// per base-rate sample it retunes 22 sections, runs 2 × 8 × 10 equaliser
// steps, 4 up-sampling steps, 2 decimations and 5 meter steps.
#include <benchmark/benchmark.h>

#include <cmath>

#include "effect/biquad.h"
#include "effect/st_oversampler4x.h"
#include "effect/vu_meter.h"

namespace {

void BM_BiquadCalc(benchmark::State& state) {
  Biquad f;
  double gain = -24.0;
  for (auto _ : state) {
    f.setBiquad(Biquad::kPeaking, 0.0127, 2.7, gain);
    gain = gain < 24.0 ? gain + 0.001 : -24.0;
    benchmark::DoNotOptimize(f);
  }
}
BENCHMARK(BM_BiquadCalc);

void BM_BiquadProcessSample(benchmark::State& state) {
  Biquad f(Biquad::kPeaking, 0.0127, 2.7, 6.0);
  float x = 0.25f;
  for (auto _ : state) {
    x = f.processSample(x) * 0.5f + 0.1f;
    benchmark::DoNotOptimize(x);
  }
}
BENCHMARK(BM_BiquadProcessSample);

void BM_OversamplerBaseSample(benchmark::State& state) {
  StOversampler4x os;
  double x = 0.0;
  for (auto _ : state) {
    os.up4(x);
    os.up4(x);
    x = os.downSample() * 0.5 + 0.1;
    benchmark::DoNotOptimize(x);
  }
}
BENCHMARK(BM_OversamplerBaseSample);

void BM_MeterStep(benchmark::State& state) {
  VUClass meter;
  double in = 0.0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(meter.Process(in, 44100.0));
    in = in < 1.0 ? in + 0.0001 : 0.0;
  }
}
BENCHMARK(BM_MeterStep);

// The primitives' share of one stereo base-rate sample, as the effect uses
// them; items per second is the sample rate one core sustains.
void BM_PrimitivesPerBaseSample(benchmark::State& state) {
  Biquad chain[2][10];
  Biquad trim[2];
  StOversampler4x os[2];
  VUClass meters[5];
  double x = 0.0;
  double s = 1.0;
  for (auto _ : state) {
    for (int b = 0; b < 10; ++b) {
      const int type = b < 5 ? Biquad::kPeaking : Biquad::kLowShelf;
      const double gain = b < 5 ? 24.0 * s : -24.0;
      chain[0][b].setBiquad(type, 0.0127 + 0.001 * b, 2.7, gain);
      chain[1][b].setBiquad(type, 0.0127 + 0.001 * b, 2.7, gain);
    }
    trim[0].setBiquad(Biquad::kPeaking, 0.25, 0.4, -2.5);
    trim[1].setBiquad(Biquad::kPeaking, 0.25, 0.4, -2.5);
    for (int ch = 0; ch < 2; ++ch) {
      for (int pass = 0; pass < 2; ++pass) {
        os[ch].up4(x);
        for (int e = StOversampler4x::kFirstNewEntry; e < StOversampler4x::kTaps; ++e) {
          float v = static_cast<float>(os[ch].outputHistory[e]);
          for (Biquad& f : chain[ch]) v = f.processSample(v);
          os[ch].outputHistory[e] = v;
        }
      }
      const float y = trim[ch].processSample(static_cast<float>(os[ch].downSample()));
      trim[ch].processSample(0.0f);
      benchmark::DoNotOptimize(y);
    }
    for (VUClass& m : meters) benchmark::DoNotOptimize(m.Process((1.0 - s) * 1.5, 44100.0));
    x = x < 1.0 ? x + 0.01 : -1.0;
    s = s > 0.5 ? s * 0.9999 : 1.0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PrimitivesPerBaseSample);

// The once-per-block check the effect makes over all its filter states.
void BM_FiniteStateCheckPerBlock(benchmark::State& state) {
  Biquad filters[27];
  StOversampler4x os[2];
  for (auto _ : state) {
    bool finite = os[0].HasFiniteState() & os[1].HasFiniteState();
    for (const Biquad& f : filters) finite &= f.HasFiniteState();
    benchmark::DoNotOptimize(finite);
  }
}
BENCHMARK(BM_FiniteStateCheckPerBlock);

}  // namespace
