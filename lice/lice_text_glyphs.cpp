// Glyph cache of LICE_CachedFont: rendering characters into coverage masks
// and compositing them.
#include "lice/lice_combine.h"
#include "lice/lice_fill.h"
#include "lice/lice_text.h"
#include "lice/lice_text_scratch.h"

#include <cstring>
#include <vector>

namespace {

// Room around a glyph for ink beyond its advance and line box.
int GlyphMargin(int lineHeight) { return lineHeight < 16 ? 2 : lineHeight / 16 + 2; }

// Wider glyph boxes are cut: nothing real is this wide below the cached
// line-height limit.
const int kMaxGlyphBoxWidth = 4096;

int EncodeUtf8(unsigned short c, char* out) {
  if (c < 0x80) {
    out[0] = static_cast<char>(c);
    return 1;
  }
  if (c < 0x800) {
    out[0] = static_cast<char>(0xc0 | (c >> 6));
    out[1] = static_cast<char>(0x80 | (c & 0x3f));
    return 2;
  }
  out[0] = static_cast<char>(0xe0 | (c >> 12));
  out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3f));
  out[2] = static_cast<char>(0x80 | (c & 0x3f));
  return 3;
}

void Blur3x3(std::vector<unsigned char>* cov, int w, int h) {
  std::vector<unsigned char> src(*cov);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      int sum = 0, n = 0;
      for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
          const int sx = x + dx, sy = y + dy;
          if (sx < 0 || sy < 0 || sx >= w || sy >= h) continue;
          sum += src[static_cast<size_t>(sy) * w + sx];
          ++n;
        }
      }
      (*cov)[static_cast<size_t>(y) * w + x] = static_cast<unsigned char>(sum / n);
    }
  }
}

}  // namespace

LICE_CachedFont::charEnt* LICE_CachedFont::FindGlyph(unsigned short c) {
  if (c < 128) return &m_lowchars[c];
  charEnt* list = m_extracharlist.Get();
  int lo = 0, hi = m_extracharlist.GetSize();
  while (lo < hi) {
    const int mid = (lo + hi) / 2;
    if (list[mid].charid == c) return &list[mid];
    if (list[mid].charid < c) lo = mid + 1;
    else hi = mid;
  }
  return nullptr;
}

LICE_CachedFont::charEnt* LICE_CachedFont::RenderGlyph(unsigned short c) {
  charEnt* ent = FindGlyph(c);
  if (!ent) {
    if (m_flags & LICE_FONT_FLAG_PRECALCALL) return nullptr;
    const int n = m_extracharlist.GetSize();
    int pos = 0;
    while (pos < n && m_extracharlist.Get()[pos].charid < c) ++pos;
    m_extracharlist.Resize(n + 1, false);
    if (m_extracharlist.GetSize() != n + 1) return nullptr;
    charEnt* list = m_extracharlist.Get();
    std::memmove(list + pos + 1, list + pos, sizeof(charEnt) * static_cast<size_t>(n - pos));
    ent = list + pos;
    std::memset(ent, 0, sizeof(*ent));
    ent->charid = c;
  }
  if (ent->base_offset == 0) RenderInto(ent, c);
  return ent;
}

