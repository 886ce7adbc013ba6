#include "tools/artwork/meter_art.h"

#include <algorithm>
#include <cmath>

#include "lice/lice_blit.h"
#include "lice/lice_combine.h"
#include "lice/lice_fill.h"
#include "lice/lice_soft_shapes.h"
#include "tools/artwork/art_palette.h"

MeterGeometry MeterGeometryFor(int frameWidth, int frameHeight, int pixelScale) {
  MeterGeometry g;
  const int k = pixelScale;
  g.k = k;
  g.width = frameWidth * k;
  g.height = frameHeight * k;
  // Columns and rows as the layout pixels they lie in cover them.
  g.barLeft = 4 * k;
  g.barRight = g.width - 1 - 4 * k;
  g.barTop = 4 * k;
  g.barBottom = g.height - 1 - 4 * k;
  return g;
}

double MeterColumnForDb(const MeterGeometry& g, double db) {
  return g.barLeft + (g.barRight - g.barLeft) * std::clamp(db / kMeterFullScaleDb, 0.0, 1.0);
}

namespace {

// Segments of the bar: lit up to the level, unlit beyond it.
constexpr int kSegmentPitch = 4;
constexpr int kSegmentGap = 1;

LICE_pixel MixColour(LICE_pixel a, LICE_pixel b, double t) {
  auto ch = [t](unsigned x, unsigned y) { return static_cast<unsigned>(std::lround(x + (double(y) - x) * t)); };
  return 0xff000000u | (ch(LICE_GETR(a), LICE_GETR(b)) << 16) | (ch(LICE_GETG(a), LICE_GETG(b)) << 8) |
         ch(LICE_GETB(a), LICE_GETB(b));
}

void DrawMeterFrame(LICE_IBitmap* bm, const MeterGeometry& g, double level) {
  const int copy = LICE_BLIT_MODE_COPY;
  // Recessed trough with a faint lower lip.
  const int k = g.k;
  LICE_FillGradientRoundRect(bm, 0, 0, g.width, g.height, 4 * k, art::kShadow, art::kColumnEdge, 1.0f, copy);
  LICE_FillGradientRoundRect(bm, k, k, g.width - 2 * k, g.height - 2 * k, 3 * k, art::kInset, art::kInset, 1.0f, copy);
  const double litTo = g.barLeft + (g.barRight + 1 - g.barLeft) * level;
  const int h = g.barBottom - g.barTop + 1;
  for (int x = g.barLeft; x <= g.barRight; x += kSegmentPitch * k) {
    const int w = std::min((kSegmentPitch - kSegmentGap) * k, g.barRight + 1 - x);
    const double t = static_cast<double>(x - g.barLeft) / (g.barRight - g.barLeft);
    const LICE_pixel lit = MixColour(art::kReduction, art::kReductionHot, t * t);
    LICE_FillRect(bm, x, g.barTop, w, h, art::kReductionOff, 1.0f, copy);
    // A partly reached segment is lit in proportion, so each frame moves.
    const double cover = std::clamp((litTo - x) / w, 0.0, 1.0);
    if (cover > 0) {
      const int litW = std::max(k, static_cast<int>(std::lround(cover * w)));
      LICE_GradientRect(bm, x, g.barTop, litW, h, lit, MixColour(lit, art::kShadow, 0.35), 1.0f, copy);
    }
  }
}

}  // namespace

std::unique_ptr<LICE_MemBitmap> DrawMeterStrip(const MeterGeometry& g, int frames) {
  auto strip = std::make_unique<LICE_MemBitmap>(g.width, g.height * frames);
  LICE_Clear(strip.get(), 0);
  LICE_MemBitmap frame(g.width, g.height);
  for (int k = 0; k < frames; ++k) {
    LICE_Clear(&frame, 0);
    DrawMeterFrame(&frame, g, frames > 1 ? static_cast<double>(k) / (frames - 1) : 0.0);
    LICE_DemultiplyAlpha(&frame);
    LICE_Blit(strip.get(), &frame, 0, k * g.height, nullptr, 1.0f, LICE_BLIT_MODE_COPY);
  }
  return strip;
}
