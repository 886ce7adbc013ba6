// Feeds arbitrary bytes to the PNG decoder, into a new and into a given bitmap.
#include <climits>
#include <cstddef>
#include <cstdint>

#include "lice/lice_bitmap.h"
#include "lice/lice_png.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > static_cast<size_t>(INT_MAX)) return 0;
  const int len = static_cast<int>(size);

  LICE_IBitmap* bm = LICE_LoadPNGFromMemory(data, len, nullptr);
  if (bm) {
    // Read every pixel so that a short allocation shows up under ASan.
    volatile LICE_pixel sink = 0;
    const int w = bm->getWidth(), h = bm->getHeight(), span = bm->getRowSpan();
    if (w <= 0 || h <= 0 || span < w || !bm->getBits()) __builtin_trap();
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) sink = sink ^ bm->getBits()[static_cast<size_t>(y) * span + x];
    delete bm;
  }

  LICE_MemBitmap target(3, 3, 16);
  LICE_IBitmap* into = LICE_LoadPNGFromMemory(data, len, &target);
  if (into && into != &target) __builtin_trap();
  return 0;
}
