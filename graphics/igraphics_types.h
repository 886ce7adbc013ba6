// Value types shared by the editor engine, its controls and the platform
// layer: rectangles, colours, blends, text styles, image handles and mouse
// modifiers.
#pragma once

#include <cstdint>

class LICE_IBitmap;
class LICE_CachedFont;

// Editor pixels, origin top-left, y down. The all-zero rectangle is "empty";
// one of zero width or height elsewhere is not.
struct IRECT {
  int L = 0;
  int T = 0;
  int R = 0;
  int B = 0;

  IRECT() = default;
  IRECT(int l, int t, int r, int b) : L(l), T(t), R(r), B(b) {}

  bool Empty() const { return L == 0 && T == 0 && R == 0 && B == 0; }
  void Clear() { L = T = R = B = 0; }
  int W() const { return R - L; }
  int H() const { return B - T; }
  float MW() const { return 0.5f * static_cast<float>(L + R); }
  float MH() const { return 0.5f * static_cast<float>(T + B); }

  bool operator==(const IRECT& o) const { return L == o.L && T == o.T && R == o.R && B == o.B; }
  bool operator!=(const IRECT& o) const { return !(*this == o); }

  // Right and bottom compare inclusively, left and top strictly, so the test
  // is not symmetric: (0,0,10,10) meets (10,0,20,10) but not the reverse.
  bool Intersects(const IRECT& o) const {
    if (Empty() || o.Empty()) return false;
    return R >= o.L && L < o.R && B >= o.T && T < o.B;
  }
  IRECT Intersect(const IRECT& o) const;
  IRECT Union(const IRECT& o) const;
  // Left and top inclusive, right and bottom exclusive.
  bool Contains(int x, int y) const { return x >= L && x < R && y >= T && y < B; }
};

// Components 0..255.
struct IColor {
  int A = 0;
  int R = 0;
  int G = 0;
  int B = 0;

  constexpr IColor() = default;
  constexpr IColor(int a, int r, int g, int b) : A(a), R(r), G(g), B(b) {}

  bool operator==(const IColor& o) const { return A == o.A && R == o.R && G == o.G && B == o.B; }
  bool operator!=(const IColor& o) const { return !(*this == o); }

  // 0xAARRGGBB for the raster layer. Each component is masked to a byte so
  // an out-of-range one cannot spill into its neighbours.
  uint32_t Packed() const {
    return (static_cast<uint32_t>(A) & 0xffu) << 24 | (static_cast<uint32_t>(R) & 0xffu) << 16 |
           (static_cast<uint32_t>(G) & 0xffu) << 8 | (static_cast<uint32_t>(B) & 0xffu);
  }
  static IColor FromPacked(uint32_t p) {
    return IColor(static_cast<int>(p >> 24), static_cast<int>((p >> 16) & 0xffu), static_cast<int>((p >> 8) & 0xffu),
                  static_cast<int>(p & 0xffu));
  }
};

inline constexpr IColor COLOR_TRANSPARENT(0, 0, 0, 0);
inline constexpr IColor COLOR_BLACK(255, 0, 0, 0);
inline constexpr IColor COLOR_GRAY(255, 127, 127, 127);
inline constexpr IColor COLOR_WHITE(255, 255, 255, 255);
inline constexpr IColor COLOR_RED(255, 255, 0, 0);
inline constexpr IColor COLOR_GREEN(255, 0, 255, 0);
inline constexpr IColor COLOR_BLUE(255, 0, 0, 255);
inline constexpr IColor COLOR_YELLOW(255, 255, 255, 0);
inline constexpr IColor COLOR_ORANGE(255, 255, 127, 0);
inline constexpr IColor DEFAULT_TEXT_COLOR(255, 0, 0, 0);
inline constexpr IColor DEFAULT_TEXT_ENTRY_BGCOLOR(255, 255, 255, 255);
inline constexpr IColor DEFAULT_TEXT_ENTRY_FGCOLOR(255, 0, 0, 0);

