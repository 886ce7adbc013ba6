// The background: panel, band columns, the label of every control, the
// meter scales, the product name and the maker's link text.
#pragma once

#include <memory>

#include "framework/iparam.h"
#include "lice/lice_bitmap.h"

// params holds the effect's parameters, indexed as the effect indexes them;
// names, units and ranges of the labels come from there.
// pixelScale 1 draws the 1x image, 2 the 2x one.
std::unique_ptr<LICE_MemBitmap> DrawBackground(const IParam* params, int pixelScale = 1);

// Gain-style ranges (-x .. +x) whose value arc starts at the centre.
bool KnobIsBipolar(const IParam& param);
