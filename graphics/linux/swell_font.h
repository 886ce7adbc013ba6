// The font object behind HFONT: a size of a shared FreeType face plus the
// glyphs already rendered at that size.
#pragma once

#include "graphics/linux/swell_types.h"

#include <atomic>
#include <cstdint>
#include <unordered_map>
#include <vector>

struct SWELL_SharedFace;
struct FT_SizeRec_;

struct SWELL_GlyphImage {
  int left = 0;     // bitmap column of the pen position, from the left edge
  int top = 0;      // rows of the bitmap above the baseline
  int width = 0;
  int height = 0;
  int advance = 0;  // whole pixels
  std::vector<uint8_t> coverage;  // width x height, 0..255 (0 or 255 for mono fonts)
};

struct SWELL_FontParams {
  int height = 0;          // CreateFont height
  int weight = FW_NORMAL;
  bool italic = false;
  bool antialias = true;
  const char* faceName = nullptr;
};

struct SWELL_GDIObject {
public:
  // Null when no face can be loaded or the size is out of range.
  static SWELL_GDIObject* CreateFont(const SWELL_FontParams& params);
  // A sans-serif font for contexts with nothing selected.
  static SWELL_GDIObject* DefaultFont();
  // True for fonts made here that DeleteObject has not been called on;
  // rejects any other pointer without reading through it.
  static bool IsFont(const SWELL_GDIObject* obj);
  // Marks the font deleted by its creator; false if it was not a usable font.
  static bool TakeForDelete(SWELL_GDIObject* obj);

  void AddRef();
  void Release();  // deletes the font with the last reference

  const TEXTMETRIC& Metrics() const { return mMetrics; }
  bool IsAntialiased() const { return mAntialias; }

  // The rendered glyph of a code point (the face's missing-glyph shape when
  // it has none). Small glyphs are cached and the cached image returned;
  // others are rendered into *scratch. Null only if FreeType fails.
  const SWELL_GlyphImage* Glyph(uint32_t codepoint, SWELL_GlyphImage* scratch);
  int Advance(uint32_t codepoint);

  // Largest |height| CreateFont accepts: a glyph of that size is 4 MB.
  static const int kMaxPixelHeight = 2048;

private:
  SWELL_GDIObject() = default;
  ~SWELL_GDIObject();
  SWELL_GDIObject(const SWELL_GDIObject&) = delete;
  SWELL_GDIObject& operator=(const SWELL_GDIObject&) = delete;

  bool RenderLocked(uint32_t codepoint, SWELL_GlyphImage* out);

  std::atomic<int> mRefs{1};
  bool mDeleted = false;  // guarded by the registry lock
  SWELL_SharedFace* mFace = nullptr;
  FT_SizeRec_* mSize = nullptr;
  bool mAntialias = true;
  bool mEmbolden = false;
  bool mOblique = false;
  TEXTMETRIC mMetrics = {};
  std::unordered_map<uint32_t, SWELL_GlyphImage> mGlyphs;  // guarded by the face lock
};
