// Rotated (and stretched) block transfer.
#pragma once

#include "lice/lice_bitmap.h"

// Fills the destination rectangle with the source rectangle turned by angle
// radians (clockwise on screen) about its centre shifted by (rotxcent,
// rotycent), that centre landing on the destination rectangle's centre.
// Samples outside the source rectangle (cliptosourcerect) or the source image
// leave the destination alone. A negative dstw or dsth mirrors.
void LICE_RotatedBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                      float srcy, float srcw, float srch, float angle, bool cliptosourcerect, float alpha, int mode,
                      float rotxcent, float rotycent);
