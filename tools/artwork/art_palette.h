// The artwork's colours: a dark, quiet panel with one accent for values,
// one for gain reduction and one for the lit bypass.
#pragma once

#include "lice/lice_bitmap.h"

namespace art {

inline constexpr LICE_pixel Rgb(unsigned r, unsigned g, unsigned b) {
  return 0xff000000u | (r << 16) | (g << 8) | b;
}

constexpr LICE_pixel kPanelTop = Rgb(0x1d, 0x1f, 0x23);
constexpr LICE_pixel kPanelBottom = Rgb(0x13, 0x14, 0x17);
constexpr LICE_pixel kColumnTop = Rgb(0x27, 0x2a, 0x2f);
constexpr LICE_pixel kColumnBottom = Rgb(0x20, 0x22, 0x26);
constexpr LICE_pixel kColumnEdge = Rgb(0x34, 0x38, 0x3e);
constexpr LICE_pixel kShadow = Rgb(0x0b, 0x0c, 0x0e);
constexpr LICE_pixel kInset = Rgb(0x0e, 0x0f, 0x11);

constexpr LICE_pixel kTextBright = Rgb(0xe4, 0xe6, 0xea);
constexpr LICE_pixel kText = Rgb(0xc2, 0xc6, 0xcc);
constexpr LICE_pixel kTextDim = Rgb(0x85, 0x8b, 0x94);
constexpr LICE_pixel kTextFaint = Rgb(0x5c, 0x62, 0x6a);

constexpr LICE_pixel kAccent = Rgb(0x3c, 0xc8, 0xdc);
constexpr LICE_pixel kAccentDim = Rgb(0x1c, 0x4a, 0x52);
constexpr LICE_pixel kReduction = Rgb(0xf2, 0xa3, 0x3a);
constexpr LICE_pixel kReductionHot = Rgb(0xf2, 0x5f, 0x3a);
constexpr LICE_pixel kReductionOff = Rgb(0x24, 0x22, 0x1f);
constexpr LICE_pixel kBypassLit = Rgb(0xf0, 0x4a, 0x45);

constexpr LICE_pixel kTrack = Rgb(0x10, 0x11, 0x14);
constexpr LICE_pixel kCapTop = Rgb(0x55, 0x5a, 0x63);
constexpr LICE_pixel kCapBottom = Rgb(0x2a, 0x2d, 0x33);
constexpr LICE_pixel kCapRim = Rgb(0x6c, 0x72, 0x7c);
constexpr LICE_pixel kPointer = Rgb(0xf4, 0xf5, 0xf7);

}  // namespace art
