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

BiquadCoefficients BiquadGainTuning::fullCoefficients(double peakGainDB) const {
  Biquad full;
  full.setBiquad(mType, mFc, mQ, peakGainDB);
  return full.getCoefficients();
}
