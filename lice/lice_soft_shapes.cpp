#include "lice/lice_soft_shapes.h"

#include <algorithm>
#include <cmath>

#include "lice/lice_combine.h"
#include "lice/lice_painter.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;

LICE_pixel MixPixel(LICE_pixel a, LICE_pixel b, double t) {
  if (t <= 0.0) return a;
  if (t >= 1.0) return b;
  int ca[4], cb[4], out[4];
  LICE_Unpack(a, ca);
  LICE_Unpack(b, cb);
  for (int i = 0; i < 4; ++i) out[i] = static_cast<int>(std::lround(ca[i] + (cb[i] - ca[i]) * t));
  return LICE_Pack(out);
}

struct Target {
  LICE_pixel* bits = nullptr;
  int width = 0, height = 0, span = 0;
  int weight = 0;
  int mode = 0;

  Target(LICE_IBitmap* bm, float alpha, int m) : weight(LICE_AlphaToWeight(alpha)), mode(m) {
    if (!bm) return;
    bits = bm->getBits();
    width = bm->getWidth();
    height = bm->getHeight();
    span = bm->getRowSpan();
    if (!bits || width <= 0 || height <= 0 || span < width) bits = nullptr;
    const bool copyRule = !LICE_IsChannelCopy(mode) && (mode & LICE_BLIT_MODE_MASK) == LICE_BLIT_MODE_COPY;
    if (!LICE_IsChannelCopy(mode) && (weight == 0 || (copyRule && weight < 0))) bits = nullptr;
  }
  void Plot(int x, int y, LICE_pixel color, double coverage) {
    if (!(coverage > 0.0)) return;
    const int w = coverage >= 1.0 ? weight : static_cast<int>(weight * coverage + (weight < 0 ? -0.5 : 0.5));
    if (w == 0 && !LICE_IsChannelCopy(mode)) return;
    LICE_CombineSolidRow(bits + static_cast<long long>(y) * span + x, color, 1, w, mode);
  }
};

// Walks the pixels of the box [x0, x1] x [y0, y1] (clipped to the image)
// and plots each with the coverage 0.5 - distance(x, y), where distance is
// signed (negative inside) and the colour runs from top to bottom.
template <class Distance>
void FillByDistance(Target& t, double x0, double y0, double x1, double y1, LICE_pixel top, LICE_pixel bottom,
                    Distance distance) {
  if (!t.bits) return;
  if (!(x0 <= x1) || !(y0 <= y1) || !std::isfinite(x0 + y0 + x1 + y1)) return;
  long long left = LICE_ClampCoord(x0 - 1.0), right = LICE_ClampCoord(x1 + 1.0) + 1;
  long long up = LICE_ClampCoord(y0 - 1.0), down = LICE_ClampCoord(y1 + 1.0) + 1;
  left = std::max(left, 0LL);
  up = std::max(up, 0LL);
  right = std::min<long long>(right, t.width - 1);
  down = std::min<long long>(down, t.height - 1);
  const double span = y1 - y0;
  for (long long y = up; y <= down; ++y) {
    const LICE_pixel color = span > 0 ? MixPixel(top, bottom, (static_cast<double>(y) - y0) / span) : top;
    for (long long x = left; x <= right; ++x) {
      const double cover = 0.5 - distance(static_cast<double>(x), static_cast<double>(y));
      t.Plot(static_cast<int>(x), static_cast<int>(y), color, cover);
    }
  }
}

double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
  const double vx = bx - ax, vy = by - ay;
  const double len2 = vx * vx + vy * vy;
  double u = len2 > 0 ? ((px - ax) * vx + (py - ay) * vy) / len2 : 0.0;
  u = std::clamp(u, 0.0, 1.0);
  return std::hypot(px - ax - u * vx, py - ay - u * vy);
}

}  // namespace

void LICE_GradientRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel top, LICE_pixel bottom,
                       float alpha, int mode) {
  Target t(dest, alpha, mode);
  if (!t.bits || w <= 0 || h <= 0) return;
  const long long x0 = std::max<long long>(x, 0), x1 = std::min<long long>(static_cast<long long>(x) + w, t.width);
  const long long y0 = std::max<long long>(y, 0), y1 = std::min<long long>(static_cast<long long>(y) + h, t.height);
  for (long long row = y0; row < y1; ++row) {
    const LICE_pixel color = h > 1 ? MixPixel(top, bottom, static_cast<double>(row - y) / (h - 1)) : top;
    if (x1 > x0)
      LICE_CombineSolidRow(t.bits + row * t.span + x0, color, static_cast<int>(x1 - x0), t.weight, t.mode);
  }
}

