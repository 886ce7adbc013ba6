#include "lice/lice_polygon.h"

#include <cmath>

#include "lice/lice_painter.h"

void LICE_FillConvexPolygon(LICE_IBitmap* dest, const int* x, const int* y, int npoints, LICE_pixel color,
                            float alpha, int mode) {
  if (!x || !y || npoints <= 0) return;
  LICE_ShapePainter p(dest, color, alpha, mode);
  if (!p.CanDraw()) return;
  long long top = y[0], bottom = y[0];
  for (int i = 1; i < npoints; ++i) {
    if (y[i] < top) top = y[i];
    if (y[i] > bottom) bottom = y[i];
  }
  if (top < 0) top = 0;
  if (bottom > p.Height() - 1) bottom = p.Height() - 1;

  // Each row is filled between the outermost crossings of its edges, so a
  // polygon that is not convex still fills (as its row-wise hull) safely.
  for (long long row = top; row <= bottom; ++row) {
    double lo = 0, hi = 0;
    bool any = false;
    for (int i = 0; i < npoints; ++i) {
      const int j = i + 1 < npoints ? i + 1 : 0;
      const double ya = y[i], yb = y[j], xa = x[i], xb = x[j];
      const double yr = static_cast<double>(row);
      if (yr < (ya < yb ? ya : yb) || yr > (ya < yb ? yb : ya)) continue;
      double xs0, xs1;
      if (ya == yb) {
        xs0 = xa < xb ? xa : xb;
        xs1 = xa < xb ? xb : xa;
      } else {
        xs0 = xs1 = xa + (yr - ya) * (xb - xa) / (yb - ya);
      }
      if (!any || xs0 < lo) lo = xs0;
      if (!any || xs1 > hi) hi = xs1;
      any = true;
    }
    if (any) p.Span(LICE_ClampCoord(lo + 0.5), LICE_ClampCoord(hi + 0.5), row);
  }
}

void LICE_FillTriangle(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, int x3, int y3, LICE_pixel color,
                       float alpha, int mode) {
  const int xs[3] = {x1, x2, x3}, ys[3] = {y1, y2, y3};
  LICE_FillConvexPolygon(dest, xs, ys, 3, color, alpha, mode);
}
