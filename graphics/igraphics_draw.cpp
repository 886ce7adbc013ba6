// Drawing into the draw bitmap: image frames and the primitives controls use.
// Every primitive does nothing (and answers false) before PrepDraw. Controls
// draw in editor pixels; each coordinate goes to device pixels through the
// one conversion of editor_scale.h, and lines are as many device pixels wide
// as one editor pixel covers, so at 100 % every call is what it always was.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "graphics/editor_scale.h"
#include "graphics/igraphics.h"
#include "lice/lice_blit.h"
#include "lice/lice_curve.h"
#include "lice/lice_fill.h"
#include "lice/lice_line.h"
#include "lice/lice_polygon.h"
#include "lice/lice_rotated_blit.h"
#include "lice/lice_sysbitmap.h"

namespace {
constexpr int kBilinear = 0x100;
constexpr int kUseAlpha = 0x10000;

int Mode(const IChannelBlend* blend) { return IChannelBlend::RasterMode(blend); }
float Alpha(const IChannelBlend* blend) { return IChannelBlend::RasterAlpha(blend); }

// NaN counts as 0: converting it to an int is undefined.
float Clamp01(float f) { return f > 0.0f ? (f < 1.0f ? f : 1.0f) : 0.0f; }

float Factor(int percent) { return static_cast<float>(percent) / 100.0f; }
// Device pixels one editor pixel's line covers.
int LineWidth(int percent) { return ScaleEdge(1, percent); }

// A line of width device pixels: copies side by side across its direction.
void WideLine(LICE_IBitmap* bm, int x1, int y1, int x2, int y2, int width, LICE_pixel c, float a, int mode, bool aa) {
  const bool steep = std::abs(y2 - y1) > std::abs(x2 - x1);
  for (int k = 0; k < width; ++k) {
    const int dx = steep ? k : 0, dy = steep ? 0 : k;
    LICE_Line(bm, x1 + dx, y1 + dy, x2 + dx, y2 + dy, c, a, mode, aa);
  }
}
}  // namespace

bool IGraphics::DrawBitmap(IBitmap* bitmap, IRECT* dest, int srcX, int srcY, const IChannelBlend* blend) {
  if (!mDrawBitmap || !bitmap || !bitmap->mData || !dest) return false;
  const int p = mScalePercent;
  const IRECT d = ScaleRect(*dest, p);
  const IRECT r = d.Intersect(DeviceClip());
  if (r.W() <= 0 || r.H() <= 0) return true;
  LICE_IBitmap* image = DeviceImage(*bitmap);
  if (!image) return false;
  LICE_Blit(mDrawBitmap, image, r.L, r.T, ScaleEdge(srcX, p) + r.L - d.L, ScaleEdge(srcY, p) + r.T - d.T, r.W(),
            r.H(), Alpha(blend), Mode(blend));
  return true;
}

bool IGraphics::DrawBitmap(IBitmap* bitmap, IRECT* dest, int frame, const IChannelBlend* blend) {
  if (!bitmap) return false;
  int srcX = 0;
  int srcY = 0;
  if (frame >= 2 && bitmap->N >= 2) {
    if (bitmap->mFramesAreHorizontal)
      srcX = bitmap->FrameOffset(frame);
    else
      srcY = bitmap->FrameOffset(frame);
  }
  return DrawBitmap(bitmap, dest, srcX, srcY, blend);
}

bool IGraphics::DrawRotatedBitmap(IBitmap* bitmap, int destCentreX, int destCentreY, double angle,
                                  int yOffsetZeroDeg, const IChannelBlend* blend) {
  if (!mDrawBitmap || !bitmap || !bitmap->mData) return false;
  const int p = mScalePercent;
  LICE_IBitmap* image = DeviceImage(*bitmap);
  if (!image) return false;
  const int W = image->getWidth();
  const int H = image->getHeight();
  LICE_RotatedBlit(mDrawBitmap, image, ScaleEdge(destCentreX, p) - W / 2, ScaleEdge(destCentreY, p) - H / 2, W, H,
                   0.0f, 0.0f, static_cast<float>(W), static_cast<float>(H), static_cast<float>(angle), false,
                   Alpha(blend), Mode(blend) | kBilinear, 0.0f, static_cast<float>(yOffsetZeroDeg) * Factor(p));
  return true;
}