void LICE_FillGradientCircle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel top, LICE_pixel bottom,
                             float alpha, int mode) {
  if (!(r > 0)) return;
  Target t(dest, alpha, mode);
  FillByDistance(t, cx - r, cy - r, cx + r, cy + r, top, bottom,
                 [=](double x, double y) { return std::hypot(x - cx, y - cy) - r; });
}

void LICE_FillGradientRoundRect(LICE_IBitmap* dest, float x, float y, float w, float h, float radius,
                                LICE_pixel top, LICE_pixel bottom, float alpha, int mode) {
  if (!(w > 0) || !(h > 0)) return;
  Target t(dest, alpha, mode);
  const double left = x - 0.5, upper = y - 0.5, right = x + w - 0.5, lower = y + h - 0.5;
  const double cx = (left + right) / 2, cy = (upper + lower) / 2;
  const double rr = std::clamp(static_cast<double>(radius), 0.0, std::min(w, h) / 2.0);
  const double hx = w / 2.0 - rr, hy = h / 2.0 - rr;
  FillByDistance(t, left + 0.5, upper + 0.5, right - 0.5, lower - 0.5, top, bottom, [=](double px, double py) {
    const double qx = std::fabs(px - cx) - hx, qy = std::fabs(py - cy) - hy;
    const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - rr;
  });
}

void LICE_FillArcStroke(LICE_IBitmap* dest, float cx, float cy, float r, float width, float minAngle, float maxAngle,
                        LICE_pixel color, float alpha, int mode) {
  if (!(r >= 0) || !(width > 0) || !(minAngle <= maxAngle)) return;
  Target t(dest, alpha, mode);
  const double half = width / 2.0;
  const double sweep = static_cast<double>(maxAngle) - minAngle;
  const double ax = cx + r * std::sin(minAngle), ay = cy - r * std::cos(minAngle);
  const double bx = cx + r * std::sin(maxAngle), by = cy - r * std::cos(maxAngle);
  const double reach = r + half;
  FillByDistance(t, cx - reach, cy - reach, cx + reach, cy + reach, color, color, [=](double px, double py) {
    const double dx = px - cx, dy = py - cy;
    if (sweep < kTwoPi) {
      double rel = std::fmod(std::atan2(dx, -dy) - minAngle, kTwoPi);
      if (rel < 0) rel += kTwoPi;
      if (rel > sweep) return std::min(std::hypot(px - ax, py - ay), std::hypot(px - bx, py - by)) - half;
    }
    return std::fabs(std::hypot(dx, dy) - r) - half;
  });
}

void LICE_FillLineStroke(LICE_IBitmap* dest, float x1, float y1, float x2, float y2, float width, LICE_pixel color,
                         float alpha, int mode) {
  if (!(width > 0)) return;
  Target t(dest, alpha, mode);
  const double half = width / 2.0;
  FillByDistance(t, std::min(x1, x2) - half, std::min(y1, y2) - half, std::max(x1, x2) + half,
                 std::max(y1, y2) + half, color, color,
                 [=](double px, double py) { return SegmentDistance(px, py, x1, y1, x2, y2) - half; });
}

void LICE_DemultiplyAlpha(LICE_IBitmap* dest) {
  if (!dest || !dest->getBits()) return;
  const int w = dest->getWidth(), h = dest->getHeight(), span = dest->getRowSpan();
  for (int y = 0; y < h; ++y) {
    LICE_pixel* row = dest->getBits() + static_cast<long long>(y) * span;
    for (int x = 0; x < w; ++x) {
      int c[4];
      LICE_Unpack(row[x], c);
      if (c[3] == 255) continue;
      if (c[3] == 0) {
        row[x] = 0;
        continue;
      }
      for (int i = 0; i < 3; ++i) c[i] = std::min(255, (c[i] * 255 + c[3] / 2) / c[3]);
      row[x] = LICE_Pack(c);
    }
  }
}
