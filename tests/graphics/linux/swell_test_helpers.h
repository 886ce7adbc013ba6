// Helpers for the text layer tests: contexts, measuring and ink analysis.
#pragma once

#include "graphics/linux/swell_gdi.h"

#include <cstdint>
#include <string>

// A context that deletes itself.
class ScopedContext {
public:
  ScopedContext(int w, int h) : mCtx(SWELL_CreateMemContext(nullptr, w, h)), mWidth(w), mHeight(h) {}
  ~ScopedContext() { SWELL_DeleteGfxContext(mCtx); }
  ScopedContext(const ScopedContext&) = delete;
  ScopedContext& operator=(const ScopedContext&) = delete;

  HDC get() const { return mCtx; }
  int width() const { return mWidth; }
  int height() const { return mHeight; }
  uint32_t* pixels() const { return static_cast<uint32_t*>(SWELL_GetCtxFrameBuffer(mCtx)); }
  uint32_t at(int x, int y) const { return pixels()[y * mWidth + x]; }
  void Fill(uint32_t pixel) const {
    for (int i = 0; i < mWidth * mHeight; ++i) pixels()[i] = pixel;
  }

private:
  HDC mCtx;
  int mWidth;
  int mHeight;
};

// A font that deletes itself.
class ScopedFont {
public:
  ScopedFont(int height, const char* face, int weight = FW_NORMAL, bool italic = false,
             int quality = ANTIALIASED_QUALITY)
      : mFont(CreateFont(height, 0, 0, 0, weight, italic, 0, 0, 0, 0, 0, quality, 0, face)) {}
  ~ScopedFont() {
    if (mFont) DeleteObject(mFont);
  }
  ScopedFont(const ScopedFont&) = delete;
  ScopedFont& operator=(const ScopedFont&) = delete;
  HFONT get() const { return mFont; }

private:
  HFONT mFont;
};

// Where pixels differ from the background; sum of the red channel's
// distance from it.
struct Ink {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
  long long coverage = 0;
  int count = 0;
  bool empty() const { return count == 0; }
};

Ink FindInk(const ScopedContext& ctx, uint32_t background);

// Width and height of a text measured with DT_CALCRECT.
struct Extent {
  int width = 0;
  int height = 0;
  int returned = 0;
};
Extent Measure(HDC ctx, const std::string& text, int flags = 0);
