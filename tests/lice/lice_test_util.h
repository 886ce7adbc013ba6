// Small helpers for the raster library tests.
#pragma once

#include "lice/lice_bitmap.h"
#include "lice/lice_fill.h"

// Number of pixels differing from color.
inline int CountNot(LICE_IBitmap* bm, LICE_pixel color) {
  int n = 0;
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x)
      if (LICE_GetPixel(bm, x, y) != color) ++n;
  return n;
}

// Fills with a pattern in which every pixel differs: x in blue, y in green.
inline void FillCoordinates(LICE_IBitmap* bm, unsigned alpha = 255) {
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x)
      bm->getBits()[y * bm->getRowSpan() + x] = LICE_RGBA(0x11, y, x, alpha);
}

inline LICE_pixel Coord(int x, int y, unsigned alpha = 255) { return LICE_RGBA(0x11, y, x, alpha); }
