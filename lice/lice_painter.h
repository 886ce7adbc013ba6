// Per-pixel plotting for lines and shapes: bounds checks, coverage-weighted
// combination of one colour.
#pragma once

#include <cmath>

#include "lice/lice_bitmap.h"
#include "lice/lice_combine.h"

class LICE_ShapePainter {
public:
  LICE_ShapePainter(LICE_IBitmap* bm, LICE_pixel color, float alpha, int mode)
      : m_color(color), m_weight(LICE_AlphaToWeight(alpha)), m_mode(mode) {
    if (!bm) return;
    m_bits = bm->getBits();
    m_width = bm->getWidth();
    m_height = bm->getHeight();
    m_span = bm->getRowSpan();
    if (!m_bits || m_width <= 0 || m_height <= 0 || m_span < m_width) m_bits = nullptr;
    const bool copyRule = !LICE_IsChannelCopy(mode) && (mode & LICE_BLIT_MODE_MASK) == LICE_BLIT_MODE_COPY;
    if (!LICE_IsChannelCopy(mode) && (m_weight == 0 || (copyRule && m_weight < 0))) m_bits = nullptr;
  }

  bool CanDraw() const { return m_bits != nullptr; }
  // Shapes whose colour varies (gradients) change it between plots.
  void SetColor(LICE_pixel color) { m_color = color; }
  int Width() const { return m_width; }
  int Height() const { return m_height; }

  // coverage: 0..256 of the pixel, scaling the weight.
  void Plot(int x, int y, int coverage = 256) {
    if (!m_bits || x < 0 || y < 0 || x >= m_width || y >= m_height || coverage <= 0) return;
    const int w = coverage >= 256 ? m_weight : m_weight * coverage / 256;
    if (w == 0 && !LICE_IsChannelCopy(m_mode)) return;
    LICE_CombinePixel(m_bits + static_cast<long long>(y) * m_span + x, m_color, w, m_mode);
  }

  // Fractional coverage 0..1 to the integer form.
  void PlotCoverage(int x, int y, double coverage) {
    if (!(coverage > 0.0)) return;
    Plot(x, y, coverage >= 1.0 ? 256 : static_cast<int>(coverage * 256.0 + 0.5));
  }

  // Pixels x0..x1 inclusive of row y at full coverage.
  void Span(long long x0, long long x1, long long y) {
    if (!m_bits || y < 0 || y >= m_height) return;
    if (x0 < 0) x0 = 0;
    if (x1 >= m_width) x1 = m_width - 1;
    if (x1 < x0) return;
    LICE_CombineSolidRow(m_bits + y * m_span + x0, m_color, static_cast<int>(x1 - x0 + 1), m_weight, m_mode);
  }

private:
  LICE_pixel* m_bits = nullptr;
  int m_width = 0;
  int m_height = 0;
  int m_span = 0;
  LICE_pixel m_color;
  int m_weight;
  int m_mode;
};

// Clamps a coordinate to a range wide enough for any image before it is
// converted to an integer.
inline long long LICE_ClampCoord(double v) {
  if (!(v > -1e9)) return -1000000000LL;
  if (v > 1e9) return 1000000000LL;
  return static_cast<long long>(std::floor(v));
}
