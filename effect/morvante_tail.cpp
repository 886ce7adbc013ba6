// How long MORVANTE's output can go on after its input falls silent. Only the
// filters' states are then left to ring: the detectors keep moving the
// dynamic sections' gains as they release, but re-tuning a decaying state
// does not make it last longer than its slowest pole lets it, and a boost's
// poles do not depend on its gain at all. So the bound follows the current
// frequencies, bandwidths and gains and the rate, not the detector settings.
#include <algorithm>
#include <climits>
#include <cmath>
#include <initializer_list>

#include "effect/morvante.h"

namespace {

// The level, relative to the state when the input stopped, below which the
// ring counts as over: far under the noise floor even after a 24 dB boost.
constexpr double kRingFloor = 1e-7;
// The trim section steps twice per base-rate sample.
constexpr int kTrimStepsPerSample = 2;

// The largest pole radius of z^2 + b1 z + b2.
double PoleRadius(const Biquad& section) {
  const double b1 = section.getB1();
  const double b2 = section.getB2();
  const double discriminant = b1 * b1 - 4.0 * b2;
  if (discriminant < 0.0) return std::sqrt(b2);
  const double root = std::sqrt(discriminant);
  return std::max(std::fabs((-b1 + root) / 2.0), std::fabs((-b1 - root) / 2.0));
}

// Steps until a state decays to the ring floor; -1 for a section that never
// decays.
double StepsToFloor(double radius) {
  if (!(radius < 1.0)) return -1.0;
  if (radius <= 0.0) return 1.0;
  return std::log(kRingFloor) / std::log(radius);
}

}  // namespace

int MORVANTE::TailBound(double sampleRate) const {
  if (!(sampleRate > 0.0)) return 0;
  double slowest = 0.0;
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    const MorvanteBand& band = mBands[b];
    const double Fc = (band.frequency / sampleRate) * kOversampledFrequencyScale;
    const int type = kMorvanteBandLayouts[b].equaliserType;
    // The dynamic section as the processing tunes it at full gain, the
    // static one at the band's Gain less 24 dB.
    for (double gain : {kDynamicRangeDB, band.gain - kDynamicRangeDB}) {
      const double steps = StepsToFloor(PoleRadius(Biquad(type, Fc, -band.bandwidth, gain)));
      if (steps < 0.0) return INT_MAX;
      slowest = std::max(slowest, steps * kOversampledFrequencyScale);
    }
  }
  // The output trim section, tuned as the processing tunes it.
  const double trim = StepsToFloor(PoleRadius(Biquad(Biquad::kPeaking, 0.25, kTrimQ, kTrimGainDB)));
  if (trim < 0.0) return INT_MAX;
  // The interpolating and decimating filters each spread a sample over their
  // length, and the whole signal runs one latency late.
  const double firSpan = 2.0 * StOversampler4x::kTaps / (double{StOversampler4x::kFactor} * kOversamplerStepsPerSample);
  const double total = GetLatency() + firSpan + slowest + trim / kTrimStepsPerSample;
  return total < INT_MAX ? static_cast<int>(std::ceil(total)) : INT_MAX;
}
