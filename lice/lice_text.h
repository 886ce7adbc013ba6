// Text drawn into raster bitmaps with a native font: either by the platform
// straight into the bitmap's drawing context, or from cached coverage masks
// composited with the raster library's combine rules.
#pragma once

#include "framework/wdl_heapbuf.h"
#include "lice/lice_bitmap.h"
#include "lice/lice_gdi.h"

// SetFromHFont flags
#define LICE_FONT_FLAG_VERTICAL 0x1
#define LICE_FONT_FLAG_VERTICAL_BOTTOMUP 0x2
#define LICE_FONT_FLAG_PRECALCALL 0x4
#define LICE_FONT_FLAG_FX_BLUR 0x10
#define LICE_FONT_FLAG_FX_INVERT 0x20
#define LICE_FONT_FLAG_FX_MONO 0x40
#define LICE_FONT_FLAG_FX_SHADOW 0x80
#define LICE_FONT_FLAG_FX_OUTLINE 0x100
#define LICE_FONT_FLAG_OWNS_HFONT 0x200
#define LICE_FONT_FLAG_FORCE_NATIVE 0x400

// DrawText flags beyond the DT_ ones
#define LICE_DT_USEFGALPHA 0x40000000
#define LICE_DT_NEEDALPHA 0x80000000

class LICE_IFont {
public:
  virtual ~LICE_IFont() {}
  virtual void SetFromHFont(HGDIOBJ font, int flags = 0) = 0;
  virtual LICE_pixel SetTextColor(LICE_pixel color) = 0;
  virtual LICE_pixel SetBkColor(LICE_pixel color) = 0;
  virtual LICE_pixel SetEffectColor(LICE_pixel color) = 0;
  virtual int SetBkMode(int mode) = 0;
  // Returns the previous mode.
  virtual int SetCombineMode(int mode, float alpha = 1.0f) = 0;
  // strcnt < 0: up to the NUL. Returns the text height; with DT_CALCRECT
  // stores the text's extent into rect and draws nothing.
  virtual int DrawText(LICE_IBitmap* bm, const char* str, int strcnt, RECT* rect, unsigned int dtFlags) = 0;
  virtual LICE_pixel GetTextColor() = 0;
  virtual HGDIOBJ GetHFont() = 0;
  virtual int GetLineHeight() = 0;
  // Returns false when the character has no pixels to draw.
  virtual bool DrawGlyph(LICE_IBitmap* bm, unsigned short c, int x, int y, RECT* clipR) = 0;
};

class LICE_CachedFont : public LICE_IFont {
public:
  LICE_CachedFont();
  ~LICE_CachedFont() override;
  LICE_CachedFont(const LICE_CachedFont&) = delete;
  LICE_CachedFont& operator=(const LICE_CachedFont&) = delete;

  void SetFromHFont(HGDIOBJ font, int flags = 0) override;
  LICE_pixel SetTextColor(LICE_pixel color) override;
  LICE_pixel SetBkColor(LICE_pixel color) override;
  LICE_pixel SetEffectColor(LICE_pixel color) override;
  int SetBkMode(int mode) override;
  int SetCombineMode(int mode, float alpha = 1.0f) override;
  int DrawText(LICE_IBitmap* bm, const char* str, int strcnt, RECT* rect, unsigned int dtFlags) override;
  LICE_pixel GetTextColor() override { return m_fg; }
  HGDIOBJ GetHFont() override { return m_font; }
  int GetLineHeight() override { return m_line_height; }
  bool DrawGlyph(LICE_IBitmap* bm, unsigned short c, int x, int y, RECT* clipR) override;

  // Glyphs above this line height are never rendered into the cache.
  static const int kMaxCachedLineHeight = 1023;
  // Line heights from here on are always drawn natively.
  static const int kNativeLineHeight = 256;

protected:
  struct charEnt {
    int base_offset;  // 1 + offset of the mask in the store; 0 not rendered; -1 no pixels
    int width;
    int height;
    int advance;
    unsigned short charid;
    int left_extra;   // mask offset from the pen, against the advance direction
  };

  // The entry of c, rendered if it was not yet; null if c cannot be rendered.
  charEnt* RenderGlyph(unsigned short c);
  charEnt* FindGlyph(unsigned short c);

private:
  bool UseNativeRendering(unsigned int dtFlags) const;
  int DrawTextNative(LICE_IBitmap* bm, const char* str, int strcnt, RECT* rect, unsigned int dtFlags);
  void ApplyNativeState(HDC dc);
  // Width and height of the text walked as DrawText walks it.
  void MeasureText(const char* str, int len, unsigned int dtFlags, long long* w, long long* h);
  void RenderInto(charEnt* ent, unsigned short c);
  void BlendMask(LICE_IBitmap* bm, const unsigned char* mask, int mw, int mh, long long dx, long long dy,
                 const RECT& clip);

  LICE_pixel m_fg = 0;
  LICE_pixel m_bg = 0xFFFFFFFF;
  LICE_pixel m_effectcol = 0xFFFFFFFF;
  int m_bgmode = 0;
  int m_comb = 0;
  float m_alpha = 1.0f;
  int m_flags = 0;
  int m_line_height = 0;
  charEnt m_lowchars[128];
  WDL_TypedBuf<charEnt> m_extracharlist{4096};
  WDL_TypedBuf<unsigned char> m_cachestore{65536};
  HGDIOBJ m_font = nullptr;
};

// The UTF-8 decoding of DrawText: one character from at most `avail` bytes.
// Sequences of four bytes give a space; malformed or cut-short ones give the
// lead byte's own value and consume one byte.
int LICE_DecodeTextChar(const char* s, int avail, int* used);
