// The editor's drawing cost at a screen scale: a full redraw, and the meters'
// animation as the editor's timer runs it at 25 frames a second (the five
// meters moving every frame: read the published values, redraw what they
// dirtied). Each runs at 100 % too, the baseline in the same run.
//
// Counters: ms_per_frame, and cpu_share_percent = the share of one core the
// animation at 25 frames a second takes (ms_per_frame x 25 / 10). The
// drawing into the backing bitmap is measured; handing it to the X server
// is not.
#include <benchmark/benchmark.h>

#include <cmath>

#include "graphics/igraphics.h"
#include "lice/lice_resource.h"
#include "tests/effect/morvante_test_plug.h"

namespace {

constexpr int kFramesPerSecond = 25;

struct Editor {
  Editor() {
    LICE_SetResourceFolder(MORVANTE_BUNDLE_RESOURCES);
    gui = plug.GetGUI();
  }
  TestMorvante plug;
  IGraphics* gui;
};

// A rate counter inverted is seconds over its value: per frame, in ms and
// as the share of a core at kFramesPerSecond.
void Report(benchmark::State& state) {
  const double n = static_cast<double>(state.iterations());
  const auto perTime = benchmark::Counter::kIsRate | benchmark::Counter::kInvert;
  state.counters["ms_per_frame"] = benchmark::Counter(n / 1e3, perTime);
  state.counters["cpu_share_percent"] = benchmark::Counter(n / (100.0 * kFramesPerSecond), perTime);
}

void BM_FullRedraw(benchmark::State& state) {
  Editor editor;
  editor.gui->SetScalePercent(static_cast<int>(state.range(0)));
  IRECT all(0, 0, editor.gui->Width(), editor.gui->Height());
  editor.gui->Draw(&all);  // the scaled images are made once, at the first drawing
  for (auto _ : state) {
    editor.gui->SetAllControlsDirty();
    editor.gui->Draw(&all);
  }
  Report(state);
}
BENCHMARK(BM_FullRedraw)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MeterAnimation(benchmark::State& state) {
  Editor editor;
  IGraphics* gui = editor.gui;
  gui->SetScalePercent(static_cast<int>(state.range(0)));
  IRECT all(0, 0, gui->Width(), gui->Height());
  gui->Draw(&all);
  int frame = 0;
  for (auto _ : state) {
    // What a block publishes: every meter somewhere new.
    for (int m = 0; m < editor.plug.NMeters(); ++m)
      editor.plug.SetMeterValue(m, 0.5 + 0.5 * std::sin(0.37 * frame + m));
    ++frame;
    // The timer's tick.
    gui->OnGUIIdle();
    IRECT dirty;
    if (gui->IsDirty(&dirty)) gui->Draw(&dirty);
  }
  Report(state);
}
BENCHMARK(BM_MeterAnimation)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
