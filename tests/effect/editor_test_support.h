// What the editor tests share: the images the editor loads, a plug-in whose
// editor is the one its constructor built, and reading what that editor drew.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "effect/morvante_layout.h"
#include "graphics/icontrol.h"
#include "graphics/linux/igraphics_linux.h"
#include "lice/lice_bitmap.h"
#include "tests/effect/morvante_test_plug.h"

// Control indices of the editor's list.
constexpr int kLowGainKnobIdx = 23;
constexpr int kBypassSwitchIdx = 41;
constexpr int kFirstMeterIdx = 42;
constexpr int kLinkIdx = 48;
constexpr int kNameReadoutIdx = 49;
constexpr int kValueReadoutIdx = 50;
constexpr int kDisplayIdx = 51;
constexpr int kDisplaySwitchIdx = 52;
// The bands of the meters at 42 to 46.
constexpr int kMeterBands[kNumMorvanteBands] = {kBandLow, kBandLowMid, kBandMid, kBandHighMid, kBandHigh};

// Points the raster library's resource folder at the images the build drew
// into the bundle before any test builds an editor, and back afterwards.
class EditorImagesEnvironment : public ::testing::Environment {
public:
  void SetUp() override;
  void TearDown() override;
};

// The image of a knob, switch, meter or the background; null for others.
IBitmap* ImageOf(IControl* control);

// The engine the constructor built.
IGraphicsLinux* EditorOf(TestMorvante& plug);

// Polls and draws as the platform view does until nothing is dirty (at most
// a few passes); returns how many passes drew something.
int DrawUntilClean(IGraphics* gui);

// Copies an area of the draw bitmap.
void CopyDrawnArea(IGraphics* gui, const IRECT& area, LICE_MemBitmap* out);

// The pixels a control showing `frame` of its image must leave in the draw
// bitmap: the background's part under it with the frame blended on top as
// the control's blend says.
void ComposeFrameOverBackground(IGraphics* gui, int controlIdx, int frame, LICE_MemBitmap* out);

// Number of pixels that differ between two equally sized bitmaps.
int CountDifferentPixels(LICE_IBitmap* a, LICE_IBitmap* b);

// The frame an image control's value shows.
int FrameShown(IGraphics* gui, int controlIdx);

// The centre of a control's rectangle, in editor pixels.
void ControlCentre(IGraphics* gui, int controlIdx, int* x, int* y);

// ---- The user's gestures, through the engine's event handlers ----
// A press at the control's centre, a vertical drag `up` pixels one pixel at
// a time (Shift for the fine steps), and the release.
void Drag(IGraphics* gui, int idx, int up, bool fine = false);
void Click(IGraphics* gui, int x, int y);
// Drags a knob as a user aiming at a value would: coarse first, then fine.
void DragKnobTo(TestMorvante& plug, int idx, int paramIdx, double target);

// A readout's text.
const char* Text(IGraphics* gui, int idx);
// "(L, T, R, B)" for failure messages.
std::string Describe(const IRECT& r);
