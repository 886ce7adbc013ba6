// Win32-style types and constants of the GDI-style drawing layer.
#pragma once

#include <cstdint>

#include "graphics/gdi_rect.h"

// Memory drawing context; the raster library names the same type.
struct SWELL_GDP_CTX;
typedef SWELL_GDP_CTX* HDC;

// Every drawing object (only fonts exist) is one of these.
struct SWELL_GDIObject;
typedef SWELL_GDIObject* HGDIOBJ;
typedef HGDIOBJ HFONT;

#ifndef _WIN32
typedef int BOOL;
#endif

struct POINT {
  int x;
  int y;
};

struct TEXTMETRIC {
  int tmHeight;            // ascent + descent: the line height
  int tmAscent;            // rows above the baseline
  int tmDescent;           // rows below the baseline
  int tmInternalLeading;   // tmHeight minus the em size
  int tmExternalLeading;
  int tmAveCharWidth;      // advance of 'x'
  int tmMaxCharWidth;      // widest advance of the face at this size
  int tmWeight;
  int tmOverhang;
  int tmDigitizedAspectX;
  int tmDigitizedAspectY;
  char tmFirstChar;
  char tmLastChar;
  char tmDefaultChar;
  char tmBreakChar;
  char tmItalic;
  char tmUnderlined;
  char tmStruckOut;
  char tmPitchAndFamily;
  char tmCharSet;
};

// COLORREF keeps red in the low byte, as GDI does.
typedef uint32_t COLORREF;
inline constexpr COLORREF RGB(unsigned r, unsigned g, unsigned b) {
  return (r & 0xffu) | ((g & 0xffu) << 8) | ((b & 0xffu) << 16);
}
inline constexpr unsigned GetRValue(COLORREF c) { return c & 0xffu; }
inline constexpr unsigned GetGValue(COLORREF c) { return (c >> 8) & 0xffu; }
inline constexpr unsigned GetBValue(COLORREF c) { return (c >> 16) & 0xffu; }

// SetBkMode
#define TRANSPARENT 1
#define OPAQUE 2

// CreateFont weight and quality
#define FW_DONTCARE 0
#define FW_NORMAL 400
#define FW_SEMIBOLD 600
#define FW_BOLD 700
#define DEFAULT_CHARSET 1
#define ANSI_CHARSET 0
#define OUT_DEFAULT_PRECIS 0
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0
#define NONANTIALIASED_QUALITY 3
#define ANTIALIASED_QUALITY 4
#define DEFAULT_PITCH 0

// SWELL_DrawText format flags
#define DT_TOP 0x0
#define DT_LEFT 0x0
#define DT_CENTER 0x1
#define DT_RIGHT 0x2
#define DT_VCENTER 0x4
#define DT_BOTTOM 0x8
#define DT_WORDBREAK 0x10
#define DT_SINGLELINE 0x20
#define DT_NOCLIP 0x100
#define DT_CALCRECT 0x400
#define DT_NOPREFIX 0x800
