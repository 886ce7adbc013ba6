#include "lice/lice_sysbitmap.h"

#include "graphics/linux/swell_gdi.h"

LICE_SysBitmap::LICE_SysBitmap(int w, int h) { resize(w, h); }

LICE_SysBitmap::~LICE_SysBitmap() { FreeContext(); }

void LICE_SysBitmap::FreeContext() {
  SWELL_DeleteGfxContext(m_dc);
  m_dc = nullptr;
  m_bits = nullptr;
  m_rowspan = 0;
  m_allocheight = 0;
}

bool LICE_SysBitmap::resize(int w, int h) {
  if (w == m_width && h == m_height) return false;
  if (w > 0 && h > 0 && m_dc && m_rowspan >= w && m_allocheight >= h) {
    m_width = w;
    m_height = h;
    return true;
  }
  const bool hadPixels = m_width > 0 && m_height > 0;
  FreeContext();
  // A size with no pixels is reported as 0 x 0, so nothing draws through a
  // null pixel pointer.
  m_width = 0;
  m_height = 0;
  if (w < 1 || h < 1 || w > 0x7ffffff0) return hadPixels;
  const int span = (w + 3) & ~3;
  m_dc = SWELL_CreateMemContext(nullptr, span, h);
  if (!m_dc) return hadPixels;
  m_bits = static_cast<LICE_pixel*>(SWELL_GetCtxFrameBuffer(m_dc));
  m_rowspan = span;
  m_allocheight = h;
  m_width = w;
  m_height = h;
  return true;
}
