// SWELL_DrawText: line breaking, prefix handling, alignment and glyph
// compositing into a memory context.
#include "graphics/linux/swell_context.h"
#include "graphics/linux/swell_font.h"
#include "graphics/linux/swell_gdi.h"

#include <cstring>
#include <vector>

namespace {

struct TextLine {
  size_t begin = 0;  // into TextLayout::chars
  size_t end = 0;
  long long width = 0;
};

struct TextLayout {
  std::vector<uint32_t> chars;
  std::vector<TextLine> lines;
  long long width = 0;
};

bool IsContinuation(unsigned char c) { return c >= 0x80 && c <= 0xbf; }

// Malformed or cut-short sequences yield the lead byte's value, one byte.
uint32_t DecodeUtf8(const unsigned char* s, size_t avail, size_t* used) {
  const unsigned char lead = s[0];
  *used = 1;
  size_t extra = 0;
  uint32_t cp = 0;
  if (lead >= 0xc2 && lead <= 0xdf) {
    extra = 1;
    cp = lead & 0x1f;
  } else if (lead >= 0xe0 && lead <= 0xef) {
    extra = 2;
    cp = lead & 0x0f;
  } else if (lead >= 0xf0 && lead <= 0xf4) {
    extra = 3;
    cp = lead & 0x07;
  } else {
    return lead;
  }
  if (extra >= avail) return lead;
  for (size_t i = 1; i <= extra; ++i) {
    if (!IsContinuation(s[i])) return lead;
    cp = (cp << 6) | (s[i] & 0x3f);
  }
  if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10ffff))) return lead;
  *used = extra + 1;
  return cp;
}

void LayOut(HFONT font, const char* text, size_t len, int flags, TextLayout* out) {
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  if (len == 0) return;
  out->lines.push_back(TextLine());
  bool escaped = false;  // the previous byte was a prefix '&'
  size_t pos = 0;
  while (pos < len) {
    size_t used = 1;
    uint32_t cp = DecodeUtf8(s + pos, len - pos, &used);
    pos += used;
    if (cp == '\r') continue;
    if (cp == '&' && !(flags & DT_NOPREFIX) && !escaped) {
      escaped = true;  // "&x" draws x, "&&" draws "&", a final "&" nothing
      continue;
    }
    escaped = false;
    if (cp == '\n') {
      if (!(flags & DT_SINGLELINE)) {
        out->lines.back().end = out->chars.size();
        TextLine next;
        next.begin = out->chars.size();
        out->lines.push_back(next);
        continue;
      }
      cp = ' ';
    }
    out->chars.push_back(cp);
    out->lines.back().width += font->Advance(cp);
  }
  out->lines.back().end = out->chars.size();
  for (const TextLine& line : out->lines)
    if (line.width > out->width) out->width = line.width;
}

long long Clamp(long long v, long long lo, long long hi) { return v < lo ? lo : (v > hi ? hi : v); }

struct ClipBox {
  long long left, top, right, bottom;
  bool Empty() const { return right <= left || bottom <= top; }
};

void FillBox(SWELL_GDP_CTX* ctx, const ClipBox& clip, long long l, long long t, long long r, long long b,
             uint32_t pixel) {
  l = Clamp(l, clip.left, clip.right);
  r = Clamp(r, clip.left, clip.right);
  t = Clamp(t, clip.top, clip.bottom);
  b = Clamp(b, clip.top, clip.bottom);
  for (long long y = t; y < b; ++y) {
    uint32_t* row = ctx->pixels + y * ctx->width;
    for (long long x = l; x < r; ++x) row[x] = pixel;
  }
}

// The raster library's copy rule at full weight with the coverage as the
// source alpha: colours move toward the text colour, and alpha toward
// opaque, by the coverage. Opaque destinations stay opaque.
inline void BlendCoverage(uint32_t* pixel, int r, int g, int b, int coverage) {
  const int keep = 255 - coverage;
  const uint32_t d = *pixel;
  const int db = static_cast<int>(d & 0xff);
  const int dg = static_cast<int>((d >> 8) & 0xff);
  const int dr = static_cast<int>((d >> 16) & 0xff);
  const int da = static_cast<int>(d >> 24);
  const int nb = b + (db - b) * keep / 256;
  const int ng = g + (dg - g) * keep / 256;
  const int nr = r + (dr - r) * keep / 256;
  const int na = 255 - (255 - da) * keep / 256;
  *pixel = (static_cast<uint32_t>(na) << 24) | (static_cast<uint32_t>(nr) << 16) |
           (static_cast<uint32_t>(ng) << 8) | static_cast<uint32_t>(nb);
}