bool IGraphics::DrawRotatedMask(IBitmap* base, IBitmap* mask, IBitmap* top, int x, int y, double angle,
                                const IChannelBlend* blend) {
  if (!mDrawBitmap || !base || !mask || !top || !base->mData || !mask->mData || !top->mData) return false;
  if (!mTmpBitmap) mTmpBitmap = new LICE_MemBitmap(0, 0);
  LICE_IBitmap* baseImage = DeviceImage(*base);
  LICE_IBitmap* maskImage = DeviceImage(*mask);
  LICE_IBitmap* topImage = DeviceImage(*top);
  if (!baseImage || !maskImage || !topImage) return false;
  const int W = baseImage->getWidth();
  const int H = baseImage->getHeight();
  const float radians = static_cast<float>(angle * M_PI / 180.0);
  LICE_Copy(mTmpBitmap, baseImage);
  if (mTmpBitmap->getWidth() != W || mTmpBitmap->getHeight() != H) return false;
  LICE_ClearRect(mTmpBitmap, 0, 0, W, H, 0xFFFFFF, 0);
  LICE_RotatedBlit(mTmpBitmap, maskImage, 0, 0, W, H, 0.0f, 0.0f, static_cast<float>(W), static_cast<float>(H),
                   radians, false, 1.0f, kUseAlpha | 1 | kBilinear, 0.0f, 0.0f);
  LICE_RotatedBlit(mTmpBitmap, topImage, 0, 0, W, H, 0.0f, 0.0f, static_cast<float>(W), static_cast<float>(H),
                   radians, false, 1.0f, kUseAlpha | kBilinear, 0.0f, 0.0f);
  // Already in device pixels: blitted as it is, clipped as DrawBitmap clips.
  const int p = mScalePercent;
  const IRECT d(ScaleEdge(x, p), ScaleEdge(y, p), ScaleEdge(x, p) + W, ScaleEdge(y, p) + H);
  const IRECT r = d.Intersect(DeviceClip());
  if (r.W() > 0 && r.H() > 0)
    LICE_Blit(mDrawBitmap, mTmpBitmap, r.L, r.T, r.L - d.L, r.T - d.T, r.W(), r.H(), Alpha(blend), Mode(blend));
  return true;
}

bool IGraphics::DrawPoint(const IColor* color, float x, float y, const IChannelBlend* blend, bool) {
  if (!mDrawBitmap || !color) return false;
  const int xi = static_cast<int>(x + 0.5f), yi = static_cast<int>(y + 0.5f);
  if (mScalePercent == 100) {
    LICE_PutPixel(mDrawBitmap, xi, yi, color->Packed(), Alpha(blend), Mode(blend));
  } else {
    const IRECT d = ScaleRect(IRECT(xi, yi, xi + 1, yi + 1), mScalePercent);
    LICE_FillRect(mDrawBitmap, d.L, d.T, d.W(), d.H(), color->Packed(), Alpha(blend), Mode(blend));
  }
  return true;
}

bool IGraphics::ForcePixel(const IColor* color, int x, int y) {
  if (!mDrawBitmap || !color) return false;
  if (x < 0 || y < 0 || x >= mWidth || y >= mHeight) return false;
  const IRECT d = ScaleRect(IRECT(x, y, x + 1, y + 1), mScalePercent).Intersect(
      IRECT(0, 0, mDrawBitmap->getWidth(), mDrawBitmap->getHeight()));
  for (int row = d.T; row < d.B; ++row)
    for (int col = d.L; col < d.R; ++col) mDrawBitmap->getBits()[row * mDrawBitmap->getRowSpan() + col] = color->Packed();
  return true;
}

bool IGraphics::DrawLine(const IColor* color, float x1, float y1, float x2, float y2, const IChannelBlend* blend,
                         bool antiAlias) {
  if (!mDrawBitmap || !color) return false;
  const float k = Factor(mScalePercent);
  WideLine(mDrawBitmap, static_cast<int>(x1 * k), static_cast<int>(y1 * k), static_cast<int>(x2 * k),
           static_cast<int>(y2 * k), LineWidth(mScalePercent), color->Packed(), Alpha(blend), Mode(blend), antiAlias);
  return true;
}

bool IGraphics::DrawArc(const IColor* color, float cx, float cy, float r, float minAngle, float maxAngle,
                        const IChannelBlend* blend, bool antiAlias) {
  if (!mDrawBitmap || !color) return false;
  const float k = Factor(mScalePercent);
  for (int i = 0; i < LineWidth(mScalePercent); ++i)
    LICE_Arc(mDrawBitmap, cx * k, cy * k, r * k - static_cast<float>(i), minAngle, maxAngle, color->Packed(),
             Alpha(blend), Mode(blend), antiAlias);
  return true;
}

