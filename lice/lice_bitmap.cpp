#include "lice/lice_bitmap.h"

#include <cstdlib>

namespace {

// Pixel storage is handed out on 64-byte boundaries.
constexpr int kAlignSlack = 63;

int AlignMaskFor(unsigned int linealign) {
  if (linealign <= 1) return 0;
  unsigned lowest = linealign & (~linealign + 1u);
  // A mask must stay of the form 2^k - 1, so the cap is an alignment of 16
  // pixels (mask 15): row starts then sit on 64-byte boundaries.
  if (lowest > 16u) lowest = 16u;
  return static_cast<int>(lowest - 1u);
}

}  // namespace

LICE_MemBitmap::LICE_MemBitmap(int w, int h, unsigned int linealign) : m_linealign(AlignMaskFor(linealign)) {
  resize(w, h);
}

LICE_MemBitmap::~LICE_MemBitmap() { std::free(m_fb); }

LICE_pixel* LICE_MemBitmap::getBits() {
  if (!m_fb) return nullptr;
  uintptr_t p = reinterpret_cast<uintptr_t>(m_fb);
  p = (p + kAlignSlack) & ~static_cast<uintptr_t>(kAlignSlack);
  return reinterpret_cast<LICE_pixel*>(p);
}

bool LICE_MemBitmap::resize(int w, int h) {
  // A negative side would give negative row spans; it means "no pixels".
  if (w < 0) w = 0;
  if (h < 0) h = 0;
  if (w == m_width && h == m_height) return false;
  m_width = w;
  m_height = h;

  if (w == 0 || h == 0) {
    std::free(m_fb);
    m_fb = nullptr;
    m_allocsize = 0;
    return true;
  }

  const long long span = (static_cast<long long>(w) + m_linealign) & ~static_cast<long long>(m_linealign);
  const long long need = 4LL * h * span;
  const long long limit = 0x7fffffffLL - kAlignSlack;
  if (need <= m_allocsize) return true;

  void* block = nullptr;
  long long grown = need + need / 4;
  if (grown > limit) grown = need;
  if (need <= limit) {
    block = std::realloc(m_fb, static_cast<size_t>(grown + kAlignSlack));
    if (block) {
      m_fb = block;
      m_allocsize = static_cast<int>(grown);
      return true;
    }
    std::free(m_fb);
    m_fb = std::malloc(static_cast<size_t>(need + kAlignSlack));
    if (m_fb) {
      m_allocsize = static_cast<int>(need);
      return true;
    }
  } else {
    std::free(m_fb);
    m_fb = nullptr;
  }
  m_allocsize = 0;
  m_width = 0;
  m_height = 0;
  return true;
}
