// A TrueType font written at test time whose "W" is a bar four ems wide and
// 0.7 em tall: far wider than any glyph of the installed fonts, for the paths
// that must grow their scratch bitmaps.
#pragma once

// The family name under which the font is registered with fontconfig for
// this process; null if it could not be written or registered.
const char* RegisterWideGlyphFont();

// Advance and ink of the wide glyph, in ems.
constexpr double kWideGlyphAdvanceEms = 4.0;
