#include "effect/vu_meter.h"

#include <cmath>

namespace {

// ln 0.01 over 0.3 s.
constexpr double kLogOnePercent = -4.60517018599;
constexpr double kSettleSeconds = 0.3;

}  // namespace

double VUClass::Coefficient(double sampleRate) {
  return std::exp(kLogOnePercent / (sampleRate * kSettleSeconds));
}
