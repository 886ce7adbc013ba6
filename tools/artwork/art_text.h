// Antialiased text for the artwork through the project's text layer.
#pragma once

#include <memory>
#include <string>

#include "lice/lice_bitmap.h"
#include "lice/lice_text.h"

enum class ArtAlign { kLeft, kCenter, kRight };

class ArtFont {
public:
  // A "Helvetica" face (the platform's sans) of emPixels, bold or regular.
  ArtFont(int emPixels, bool bold);

  bool IsValid() const { return mFont != nullptr; }
  int Width(const std::string& text);
  int LineHeight();
  // Draws one line with its top at y and its left edge, centre or right edge
  // at x; tracking adds that many pixels after each character.
  void Draw(LICE_IBitmap* bm, const std::string& text, int x, int y, LICE_pixel color,
            ArtAlign align = ArtAlign::kLeft, int tracking = 0);
  int TrackedWidth(const std::string& text, int tracking);

private:
  std::unique_ptr<LICE_CachedFont> mFont;
};
