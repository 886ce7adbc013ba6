#include "graphics/editor_scale.h"

#include <cmath>

namespace {
// Division rounding toward minus infinity, for coordinates left of or above
// the editor.
long long FloorDiv(long long a, long long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
}  // namespace

int NearestScalePercent(double percent) {
  if (!(percent > kMinScalePercent)) return kMinScalePercent;
  if (percent >= kMaxScalePercent) return kMaxScalePercent;
  const long steps = std::lround((percent - kMinScalePercent) / kScaleStepPercent);
  return kMinScalePercent + static_cast<int>(steps) * kScaleStepPercent;
}

int ScalePercentForFactor(double factor) {
  if (!(factor > 0.0) || !std::isfinite(factor)) return 0;
  return NearestScalePercent(factor * 100.0);
}

int ScaleEdge(int v, int percent) { return static_cast<int>(FloorDiv(static_cast<long long>(v) * percent + 50, 100)); }

int UnscaleCoord(int device, int percent) {
  return static_cast<int>(FloorDiv(static_cast<long long>(device) * 100, percent > 0 ? percent : 100));
}

IRECT ScaleRect(const IRECT& r, int percent) {
  return IRECT(ScaleEdge(r.L, percent), ScaleEdge(r.T, percent), ScaleEdge(r.R, percent), ScaleEdge(r.B, percent));
}

IRECT ScaleRectOutward(const IRECT& r, int percent) {
  auto lo = [percent](int v) { return static_cast<int>(FloorDiv(static_cast<long long>(v) * percent, 100)); };
  auto hi = [percent](int v) { return static_cast<int>(-FloorDiv(-static_cast<long long>(v) * percent, 100)); };
  return IRECT(lo(r.L), lo(r.T), hi(r.R), hi(r.B));
}
