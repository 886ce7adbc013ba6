// Solid triangles and convex polygons.
#pragma once

#include "lice/lice_bitmap.h"

// Corners are pixel positions; every pixel whose centre lies on or inside the
// outline (to the nearest pixel along each row) is drawn, so shapes include
// their edges and even a degenerate one draws its line.
void LICE_FillTriangle(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, int x3, int y3, LICE_pixel color,
                       float alpha, int mode);
void LICE_FillConvexPolygon(LICE_IBitmap* dest, const int* x, const int* y, int npoints, LICE_pixel color,
                            float alpha, int mode);
