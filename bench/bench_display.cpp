// The response display's costs. On the audio thread: an instance whose
// display is open against one whose display is closed, processing the same
// programme block by block in turns (counter open_over_closed, the first's
// time over the second's). On the editor's thread: one frame of the open
// display while music plays (its timer work, then drawing the strip) at
// 100 % and 200 %, as ms_per_frame and cpu_share_percent, the share of one
// core at 25 frames a second. The audio for each frame is made outside the
// timing.
#include <benchmark/benchmark.h>

#include <ctime>
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

// The thread's own CPU time, so that another program taking the core
// between two readings counts against neither contender.
double ThreadSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// A stretch of blocks long enough that reading the clock costs nothing.
constexpr size_t kBlocksPerTurn = 32;

void RunTurn(TestMorvante& plug, std::vector<double>& left, std::vector<double>& right, size_t at, int block,
             double* seconds) {
  const double start = ThreadSeconds();
  for (size_t k = 0; k < kBlocksPerTurn; ++k) {
    double* channels[2] = {left.data() + at + k * static_cast<size_t>(block),
                           right.data() + at + k * static_cast<size_t>(block)};
    plug.ProcessDoubleReplacing(channels, channels, block);
  }
  *seconds += ThreadSeconds() - start;
}

void BM_AudioThreadWithDisplay(benchmark::State& state) {
  const int block = static_cast<int>(state.range(0));
  const size_t frames = static_cast<size_t>(10 * kRate);
  std::vector<double> sourceLeft(frames), sourceRight(frames);
  ProgramSignal(kRate, 7).Fill(sourceLeft.data(), sourceRight.data(), static_cast<int>(frames));
  const size_t turn = kBlocksPerTurn * static_cast<size_t>(block);
  double open = 0.0, closed = 0.0;
  for (auto _ : state) {
    TestMorvante withDisplay, without;
    Configure(withDisplay);
    Configure(without);
    withDisplay.DisplayFeed().Open();
    std::vector<double> l1 = sourceLeft, r1 = sourceRight, l2 = sourceLeft, r2 = sourceRight;
    for (size_t at = 0; at + turn <= frames; at += turn) {
      // Alternating who goes first evens out what the caches do to each.
      if ((at / turn) % 2) {
        RunTurn(withDisplay, l1, r1, at, block, &open);
        RunTurn(without, l2, r2, at, block, &closed);
      } else {
        RunTurn(without, l2, r2, at, block, &closed);
        RunTurn(withDisplay, l1, r1, at, block, &open);
      }
    }
    benchmark::DoNotOptimize(l1.data());
    benchmark::DoNotOptimize(l2.data());
  }
  state.counters["open_over_closed"] = open / closed;
  state.counters["closed_realtime_factor"] = static_cast<double>(state.iterations()) * 10.0 / closed;
}
BENCHMARK(BM_AudioThreadWithDisplay)->ArgName("block")->Arg(64)->Arg(512)->Unit(benchmark::kMillisecond)->Iterations(5);

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
