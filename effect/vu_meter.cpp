#include "effect/vu_meter.h"

#include <cmath>

namespace {

// ln 0.01 over 0.3 s.
constexpr double kLogOnePercent = -4.60517018599;
constexpr double kSettleSeconds = 0.3;
// The target overshoots the input a little in the direction of travel.
constexpr double kRiseOvershoot = 1.0125;
constexpr double kFallOvershoot = 0.9875;

}  // namespace

double VUClass::Coefficient(double sampleRate) {
  return std::exp(kLogOnePercent / (sampleRate * kSettleSeconds));
}

double VUClass::ProcessWithCoefficient(double in, double coefficient) {
  double x = std::fabs(in);
  x = x > state ? x * kRiseOvershoot : x * kFallOvershoot;
  state = coefficient * (state - x) + x;
  return state;
}
