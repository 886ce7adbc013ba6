// Pictures of the whole editor for a person to judge, written into the
// build tree.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "lice/lice_png.h"
#include "lice/lice_sysbitmap.h"
#include "tests/effect/editor_test_support.h"
#include "tests/effect/test_signal.h"

namespace {

bool WriteSnapshot(IGraphics* gui, const char* name) {
  mkdir(MORVANTE_SNAPSHOT_DIR, 0755);
  const std::string path = std::string(MORVANTE_SNAPSHOT_DIR) + "/" + name;
  return LICE_WritePNG(path.c_str(), gui->GetDrawBitmap());
}

}  // namespace

// Pictures of the whole editor for a person to judge: written into the build
// tree, read back to prove they hold what was drawn.
TEST(MorvanteEditor, SnapshotsOfTheDefaultAndAWorkedEditor) {
  {
    TestMorvante plug;
    IGraphics* gui = plug.GetGUI();
    DrawUntilClean(gui);
    ASSERT_TRUE(WriteSnapshot(gui, "editor-default.png"));
    LICE_IBitmap* readBack = LICE_LoadPNG(MORVANTE_SNAPSHOT_DIR "/editor-default.png");
    ASSERT_NE(readBack, nullptr);
    LICE_MemBitmap drawn;
    CopyDrawnArea(gui, IRECT(0, 0, 1220, 590), &drawn);
    EXPECT_EQ(CountDifferentPixels(readBack, &drawn), 0);
    delete readBack;
  }

  TestMorvante plug;
  IGraphics* gui = plug.GetGUI();
  DrawUntilClean(gui);
  // A user's session: thresholds up on four bands, gains and frequencies
  // moved, the Low Mid detector on the channel sum, and the bypass lit.
  DragKnobTo(plug, 33, kLowThreshold, 9.0);
  DragKnobTo(plug, 31, kLowRatio, 3.0);
  DragKnobTo(plug, 23, kLowGain, 6.5);
  DragKnobTo(plug, 30, kLowMidThreshold, 16.0);
  DragKnobTo(plug, 27, kLowMidGain, -9.0);
  DragKnobTo(plug, 26, kLowMidFrequency, 900.0);
  DragKnobTo(plug, 40, kMidThreshold, 20.0);
  DragKnobTo(plug, 36, kMidFrequency, 2500.0);
  DragKnobTo(plug, 16, kHighMidThreshold, 26.0);
  DragKnobTo(plug, 19, kHighThreshold, 12.0);
  DragKnobTo(plug, 9, kHighGain, -4.0);
  DragKnobTo(plug, 18, kHighRelease, 800.0);
  DragKnobTo(plug, 47, kOutput, -3.0);
  int x = 0, y = 0;
  ControlCentre(gui, 2, &x, &y);
  Click(gui, x, y);
  ControlCentre(gui, kBypassSwitchIdx, &x, &y);
  Click(gui, x, y);
  ASSERT_EQ(plug.GetParam(kModeLowMid)->Int(), 1);
  ASSERT_EQ(plug.GetParam(kBypass)->Int(), 1);
  // Then a loud signal: a low tone, a mid tone and noise.
  ProgramSignal signal(44100.0, 21);
  for (int block = 0; block < 20; ++block) {
    std::vector<double> l(2205), r(2205);
    for (size_t i = 0; i < l.size(); ++i) {
      const double t = (block * 2205.0 + static_cast<double>(i)) / 44100.0;
      l[i] = 0.5 * std::sin(2.0 * M_PI * 120.0 * t) + 0.3 * std::sin(2.0 * M_PI * 1800.0 * t) + 0.2 * signal.Noise();
      r[i] = 0.9 * l[i];
    }
    plug.ProcessInPlace(l, r);
    DrawUntilClean(gui);
  }
  DragKnobTo(plug, 23, kLowGain, 6.0);
  DrawUntilClean(gui);
  ASSERT_TRUE(WriteSnapshot(gui, "editor-worked.png"));
  // The meters stand at different levels, none pinned at an end.
  std::vector<int> frames;
  for (int m = 0; m < kNumMorvanteBands; ++m) {
    frames.push_back(FrameShown(gui, kFirstMeterIdx + m));
    EXPECT_GT(frames.back(), 1) << m;
    EXPECT_LT(frames.back(), kNumMeterFrames) << m;
  }
  std::sort(frames.begin(), frames.end());
  EXPECT_EQ(std::unique(frames.begin(), frames.end()) - frames.begin(), kNumMorvanteBands);
  EXPECT_STREQ(Text(gui, kNameReadoutIdx), "Low Gain");
  EXPECT_STREQ(Text(gui, kValueReadoutIdx), "6.00 dB");
}
