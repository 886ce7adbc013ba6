#include "lice/lice_text.h"

#include "lice/lice_combine.h"
#include "lice/lice_text_scratch.h"

#include <climits>
#include <cstring>
#include <utility>

namespace {

const unsigned int kAlignFlags = DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM;
// Style flags that only the cached path can draw.
const int kCachedOnlyStyles = 0x1F7;

bool IsContinuation(unsigned char c) { return c >= 0x80 && c <= 0xbf; }

// Reads characters the way DrawText walks them: carriage returns skipped,
// line feeds reported (or turned into spaces on a single line).
class TextWalker {
public:
  enum Kind { kEnd, kChar, kNewLine };
  TextWalker(const char* s, int len, bool singleLine) : mText(s), mLeft(len), mSingleLine(singleLine) {}
  Kind Next(unsigned short* c) {
    for (;;) {
      if (mLeft <= 0) return kEnd;
      int used = 1;
      const int cp = LICE_DecodeTextChar(mText, mLeft, &used);
      mText += used;
      mLeft -= used;
      if (cp == '\r') continue;
      if (cp == '\n') {
        if (!mSingleLine) return kNewLine;
        *c = ' ';
        return kChar;
      }
      *c = static_cast<unsigned short>(cp);
      return kChar;
    }
  }

private:
  const char* mText;
  int mLeft;
  bool mSingleLine;
};

int TextLength(const char* str, int strcnt) {
  if (!str) return 0;
  if (strcnt < 0) {
    const size_t n = std::strlen(str);
    return n > INT_MAX ? INT_MAX : static_cast<int>(n);
  }
  return static_cast<int>(strnlen(str, static_cast<size_t>(strcnt)));
}

int ClampToInt(long long v) { return v < INT_MIN ? INT_MIN : (v > INT_MAX ? INT_MAX : static_cast<int>(v)); }

}  // namespace

int LICE_DecodeTextChar(const char* str, int avail, int* used) {
  const auto* s = reinterpret_cast<const unsigned char*>(str);
  *used = 1;
  if (avail <= 0) return 0;
  const unsigned char c = s[0];
  if (c >= 0xc2 && c <= 0xdf && avail >= 2 && IsContinuation(s[1])) {
    *used = 2;
    return ((c & 0x1f) << 6) | (s[1] & 0x3f);
  }
  if (c >= 0xe0 && c <= 0xef && avail >= 3 && IsContinuation(s[1]) && IsContinuation(s[2])) {
    *used = 3;
    return ((c & 0x0f) << 12) | ((s[1] & 0x3f) << 6) | (s[2] & 0x3f);
  }
  if (c >= 0xf0 && c <= 0xf4 && avail >= 4 && IsContinuation(s[1]) && IsContinuation(s[2]) &&
      IsContinuation(s[3])) {
    *used = 4;
    return ' ';  // beyond 16 bits: not drawn
  }
  return c;
}

LICE_CachedFont::LICE_CachedFont() {
  std::memset(m_lowchars, 0, sizeof(m_lowchars));
  LICE_TextScratch::AddUser();
}

LICE_CachedFont::~LICE_CachedFont() {
  if ((m_flags & LICE_FONT_FLAG_OWNS_HFONT) && m_font) DeleteObject(m_font);
  LICE_TextScratch::RemoveUser();
}

void LICE_CachedFont::SetFromHFont(HGDIOBJ font, int flags) {
  if ((m_flags & LICE_FONT_FLAG_OWNS_HFONT) && m_font && m_font != font) DeleteObject(m_font);
  m_flags = flags;
  m_font = font;
  m_line_height = 0;
  if (font) {
    std::lock_guard<std::recursive_mutex> guard(LICE_TextScratch::Lock());
    LICE_SysBitmap* scratch = LICE_TextScratch::Glyphs(256, 256);
    HDC dc = scratch ? scratch->getDC() : nullptr;
    if (dc) {
      ::SetTextColor(dc, RGB(255, 255, 255));
      ::SetBkColor(dc, RGB(0, 0, 0));
      ::SetBkMode(dc, TRANSPARENT);
      SelectObject(dc, font);
      TEXTMETRIC tm;
      if (GetTextMetrics(dc, &tm)) m_line_height = tm.tmHeight;
    }
  }
  std::memset(m_lowchars, 0, sizeof(m_lowchars));
  m_extracharlist.Resize(0);
  m_cachestore.Resize(0);
  if (m_flags & LICE_FONT_FLAG_PRECALCALL)
    for (unsigned short c = 0; c < 128; ++c) RenderGlyph(c);
}

// Each setter returns the value it replaces.
LICE_pixel LICE_CachedFont::SetTextColor(LICE_pixel color) { return std::exchange(m_fg, color); }

LICE_pixel LICE_CachedFont::SetBkColor(LICE_pixel color) { return std::exchange(m_bg, color); }

LICE_pixel LICE_CachedFont::SetEffectColor(LICE_pixel color) { return std::exchange(m_effectcol, color); }