void LICE_CachedFont::RenderInto(charEnt* ent, unsigned short c) {
  ent->charid = c;
  ent->base_offset = -1;
  ent->width = ent->height = ent->advance = ent->left_extra = 0;
  if (!m_font || m_line_height > kMaxCachedLineHeight) return;

  std::lock_guard<std::recursive_mutex> guard(LICE_TextScratch::Lock());
  const int lh = m_line_height > 1 ? m_line_height : 1;
  LICE_SysBitmap* scratch = LICE_TextScratch::Glyphs(2 * lh + 8, 2 * lh + 8);
  if (!scratch) return;
  const auto prepare = [this](HDC dc) {
    SelectObject(dc, m_font);
    ::SetTextColor(dc, RGB(255, 255, 255));
    ::SetBkMode(dc, TRANSPARENT);
  };
  HDC dc = scratch->getDC();
  prepare(dc);
  char text[4];
  const int len = EncodeUtf8(c, text);
  RECT measured = {0, 0, 0, 0};
  SWELL_DrawText(dc, text, len, &measured, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
  const int advance = measured.right - measured.left;
  const int textHeight = measured.bottom - measured.top;
  ent->advance = advance > 0 ? advance : 0;
  if (advance <= 0 || textHeight <= 0) return;

  const int margin = GlyphMargin(lh);
  int boxW = advance + 2 * margin;
  if (boxW > kMaxGlyphBoxWidth) boxW = kMaxGlyphBoxWidth;
  const int boxH = textHeight + 2 * margin;
  scratch = LICE_TextScratch::Glyphs(boxW, boxH);
  if (!scratch) return;
  // Growing the scratch replaces its context: draw into the new one.
  dc = scratch->getDC();
  prepare(dc);
  const int span = scratch->getRowSpan();
  LICE_pixel* bits = scratch->getBits();
  for (int y = 0; y < boxH; ++y)
    for (int x = 0; x < boxW; ++x) bits[y * span + x] = 0xff000000u;
  RECT box = {margin, margin, margin + advance, margin + textHeight};
  SWELL_DrawText(dc, text, len, &box, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);

  std::vector<unsigned char> cov(static_cast<size_t>(boxW) * boxH);
  for (int y = 0; y < boxH; ++y)
    for (int x = 0; x < boxW; ++x) cov[static_cast<size_t>(y) * boxW + x] = LICE_GETR(bits[y * span + x]);
  if (m_flags & LICE_FONT_FLAG_FX_BLUR) Blur3x3(&cov, boxW, boxH);
  if (m_flags & LICE_FONT_FLAG_FX_INVERT)
    for (unsigned char& v : cov) v = static_cast<unsigned char>(255 - v);

  int first = boxW, last = -1;
  for (int y = 0; y < boxH; ++y) {
    for (int x = 0; x < boxW; ++x) {
      if (!cov[static_cast<size_t>(y) * boxW + x]) continue;
      if (x < first) first = x;
      if (x > last) last = x;
    }
  }
  if (last < first) return;
  const int mw = last - first + 1;
  const bool vertical = (m_flags & LICE_FONT_FLAG_VERTICAL) != 0;
  const bool upward = vertical && (m_flags & LICE_FONT_FLAG_VERTICAL_BOTTOMUP);
  const int outW = vertical ? boxH : mw;
  const int outH = vertical ? mw : boxH;

  const int offset = m_cachestore.GetSize();
  unsigned char* out = m_cachestore.Add(nullptr, outW * outH);
  if (!out) return;  // the store could not grow: the glyph stays blank
  for (int y = 0; y < outH; ++y) {
    for (int x = 0; x < outW; ++x) {
      // Downward text turns the glyph a quarter clockwise, upward text
      // a quarter counter-clockwise.
      int u = x, v = y;
      if (vertical && !upward) {
        u = y;
        v = boxH - 1 - x;
      } else if (upward) {
        u = mw - 1 - y;
        v = x;
      }
      out[y * outW + x] = cov[static_cast<size_t>(v) * boxW + first + u];
    }
  }
  ent->base_offset = offset + 1;
  ent->width = outW;
  ent->height = outH;
  ent->left_extra = margin - first;
}

bool LICE_CachedFont::DrawGlyph(LICE_IBitmap* bm, unsigned short c, int x, int y, RECT* clipR) {
  if (!bm || !bm->getBits()) return false;
  const charEnt* ent = RenderGlyph(c);
  if (!ent || ent->base_offset <= 0) return false;
  const long long storeSize = m_cachestore.GetSize();
  if (static_cast<long long>(ent->base_offset) - 1 + static_cast<long long>(ent->width) * ent->height > storeSize)
    return false;
  const unsigned char* mask = m_cachestore.Get() + ent->base_offset - 1;

  const int margin = GlyphMargin(m_line_height > 1 ? m_line_height : 1);
  long long dx = static_cast<long long>(x) - ent->left_extra;
  long long dy = static_cast<long long>(y) - margin;
  if (m_flags & LICE_FONT_FLAG_VERTICAL) {
    dx = static_cast<long long>(x) - margin;
    dy = (m_flags & LICE_FONT_FLAG_VERTICAL_BOTTOMUP)
             ? static_cast<long long>(y) - ent->height + ent->left_extra
             : static_cast<long long>(y) - ent->left_extra;
  }

  RECT clip = {0, 0, bm->getWidth(), bm->getHeight()};
  if (clipR) {
    if (clipR->left > clip.left) clip.left = clipR->left;
    if (clipR->top > clip.top) clip.top = clipR->top;
    if (clipR->right < clip.right) clip.right = clipR->right;
    if (clipR->bottom < clip.bottom) clip.bottom = clipR->bottom;
  }
  if (clip.right <= clip.left || clip.bottom <= clip.top) return true;

  if (m_bgmode == 1) {
    const long long l = dx > clip.left ? dx : clip.left;
    const long long t = dy > clip.top ? dy : clip.top;
    const long long r = dx + ent->width < clip.right ? dx + ent->width : clip.right;
    const long long b = dy + ent->height < clip.bottom ? dy + ent->height : clip.bottom;
    if (r > l && b > t)
      LICE_FillRect(bm, static_cast<int>(l), static_cast<int>(t), static_cast<int>(r - l), static_cast<int>(b - t),
                    m_bg, m_alpha, m_comb & ~LICE_BLIT_USE_ALPHA);
  }
  BlendMask(bm, mask, ent->width, ent->height, dx, dy, clip);
  return true;
}

void LICE_CachedFont::BlendMask(LICE_IBitmap* bm, const unsigned char* mask, int mw, int mh, long long dx,
                                long long dy, const RECT& clip) {
  const int weight = LICE_AlphaToWeight(m_alpha);
  if (weight <= 0) return;
  const long long x0 = dx > clip.left ? dx : clip.left;
  const long long y0 = dy > clip.top ? dy : clip.top;
  const long long x1 = dx + mw < clip.right ? dx + mw : clip.right;
  const long long y1 = dy + mh < clip.bottom ? dy + mh : clip.bottom;
  if (x1 <= x0 || y1 <= y0) return;

  const bool mono = (m_flags & LICE_FONT_FLAG_FX_MONO) != 0;
  const bool effect = (m_flags & (LICE_FONT_FLAG_FX_SHADOW | LICE_FONT_FLAG_FX_OUTLINE)) != 0;
  const bool plainCopy = (m_comb & LICE_BLIT_MODE_MASK) == LICE_BLIT_MODE_COPY && !(m_comb & LICE_BLIT_USE_ALPHA) &&
                         !LICE_IsChannelCopy(m_comb) && weight >= 256;
  const int span = bm->getRowSpan();
  LICE_pixel* bits = bm->getBits();
  for (long long y = y0; y < y1; ++y) {
    const unsigned char* cov = mask + (y - dy) * mw;
    LICE_pixel* row = bits + y * span;
    for (long long x = x0; x < x1; ++x) {
      const int g = cov[x - dx];
      if (!g) continue;
      LICE_pixel* d = row + x;
      if (mono) {
        *d = m_fg;
        continue;
      }
      const LICE_pixel color = effect && g < 255 ? m_effectcol : m_fg;
      if (plainCopy) {
        int dc[4], sc[4];
        LICE_Unpack(*d, dc);
        LICE_Unpack(color, sc);
        for (int i = 0; i < 3; ++i) dc[i] = sc[i] + (dc[i] - sc[i]) * (255 - g) / 256;
        dc[3] = 255 - (255 - dc[3]) * (255 - g) / 256;
        *d = LICE_Pack(dc);
      } else {
        const int w = weight * g / 255;
        if (w > 0) LICE_CombinePixel(d, color, w, m_comb);
      }
    }
  }
}
