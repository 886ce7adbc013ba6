// Straight lines, aliased or anti-aliased.
#pragma once

#include "lice/lice_bitmap.h"

// End points are pixel positions and both are drawn. With antialias the line
// spreads over the two pixels nearest to it across its major axis.
void LICE_Line(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, LICE_pixel color, float alpha, int mode,
               bool antialias);
void LICE_FLine(LICE_IBitmap* dest, float x1, float y1, float x2, float y2, LICE_pixel color, float alpha, int mode,
                bool antialias);
