#include "tests/graphics/linux/swell_test_helpers.h"

Ink FindInk(const ScopedContext& ctx, uint32_t background) {
  Ink ink;
  const int bgRed = static_cast<int>((background >> 16) & 0xff);
  for (int y = 0; y < ctx.height(); ++y) {
    for (int x = 0; x < ctx.width(); ++x) {
      const uint32_t p = ctx.at(x, y);
      if (p == background) continue;
      const int red = static_cast<int>((p >> 16) & 0xff);
      ink.coverage += red > bgRed ? red - bgRed : bgRed - red;
      if (ink.count == 0) {
        ink.left = x;
        ink.right = x + 1;
        ink.top = y;
        ink.bottom = y + 1;
      } else {
        if (x < ink.left) ink.left = x;
        if (x + 1 > ink.right) ink.right = x + 1;
        if (y + 1 > ink.bottom) ink.bottom = y + 1;
      }
      ++ink.count;
    }
  }
  return ink;
}

Extent Measure(HDC ctx, const std::string& text, int flags) {
  RECT r = {10, 20, 10, 20};
  Extent e;
  e.returned = SWELL_DrawText(ctx, text.c_str(), static_cast<int>(text.size()), &r, flags | DT_CALCRECT);
  e.width = r.right - r.left;
  e.height = r.bottom - r.top;
  return e;
}
