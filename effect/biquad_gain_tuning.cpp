#include "effect/biquad_gain_tuning.h"

#include <emmintrin.h>

#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;

using Pair = BiquadPairLanes;

inline __m128d Select(__m128d mask, __m128d ifSet, __m128d otherwise) {
  return _mm_or_pd(_mm_and_pd(mask, ifSet), _mm_andnot_pd(mask, otherwise));
}

// Gain i's value of coefficient k, in both doubles.
inline double* PairAt(const BiquadPairRows& out, int i, int k) {
  return out.values + i * out.frameStride + k * out.coefficientStride;
}

// Two gains' coefficients, the first's in the low lane of each value, from
// `first` (the first gain's a0) on; only the coefficients k with
// written[k]. The rows are passed by value: stores through them cannot
// change them.
inline void StorePair(double* first, int frameStride, int coefficientStride, const __m128d (&values)[5],
                      const bool (&written)[5]) {
  for (int k = 0; k < 5; ++k) {
    if (!written[k]) continue;
    _mm_storeu_pd(first + k * coefficientStride, _mm_unpacklo_pd(values[k], values[k]));
    _mm_storeu_pd(first + frameStride + k * coefficientStride, _mm_unpackhi_pd(values[k], values[k]));
  }
}
constexpr bool kAllCoefficients[5] = {true, true, true, true, true};

inline void StoreOne(const BiquadPairRows& out, int i, const BiquadCoefficients& c) {
  const double values[5] = {c.a0, c.a1, c.a2, c.b1, c.b2};
  for (int k = 0; k < 5; ++k) _mm_storeu_pd(PairAt(out, i, k), _mm_set1_pd(values[k]));
}

}  // namespace

void BiquadGainTuning::prepare(int type, double Fc, double Q) {
  mType = type;
  mFc = Fc;
  mQ = Q;
  const double limitedFc = Fc < Biquad::kMaxFc ? Fc : Biquad::kMaxFc;
  mTerms = MakeBiquadGainTerms(type == Biquad::kPeaking, std::tan(kPi * limitedFc), Q);
}

BiquadCoefficients BiquadGainTuning::fullCoefficients(double peakGainDB) const {
  Biquad full;
  full.setBiquad(mType, mFc, mQ, peakGainDB);
  return full.getCoefficients();
}

namespace {

// Two gains at once, and the last of an odd count alone (all a block of one
// sample has). The gains the processing asks for are boosts (its gain
// states are positive), so the cut form runs only for a pair with a cut (or
// a NaN) in it, and then the form is picked lane by lane. Returns whether
// every gain was a boost.
template <int kType, bool kBoostConstantsInPlace>
bool GainsOfType(const BiquadGainTerms<double>& scalarTerms, const double* peakGainDB, const double* amplitudes,
                 int n, const BiquadPairRows out) {
  static constexpr bool kMoving[5] = {BoostCoefficientMoves(kType, 0), BoostCoefficientMoves(kType, 1),
                                      BoostCoefficientMoves(kType, 2), BoostCoefficientMoves(kType, 3),
                                      BoostCoefficientMoves(kType, 4)};
  const bool (&boostWrites)[5] = kBoostConstantsInPlace ? kMoving : kAllCoefficients;
  const int frameStride = out.frameStride, coefficientStride = out.coefficientStride;
  double* first = out.values;
  bool onlyBoosts = true;
  if (n >= 2) {
    const BiquadGainTerms<double>& t = scalarTerms;
    const BiquadGainTerms<Pair> terms = {t.K,        t.K2,           t.Q, t.plainSum, t.plainDifference,
                                         t.plainNormaliser, t.twoK2Minus1};
    for (int i = 0; i + 1 < n; i += 2, first += 2 * frameStride) {
      const Pair V(_mm_loadu_pd(amplitudes + i));
      const __m128d boost = _mm_cmpge_pd(_mm_loadu_pd(peakGainDB + i), _mm_setzero_pd());
      const BiquadLaneCoefficients<Pair> ifBoost = BiquadGainForm(kType, true, terms, V);
      if (_mm_movemask_pd(boost) == 3) {
        StorePair(first, frameStride, coefficientStride,
                  {ifBoost.a0.v, ifBoost.a1.v, ifBoost.a2.v, ifBoost.b1.v, ifBoost.b2.v}, boostWrites);
        continue;
      }
      onlyBoosts = false;
      const BiquadLaneCoefficients<Pair> ifCut = BiquadGainForm(kType, false, terms, V);
      StorePair(first, frameStride, coefficientStride,
                {Select(boost, ifBoost.a0.v, ifCut.a0.v), Select(boost, ifBoost.a1.v, ifCut.a1.v),
                 Select(boost, ifBoost.a2.v, ifCut.a2.v), Select(boost, ifBoost.b1.v, ifCut.b1.v),
                 Select(boost, ifBoost.b2.v, ifCut.b2.v)},
                kAllCoefficients);
    }
  }
  if (n % 2 == 0) return onlyBoosts;
  const bool boost = StoreGainOfType<kType>(scalarTerms, peakGainDB[n - 1], amplitudes[n - 1], first,
                                            coefficientStride, kBoostConstantsInPlace);
  return onlyBoosts && boost;
}

template <int kType>
bool GainsOfType(const BiquadGainTerms<double>& terms, const double* peakGainDB, const double* amplitudes, int n,
                 const BiquadPairRows& out, bool boostConstantsInPlace) {
  return boostConstantsInPlace ? GainsOfType<kType, true>(terms, peakGainDB, amplitudes, n, out)
                               : GainsOfType<kType, false>(terms, peakGainDB, amplitudes, n, out);
}

}  // namespace

bool BiquadGainTuning::coefficientsFor(const double* peakGainDB, const double* amplitudes, int n,
                                       const BiquadPairRows& out, bool boostConstantsInPlace) const {
  if (!hasGainPart()) {
    for (int i = 0; i < n; ++i) StoreOne(out, i, fullCoefficients(peakGainDB[i]));
    return true;
  }
  if (mType == Biquad::kPeaking) {
    return GainsOfType<Biquad::kPeaking>(mTerms, peakGainDB, amplitudes, n, out, boostConstantsInPlace);
  }
  if (mType == Biquad::kLowShelf) {
    return GainsOfType<Biquad::kLowShelf>(mTerms, peakGainDB, amplitudes, n, out, boostConstantsInPlace);
  }
  return GainsOfType<Biquad::kHighShelf>(mTerms, peakGainDB, amplitudes, n, out, boostConstantsInPlace);
}

void BiquadGainTuning::writeBoostConstants(int n, const BiquadPairRows& out) const {
  // Any boost gives them; 0 dB is one.
  const BiquadCoefficients c = coefficients(0.0);
  for (int i = 0; i < n; ++i) StoreOne(out, i, c);
}
