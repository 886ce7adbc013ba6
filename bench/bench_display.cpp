// The response display's costs. On the audio thread: an instance whose
// display is open against one whose display is closed, processing the same
// programme block by block in turns (counter open_over_closed, the first's
// time over the second's). On the editor's thread: one frame of the open
// display while music plays (its timer work, then drawing the strip) at
// 100 % and 200 %, as ms_per_frame and cpu_share_percent, the share of one
// core at 25 frames a second. The audio for each frame is made outside the
// timing.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

#include "effect/morvante_display.h"
#include "effect/morvante_layout.h"
#include "graphics/igraphics.h"
#include "lice/lice_resource.h"
#include "tests/effect/morvante_test_plug.h"
#include "tests/effect/test_signal.h"

namespace {

constexpr double kRate = 48000.0;
constexpr int kFramesPerSecond = 25;

// Every band reducing now and then, as in a busy mix.
void Configure(TestMorvante& plug) {
  plug.SetSampleRate(kRate);
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    const MorvanteBandLayout& layout = kMorvanteBandLayouts[b];
    plug.SetParam(layout.thresholdParam, 30.0 + 4.0 * b);
    plug.SetParam(layout.gainParam, b % 2 ? 6.0 : -4.0);
    plug.SetParam(layout.ratioParam, 4.0);
  }
}

using Clock = std::chrono::steady_clock;

void Run(TestMorvante& plug, std::vector<double>& left, std::vector<double>& right, size_t at, int n,
         double* seconds) {
  double* channels[2] = {left.data() + at, right.data() + at};
  const Clock::time_point start = Clock::now();
  plug.ProcessDoubleReplacing(channels, channels, n);
  *seconds += std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_AudioThreadWithDisplay(benchmark::State& state) {
  const int block = static_cast<int>(state.range(0));
  const size_t frames = static_cast<size_t>(10 * kRate);
  std::vector<double> sourceLeft(frames), sourceRight(frames);
  ProgramSignal(kRate, 7).Fill(sourceLeft.data(), sourceRight.data(), static_cast<int>(frames));
  double open = 0.0, closed = 0.0;
  for (auto _ : state) {
    TestMorvante withDisplay, without;
    Configure(withDisplay);
    Configure(without);
    withDisplay.DisplayFeed().Open();
    std::vector<double> l1 = sourceLeft, r1 = sourceRight, l2 = sourceLeft, r2 = sourceRight;
    for (size_t at = 0; at + static_cast<size_t>(block) <= frames; at += static_cast<size_t>(block)) {
      // Alternating who goes first evens out what the cache and the other
      // cores do to each.
      if ((at / static_cast<size_t>(block)) % 2) {
        Run(withDisplay, l1, r1, at, block, &open);
        Run(without, l2, r2, at, block, &closed);
      } else {
        Run(without, l2, r2, at, block, &closed);
        Run(withDisplay, l1, r1, at, block, &open);
      }
    }
    benchmark::DoNotOptimize(l1.data());
    benchmark::DoNotOptimize(l2.data());
  }
  state.counters["open_over_closed"] = open / closed;
  state.counters["closed_realtime_factor"] = static_cast<double>(state.iterations()) * 10.0 / closed;
}
BENCHMARK(BM_AudioThreadWithDisplay)->ArgName("block")->Arg(64)->Arg(512)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DisplayFrame(benchmark::State& state) {
  LICE_SetResourceFolder(MORVANTE_BUNDLE_RESOURCES);
  TestMorvante plug;
  Configure(plug);
  IGraphics* gui = plug.GetGUI();
  // The editor's own display, opened as its switch opens it.
  plug.ShowEditorDisplay(true);
  MorvanteDisplay* display = nullptr;
  for (int i = 0; i < gui->NControls() && !display; ++i) display = dynamic_cast<MorvanteDisplay*>(gui->GetControl(i));
  if (!display) {
    state.SkipWithError("the editor has no display");
    return;
  }
  const IRECT strip = *display->GetRECT();
  gui->SetScalePercent(static_cast<int>(state.range(0)));
  IRECT all(0, 0, gui->Width(), gui->Height());
  gui->Draw(&all);

  ProgramSignal signal(kRate, 11);
  const int perFrame = static_cast<int>(kRate) / kFramesPerSecond;
  std::vector<double> left(static_cast<size_t>(perFrame)), right(static_cast<size_t>(perFrame));
  double* channels[2] = {left.data(), right.data()};
  long drawn = 0;
  for (auto _ : state) {
    state.PauseTiming();
    signal.Fill(left.data(), right.data(), perFrame);
    plug.ProcessDoubleReplacing(channels, channels, perFrame);
    state.ResumeTiming();
    display->OnGUIIdle();
    if (display->IsDirty()) {
      IRECT r = strip;
      gui->Draw(&r);
      ++drawn;
    }
  }
  const double n = static_cast<double>(state.iterations());
  const auto perTime = benchmark::Counter::kIsRate | benchmark::Counter::kInvert;
  state.counters["ms_per_frame"] = benchmark::Counter(n / 1e3, perTime);
  state.counters["cpu_share_percent"] = benchmark::Counter(n / (100.0 * kFramesPerSecond), perTime);
  state.counters["frames_drawn"] = static_cast<double>(drawn) / n;
}
BENCHMARK(BM_DisplayFrame)->ArgName("percent")->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond);

}  // namespace
