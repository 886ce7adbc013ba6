#include "tools/artwork/knob_art.h"

#include <algorithm>
#include <cmath>

#include "lice/lice_blit.h"
#include "lice/lice_combine.h"
#include "lice/lice_fill.h"
#include "lice/lice_soft_shapes.h"
#include "tools/artwork/art_palette.h"

KnobGeometry KnobGeometryFor(int frameWidth, int frameHeight, int pixelScale) {
  KnobGeometry g;
  const float k = static_cast<float>(pixelScale);
  g.k = k;
  g.width = frameWidth * pixelScale;
  g.height = frameHeight * pixelScale;
  frameWidth = g.width;
  frameHeight = g.height;
  // The arc opens downward, so the knob sits a little high in its frame and
  // the range labels on the background fit into the corners below.
  const float outer = std::min(frameWidth * 0.5f, frameHeight * 0.5f) - 3.0f * k;
  g.cx = (frameWidth - 1) * 0.5f;
  g.cy = outer + 2.5f * k;
  g.trackWidth = std::max(3.0f * k, outer * 0.15f);
  g.trackRadius = outer - g.trackWidth * 0.5f;
  g.capRadius = g.trackRadius - g.trackWidth * 0.5f - std::max(3.0f * k, outer * 0.12f);
  return g;
}

float KnobAngle(double v) {
  v = std::clamp(v, 0.0, 1.0);
  return static_cast<float>(kKnobMinAngle + (kKnobMaxAngle - kKnobMinAngle) * v);
}

namespace {

void DrawKnobFrame(LICE_IBitmap* bm, const KnobGeometry& g, bool bipolar, double v) {
  const int copy = LICE_BLIT_MODE_COPY;
  const float angle = KnobAngle(v);
  // Track: the whole travel, recessed.
  const float k = g.k;
  LICE_FillArcStroke(bm, g.cx, g.cy, g.trackRadius, g.trackWidth + 1.5f * k, kKnobMinAngle, kKnobMaxAngle, art::kShadow,
                     1.0f, copy);
  LICE_FillArcStroke(bm, g.cx, g.cy, g.trackRadius, g.trackWidth, kKnobMinAngle, kKnobMaxAngle, art::kTrack, 1.0f,
                     copy);
  // Value arc.
  const float from = bipolar ? 0.0f : kKnobMinAngle;
  const float lo = std::min(from, angle), hi = std::max(from, angle);
  if (hi - lo > 1e-4f) {
    LICE_FillArcStroke(bm, g.cx, g.cy, g.trackRadius, g.trackWidth + 2.5f * k, lo, hi, art::kAccent, 0.18f, copy);
    LICE_FillArcStroke(bm, g.cx, g.cy, g.trackRadius, g.trackWidth, lo, hi, art::kAccent, 1.0f, copy);
  }
  // Cap: a soft shadow, a lit rim and a brushed face.
  LICE_FillGradientCircle(bm, g.cx, g.cy + 1.5f * k, g.capRadius + 1.5f * k, art::kShadow, art::kShadow, 0.9f, copy);
  LICE_FillGradientCircle(bm, g.cx, g.cy, g.capRadius, art::kCapRim, art::kCapBottom, 1.0f, copy);
  LICE_FillGradientCircle(bm, g.cx, g.cy, g.capRadius - 1.2f * k, art::kCapTop, art::kCapBottom, 1.0f, copy);
  // Pointer from near the centre to near the rim.
  const float s = std::sin(angle), c = -std::cos(angle);
  const float inner = g.capRadius * 0.28f, outer = g.capRadius - 2.5f * k;
  const float pw = std::max(2.2f * k, g.capRadius * 0.13f);
  LICE_FillLineStroke(bm, g.cx + s * inner, g.cy + c * inner, g.cx + s * outer, g.cy + c * outer, pw, art::kPointer,
                      1.0f, copy);
  LICE_DemultiplyAlpha(bm);
}

}  // namespace

std::unique_ptr<LICE_MemBitmap> DrawKnobStrip(const KnobGeometry& g, bool bipolar, int frames) {
  auto strip = std::make_unique<LICE_MemBitmap>(g.width, g.height * frames);
  LICE_Clear(strip.get(), 0);
  LICE_MemBitmap frame(g.width, g.height);
  for (int k = 0; k < frames; ++k) {
    LICE_Clear(&frame, 0);
    DrawKnobFrame(&frame, g, bipolar, frames > 1 ? static_cast<double>(k) / (frames - 1) : 0.0);
    LICE_Blit(strip.get(), &frame, 0, k * g.height, nullptr, 1.0f, LICE_BLIT_MODE_COPY);
  }
  return strip;
}