int LICE_CachedFont::SetBkMode(int mode) { return std::exchange(m_bgmode, mode); }

int LICE_CachedFont::SetCombineMode(int mode, float alpha) {
  m_alpha = alpha;
  return std::exchange(m_comb, mode);
}

bool LICE_CachedFont::UseNativeRendering(unsigned int dtFlags) const {
  if (!m_font) return false;
  if (m_line_height >= kNativeLineHeight) return true;
  return (m_flags & LICE_FONT_FLAG_FORCE_NATIVE) && !(m_flags & kCachedOnlyStyles) &&
         !(dtFlags & (LICE_DT_USEFGALPHA | LICE_DT_NEEDALPHA));
}

void LICE_CachedFont::ApplyNativeState(HDC dc) {
  SelectObject(dc, m_font);
  ::SetTextColor(dc, RGB(LICE_GETR(m_fg), LICE_GETG(m_fg), LICE_GETB(m_fg)));
  // The platform numbers its modes as GDI does; ours is 1 for a filled box.
  ::SetBkMode(dc, m_bgmode == 1 ? OPAQUE : TRANSPARENT);
  if (m_bgmode == 1) ::SetBkColor(dc, RGB(LICE_GETR(m_bg), LICE_GETG(m_bg), LICE_GETB(m_bg)));
}

int LICE_CachedFont::DrawTextNative(LICE_IBitmap* bm, const char* str, int strcnt, RECT* rect,
                                    unsigned int dtFlags) {
  const int flags = static_cast<int>(dtFlags & 0xffffu) | DT_NOPREFIX;
  HDC dc = bm ? bm->getDC() : nullptr;
  if (dc) {
    ApplyNativeState(dc);
    if (flags & DT_CALCRECT) return SWELL_DrawText(dc, str, strcnt, rect, flags);
    // The context may be larger than the bitmap it now backs.
    RECT bounds = {0, 0, bm->getWidth(), bm->getHeight()};
    SWELL_PushClipRegion(dc);
    SWELL_SetClipRegion(dc, &bounds);
    const int height = SWELL_DrawText(dc, str, strcnt, rect, flags);
    SWELL_PopClipRegion(dc);
    return height;
  }
  if (!bm && !(dtFlags & DT_CALCRECT)) return 0;

  std::lock_guard<std::recursive_mutex> guard(LICE_TextScratch::Lock());
  LICE_SysBitmap* scratch = LICE_TextScratch::Native(1, 1);
  if (!scratch) return 0;
  SelectObject(scratch->getDC(), m_font);
  if (dtFlags & DT_CALCRECT) return SWELL_DrawText(scratch->getDC(), str, strcnt, rect, flags);
  if (!bm->getBits()) return 0;

  // No context on the bitmap: draw over a copy of the area the text can
  // touch, then copy it back.
  RECT measured = {0, 0, 0, 0};
  const int height = SWELL_DrawText(scratch->getDC(), str, strcnt, &measured, flags | DT_CALCRECT);
  const long long tw = measured.right, th = measured.bottom;
  long long left = rect->left, top = rect->top;
  if (dtFlags & DT_CENTER) left = rect->left + ((static_cast<long long>(rect->right) - rect->left) - tw) / 2;
  if (dtFlags & DT_RIGHT) left = rect->right - tw;
  if (dtFlags & DT_VCENTER) top = rect->top + ((static_cast<long long>(rect->bottom) - rect->top) - th) / 2;
  if (dtFlags & DT_BOTTOM) top = rect->bottom - th;
  const int margin = m_line_height < 16 ? 2 : m_line_height / 16 + 2;
  long long l = left - margin, t = top - margin, r = left + tw + margin, b = top + th + margin;
  if (!(dtFlags & DT_NOCLIP)) {
    if (l < rect->left) l = rect->left;
    if (t < rect->top) t = rect->top;
    if (r > rect->right) r = rect->right;
    if (b > rect->bottom) b = rect->bottom;
  }
  if (l < 0) l = 0;
  if (t < 0) t = 0;
  if (r > bm->getWidth()) r = bm->getWidth();
  if (b > bm->getHeight()) b = bm->getHeight();
  if (r <= l || b <= t) return height;
  const int aw = static_cast<int>(r - l), ah = static_cast<int>(b - t);
  scratch = LICE_TextScratch::Native(aw, ah);
  if (!scratch) return height;

  LICE_pixel* src = bm->getBits() + t * bm->getRowSpan() + l;
  LICE_pixel* tmp = scratch->getBits();
  for (int y = 0; y < ah; ++y)
    std::memcpy(tmp + y * scratch->getRowSpan(), src + y * static_cast<long long>(bm->getRowSpan()),
                sizeof(LICE_pixel) * static_cast<size_t>(aw));
  // Growing the scratch may have replaced its context: set it up now.
  HDC sdc = scratch->getDC();
  ApplyNativeState(sdc);
  RECT shifted = {ClampToInt(rect->left - l), ClampToInt(rect->top - t), ClampToInt(rect->right - l),
                  ClampToInt(rect->bottom - t)};
  RECT area = {0, 0, aw, ah};
  SWELL_PushClipRegion(sdc);
  SWELL_SetClipRegion(sdc, &area);
  SWELL_DrawText(sdc, str, strcnt, &shifted, flags);
  SWELL_PopClipRegion(sdc);
  for (int y = 0; y < ah; ++y)
    std::memcpy(src + y * static_cast<long long>(bm->getRowSpan()), tmp + y * scratch->getRowSpan(),
                sizeof(LICE_pixel) * static_cast<size_t>(aw));
  return height;
}

