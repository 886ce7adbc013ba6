// Stretched block transfer.
#pragma once

#include "lice/lice_bitmap.h"

// Fills the destination rectangle with the source rectangle stretched to fit:
// nearest pixel, or bilinear with LICE_BLIT_FILTER_BILINEAR (plus a low-pass
// when shrinking by 1.7 or more both ways); combined as by LICE_Blit.
void LICE_ScaledBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                     float srcy, float srcw, float srch, float alpha, int mode);
