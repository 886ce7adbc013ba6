// Drawing into the draw bitmap: image frames and the primitives controls use.
// Every primitive does nothing (and answers false) before PrepDraw.
#include <algorithm>
#include <cmath>

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
}  // namespace

bool IGraphics::DrawBitmap(IBitmap* bitmap, IRECT* dest, int srcX, int srcY, const IChannelBlend* blend) {
  if (!mDrawBitmap || !bitmap || !bitmap->mData || !dest) return false;
  const IRECT r = dest->Intersect(mDrawRECT);
  if (r.W() <= 0 || r.H() <= 0) return true;
  LICE_Blit(mDrawBitmap, bitmap->mData, r.L, r.T, srcX + r.L - dest->L, srcY + r.T - dest->T, r.W(), r.H(),
            Alpha(blend), Mode(blend));
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
  const int W = bitmap->W;
  const int H = bitmap->H;
  LICE_RotatedBlit(mDrawBitmap, bitmap->mData, destCentreX - W / 2, destCentreY - H / 2, W, H, 0.0f, 0.0f,
                   static_cast<float>(W), static_cast<float>(H), static_cast<float>(angle), false, Alpha(blend),
                   Mode(blend) | kBilinear, 0.0f, static_cast<float>(yOffsetZeroDeg));
  return true;
}

bool IGraphics::DrawRotatedMask(IBitmap* base, IBitmap* mask, IBitmap* top, int x, int y, double angle,
                                const IChannelBlend* blend) {
  if (!mDrawBitmap || !base || !mask || !top || !base->mData || !mask->mData || !top->mData) return false;
  if (!mTmpBitmap) mTmpBitmap = new LICE_MemBitmap(0, 0);
  const int W = base->W;
  const int H = base->H;
  const float radians = static_cast<float>(angle * M_PI / 180.0);
  LICE_Copy(mTmpBitmap, base->mData);
  if (mTmpBitmap->getWidth() != W || mTmpBitmap->getHeight() != H) return false;
  LICE_ClearRect(mTmpBitmap, 0, 0, W, H, 0xFFFFFF, 0);
  LICE_RotatedBlit(mTmpBitmap, mask->mData, 0, 0, W, H, 0.0f, 0.0f, static_cast<float>(W), static_cast<float>(H),
                   radians, false, 1.0f, kUseAlpha | 1 | kBilinear, 0.0f, 0.0f);
  LICE_RotatedBlit(mTmpBitmap, top->mData, 0, 0, W, H, 0.0f, 0.0f, static_cast<float>(W), static_cast<float>(H),
                   radians, false, 1.0f, kUseAlpha | kBilinear, 0.0f, 0.0f);
  IBitmap scratch(mTmpBitmap, W, H);
  IRECT dest(x, y, x + W, y + H);
  return DrawBitmap(&scratch, &dest, 0, 0, blend);
}

bool IGraphics::DrawPoint(const IColor* color, float x, float y, const IChannelBlend* blend, bool) {
  if (!mDrawBitmap || !color) return false;
  LICE_PutPixel(mDrawBitmap, static_cast<int>(x + 0.5f), static_cast<int>(y + 0.5f), color->Packed(), Alpha(blend),
                Mode(blend));
  return true;
}

bool IGraphics::ForcePixel(const IColor* color, int x, int y) {
  if (!mDrawBitmap || !color) return false;
  if (x < 0 || y < 0 || x >= mDrawBitmap->getWidth() || y >= mDrawBitmap->getHeight()) return false;
  mDrawBitmap->getBits()[y * mDrawBitmap->getRowSpan() + x] = color->Packed();
  return true;
}

bool IGraphics::DrawLine(const IColor* color, float x1, float y1, float x2, float y2, const IChannelBlend* blend,
                         bool antiAlias) {
  if (!mDrawBitmap || !color) return false;
  LICE_Line(mDrawBitmap, static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2), static_cast<int>(y2),
            color->Packed(), Alpha(blend), Mode(blend), antiAlias);
  return true;
}

bool IGraphics::DrawArc(const IColor* color, float cx, float cy, float r, float minAngle, float maxAngle,
                        const IChannelBlend* blend, bool antiAlias) {
  if (!mDrawBitmap || !color) return false;
  LICE_Arc(mDrawBitmap, cx, cy, r, minAngle, maxAngle, color->Packed(), Alpha(blend), Mode(blend), antiAlias);
  return true;
}

