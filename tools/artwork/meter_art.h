// Gain-reduction meter filmstrip: a recessed bar lit from the left, frame 1
// empty and the last frame full.
#pragma once

#include <memory>

#include "lice/lice_bitmap.h"

// Where the bar runs inside a meter frame, for the scale on the background.
struct MeterGeometry {
  int width = 0, height = 0;
  int barLeft = 0, barRight = 0;  // pixel columns of zero and full scale
  int barTop = 0, barBottom = 0;
  int k = 1;  // pixels per layout pixel
};

// The decibels of reduction shown at full scale. The processing sends 1.5
// times (1 - gain state), and the band loses 24 dB times (1 - gain state),
// so a meter value of 1 (the last frame) is 16 dB.
constexpr double kMeterFullScaleDb = 16.0;

// A frame of the layout's size times pixelScale (1, or 2 for the 2x set).
MeterGeometry MeterGeometryFor(int frameWidth, int frameHeight, int pixelScale = 1);
// Column of the bar at a reduction in dB.
double MeterColumnForDb(const MeterGeometry& g, double db);

std::unique_ptr<LICE_MemBitmap> DrawMeterStrip(const MeterGeometry& g, int frames);
