// Circles, arcs and rounded rectangles.
#pragma once

#include "lice/lice_bitmap.h"

// Angles in radians, clockwise from straight up; the arc runs from the
// smaller angle to the larger one.
void LICE_Arc(LICE_IBitmap* dest, float cx, float cy, float r, float minAngle, float maxAngle, LICE_pixel color,
              float alpha, int mode, bool antialias);
void LICE_Circle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel color, float alpha, int mode,
                 bool antialias);
void LICE_FillCircle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel color, float alpha, int mode,
                     bool antialias);
// Outline of the w x h pixels at (x, y) with quarter-circle corners.
void LICE_RoundRect(LICE_IBitmap* dest, float x, float y, float w, float h, int cornerradius, LICE_pixel color,
                    float alpha, int mode, bool antialias);
