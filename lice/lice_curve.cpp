#include "lice/lice_curve.h"

#include <cmath>

#include "lice/lice_painter.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;

// Which pixels of a ring may be drawn: a box (inclusive) and an angle range.
struct RingLimits {
  long long left = -1000000000LL, top = -1000000000LL, right = 1000000000LL, bottom = 1000000000LL;
  bool limitAngle = false;
  double startAngle = 0.0, sweep = 0.0;
};

bool WithinAngle(const RingLimits& lim, double dx, double dy) {
  if (!lim.limitAngle) return true;
  // Clockwise from straight up with y pointing down.
  double rel = std::fmod(std::atan2(dx, -dy) - lim.startAngle, kTwoPi);
  if (rel < 0) rel += kTwoPi;
  return rel <= lim.sweep;
}

// A one-pixel-wide ring of radius r: with anti-aliasing each pixel is covered
// by 1 - |distance - r|, without it a pixel is drawn when distance - r lies in
// [-0.5, 0.5). Walks only the pixels near the ring, row by row.
void DrawRing(LICE_ShapePainter& p, double cx, double cy, double r, bool antialias, const RingLimits& lim) {
  if (!p.CanDraw() || !std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(r) || r < 0) return;
  const double reach = antialias ? 1.0 : 0.5;
  long long top = LICE_ClampCoord(cy - r - reach), bottom = LICE_ClampCoord(cy + r + reach) + 1;
  if (top < 0) top = 0;
  if (top < lim.top) top = lim.top;
  if (bottom > p.Height() - 1) bottom = p.Height() - 1;
  if (bottom > lim.bottom) bottom = lim.bottom;
  const long long left = lim.left < 0 ? 0 : lim.left;
  const long long right = lim.right > p.Width() - 1 ? p.Width() - 1 : lim.right;

  for (long long y = top; y <= bottom; ++y) {
    const double dy = static_cast<double>(y) - cy;
    const double outer2 = (r + reach) * (r + reach) - dy * dy;
    if (outer2 < 0) continue;
    const double xo = std::sqrt(outer2);
    const double inner2 = r > reach ? (r - reach) * (r - reach) - dy * dy : -1.0;
    const double xi = inner2 > 0 ? std::sqrt(inner2) : -1.0;

    auto walk = [&](long long a, long long b) {
      if (a < left) a = left;
      if (b > right) b = right;
      for (long long x = a; x <= b; ++x) {
        const double dx = static_cast<double>(x) - cx;
        const double off = std::sqrt(dx * dx + dy * dy) - r;
        if (!WithinAngle(lim, dx, dy)) continue;
        // Half-open band: a radius landing between two pixel centres
        // takes exactly one of them.
        if (antialias) p.PlotCoverage(static_cast<int>(x), static_cast<int>(y), 1.0 - std::fabs(off));
        else if (off >= -0.5 && off < 0.5) p.Plot(static_cast<int>(x), static_cast<int>(y));
      }
    };
    const long long a0 = LICE_ClampCoord(cx - xo);
    const long long b1 = LICE_ClampCoord(cx + xo) + 1;
    if (xi < 0) {
      walk(a0, b1);
    } else {
      const long long b0 = LICE_ClampCoord(cx - xi) + 1;
      long long a1 = LICE_ClampCoord(cx + xi);
      if (a1 <= b0) a1 = b0 + 1;
      walk(a0, b0);
      walk(a1, b1);
    }
  }
}

}  // namespace

void LICE_Arc(LICE_IBitmap* dest, float cx, float cy, float r, float minAngle, float maxAngle, LICE_pixel color,
              float alpha, int mode, bool antialias) {
  if (!std::isfinite(minAngle) || !std::isfinite(maxAngle)) return;
  double a0 = minAngle, a1 = maxAngle;
  if (a1 < a0) {
    const double t = a0;
    a0 = a1;
    a1 = t;
  }
  RingLimits lim;
  if (a1 - a0 < kTwoPi) {
    lim.limitAngle = true;
    lim.startAngle = std::fmod(a0, kTwoPi);
    lim.sweep = a1 - a0;
  }
  LICE_ShapePainter p(dest, color, alpha, mode);
  DrawRing(p, cx, cy, r, antialias, lim);
}

void LICE_Circle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel color, float alpha, int mode,
                 bool antialias) {
  LICE_ShapePainter p(dest, color, alpha, mode);
  DrawRing(p, cx, cy, r, antialias, RingLimits());
}

