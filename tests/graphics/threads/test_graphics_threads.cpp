#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "graphics/controls/ibitmap_control.h"
#include "graphics/icontrol.h"
#include "framework/wdl_mutex.h"
#include "graphics/igraphics_headless.h"
#include "lice/lice_bitmap.h"
#include "lice/lice_sysbitmap.h"
#include "tests/graphics/graphics_test_support.h"

namespace {
constexpr int kMeterFrames = 11;
// Ends mid-sweep, so the last value is not an end of the range.
constexpr int kSamples = 200500;

// A meter filmstrip whose frame f is filled with grey level f.
LICE_MemBitmap* MakeMeterStrip(int w, int h) {
  auto* bitmap = new LICE_MemBitmap(w, h * kMeterFrames);
  for (int f = 0; f < kMeterFrames; ++f)
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        bitmap->getBits()[(f * h + y) * bitmap->getRowSpan() + x] = 0xFF000000u | static_cast<unsigned>(f) * 0x010101u;
  return bitmap;
}
// The editor thread's loop: draws whatever is dirty until the writer stops,
// at least once even if the writer is done before the loop starts; returns
// the frames drawn.
int DrawUntil(IGraphics* gui, const std::atomic<bool>& stop) {
  int frames = 0;
  do {
    IRECT dirty;
    if (gui->IsDirty(&dirty)) {
      gui->Draw(&dirty);
      ++frames;
    }
    std::this_thread::yield();
  } while (!stop.load(std::memory_order_acquire));
  return frames;
}

void DrawPasses(IGraphics* gui, int passes) {
  for (int pass = 0; pass < passes; ++pass) {
    IRECT dirty;
    if (gui->IsDirty(&dirty)) gui->Draw(&dirty);
  }
}
}  // namespace

TEST(IGraphicsThreads, AudioRateValuesWhileTheEditorPollsAndDraws) {
  GraphicsTestPlug plug;
  auto* gui = new IGraphicsHeadless(&plug, 64, 32);
  plug.AttachGraphics(gui);
  LICE_MemBitmap* strip = MakeMeterStrip(8, 32);
  IBitmap meterImage(strip, 8, 32 * kMeterFrames, kMeterFrames);
  int meters[4];
  for (int i = 0; i < 4; ++i) meters[i] = gui->AttachControl(new IBitmapControl(&plug, 8 + i * 12, 0, meterImage));

  std::atomic<bool> stop{false};
  std::atomic<int> written{0};
  std::thread audio([&] {
    // One "block" after another: every sample feeds every meter, as the
    // effect's processing does.
    for (int s = 0; s < kSamples; ++s) {
      const double v = (s % 1000) / 999.0;
      for (int m : meters) gui->SetControlFromPlug(m, v);
      // Parameters arrive from the processing path too.
      if (s % 64 == 0) gui->SetParameterFromPlug(0, v, true);
    }
    written.store(1, std::memory_order_release);
    stop.store(true, std::memory_order_release);
  });

  const int frames = DrawUntil(gui, stop);
  audio.join();
  EXPECT_EQ(written.load(std::memory_order_acquire), 1);
  EXPECT_GT(frames, 0);

  // After the writer stops, at most two passes bring every meter to rest on
  // the frame of the last value written.
  DrawPasses(gui, 3);
  IRECT none;
  EXPECT_FALSE(gui->IsDirty(&none));
  const double last = ((kSamples - 1) % 1000) / 999.0;
  const int frame = IBitmapControl::FrameForValue(last, kMeterFrames);
  for (int i = 0; i < 4; ++i) {
    EXPECT_DOUBLE_EQ(gui->GetControl(meters[i])->GetValue(), last);
    EXPECT_EQ(gui->GetPoint(8 + i * 12 + 3, 10).R, frame - 1);
  }
  delete strip;
}

// The audio thread holds the instance lock through a block while it
// publishes its meters and passes the host's values on; the editor changes
// scale, reads the meters and redraws meanwhile without ever waiting for it.
TEST(IGraphicsThreads, ScaleChangesAndMetersNeverWaitForTheAudioThread) {
  GraphicsTestPlug plug;
  auto* gui = new IGraphicsHeadless(&plug, 64, 32);
  plug.AttachGraphics(gui);
  for (int i = 0; i < 8; ++i) AttachRecording(*gui, &plug, IRECT(i * 8, 0, i * 8 + 8, 8), i % 4);
  const int meter = plug.AddMeter("meter", 3);

  std::atomic<bool> locked{false};
  std::atomic<bool> editorDone{false};
  std::atomic<bool> audioGaveUp{false};
  std::thread audio([&] {
    WDL_MutexLock lock(plug.GetMutex());
    locked = true;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (int i = 0; !editorDone.load(); ++i) {
      plug.SetMeterValue(meter, (i % 100) / 100.0);
      gui->SetParameterFromPlug(i % 4, (i % 7) / 7.0, true);
      if (std::chrono::steady_clock::now() > until) {
        audioGaveUp = true;
        break;
      }
    }
  });
  while (!locked.load()) std::this_thread::yield();
  for (int round = 0; round < 60; ++round) {
    gui->SetScalePercent(round % 2 ? 200 : 125);
    gui->OnGUIIdle();
    IRECT all(0, 0, 64, 32);
    gui->Draw(&all);
  }
  editorDone = true;
  audio.join();
  EXPECT_FALSE(audioGaveUp.load());
  EXPECT_EQ(gui->NControls(), 8);
  EXPECT_EQ(gui->GetDrawBitmap()->getWidth(), 128);  // the last round's 200 %
}

namespace {
// Follows two parameters it is not bound to, reading them whenever it draws.
class AuxFollower : public IControl {
public:
  AuxFollower(IPlugBase* plug, IRECT rect) : IControl(plug, rect) {
    AddAuxParam(1);
    AddAuxParam(2);
  }
  bool Draw(IGraphics*) override {
    for (int i = 0; i < NAuxParams(); ++i) seen[i] = GetAuxParam(i)->mValue.load(std::memory_order_relaxed);
    return true;
  }
  double seen[2] = {0.0, 0.0};
};
}  // namespace

TEST(IGraphicsThreads, AuxiliaryValuesFromTheAudioThreadWhileTheEditorDraws) {
  GraphicsTestPlug plug;
  auto* gui = new IGraphicsHeadless(&plug, 32, 32);
  plug.AttachGraphics(gui);
  auto* follower = new AuxFollower(&plug, IRECT(0, 0, 32, 32));
  gui->AttachControl(follower);

  constexpr int kWrites = 20037;  // the last values are 37 / 99 and 7 / 9
  std::atomic<bool> stop{false};
  std::thread audio([&] {
    for (int s = 1; s <= kWrites; ++s) {
      gui->SetParameterFromPlug(1, (s % 100) / 99.0, true);
      gui->SetParameterFromPlug(2, (s % 10) / 9.0, true);
    }
    stop.store(true, std::memory_order_release);
  });
  const int frames = DrawUntil(gui, stop);
  audio.join();
  DrawPasses(gui, 3);
  EXPECT_GT(frames, 0);
  EXPECT_DOUBLE_EQ(follower->seen[0], (kWrites % 100) / 99.0);
  EXPECT_DOUBLE_EQ(follower->seen[1], (kWrites % 10) / 9.0);
}