bool IGraphics::DrawCircle(const IColor* color, float cx, float cy, float r, const IChannelBlend* blend,
                           bool antiAlias) {
  if (!mDrawBitmap || !color) return false;
  const float k = Factor(mScalePercent);
  for (int i = 0; i < LineWidth(mScalePercent); ++i)
    LICE_Circle(mDrawBitmap, cx * k, cy * k, r * k - static_cast<float>(i), color->Packed(), Alpha(blend),
                Mode(blend), antiAlias);
  return true;
}

bool IGraphics::DrawRadialLine(const IColor* color, float cx, float cy, float angle, float rMin, float rMax,
                               const IChannelBlend* blend, bool antiAlias) {
  const float sinV = std::sin(angle);
  const float cosV = std::cos(angle);
  return DrawLine(color, cx + rMin * sinV, cy - rMin * cosV, cx + rMax * sinV, cy - rMax * cosV, blend, antiAlias);
}

bool IGraphics::RoundRect(const IColor* color, IRECT* rect, const IChannelBlend* blend, int cornerRadius,
                          bool antiAlias) {
  if (!mDrawBitmap || !color || !rect) return false;
  const IRECT d = ScaleRect(*rect, mScalePercent);
  const int radius = ScaleEdge(cornerRadius, mScalePercent);
  for (int i = 0; i < LineWidth(mScalePercent); ++i)
    LICE_RoundRect(mDrawBitmap, static_cast<float>(d.L + i), static_cast<float>(d.T + i),
                   static_cast<float>(d.W() - 2 * i), static_cast<float>(d.H() - 2 * i), radius - i, color->Packed(),
                   Alpha(blend), Mode(blend), antiAlias);
  return true;
}

bool IGraphics::FillRoundRect(const IColor* color, IRECT* rect, const IChannelBlend* blend, int cornerRadius,
                              bool antiAlias) {
  if (!mDrawBitmap || !color || !rect) return false;
  const IRECT d = ScaleRect(*rect, mScalePercent);
  const int x = d.L;
  const int y = d.T;
  const int w = d.W();
  const int h = d.H();
  const int r = ScaleEdge(cornerRadius, mScalePercent);
  const LICE_pixel c = color->Packed();
  const float a = Alpha(blend);
  const int mode = Mode(blend);
  LICE_FillRect(mDrawBitmap, x + r, y, w - 2 * r, h, c, a, mode);
  LICE_FillRect(mDrawBitmap, x, y + r, r, h - 2 * r, c, a, mode);
  LICE_FillRect(mDrawBitmap, x + w - r, y + r, r, h - 2 * r, c, a, mode);
  const float left = static_cast<float>(x + r);
  const float right = static_cast<float>(x + w - 1 - r);
  const float upper = static_cast<float>(y + r);
  const float lower = static_cast<float>(y + h - 1 - r);
  const float radius = static_cast<float>(r);
  LICE_FillCircle(mDrawBitmap, left, upper, radius, c, a, mode, antiAlias);
  LICE_FillCircle(mDrawBitmap, right, upper, radius, c, a, mode, antiAlias);
  LICE_FillCircle(mDrawBitmap, left, lower, radius, c, a, mode, antiAlias);
  LICE_FillCircle(mDrawBitmap, right, lower, radius, c, a, mode, antiAlias);
  return true;
}

bool IGraphics::FillIRect(const IColor* color, IRECT* rect, const IChannelBlend* blend) {
  if (!mDrawBitmap || !color || !rect) return false;
  const IRECT d = ScaleRect(*rect, mScalePercent);
  LICE_FillRect(mDrawBitmap, d.L, d.T, d.W(), d.H(), color->Packed(), Alpha(blend), Mode(blend));
  return true;
}

bool IGraphics::FillCircle(const IColor* color, int cx, int cy, float r, const IChannelBlend* blend, bool antiAlias) {
  if (!mDrawBitmap || !color) return false;
  const float k = Factor(mScalePercent);
  LICE_FillCircle(mDrawBitmap, static_cast<float>(cx) * k, static_cast<float>(cy) * k, r * k, color->Packed(),
                  Alpha(blend), Mode(blend), antiAlias);
  return true;
}

