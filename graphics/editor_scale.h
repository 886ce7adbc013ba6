// Editor scales and the one conversion between editor pixels (the unit of
// every control, hit area and layout position) and device pixels (the
// backing bitmap, the window, what hosts are told). Scales are whole steps
// of 25 % from 100 % to 200 %; at 100 % both units are the same.
#pragma once

#include "graphics/igraphics_types.h"

constexpr int kMinScalePercent = 100;
constexpr int kMaxScalePercent = 200;
constexpr int kScaleStepPercent = 25;
constexpr int kNumScaleSteps = (kMaxScalePercent - kMinScalePercent) / kScaleStepPercent + 1;

// The nearest step to percent, clamped to the range.
int NearestScalePercent(double percent);
// The step for a host's factor (1.0 is 100 %); 0 for a factor of 0, below
// 0 or not a number, which is refused.
int ScalePercentForFactor(double factor);

// An editor coordinate as a device edge: v x scale, halves rounded up, so
// two rectangles that touch in editor pixels touch in device pixels too.
int ScaleEdge(int v, int percent);
// Device pixel to the editor pixel it lies in.
int UnscaleCoord(int device, int percent);
// A rectangle's edges as ScaleEdge places them.
IRECT ScaleRect(const IRECT& r, int percent);
// The device pixels a rectangle touches at all (edges rounded outward), for
// what must be redrawn and presented.
IRECT ScaleRectOutward(const IRECT& r, int percent);
