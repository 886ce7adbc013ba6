// Re-tuning of a peaking or shelving section whose gain moves while its
// type, Fc and Q stay: everything that depends only on those three (the
// tangent, its square, the gain-free sums and, for the form that keeps it,
// the normaliser) is computed once by prepare; coefficients() then does only
// the gain-dependent part. Every expression is the one Biquad::calcBiquad
// evaluates, in the same order, so the coefficients are the same bits.
#pragma once

#include "effect/biquad.h"

class BiquadGainTuning {
 public:
  // Types other than peaking and the two shelves have no gain-dependent
  // part; for them coefficients() runs the full computation.
  void prepare(int type, double Fc, double Q);
  BiquadCoefficients coefficients(double peakGainDB) const;

  int type() const { return mType; }
  double Fc() const { return mFc; }
  double Q() const { return mQ; }

 private:
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
