// Solid fills, single pixels and bit-mask clears.
#pragma once

#include "lice/lice_bitmap.h"

void LICE_FillRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel color, float alpha, int mode);
void LICE_PutPixel(LICE_IBitmap* dest, int x, int y, LICE_pixel color, float alpha, int mode);
// The pixel at (x, y), or 0 outside the image.
LICE_pixel LICE_GetPixel(LICE_IBitmap* bm, int x, int y);
void LICE_Clear(LICE_IBitmap* dest, LICE_pixel color);
// Every pixel of the rectangle becomes (pixel & mask) | orbits.
void LICE_ClearRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel mask, LICE_pixel orbits);
