// Pixel combination rules shared by blits, fills, shapes and text.
//
// Each rule combines a source pixel into a destination pixel with an integer
// weight w (256 = fully opaque). Without the use-source-alpha flag the weight
// applies as is; with it, the source alpha scales it. Arithmetic is exactly
// the documented integer form, so results are reproducible to the bit.
#pragma once

#include "lice/lice_bitmap.h"

#define LICE_BLIT_MODE_MASK 0xff
#define LICE_BLIT_MODE_COPY 0
#define LICE_BLIT_MODE_ADD 1
#define LICE_BLIT_MODE_DODGE 2
#define LICE_BLIT_MODE_MUL 3
#define LICE_BLIT_MODE_OVERLAY 4
#define LICE_BLIT_MODE_HSVADJ 5
#define LICE_BLIT_MODE_CHANCOPY 0xf0  // 0xf0 + 4 * dest byte + source byte
#define LICE_BLIT_FILTER_MASK 0xff00
#define LICE_BLIT_FILTER_BILINEAR 0x100
#define LICE_BLIT_USE_ALPHA 0x10000

// Weights beyond full opacity would push the copy formula out of 0..255, so
// they are capped at +-256; NaN draws nothing.
inline int LICE_AlphaToWeight(float alpha) {
  if (!(alpha == alpha)) return 0;
  const float t = alpha * 256.0f;
  if (t >= 256.0f) return 256;
  if (t <= -256.0f) return -256;
  return static_cast<int>(t);
}

