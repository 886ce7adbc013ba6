#include "effect/biquad_gain_tuning.h"

#include <emmintrin.h>

#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kSqrt2 = 1.4142135623730951;

// Two gains' coefficients, one gain per lane.
using Pair = __m128d;
struct PairCoefficients {
  Pair a0, a1, a2, b1, b2;
};

inline Pair Set(double v) { return _mm_set1_pd(v); }
inline Pair Add(Pair a, Pair b) { return _mm_add_pd(a, b); }
inline Pair Sub(Pair a, Pair b) { return _mm_sub_pd(a, b); }
inline Pair Mul(Pair a, Pair b) { return _mm_mul_pd(a, b); }
inline Pair Div(Pair a, Pair b) { return _mm_div_pd(a, b); }
inline Pair Select(Pair mask, Pair ifSet, Pair otherwise) {
  return _mm_or_pd(_mm_and_pd(mask, ifSet), _mm_andnot_pd(mask, otherwise));
}

// Both forms computed, the boost or the cut form picked lane by lane.
inline PairCoefficients Pick(Pair boost, const PairCoefficients& ifBoost, const PairCoefficients& ifCut) {
  return {Select(boost, ifBoost.a0, ifCut.a0), Select(boost, ifBoost.a1, ifCut.a1),
          Select(boost, ifBoost.a2, ifCut.a2), Select(boost, ifBoost.b1, ifCut.b1),
          Select(boost, ifBoost.b2, ifCut.b2)};
}

inline void Store(const PairCoefficients& c, BiquadCoefficients& first, BiquadCoefficients& second) {
  _mm_storel_pd(&first.a0, c.a0);
  _mm_storel_pd(&first.a1, c.a1);
  _mm_storel_pd(&first.a2, c.a2);
  _mm_storel_pd(&first.b1, c.b1);
  _mm_storel_pd(&first.b2, c.b2);
  _mm_storeh_pd(&second.a0, c.a0);
  _mm_storeh_pd(&second.a1, c.a1);
  _mm_storeh_pd(&second.a2, c.a2);
  _mm_storeh_pd(&second.b1, c.b1);
  _mm_storeh_pd(&second.b2, c.b2);
}

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

// Lane by lane the expressions of peaking(), lowShelf() and highShelf().
void BiquadGainTuning::coefficientsFor(const double* peakGainDB, const double* amplitudes, int n,
                                       BiquadCoefficients* out, int stride) const {
  if (!hasGainPart()) {
    for (int i = 0; i < n; ++i) out[i * stride] = fullCoefficients(peakGainDB[i]);
    return;
  }
  const Pair one = Set(1.0), two = Set(2.0), k = Set(K), k2 = Set(K2), twoK2Minus1Pair = Set(twoK2Minus1);
  const Pair normaliser = Set(plainNormaliser), sum = Set(plainSum), difference = Set(plainDifference);
  int i = 0;
  for (; i + 1 < n; i += 2) {
    const Pair V = _mm_loadu_pd(amplitudes + i);
    const Pair boost = _mm_cmpge_pd(_mm_loadu_pd(peakGainDB + i), _mm_setzero_pd());
    PairCoefficients ifBoost, ifCut;
    if (mType == Biquad::kPeaking) {
      const Pair VKOverQ = Div(Mul(V, k), Set(mQ));
      const Pair sumV = Add(Add(one, VKOverQ), k2), differenceV = Add(Sub(one, VKOverQ), k2);
      const Pair a1 = Mul(twoK2Minus1Pair, normaliser);
      ifBoost = {Mul(sumV, normaliser), a1, Mul(differenceV, normaliser), a1, Mul(difference, normaliser)};
      const Pair cutNormaliser = Div(one, sumV);
      const Pair cutA1 = Mul(twoK2Minus1Pair, cutNormaliser);
      ifCut = {Mul(sum, cutNormaliser), cutA1, Mul(difference, cutNormaliser), cutA1, Mul(differenceV, cutNormaliser)};
    } else {
      const Pair rootK = Mul(_mm_sqrt_pd(Mul(two, V)), k);
      Pair sumV, differenceV, moving;
      if (mType == Biquad::kLowShelf) {
        const Pair VK2 = Mul(V, k2);
        sumV = Add(Add(one, rootK), VK2);
        differenceV = Add(Sub(one, rootK), VK2);
        moving = Mul(two, Sub(VK2, one));
      } else {
        sumV = Add(Add(V, rootK), k2);
        differenceV = Add(Sub(V, rootK), k2);
        moving = Mul(two, Sub(k2, V));
      }
      // The shelves' moving term is a1 for a boost and b1 for a cut.
      ifBoost = {Mul(sumV, normaliser), Mul(moving, normaliser), Mul(differenceV, normaliser),
                 Mul(twoK2Minus1Pair, normaliser), Mul(difference, normaliser)};
      const Pair cutNormaliser = Div(one, sumV);
      ifCut = {Mul(sum, cutNormaliser), Mul(twoK2Minus1Pair, cutNormaliser), Mul(difference, cutNormaliser),
               Mul(moving, cutNormaliser), Mul(differenceV, cutNormaliser)};
    }
    Store(Pick(boost, ifBoost, ifCut), out[i * stride], out[(i + 1) * stride]);
  }
  if (i < n) out[i * stride] = fromAmplitude(amplitudes[i], peakGainDB[i] >= 0.0);
}
