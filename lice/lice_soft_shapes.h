// Anti-aliased filled shapes of any width, vertical gradients, and the step
// that turns an image drawn with premultiplied colour into a plain one.
//
// Pixel (x, y) has its centre at (x, y). A pixel's coverage is how far the
// shape's edge lies beyond its centre, clamped to 0..1, so edges fade over
// one pixel; the coverage scales alpha. Gradients run from the shape's top
// row (colour `top`) to its bottom row (`bottom`), all four channels mixed.
#pragma once

#include "lice/lice_bitmap.h"

// Pixels x..x+w-1 of rows y..y+h-1, every row one colour.
void LICE_GradientRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel top, LICE_pixel bottom,
                       float alpha, int mode);

void LICE_FillGradientCircle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel top, LICE_pixel bottom,
                             float alpha, int mode);

// The rectangle that covers pixels x..x+w-1 and y..y+h-1, corners rounded
// with radius (clamped to half the shorter side).
void LICE_FillGradientRoundRect(LICE_IBitmap* dest, float x, float y, float w, float h, float radius,
                                LICE_pixel top, LICE_pixel bottom, float alpha, int mode);

// A stroke of the given width along the circle of radius r from minAngle to
// maxAngle (radians, clockwise from straight up), with round ends. A sweep of
// a full turn or more draws the whole ring.
void LICE_FillArcStroke(LICE_IBitmap* dest, float cx, float cy, float r, float width, float minAngle, float maxAngle,
                        LICE_pixel color, float alpha, int mode);

// A straight stroke of the given width with round ends.
void LICE_FillLineStroke(LICE_IBitmap* dest, float x1, float y1, float x2, float y2, float width, LICE_pixel color,
                         float alpha, int mode);

// Drawing opaque colours with the copy rule onto a transparent image gives
// premultiplied pixels (colour already scaled by alpha). This divides the
// colour of every partly transparent pixel by its alpha so that the image
// blends correctly under the source-alpha rule; fully transparent pixels
// become 0.
void LICE_DemultiplyAlpha(LICE_IBitmap* dest);
