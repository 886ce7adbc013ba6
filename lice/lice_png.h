// PNG files to and from bitmaps.
#pragma once

#include "lice/lice_bitmap.h"

// Decodes into bmp (resized to the image) or, when bmp is null, into a new
// LICE_MemBitmap. Returns the bitmap, or null on any failure; a bitmap that
// was passed in may then hold part of the image.
LICE_IBitmap* LICE_LoadPNG(const char* filename, LICE_IBitmap* bmp = nullptr);
LICE_IBitmap* LICE_LoadPNGFromMemory(const void* data, int len, LICE_IBitmap* bmp = nullptr);
// Loads "Contents/Resources/<name>" of the plug-in bundle (or of the folder
// set by LICE_SetResourceFolder). Names over 400 characters, and names with a
// ".." component, are refused.
LICE_IBitmap* LICE_LoadPNGFromNamedResource(const char* name, LICE_IBitmap* bmp = nullptr);

// Writes the bitmap as 8-bit RGBA; false on failure (no file is left behind).
bool LICE_WritePNG(const char* filename, LICE_IBitmap* bmp);

// Images larger than this are refused before any pixel memory is taken.
constexpr int LICE_PNG_MAX_SIDE = 65535;
constexpr long long LICE_PNG_MAX_PIXELS = 64LL * 1024 * 1024;
