// Knob filmstrips: a round cap with a pointer over a track whose value arc
// runs from the minimum (or, for bipolar knobs, from the centre) to the
// knob's position.
#pragma once

#include <memory>

#include "lice/lice_bitmap.h"

struct KnobGeometry {
  int width = 0, height = 0;  // one frame
  float cx = 0, cy = 0;       // centre, in frame pixels
  float trackRadius = 0;      // centre line of the arc
  float trackWidth = 0;
  float capRadius = 0;
  float k = 1;                // pixels per layout pixel
};

// The pointer's travel: from 7:30 through 12 to 4:30, clockwise from up.
constexpr float kKnobMinAngle = -2.35619449f;
constexpr float kKnobMaxAngle = 2.35619449f;

// A frame of the layout's size times pixelScale (1, or 2 for the 2x set).
KnobGeometry KnobGeometryFor(int frameWidth, int frameHeight, int pixelScale = 1);

// Angle of the pointer at normalised value v (0..1).
float KnobAngle(double v);

// All frames stacked top to bottom; frame k shows the value k / (frames - 1).
std::unique_ptr<LICE_MemBitmap> DrawKnobStrip(const KnobGeometry& g, bool bipolar, int frames);