bool IGraphics::DrawCircle(const IColor* color, float cx, float cy, float r, const IChannelBlend* blend,
                           bool antiAlias) {
  if (!mDrawBitmap || !color) return false;
  LICE_Circle(mDrawBitmap, cx, cy, r, color->Packed(), Alpha(blend), Mode(blend), antiAlias);
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
  LICE_RoundRect(mDrawBitmap, static_cast<float>(rect->L), static_cast<float>(rect->T), static_cast<float>(rect->W()),
                 static_cast<float>(rect->H()), cornerRadius, color->Packed(), Alpha(blend), Mode(blend), antiAlias);
  return true;
}

bool IGraphics::FillRoundRect(const IColor* color, IRECT* rect, const IChannelBlend* blend, int cornerRadius,
                              bool antiAlias) {
  if (!mDrawBitmap || !color || !rect) return false;
  const int x = rect->L;
  const int y = rect->T;
  const int w = rect->W();
  const int h = rect->H();
  const int r = cornerRadius;
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
  LICE_FillRect(mDrawBitmap, rect->L, rect->T, rect->W(), rect->H(), color->Packed(), Alpha(blend), Mode(blend));
  return true;
}

bool IGraphics::FillCircle(const IColor* color, int cx, int cy, float r, const IChannelBlend* blend, bool antiAlias) {
  if (!mDrawBitmap || !color) return false;
  LICE_FillCircle(mDrawBitmap, static_cast<float>(cx), static_cast<float>(cy), r, color->Packed(), Alpha(blend),
                  Mode(blend), antiAlias);
  return true;
}

bool IGraphics::FillTriangle(const IColor* color, int x1, int y1, int x2, int y2, int x3, int y3,
                             const IChannelBlend* blend) {
  if (!mDrawBitmap || !color) return false;
  LICE_FillTriangle(mDrawBitmap, x1, y1, x2, y2, x3, y3, color->Packed(), Alpha(blend), Mode(blend));
  return true;
}

bool IGraphics::FillIConvexPolygon(const IColor* color, const int* x, const int* y, int npoints,
                                   const IChannelBlend* blend) {
  if (!mDrawBitmap || !color || !x || !y || npoints < 1) return false;
  LICE_FillConvexPolygon(mDrawBitmap, x, y, npoints, color->Packed(), Alpha(blend), Mode(blend));
  return true;
}

bool IGraphics::DrawRect(const IColor* color, IRECT* rect) {
  if (!mDrawBitmap || !color || !rect) return false;
  const LICE_pixel c = color->Packed();
  const int mode = Mode(nullptr);
  LICE_Line(mDrawBitmap, rect->L, rect->T, rect->R, rect->T, c, 1.0f, mode, false);
  LICE_Line(mDrawBitmap, rect->R, rect->T, rect->R, rect->B, c, 1.0f, mode, false);
  LICE_Line(mDrawBitmap, rect->L, rect->B, rect->R, rect->B, c, 1.0f, mode, false);
  LICE_Line(mDrawBitmap, rect->L, rect->T, rect->L, rect->B, c, 1.0f, mode, false);
  return true;
}

bool IGraphics::DrawVerticalLine(const IColor* color, int xi, int yLo, int yHi) {
  if (!mDrawBitmap || !color) return false;
  LICE_Line(mDrawBitmap, xi, yLo, xi, yHi, color->Packed(), 1.0f, Mode(nullptr), false);
  return true;
}

bool IGraphics::DrawVerticalLine(const IColor* color, IRECT* rect, float x) {
  if (!rect) return false;
  const int xi = rect->L + static_cast<int>(static_cast<float>(rect->W()) * Clamp01(x));
  return DrawVerticalLine(color, xi, rect->T, rect->B);
}

bool IGraphics::DrawHorizontalLine(const IColor* color, int yi, int xLo, int xHi) {
  if (!mDrawBitmap || !color) return false;
  LICE_Line(mDrawBitmap, xLo, yi, xHi, yi, color->Packed(), 1.0f, Mode(nullptr), false);
  return true;
}

bool IGraphics::DrawHorizontalLine(const IColor* color, IRECT* rect, float y) {
  if (!rect) return false;
  const int yi = rect->B - static_cast<int>(static_cast<float>(rect->H()) * Clamp01(y));
  return DrawHorizontalLine(color, yi, rect->L, rect->R);
}

IColor IGraphics::GetPoint(int x, int y) {
  if (!mDrawBitmap) return COLOR_TRANSPARENT;
  return IColor::FromPacked(LICE_GetPixel(mDrawBitmap, x, y));
}

void* IGraphics::GetBits() { return mDrawBitmap ? mDrawBitmap->getBits() : nullptr; }
