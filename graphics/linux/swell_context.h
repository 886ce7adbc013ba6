// The memory drawing context behind HDC.
#pragma once

#include "graphics/linux/swell_types.h"

#include <cstdint>
#include <vector>

struct SWELL_ClipState {
  bool active = false;
  RECT rect = {0, 0, 0, 0};
};

struct SWELL_GDP_CTX {
  uint32_t* pixels = nullptr;  // width x height, owned
  int width = 0;
  int height = 0;
  HFONT font = nullptr;  // selected font; the context holds a reference
  COLORREF textColor = RGB(0, 0, 0);
  COLORREF bkColor = RGB(255, 255, 255);
  int bkMode = TRANSPARENT;
  SWELL_ClipState clip;
  std::vector<SWELL_ClipState> savedClips;

  // The context bounds, narrowed by the clip state.
  RECT DrawableArea() const;
};