inline int LICE_Clamp255(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// Channels in memory order: blue, green, red, alpha.
inline void LICE_Unpack(LICE_pixel p, int c[4]) {
  c[0] = static_cast<int>(p & 0xffu);
  c[1] = static_cast<int>((p >> 8) & 0xffu);
  c[2] = static_cast<int>((p >> 16) & 0xffu);
  c[3] = static_cast<int>(p >> 24);
}

inline LICE_pixel LICE_Pack(const int c[4]) {
  return static_cast<LICE_pixel>(c[0]) | (static_cast<LICE_pixel>(c[1]) << 8) |
         (static_cast<LICE_pixel>(c[2]) << 16) | (static_cast<LICE_pixel>(c[3]) << 24);
}

// The weight of a source pixel with alpha a under the use-source-alpha flag.
inline int LICE_SourceAlphaWeight(int w, int a) { return w * (a + 1) / 256; }

// Average of two pixels, one bit lost per channel: the alpha 0.5 copy.
inline LICE_pixel LICE_HalfMix(LICE_pixel d, LICE_pixel s) {
  return ((d >> 1) & 0x7F7F7F7Fu) + ((s >> 1) & 0x7F7F7F7Fu);
}

// Byte s of the source pixel replaces byte d of the destination pixel.
inline void LICE_ChannelCopy(LICE_pixel* d, LICE_pixel s, int mode) {
  const int dshift = ((mode >> 2) & 3) * 8;
  const int sshift = (mode & 3) * 8;
  *d = (*d & ~(0xffu << dshift)) | (((s >> sshift) & 0xffu) << dshift);
}

inline bool LICE_IsChannelCopy(int mode) { return (mode & 0xf0) == 0xf0; }

struct LICE_CombineCopy {
  static void Blend(LICE_pixel* d, LICE_pixel s, int w) {
    if (w <= 0) return;
    if (w >= 256) {
      *d = s;
      return;
    }
    int dc[4], sc[4];
    LICE_Unpack(*d, dc);
    LICE_Unpack(s, sc);
    for (int i = 0; i < 4; ++i) dc[i] = sc[i] + (dc[i] - sc[i]) * (256 - w) / 256;
    *d = LICE_Pack(dc);
  }
  static void BlendSourceAlpha(LICE_pixel* d, LICE_pixel s, int w) {
    const int a = static_cast<int>(s >> 24);
    if (a == 0 || w <= 0) return;
    if (w >= 256 && a == 255) {
      *d = s | 0xff000000u;
      return;
    }
    int dc[4], sc[4];
    LICE_Unpack(*d, dc);
    LICE_Unpack(s, sc);
    // At full weight the keep factor is (255 - a), which equals 256 - k.
    const int k = w >= 256 ? a : LICE_SourceAlphaWeight(w, a);
    const int keep = w >= 256 ? 255 - a : 256 - k;
    for (int i = 0; i < 3; ++i) dc[i] = sc[i] + (dc[i] - sc[i]) * keep / 256;
    dc[3] = dc[3] + k > 255 ? 255 : dc[3] + k;
    *d = LICE_Pack(dc);
  }
};

struct LICE_CombineAdd {
  static void Blend(LICE_pixel* d, LICE_pixel s, int w) {
    int dc[4], sc[4];
    LICE_Unpack(*d, dc);
    LICE_Unpack(s, sc);
    // A negative weight subtracts, hence the clamp at both ends.
    for (int i = 0; i < 4; ++i) dc[i] = LICE_Clamp255(dc[i] + sc[i] * w / 256);
    *d = LICE_Pack(dc);
  }
  static void BlendSourceAlpha(LICE_pixel* d, LICE_pixel s, int w) {
    const int a = static_cast<int>(s >> 24);
    if (a == 0) return;
    const int k = LICE_SourceAlphaWeight(w, a);
    int dc[4], sc[4];
    LICE_Unpack(*d, dc);
    LICE_Unpack(s, sc);
    for (int i = 0; i < 3; ++i) dc[i] = LICE_Clamp255(dc[i] + sc[i] * k / 256);
    dc[3] = LICE_Clamp255(dc[3] + a * k / 256);
    *d = LICE_Pack(dc);
  }
};

struct LICE_CombineDodge {
  static int Channel(int dch, int sch, int w) {
    const int t = sch * w / 256;
    const int v = t < 255 ? 256 * dch / (256 - t) : 256 * dch;
    return v > 255 ? 255 : v;
  }
  static void Blend(LICE_pixel* d, LICE_pixel s, int w) {
    int dc[4], sc[4];
    LICE_Unpack(*d, dc);
    LICE_Unpack(s, sc);
    for (int i = 0; i < 4; ++i) dc[i] = Channel(dc[i], sc[i], w);
    *d = LICE_Pack(dc);
  }
  static void BlendSourceAlpha(LICE_pixel* d, LICE_pixel s, int w) {
    Blend(d, s, LICE_SourceAlphaWeight(w, static_cast<int>(s >> 24)));
  }
};

struct LICE_CombineMultiply {
  static void Blend(LICE_pixel* d, LICE_pixel s, int w) {
    int dc[4], sc[4];
    LICE_Unpack(*d, dc);
    LICE_Unpack(s, sc);
    for (int i = 0; i < 4; ++i) {
      // Negative weights make the factor exceed 1; clamp rather than wrap.
      const int v = (sc[i] * w + (256 - w) * 256) * dc[i];
      dc[i] = LICE_Clamp255(v >> 16);
    }
    *d = LICE_Pack(dc);
  }
  static void BlendSourceAlpha(LICE_pixel* d, LICE_pixel s, int w) {
    Blend(d, s, LICE_SourceAlphaWeight(w, static_cast<int>(s >> 24)));
  }
};

struct LICE_CombineOverlay {
  static void Blend(LICE_pixel* d, LICE_pixel s, int w) {
    int dc[4], sc[4];
    LICE_Unpack(*d, dc);
    LICE_Unpack(s, sc);
    const int o = (256 - w) * 128;
    for (int i = 0; i < 4; ++i) {
      const int t = sc[i] * w;
      const int v = ((32768 - t - o) * dc[i] / 256 + t + o) * dc[i];
      dc[i] = v < 0 ? 0 : LICE_Clamp255(v >> 15);
    }
    *d = LICE_Pack(dc);
  }
  static void BlendSourceAlpha(LICE_pixel* d, LICE_pixel s, int w) {
    Blend(d, s, LICE_SourceAlphaWeight(w, static_cast<int>(s >> 24)));
  }
};

// Hue, saturation and value of the destination shifted and scaled by the
// source: red 128 keeps the hue (each step turns it by 1/256 of half a turn),
// green and blue scale saturation and value with 128 meaning 1.0. The result
// is mixed in by the weight; alpha is kept.
struct LICE_CombineHSVAdjust {
  static void Blend(LICE_pixel* d, LICE_pixel s, int w) {
    if (w <= 0) return;
    int dc[4], sc[4];
    LICE_Unpack(*d, dc);
    LICE_Unpack(s, sc);
    const int r = dc[2], g = dc[1], b = dc[0];
    const int mx = r > g ? (r > b ? r : b) : (g > b ? g : b);
    const int mn = r < g ? (r < b ? r : b) : (g < b ? g : b);
    const int delta = mx - mn;
    int hue = 0;  // 0..1535, six sectors of 256
    if (delta > 0) {
      if (mx == r) hue = (g - b) * 256 / delta;
      else if (mx == g) hue = 512 + (b - r) * 256 / delta;
      else hue = 1024 + (r - g) * 256 / delta;
    }
    hue = ((hue + (sc[2] - 128) * 6) % 1536 + 1536) % 1536;
    int sat = mx > 0 ? delta * 255 / mx : 0;
    sat = LICE_Clamp255(sat * sc[1] / 128);
    const int val = LICE_Clamp255(mx * sc[0] / 128);

    const int sector = hue / 256, f = hue % 256;
    const int p = val * (255 - sat) / 255;
    const int q = val * (255 * 256 - sat * f) / (255 * 256);
    const int t = val * (255 * 256 - sat * (256 - f)) / (255 * 256);
    int nr, ng, nb;
    switch (sector) {
      case 0: nr = val; ng = t; nb = p; break;
      case 1: nr = q; ng = val; nb = p; break;
      case 2: nr = p; ng = val; nb = t; break;
      case 3: nr = p; ng = q; nb = val; break;
      case 4: nr = t; ng = p; nb = val; break;
      default: nr = val; ng = p; nb = q; break;
    }
    const int keep = w >= 256 ? 0 : 256 - w;
    dc[2] = nr + (dc[2] - nr) * keep / 256;
    dc[1] = ng + (dc[1] - ng) * keep / 256;
    dc[0] = nb + (dc[0] - nb) * keep / 256;
    *d = LICE_Pack(dc);
  }
  static void BlendSourceAlpha(LICE_pixel* d, LICE_pixel s, int w) {
    Blend(d, s, LICE_SourceAlphaWeight(w, static_cast<int>(s >> 24)));
  }
};

template <class Rule>
inline void LICE_CombineRowWith(LICE_pixel* d, const LICE_pixel* s, int n, int w, bool sourceAlpha) {
  if (sourceAlpha) {
    for (int i = 0; i < n; ++i) Rule::BlendSourceAlpha(d + i, s[i], w);
  } else {
    for (int i = 0; i < n; ++i) Rule::Blend(d + i, s[i], w);
  }
}

template <class Rule>
inline void LICE_CombineSolidRowWith(LICE_pixel* d, LICE_pixel color, int n, int w, bool sourceAlpha) {
  if (sourceAlpha) {
    for (int i = 0; i < n; ++i) Rule::BlendSourceAlpha(d + i, color, w);
  } else {
    for (int i = 0; i < n; ++i) Rule::Blend(d + i, color, w);
  }
}

// Combines n source pixels into n destination pixels by the mode word's rule
// at weight w. A zero weight draws nothing, nor does a negative one with the
// copy rule. Unknown rules combine as copy.
inline void LICE_CombineRow(LICE_pixel* d, const LICE_pixel* s, int n, int w, int mode) {
  if (LICE_IsChannelCopy(mode)) {
    for (int i = 0; i < n; ++i) LICE_ChannelCopy(d + i, s[i], mode);
    return;
  }
  if (w == 0) return;
  const bool sa = (mode & LICE_BLIT_USE_ALPHA) != 0;
  switch (mode & LICE_BLIT_MODE_MASK) {
    case LICE_BLIT_MODE_ADD: LICE_CombineRowWith<LICE_CombineAdd>(d, s, n, w, sa); break;
    case LICE_BLIT_MODE_DODGE: LICE_CombineRowWith<LICE_CombineDodge>(d, s, n, w, sa); break;
    case LICE_BLIT_MODE_MUL: LICE_CombineRowWith<LICE_CombineMultiply>(d, s, n, w, sa); break;
    case LICE_BLIT_MODE_OVERLAY: LICE_CombineRowWith<LICE_CombineOverlay>(d, s, n, w, sa); break;
    case LICE_BLIT_MODE_HSVADJ: LICE_CombineRowWith<LICE_CombineHSVAdjust>(d, s, n, w, sa); break;
    default: LICE_CombineRowWith<LICE_CombineCopy>(d, s, n, w, sa); break;
  }
}

// The same with one colour as the source of every pixel.
inline void LICE_CombineSolidRow(LICE_pixel* d, LICE_pixel color, int n, int w, int mode) {
  if (LICE_IsChannelCopy(mode)) {
    for (int i = 0; i < n; ++i) LICE_ChannelCopy(d + i, color, mode);
    return;
  }
  if (w == 0) return;
  const bool sa = (mode & LICE_BLIT_USE_ALPHA) != 0;
  switch (mode & LICE_BLIT_MODE_MASK) {
    case LICE_BLIT_MODE_ADD: LICE_CombineSolidRowWith<LICE_CombineAdd>(d, color, n, w, sa); break;
    case LICE_BLIT_MODE_DODGE: LICE_CombineSolidRowWith<LICE_CombineDodge>(d, color, n, w, sa); break;
    case LICE_BLIT_MODE_MUL: LICE_CombineSolidRowWith<LICE_CombineMultiply>(d, color, n, w, sa); break;
    case LICE_BLIT_MODE_OVERLAY: LICE_CombineSolidRowWith<LICE_CombineOverlay>(d, color, n, w, sa); break;
    case LICE_BLIT_MODE_HSVADJ: LICE_CombineSolidRowWith<LICE_CombineHSVAdjust>(d, color, n, w, sa); break;
    default: LICE_CombineSolidRowWith<LICE_CombineCopy>(d, color, n, w, sa); break;
  }
}

inline void LICE_CombinePixel(LICE_pixel* d, LICE_pixel s, int w, int mode) { LICE_CombineSolidRow(d, s, 1, w, mode); }
