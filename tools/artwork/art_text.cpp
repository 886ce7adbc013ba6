#include "tools/artwork/art_text.h"

#include "lice/lice_gdi.h"

namespace {

constexpr unsigned kLineFlags = DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP;

// Length in bytes of the UTF-8 character starting at s.
int CharBytes(const char* s, int avail) {
  int used = 1;
  LICE_DecodeTextChar(s, avail, &used);
  return used > 0 ? used : 1;
}

}  // namespace

ArtFont::ArtFont(int emPixels, bool bold) {
  HFONT hf = CreateFont(-emPixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, 0, 0, 0, ANTIALIASED_QUALITY, 0,
                        "Helvetica");
  if (!hf) return;
  mFont = std::make_unique<LICE_CachedFont>();
  mFont->SetFromHFont(hf, LICE_FONT_FLAG_OWNS_HFONT);
}

int ArtFont::Width(const std::string& text) {
  if (!mFont || text.empty()) return 0;
  RECT r = {0, 0, 0, 0};
  mFont->DrawText(nullptr, text.c_str(), static_cast<int>(text.size()), &r, kLineFlags | DT_CALCRECT);
  return r.right - r.left;
}

int ArtFont::LineHeight() { return mFont ? mFont->GetLineHeight() : 0; }

int ArtFont::TrackedWidth(const std::string& text, int tracking) {
  if (tracking == 0) return Width(text);
  int w = 0;
  for (size_t i = 0; i < text.size();) {
    const int n = CharBytes(text.c_str() + i, static_cast<int>(text.size() - i));
    w += Width(text.substr(i, n)) + tracking;
    i += n;
  }
  return text.empty() ? 0 : w - tracking;
}

void ArtFont::Draw(LICE_IBitmap* bm, const std::string& text, int x, int y, LICE_pixel color, ArtAlign align,
                   int tracking) {
  if (!mFont || text.empty()) return;
  const int w = TrackedWidth(text, tracking);
  int left = align == ArtAlign::kLeft ? x : align == ArtAlign::kCenter ? x - w / 2 : x - w;
  mFont->SetTextColor(color);
  const int h = LineHeight();
  if (tracking == 0) {
    RECT r = {left, y, left + w, y + h};
    mFont->DrawText(bm, text.c_str(), static_cast<int>(text.size()), &r, kLineFlags);
    return;
  }
  for (size_t i = 0; i < text.size();) {
    const int n = CharBytes(text.c_str() + i, static_cast<int>(text.size() - i));
    const int cw = Width(text.substr(i, n));
    RECT r = {left, y, left + cw, y + h};
    mFont->DrawText(bm, text.c_str() + i, n, &r, kLineFlags);
    left += cw + tracking;
    i += n;
  }
}
