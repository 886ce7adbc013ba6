#include "effect/biquad_gain_tuning.h"

#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kSqrt2 = 1.4142135623730951;

}  // namespace

void BiquadGainTuning::prepare(int type, double Fc, double Q) {
  mType = type;
  mFc = Fc;
  mQ = Q;
  const double limitedFc = Fc < Biquad::kMaxFc ? Fc : Biquad::kMaxFc;
  K = std::tan(kPi * limitedFc);
  K2 = K * K;
  KOverQ = K / Q;
  if (type == Biquad::kPeaking) {
    plainSum = 1 + KOverQ + K2;
    plainDifference = 1 - KOverQ + K2;
  } else {
    plainSum = 1 + kSqrt2 * K + K2;
    plainDifference = 1 - kSqrt2 * K + K2;
  }
  plainNormaliser = 1 / plainSum;
  twoK2Minus1 = 2 * (K2 - 1);
}

// The operation order of every expression is the one of calcBiquad; keep
// the two in step.
BiquadCoefficients BiquadGainTuning::coefficients(double peakGainDB) const {
  if (mType < Biquad::kPeaking || mType > Biquad::kHighShelf) {
    Biquad full;
    full.setBiquad(mType, mFc, mQ, peakGainDB);
    return full.getCoefficients();
  }
  const double V = std::pow(10.0, std::fabs(peakGainDB) / 20.0);
  const bool boost = peakGainDB >= 0.0;
  if (mType == Biquad::kPeaking) return peaking(V, boost);
  if (mType == Biquad::kLowShelf) return lowShelf(V, boost);
  return highShelf(V, boost);
}

BiquadCoefficients BiquadGainTuning::peaking(double V, bool boost) const {
  const double VKOverQ = V * K / mQ;
  BiquadCoefficients c;
  if (boost) {
    const double n = plainNormaliser;
    c.a0 = (1 + VKOverQ + K2) * n;
    c.a1 = twoK2Minus1 * n;
    c.a2 = (1 - VKOverQ + K2) * n;
    c.b1 = c.a1;
    c.b2 = plainDifference * n;
  } else {
    const double n = 1 / (1 + VKOverQ + K2);
    c.a0 = plainSum * n;
    c.a1 = twoK2Minus1 * n;
    c.a2 = plainDifference * n;
    c.b1 = c.a1;
    c.b2 = (1 - VKOverQ + K2) * n;
  }
  return c;
}

BiquadCoefficients BiquadGainTuning::lowShelf(double V, bool boost) const {
  const double rootK = std::sqrt(2 * V) * K;
  const double VK2 = V * K2;
  BiquadCoefficients c;
  if (boost) {
    const double n = plainNormaliser;
    c.a0 = (1 + rootK + VK2) * n;
    c.a1 = 2 * (VK2 - 1) * n;
    c.a2 = (1 - rootK + VK2) * n;
    c.b1 = twoK2Minus1 * n;
    c.b2 = plainDifference * n;
  } else {
    const double n = 1 / (1 + rootK + VK2);
    c.a0 = plainSum * n;
    c.a1 = twoK2Minus1 * n;
    c.a2 = plainDifference * n;
    c.b1 = 2 * (VK2 - 1) * n;
    c.b2 = (1 - rootK + VK2) * n;
  }
  return c;
}

BiquadCoefficients BiquadGainTuning::highShelf(double V, bool boost) const {
  const double rootK = std::sqrt(2 * V) * K;
  BiquadCoefficients c;
  if (boost) {
    const double n = plainNormaliser;
    c.a0 = (V + rootK + K2) * n;
    c.a1 = 2 * (K2 - V) * n;
    c.a2 = (V - rootK + K2) * n;
    c.b1 = twoK2Minus1 * n;
    c.b2 = plainDifference * n;
  } else {
    const double n = 1 / (V + rootK + K2);
    c.a0 = plainSum * n;
    c.a1 = twoK2Minus1 * n;
    c.a2 = plainDifference * n;
    c.b1 = 2 * (K2 - V) * n;
    c.b2 = (V - rootK + K2) * n;
  }
  return c;
}
