#include "lice/lice_line.h"

#include <cmath>
#include <utility>

#include "lice/lice_painter.h"

namespace {

// Walks the major axis one pixel at a time. The end points are ordered first
// so that a line drawn either way round covers the same pixels, and the minor
// coordinate is one division of exact products so that mirrored lines round
// alike.
void DrawSegment(LICE_ShapePainter& p, double x1, double y1, double x2, double y2, bool antialias) {
  if (!p.CanDraw()) return;
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return;
  const bool xMajor = std::fabs(x2 - x1) >= std::fabs(y2 - y1);
  if (!xMajor) {
    std::swap(x1, y1);
    std::swap(x2, y2);
  }
  if (x1 > x2) {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  const int majorSize = xMajor ? p.Width() : p.Height();
  const int minorSize = xMajor ? p.Height() : p.Width();
  long long first = LICE_ClampCoord(x1 + 0.5), last = LICE_ClampCoord(x2 + 0.5);
  if (first < 0) first = 0;
  if (last > majorSize - 1) last = majorSize - 1;
  const double dx = x2 - x1, dy = y2 - y1;

  for (long long i = first; i <= last; ++i) {
    const double m = dx > 0 ? (y1 * dx + (static_cast<double>(i) - x1) * dy) / dx : y1;
    if (!(m > -2.0 && m < minorSize + 1.0)) continue;
    auto plot = [&](long long minor, double coverage) {
      const int a = static_cast<int>(i), b = static_cast<int>(minor);
      if (xMajor) p.PlotCoverage(a, b, coverage);
      else p.PlotCoverage(b, a, coverage);
    };
    if (antialias) {
      const double base = std::floor(m);
      const double frac = m - base;
      plot(static_cast<long long>(base), 1.0 - frac);
      plot(static_cast<long long>(base) + 1, frac);
    } else {
      plot(static_cast<long long>(std::floor(m + 0.5)), 1.0);
    }
  }
}

}  // namespace

void LICE_Line(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, LICE_pixel color, float alpha, int mode,
               bool antialias) {
  LICE_ShapePainter p(dest, color, alpha, mode);
  DrawSegment(p, x1, y1, x2, y2, antialias);
}

void LICE_FLine(LICE_IBitmap* dest, float x1, float y1, float x2, float y2, LICE_pixel color, float alpha, int mode,
                bool antialias) {
  LICE_ShapePainter p(dest, color, alpha, mode);
  DrawSegment(p, x1, y1, x2, y2, antialias);
}
