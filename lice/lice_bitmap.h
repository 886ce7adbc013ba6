// 32-bit images: the abstract bitmap and the heap-backed implementation.
#pragma once

#include <cstdint>

#include "graphics/gdi_rect.h"

// A pixel is 0xAARRGGBB, not premultiplied; in memory its bytes are blue,
// green, red, alpha.
typedef uint32_t LICE_pixel;
typedef uint8_t LICE_pixel_chan;

#define LICE_PIXEL_B 0
#define LICE_PIXEL_G 1
#define LICE_PIXEL_R 2
#define LICE_PIXEL_A 3

inline LICE_pixel LICE_RGBA(unsigned r, unsigned g, unsigned b, unsigned a) {
  return ((a & 0xffu) << 24) | ((r & 0xffu) << 16) | ((g & 0xffu) << 8) | (b & 0xffu);
}
inline unsigned LICE_GETB(LICE_pixel p) { return p & 0xffu; }
inline unsigned LICE_GETG(LICE_pixel p) { return (p >> 8) & 0xffu; }
inline unsigned LICE_GETR(LICE_pixel p) { return (p >> 16) & 0xffu; }
inline unsigned LICE_GETA(LICE_pixel p) { return (p >> 24) & 0xffu; }

// Platform drawing context (the GDI-style layer's memory context).
struct SWELL_GDP_CTX;
typedef SWELL_GDP_CTX* HDC;

class LICE_IBitmap {
public:
  virtual ~LICE_IBitmap() {}
  virtual LICE_pixel* getBits() = 0;
  virtual int getWidth() = 0;
  virtual int getHeight() = 0;
  virtual int getRowSpan() = 0;
  virtual bool isFlipped() { return false; }
  virtual bool resize(int w, int h) = 0;
  virtual HDC getDC() { return nullptr; }
  virtual int Extended(int id, void* data) {
    (void)id;
    (void)data;
    return 0;
  }
};

class LICE_MemBitmap : public LICE_IBitmap {
public:
  // Rows start on a multiple of the lowest set bit of linealign pixels, at
  // most 16 (0 or 1: rows are packed).
  explicit LICE_MemBitmap(int w = 0, int h = 0, unsigned int linealign = 4);
  ~LICE_MemBitmap() override;
  LICE_MemBitmap(const LICE_MemBitmap&) = delete;
  LICE_MemBitmap& operator=(const LICE_MemBitmap&) = delete;

  LICE_pixel* getBits() override;
  int getWidth() override { return m_width; }
  int getHeight() override { return m_height; }
  int getRowSpan() override { return (m_width + m_linealign) & ~m_linealign; }
  bool resize(int w, int h) override;

  // Bytes usable behind getBits() (the alignment slack not counted).
  int getAllocSize() const { return m_allocsize; }

private:
  void* m_fb = nullptr;
  int m_width = 0;
  int m_height = 0;
  int m_allocsize = 0;
  int m_linealign = 0;  // row-alignment mask: 2^k - 1 pixels
};