bool IGraphics::FillTriangle(const IColor* color, int x1, int y1, int x2, int y2, int x3, int y3,
                             const IChannelBlend* blend) {
  if (!mDrawBitmap || !color) return false;
  const int p = mScalePercent;
  LICE_FillTriangle(mDrawBitmap, ScaleEdge(x1, p), ScaleEdge(y1, p), ScaleEdge(x2, p), ScaleEdge(y2, p),
                    ScaleEdge(x3, p), ScaleEdge(y3, p), color->Packed(), Alpha(blend), Mode(blend));
  return true;
}

bool IGraphics::FillIConvexPolygon(const IColor* color, const int* x, const int* y, int npoints,
                                   const IChannelBlend* blend) {
  if (!mDrawBitmap || !color || !x || !y || npoints < 1) return false;
  if (mScalePercent == 100) {
    LICE_FillConvexPolygon(mDrawBitmap, x, y, npoints, color->Packed(), Alpha(blend), Mode(blend));
    return true;
  }
  std::vector<int> dx(static_cast<size_t>(npoints)), dy(static_cast<size_t>(npoints));
  for (int i = 0; i < npoints; ++i) {
    dx[static_cast<size_t>(i)] = ScaleEdge(x[i], mScalePercent);
    dy[static_cast<size_t>(i)] = ScaleEdge(y[i], mScalePercent);
  }
  LICE_FillConvexPolygon(mDrawBitmap, dx.data(), dy.data(), npoints, color->Packed(), Alpha(blend), Mode(blend));
  return true;
}

bool IGraphics::DrawRect(const IColor* color, IRECT* rect) {
  if (!mDrawBitmap || !color || !rect) return false;
  const LICE_pixel c = color->Packed();
  const int mode = Mode(nullptr);
  const IRECT d = ScaleRect(*rect, mScalePercent);
  // The edges are editor pixel rows and columns: inward from the right and
  // bottom ones, as the 1x line lies inside the pixel it names.
  const int t = LineWidth(mScalePercent);
  WideLine(mDrawBitmap, d.L, d.T, d.R + t - 1, d.T, t, c, 1.0f, mode, false);
  WideLine(mDrawBitmap, d.R, d.T, d.R, d.B + t - 1, t, c, 1.0f, mode, false);
  WideLine(mDrawBitmap, d.L, d.B, d.R + t - 1, d.B, t, c, 1.0f, mode, false);
  WideLine(mDrawBitmap, d.L, d.T, d.L, d.B + t - 1, t, c, 1.0f, mode, false);
  return true;
}

bool IGraphics::DrawVerticalLine(const IColor* color, int xi, int yLo, int yHi) {
  if (!mDrawBitmap || !color) return false;
  const int p = mScalePercent;
  WideLine(mDrawBitmap, ScaleEdge(xi, p), ScaleEdge(yLo, p), ScaleEdge(xi, p), ScaleEdge(yHi, p) + LineWidth(p) - 1,
           LineWidth(p), color->Packed(), 1.0f, Mode(nullptr), false);
  return true;
}

bool IGraphics::DrawVerticalLine(const IColor* color, IRECT* rect, float x) {
  if (!rect) return false;
  const int xi = rect->L + static_cast<int>(static_cast<float>(rect->W()) * Clamp01(x));
  return DrawVerticalLine(color, xi, rect->T, rect->B);
}

bool IGraphics::DrawHorizontalLine(const IColor* color, int yi, int xLo, int xHi) {
  if (!mDrawBitmap || !color) return false;
  const int p = mScalePercent;
  WideLine(mDrawBitmap, ScaleEdge(xLo, p), ScaleEdge(yi, p), ScaleEdge(xHi, p) + LineWidth(p) - 1, ScaleEdge(yi, p),
           LineWidth(p), color->Packed(), 1.0f, Mode(nullptr), false);
  return true;
}

bool IGraphics::DrawHorizontalLine(const IColor* color, IRECT* rect, float y) {
  if (!rect) return false;
  const int yi = rect->B - static_cast<int>(static_cast<float>(rect->H()) * Clamp01(y));
  return DrawHorizontalLine(color, yi, rect->L, rect->R);
}

IColor IGraphics::GetPoint(int x, int y) {
  if (!mDrawBitmap) return COLOR_TRANSPARENT;
  return IColor::FromPacked(LICE_GetPixel(mDrawBitmap, ScaleEdge(x, mScalePercent), ScaleEdge(y, mScalePercent)));
}

void* IGraphics::GetBits() { return mDrawBitmap ? mDrawBitmap->getBits() : nullptr; }