void DrawGlyphImage(SWELL_GDP_CTX* ctx, const ClipBox& clip, const SWELL_GlyphImage& glyph, long long gx,
                    long long gy, COLORREF color) {
  const long long x0 = Clamp(gx, clip.left, clip.right);
  const long long x1 = Clamp(gx + glyph.width, clip.left, clip.right);
  const long long y0 = Clamp(gy, clip.top, clip.bottom);
  const long long y1 = Clamp(gy + glyph.height, clip.top, clip.bottom);
  const int r = static_cast<int>(GetRValue(color));
  const int g = static_cast<int>(GetGValue(color));
  const int b = static_cast<int>(GetBValue(color));
  for (long long y = y0; y < y1; ++y) {
    const uint8_t* cov = glyph.coverage.data() + (y - gy) * glyph.width;
    uint32_t* row = ctx->pixels + y * ctx->width;
    for (long long x = x0; x < x1; ++x) {
      const int c = cov[x - gx];
      if (c) BlendCoverage(row + x, r, g, b, c);
    }
  }
}

}  // namespace

int SWELL_DrawText(HDC ctx, const char* text, int len, RECT* rect, int flags) {
  if (!text || !rect) return 0;
  HFONT font = ctx && ctx->font ? ctx->font : SWELL_GDIObject::DefaultFont();
  if (!font) return 0;

  // Never past the NUL, whatever the length says.
  const size_t limit = len < 0 ? std::strlen(text) : strnlen(text, static_cast<size_t>(len));
  TextLayout layout;
  LayOut(font, text, limit, flags, &layout);
  const TEXTMETRIC& tm = font->Metrics();
  const long long textHeight = static_cast<long long>(layout.lines.size()) * tm.tmHeight;
  const int result = static_cast<int>(Clamp(textHeight, 0, 0x7fffffff));

  if (flags & DT_CALCRECT) {
    rect->right = static_cast<int>(Clamp(rect->left + layout.width, -0x7fffffffLL - 1, 0x7fffffff));
    rect->bottom = static_cast<int>(Clamp(rect->top + textHeight, -0x7fffffffLL - 1, 0x7fffffff));
    return result;
  }
  if (!ctx || !ctx->pixels || layout.chars.empty()) return result;

  const RECT area = ctx->DrawableArea();
  ClipBox clip = {area.left, area.top, area.right, area.bottom};
  if (!(flags & DT_NOCLIP)) {
    clip.left = Clamp(rect->left, clip.left, clip.right);
    clip.right = Clamp(rect->right, clip.left, clip.right);
    clip.top = Clamp(rect->top, clip.top, clip.bottom);
    clip.bottom = Clamp(rect->bottom, clip.top, clip.bottom);
  }
  if (clip.Empty()) return result;

  long long y = rect->top;
  if (flags & DT_VCENTER) y = rect->top + ((static_cast<long long>(rect->bottom) - rect->top) - textHeight) / 2;
  if (flags & DT_BOTTOM) y = rect->bottom - textHeight;

  SWELL_GlyphImage scratch;
  for (const TextLine& line : layout.lines) {
    long long x = rect->left;
    if (flags & DT_CENTER) x = rect->left + ((static_cast<long long>(rect->right) - rect->left) - line.width) / 2;
    if (flags & DT_RIGHT) x = rect->right - line.width;
    if (ctx->bkMode == OPAQUE) {
      const COLORREF bk = ctx->bkColor;
      const uint32_t pixel = 0xff000000u | (GetRValue(bk) << 16) | (GetGValue(bk) << 8) | GetBValue(bk);
      FillBox(ctx, clip, x, y, x + line.width, y + tm.tmHeight, pixel);
    }
    const long long baseline = y + tm.tmAscent;
    // Lines well outside the clip cost no glyph look-ups; a line's height of
    // slack on each side leaves room for ink beyond the ascent and descent.
    if (y - tm.tmHeight < clip.bottom && y + 2LL * tm.tmHeight > clip.top) {
      for (size_t i = line.begin; i < line.end; ++i) {
        const SWELL_GlyphImage* glyph = font->Glyph(layout.chars[i], &scratch);
        if (!glyph) continue;
        if (!glyph->coverage.empty())
          DrawGlyphImage(ctx, clip, *glyph, x + glyph->left, baseline - glyph->top, ctx->textColor);
        x += glyph->advance;
      }
    }
    y += tm.tmHeight;
  }
  return result;
}
