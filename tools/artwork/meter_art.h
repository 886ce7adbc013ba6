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
};

// The decibels of reduction shown at full scale. The processing sends 1.5
// times (1 - gain state), and the band loses 24 dB times (1 - gain state),
// so a meter value of 1 (the last frame) is 16 dB.
constexpr double kMeterFullScaleDb = 16.0;

MeterGeometry MeterGeometryFor(int frameWidth, int frameHeight);
// Column of the bar at a reduction in dB.
double MeterColumnForDb(const MeterGeometry& g, double db);

std::unique_ptr<LICE_MemBitmap> DrawMeterStrip(const MeterGeometry& g, int frames);
