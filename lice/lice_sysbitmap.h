// Image backed by a platform memory drawing context: what goes on screen,
// and what platform text can be drawn into.
#pragma once

#include "lice/lice_bitmap.h"

class LICE_SysBitmap : public LICE_IBitmap {
public:
  explicit LICE_SysBitmap(int w = 0, int h = 0);
  ~LICE_SysBitmap() override;
  LICE_SysBitmap(const LICE_SysBitmap&) = delete;
  LICE_SysBitmap& operator=(const LICE_SysBitmap&) = delete;

  LICE_pixel* getBits() override { return m_bits; }
  int getWidth() override { return m_width; }
  int getHeight() override { return m_height; }
  int getRowSpan() override { return m_rowspan; }
  // Keeps the context when the new size fits inside it; otherwise makes a
  // new one with rows rounded up to a multiple of 4 pixels. A size without
  // pixels, or a context that cannot be made, leaves the bitmap 0 x 0.
  bool resize(int w, int h) override;
  HDC getDC() override { return m_dc; }

private:
  void FreeContext();

  int m_width = 0;
  int m_height = 0;
  HDC m_dc = nullptr;
  LICE_pixel* m_bits = nullptr;
  int m_rowspan = 0;
  int m_allocheight = 0;
};
