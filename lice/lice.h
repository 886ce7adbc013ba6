// The raster library: bitmaps, blits, fills, lines, shapes and PNG files.
#pragma once

#include "lice/lice_bitmap.h"
#include "lice/lice_blit.h"
#include "lice/lice_combine.h"
#include "lice/lice_curve.h"
#include "lice/lice_fill.h"
#include "lice/lice_line.h"
#include "lice/lice_png.h"
#include "lice/lice_polygon.h"
#include "lice/lice_rotated_blit.h"
#include "lice/lice_scaled_blit.h"
