// The integer rectangle of the Win32-style API, shared by the raster library
// and the GDI-style drawing layer.
#pragma once

// Right and bottom exclusive.
struct RECT {
  int left;
  int top;
  int right;
  int bottom;
};
