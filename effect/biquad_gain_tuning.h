// Re-tuning of a peaking or shelving section whose gain moves while its
// type, Fc and Q stay: everything that depends only on those three (the
// tangent, its square, the gain-free sums and, for the form that keeps it,
// the normaliser) is computed once by prepare; coefficients() then does only
// the gain-dependent part. Every expression is the one Biquad::calcBiquad
// evaluates, in the same order, so the coefficients are the same bits.
#pragma once

#include <cmath>

#include "effect/biquad.h"

class BiquadGainTuning {
 public:
  // Types other than peaking and the two shelves have no gain-dependent
  // part; for them coefficients() runs the full computation.
  void prepare(int type, double Fc, double Q);
  BiquadCoefficients coefficients(double peakGainDB) const;

  // The gain as an amplitude ratio, 10^(|gain| / 20): the one library call
  // of the re-tuning, which callers may skip where the gain repeats.
  static double Amplitude(double peakGainDB) { return std::pow(10.0, std::fabs(peakGainDB) / 20.0); }

  // coefficients() for n gains at once, given their amplitudes, two gains
  // at a time; gain i's go to out[i * stride]. The same bits, gain by gain.
  void coefficientsFor(const double* peakGainDB, const double* amplitudes, int n, BiquadCoefficients* out,
                       int stride) const;

  // Every boost (any gain >= 0) has finite coefficients and a positive a0,
  // so that a section at rest given +0 gives +0.
  bool boostsKeepRest() const {
    return hasGainPart() && K > 0.0 && K < HUGE_VAL && KOverQ > 0.0 && KOverQ < HUGE_VAL && plainNormaliser > 0.0;
  }

  int type() const { return mType; }
  double Fc() const { return mFc; }
  double Q() const { return mQ; }

 private:
  bool hasGainPart() const { return mType >= Biquad::kPeaking && mType <= Biquad::kHighShelf; }
  BiquadCoefficients fullCoefficients(double peakGainDB) const;
  // The gain-dependent part for a type that has one.
  BiquadCoefficients fromAmplitude(double V, bool boost) const;
  BiquadCoefficients peaking(double V, bool boost) const;
  BiquadCoefficients lowShelf(double V, bool boost) const;
  BiquadCoefficients highShelf(double V, bool boost) const;

  int mType = Biquad::kPeaking;
  double mFc = 0.5, mQ = 0.707;
  double K = 0.0, K2 = 0.0;
  double KOverQ = 0.0;        // K / Q
  double plainSum = 0.0;      // 1 + K / Q + K², or 1 + √2 K + K² for the shelves
  double plainDifference = 0.0;  // 1 − K / Q + K², or 1 − √2 K + K²
  double plainNormaliser = 0.0;  // 1 / plainSum
  double twoK2Minus1 = 0.0;   // 2 (K² − 1)
};

// The operation order of every expression is the one of calcBiquad; keep
// the two in step.
inline BiquadCoefficients BiquadGainTuning::coefficients(double peakGainDB) const {
  if (!hasGainPart()) return fullCoefficients(peakGainDB);
  return fromAmplitude(Amplitude(peakGainDB), peakGainDB >= 0.0);
}

inline BiquadCoefficients BiquadGainTuning::fromAmplitude(double V, bool boost) const {
  if (mType == Biquad::kPeaking) return peaking(V, boost);
  if (mType == Biquad::kLowShelf) return lowShelf(V, boost);
  return highShelf(V, boost);
}

inline BiquadCoefficients BiquadGainTuning::peaking(double V, bool boost) const {
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

inline BiquadCoefficients BiquadGainTuning::lowShelf(double V, bool boost) const {
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

inline BiquadCoefficients BiquadGainTuning::highShelf(double V, bool boost) const {
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