struct IChannelBlend {
  enum EBlendMethod : int32_t {
    kBlendAlpha = 0,
    kBlendCopy = 1,
    kBlendAdd = 2,
    kBlendDodge = 3,
  };

  EBlendMethod mMethod = kBlendAlpha;
  float mWeight = 1.0f;

  IChannelBlend(EBlendMethod method = kBlendAlpha, float weight = 1.0f) : mMethod(method), mWeight(weight) {}

  // The raster mode word and opacity every primitive draws with. A null
  // blend copies honouring source alpha at full weight.
  static int RasterMode(const IChannelBlend* blend);
  static float RasterAlpha(const IChannelBlend* blend);
};

constexpr int FONT_FACE_SIZE = 32;
constexpr int DEFAULT_TEXT_SIZE = 10;
constexpr const char* DEFAULT_FONT = "Monaco";

struct IText {
  enum EStyle : int32_t { kStyleNormal = 0, kStyleBold = 1, kStyleItalic = 2 };
  enum EAlign : int32_t { kAlignNear = 0, kAlignCenter = 1, kAlignFar = 2 };
  enum EQuality : int32_t { kQualityDefault = 0, kQualityNonAntiAliased = 1, kQualityAntiAliased = 2,
                            kQualityClearType = 3 };

  char mFont[FONT_FACE_SIZE] = {};
  int mSize = DEFAULT_TEXT_SIZE;
  IColor mColor = DEFAULT_TEXT_COLOR;
  IColor mTextEntryBGColor = DEFAULT_TEXT_ENTRY_BGCOLOR;
  IColor mTextEntryFGColor = DEFAULT_TEXT_ENTRY_FGCOLOR;
  EStyle mStyle = kStyleNormal;
  EAlign mAlign = kAlignCenter;
  int mOrientation = 0;  // degrees, counter-clockwise
  EQuality mQuality = kQualityDefault;
  // Owned by the process-wide font cache; filled by the first draw.
  LICE_CachedFont* mCached = nullptr;

  // A null face gives DEFAULT_FONT; longer faces are cut to 31 characters.
  explicit IText(int size = DEFAULT_TEXT_SIZE, const IColor& color = DEFAULT_TEXT_COLOR, const char* font = nullptr,
                 EStyle style = kStyleNormal, EAlign align = kAlignCenter, int orientation = 0,
                 EQuality quality = kQualityDefault, const IColor& textEntryBGColor = DEFAULT_TEXT_ENTRY_BGCOLOR,
                 const IColor& textEntryFGColor = DEFAULT_TEXT_ENTRY_FGCOLOR);
  explicit IText(const IColor& color);

  void SetFont(const char* font);
};

// A handle on an image owned by the process-wide bitmap cache. N frames of
// equal size lie side by side or are stacked.
struct IBitmap {
  LICE_IBitmap* mData = nullptr;
  int W = 0;
  int H = 0;
  int N = 1;
  bool mFramesAreHorizontal = false;

  IBitmap() = default;
  // N below 1 counts as 1: frame sizes divide by it.
  IBitmap(LICE_IBitmap* data, int w, int h, int n = 1, bool framesAreHorizontal = false)
      : mData(data), W(w), H(h), N(n < 1 ? 1 : n), mFramesAreHorizontal(framesAreHorizontal) {}

  int FrameWidth() const { return mFramesAreHorizontal ? W / N : W; }
  int FrameHeight() const { return mFramesAreHorizontal ? H : H / N; }
  // Where frame `frame` (from 1) starts along the stacking axis.
  int FrameOffset(int frame) const;
};

struct IMouseMod {
  bool L = false;  // primary button
  bool R = false;  // secondary button, or the platform's equivalent gesture
  bool S = false;  // Shift
  bool C = false;  // Control
  bool A = false;  // Alt / Option

  IMouseMod() = default;
  IMouseMod(bool l, bool r = false, bool s = false, bool c = false, bool a = false) : L(l), R(r), S(s), C(c), A(a) {}
};

// What PromptForFile is asked for.
enum EFileAction : int32_t { kFileOpen = 0, kFileSave = 1 };
