// Two-frame switches: the detector-mode selector (first frame value 0,
// second value 1) and the bypass button (off, lit).
#pragma once

#include <memory>

#include "lice/lice_bitmap.h"

// Short names of the two detector inputs, in value order.
constexpr const char* kDetectorModeNames[2] = {"MAX", "L+R"};

// width x height in layout pixels, drawn at pixelScale (1, or 2 for the 2x set).
std::unique_ptr<LICE_MemBitmap> DrawModeSwitchStrip(int width, int height, int pixelScale = 1);
std::unique_ptr<LICE_MemBitmap> DrawBypassStrip(int width, int height, int pixelScale = 1);