void LICE_CachedFont::MeasureText(const char* str, int len, unsigned int dtFlags, long long* w, long long* h) {
  TextWalker walker(str, len, (dtFlags & DT_SINGLELINE) != 0);
  long long widest = 0, line = 0;
  long long lines = len > 0 ? 1 : 0;
  unsigned short c = 0;
  for (;;) {
    const TextWalker::Kind kind = walker.Next(&c);
    if (kind == TextWalker::kEnd) break;
    if (kind == TextWalker::kNewLine) {
      ++lines;
      line = 0;
      continue;
    }
    const charEnt* ent = RenderGlyph(c);
    if (ent) line += ent->advance;
    if (line > widest) widest = line;
  }
  const long long across = lines * m_line_height;
  const bool vertical = (m_flags & LICE_FONT_FLAG_VERTICAL) != 0;
  *w = vertical ? across : widest;
  *h = vertical ? widest : across;
}

int LICE_CachedFont::DrawText(LICE_IBitmap* bm, const char* str, int strcnt, RECT* rect, unsigned int dtFlags) {
  if (!str || !rect) return 0;
  if (UseNativeRendering(dtFlags)) return DrawTextNative(bm, str, strcnt, rect, dtFlags);

  const int len = TextLength(str, strcnt);
  if (dtFlags & DT_CALCRECT) {
    long long w = 0, h = 0;
    MeasureText(str, len, dtFlags, &w, &h);
    rect->right = ClampToInt(rect->left + w);
    rect->bottom = ClampToInt(rect->top + h);
    return ClampToInt(h);
  }
  if (!bm || !bm->getBits()) return 0;

  float alpha = m_alpha;
  if (dtFlags & LICE_DT_USEFGALPHA) alpha *= static_cast<float>(LICE_GETA(m_fg)) / 255.0f;
  if (!(alpha > 0.0f)) return 0;

  long long x = rect->left, y = rect->top;
  if (dtFlags & kAlignFlags) {
    long long w = 0, h = 0;
    MeasureText(str, len, dtFlags, &w, &h);
    if (dtFlags & DT_CENTER) x = rect->left + ((static_cast<long long>(rect->right) - rect->left) - w) / 2;
    if (dtFlags & DT_RIGHT) x = rect->right - w;
    if (dtFlags & DT_VCENTER) y = rect->top + ((static_cast<long long>(rect->bottom) - rect->top) - h) / 2;
    if (dtFlags & DT_BOTTOM) y = rect->bottom - h;
  }
  RECT clip = {0, 0, bm->getWidth(), bm->getHeight()};
  if (!(dtFlags & DT_NOCLIP)) {
    if (rect->left > clip.left) clip.left = rect->left;
    if (rect->top > clip.top) clip.top = rect->top;
    if (rect->right < clip.right) clip.right = rect->right;
    if (rect->bottom < clip.bottom) clip.bottom = rect->bottom;
  }
  if (clip.right <= clip.left || clip.bottom <= clip.top) return 0;

  const float savedAlpha = m_alpha;
  m_alpha = alpha;
  const bool vertical = (m_flags & LICE_FONT_FLAG_VERTICAL) != 0;
  const bool upward = vertical && (m_flags & LICE_FONT_FLAG_VERTICAL_BOTTOMUP);
  const long long startX = x, startY = y;
  long long lines = len > 0 ? 1 : 0;
  // Pens far outside the bitmap skip the draw call rather than wrap an int.
  const long long reach = static_cast<long long>(INT_MAX) / 2;
  TextWalker walker(str, len, (dtFlags & DT_SINGLELINE) != 0);
  unsigned short c = 0;
  for (;;) {
    const TextWalker::Kind kind = walker.Next(&c);
    if (kind == TextWalker::kEnd) break;
    if (kind == TextWalker::kNewLine) {
      ++lines;
      if (vertical) {
        y = startY;
        x += upward ? m_line_height : -m_line_height;
      } else {
        x = startX;
        y += m_line_height;
      }
      continue;
    }
    const charEnt* ent = RenderGlyph(c);
    if (!ent) continue;
    const int advance = ent->advance;
    if (upward) y -= advance;
    if (x > -reach && x < reach && y > -reach && y < reach)
      DrawGlyph(bm, c, static_cast<int>(x), static_cast<int>(upward ? y + advance : y), &clip);
    if (vertical && !upward) y += advance;
    else if (!vertical) x += advance;
  }
  m_alpha = savedAlpha;
  return ClampToInt(lines * m_line_height);
}
