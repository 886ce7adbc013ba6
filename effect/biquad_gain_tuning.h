// Re-tuning of a peaking or shelving section whose gain moves while its
// type, Fc and Q stay: everything that depends only on those three (the
// tangent, its square, the gain-free sums and the normaliser) is computed
// once by prepare; coefficients() then does only the gain-dependent part,
// with the formulas Biquad::calcBiquad uses (BiquadGainForm), so the
// coefficients are the same bits.
#pragma once

#include <cmath>

#include "effect/biquad.h"
#include "effect/biquad_gain_formulas.h"

// Where BiquadGainTuning::coefficientsFor writes: coefficient k (a0, a1, a2,
// b1, b2 in that order) of gain i in both doubles at
// values[i * frameStride + k * coefficientStride], the layout the stereo
// chain's registers load.
struct BiquadPairRows {
  double* values;
  int frameStride;
  int coefficientStride;
};

// One gain's coefficients into its rows, in the boost form (gain >= 0) or
// the cut form; with boostConstantsInPlace a boost writes only what moves
// with the gain. Returns whether it was a boost.
template <int kType>
[[gnu::always_inline]] inline bool StoreGainOfType(const BiquadGainTerms<double>& terms, double peakGainDB, double V,
                                                   double* first, int coefficientStride, bool boostConstantsInPlace) {
  const bool boost = peakGainDB >= 0.0;
  const BiquadLaneCoefficients<double> c =
      boost ? BiquadGainForm(kType, true, terms, V) : BiquadGainForm(kType, false, terms, V);
  const double values[5] = {c.a0, c.a1, c.a2, c.b1, c.b2};
  for (int k = 0; k < 5; ++k) {
    if (boost && boostConstantsInPlace && !BoostCoefficientMoves(kType, k)) continue;
    _mm_storeu_pd(first + k * coefficientStride, _mm_set1_pd(values[k]));
  }
  return boost;
}

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
  // at a time. The same bits, gain by gain. With `boostConstantsInPlace`
  // (the rows hold what every boost shares, as writeBoostConstants left
  // them) pairs of boosts write only what moves with the gain. Returns false
  // where it wrote a cut, which overwrites the shared values.
  bool coefficientsFor(const double* peakGainDB, const double* amplitudes, int n, const BiquadPairRows& out,
                       bool boostConstantsInPlace = false) const;
  // The same for one gain, inline: all a block of one sample asks for.
  bool coefficientsForOne(double peakGainDB, double amplitude, const BiquadPairRows& out,
                          bool boostConstantsInPlace) const;
  // What every boost's coefficients share, for n gains.
  void writeBoostConstants(int n, const BiquadPairRows& out) const;

  // Every boost (any gain >= 0) has finite coefficients and a positive a0,
  // so that a section at rest given +0 gives +0.
  bool boostsKeepRest() const {
    return hasGainPart() && mTerms.K > 0.0 && mTerms.K < HUGE_VAL && mTerms.K / mQ > 0.0 &&
           mTerms.plainNormaliser > 0.0;
  }

  int type() const { return mType; }
  double Fc() const { return mFc; }
  double Q() const { return mQ; }

 private:
  bool hasGainPart() const { return mType >= Biquad::kPeaking && mType <= Biquad::kHighShelf; }
  BiquadCoefficients fullCoefficients(double peakGainDB) const;
  BiquadCoefficients fromAmplitude(double V, bool boost) const {
    const BiquadLaneCoefficients<double> c = BiquadGainForm(mType, boost, mTerms, V);
    return {c.a0, c.a1, c.a2, c.b1, c.b2};
  }

  int mType = Biquad::kPeaking;
  double mFc = 0.5, mQ = 0.707;
  BiquadGainTerms<double> mTerms = {};
};

inline BiquadCoefficients BiquadGainTuning::coefficients(double peakGainDB) const {
  if (!hasGainPart()) return fullCoefficients(peakGainDB);
  return fromAmplitude(Amplitude(peakGainDB), peakGainDB >= 0.0);
}

inline bool BiquadGainTuning::coefficientsForOne(double peakGainDB, double amplitude, const BiquadPairRows& out,
                                                 bool boostConstantsInPlace) const {
  double* first = out.values;
  const int stride = out.coefficientStride;
  switch (mType) {
    case Biquad::kPeaking:
      return StoreGainOfType<Biquad::kPeaking>(mTerms, peakGainDB, amplitude, first, stride, boostConstantsInPlace);
    case Biquad::kLowShelf:
      return StoreGainOfType<Biquad::kLowShelf>(mTerms, peakGainDB, amplitude, first, stride, boostConstantsInPlace);
    case Biquad::kHighShelf:
      return StoreGainOfType<Biquad::kHighShelf>(mTerms, peakGainDB, amplitude, first, stride, boostConstantsInPlace);
    default:
      return coefficientsFor(&peakGainDB, &amplitude, 1, out, boostConstantsInPlace);
  }
}
