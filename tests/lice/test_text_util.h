// Helpers for the text renderer tests: fonts made the way the graphics
// engine makes them, and ink measurement on bitmaps.
#pragma once

#include "lice/lice_bitmap.h"
#include "lice/lice_text.h"

#include <memory>

// Engine-style font: a cell height, one correction pass when the line height
// misses, quality 0..3 mapped as the engine maps it. Null when no font.
std::unique_ptr<LICE_CachedFont> MakeTextFont(int size, const char* face, int flags, int style = 0,
                                              int quality = 2);

struct TextInk {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
  long long coverage = 0;                        // summed red distance from the background
  int count = 0;
  bool empty() const { return count == 0; }
};
TextInk FindTextInk(LICE_IBitmap* bm, LICE_pixel background);

// Writes the bitmap, opaque and scaled up by whole pixels, for looking at.
void SaveTextImage(LICE_IBitmap* bm, const char* path, int scale = 1);