void LICE_FillCircle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel color, float alpha, int mode,
                     bool antialias) {
  LICE_ShapePainter p(dest, color, alpha, mode);
  if (!p.CanDraw() || !std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(r) || r < 0) return;
  // Without anti-aliasing a pixel is inside when its centre is; with it the
  // edge fades over the pixel straddling the radius.
  const double edge = antialias ? r + 0.5 : r;
  long long top = LICE_ClampCoord(cy - edge), bottom = LICE_ClampCoord(cy + edge) + 1;
  if (top < 0) top = 0;
  if (bottom > p.Height() - 1) bottom = p.Height() - 1;
  const double solid = antialias ? r - 0.5 : r;
  for (long long y = top; y <= bottom; ++y) {
    const double dy = static_cast<double>(y) - cy;
    const double reach2 = edge * edge - dy * dy;
    if (reach2 < 0) continue;
    const double reach = std::sqrt(reach2);
    // Generous by a pixel on the left: the fringe tests each pixel anyway.
    const long long a = LICE_ClampCoord(cx - reach), b = LICE_ClampCoord(cx + reach);
    const double solid2 = solid > 0 ? solid * solid - dy * dy : -1.0;
    long long sa = b + 1, sb = b;  // empty solid span unless the row has one
    if (solid2 >= 0) {
      const double s = std::sqrt(solid2);
      sa = LICE_ClampCoord(cx - s) + 1;
      sb = LICE_ClampCoord(cx + s);
      if (sa < a) sa = a;
      if (sb > b) sb = b;
    }
    if (sb < sa) {
      sa = b + 1;
      sb = b;
    }
    if (sa <= sb) p.Span(sa, sb, y);
    // The fading pixels either side of the solid span.
    auto fringe = [&](long long from, long long to) {
      if (from < 0) from = 0;
      if (to > p.Width() - 1) to = p.Width() - 1;
      for (long long x = from; x <= to; ++x) {
        const double dx = static_cast<double>(x) - cx;
        const double d = std::sqrt(dx * dx + dy * dy);
        if (antialias) p.PlotCoverage(static_cast<int>(x), static_cast<int>(y), r + 0.5 - d);
        else if (d <= r) p.Plot(static_cast<int>(x), static_cast<int>(y));
      }
    };
    fringe(a, sa - 1);
    fringe(sb + 1, b);
  }
}

void LICE_RoundRect(LICE_IBitmap* dest, float x, float y, float w, float h, int cornerradius, LICE_pixel color,
                    float alpha, int mode, bool antialias) {
  LICE_ShapePainter p(dest, color, alpha, mode);
  if (!p.CanDraw() || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(w) || !std::isfinite(h)) return;
  const long long x0 = LICE_ClampCoord(x + 0.5), y0 = LICE_ClampCoord(y + 0.5);
  const long long x1 = x0 + LICE_ClampCoord(w + 0.5) - 1, y1 = y0 + LICE_ClampCoord(h + 0.5) - 1;
  if (x1 < x0 || y1 < y0) return;
  long long r = cornerradius < 0 ? 0 : cornerradius;
  if (r > (x1 - x0) / 2) r = (x1 - x0) / 2;
  if (r > (y1 - y0) / 2) r = (y1 - y0) / 2;

  // Edges between the corners; the vertical ones skip the rows the
  // horizontal ones drew so that no pixel is combined twice.
  p.Span(x0 + r, x1 - r, y0);
  if (y1 != y0) p.Span(x0 + r, x1 - r, y1);
  const long long vTop = r > 0 ? y0 + r : y0 + 1, vBottom = r > 0 ? y1 - r : y1 - 1;
  if (vTop <= vBottom) {
    long long from = vTop < 0 ? 0 : vTop, to = vBottom > p.Height() - 1 ? p.Height() - 1 : vBottom;
    for (long long row = from; row <= to; ++row) {
      p.Span(x0, x0, row);
      if (x1 != x0) p.Span(x1, x1, row);
    }
  }
  if (r == 0) return;
  // Each corner is a quarter of a ring, kept to its own box.
  const double rr = static_cast<double>(r);
  const long long cxs[2] = {x0 + r, x1 - r}, cys[2] = {y0 + r, y1 - r};
  for (int i = 0; i < 2; ++i) {
    for (int j = 0; j < 2; ++j) {
      RingLimits lim;
      lim.left = i == 0 ? x0 : x1 - r + 1;
      lim.right = i == 0 ? x0 + r - 1 : x1;
      lim.top = j == 0 ? y0 : y1 - r + 1;
      lim.bottom = j == 0 ? y0 + r - 1 : y1;
      DrawRing(p, static_cast<double>(cxs[i]), static_cast<double>(cys[j]), rr, antialias, lim);
    }
  }
}
