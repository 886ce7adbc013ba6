// The gain-dependent coefficients of the peaking and shelving types, written
// once for any lane type L: double, or a register of doubles with the same
// operators (BiquadPairLanes), so that every lane does the same operations
// in the same order as the scalar form and gives the same bits.
#pragma once

#include <emmintrin.h>

#include <cmath>

// What the formulas take from a section's type, Fc and Q; nothing here
// depends on the gain.
template <class L>
struct BiquadGainTerms {
  L K, K2;
  L Q;
  L plainSum;         // 1 + K / Q + K², or 1 + √2 K + K² for the shelves
  L plainDifference;  // 1 − K / Q + K², or 1 − √2 K + K²
  L plainNormaliser;  // 1 / plainSum
  L twoK2Minus1;      // 2 (K² − 1)
};

template <class L>
struct BiquadLaneCoefficients {
  L a0, a1, a2, b1, b2;
};

// K = tan(π Fc) with Fc limited (see Biquad::kMaxFc), for a peaking
// (type 4) or shelving section.
BiquadGainTerms<double> MakeBiquadGainTerms(bool peaking, double K, double Q);

// The coefficients for the amplitude V = 10^(|gain| / 20), in the boost
// form (gain >= 0) or the cut form. Types: 4 peaking, 5 low shelf,
// 6 high shelf. Always inlined, so that callers with a known type and form
// get only that type's and that form's arithmetic.
template <class L>
[[gnu::always_inline]] inline BiquadLaneCoefficients<L> BiquadGainForm(int type, bool boost, const BiquadGainTerms<L>& t, L V) {
  using std::sqrt;
  const L one(1.0), two(2.0);
  BiquadLaneCoefficients<L> c;
  if (type == 4) {
    const L VKOverQ = V * t.K / t.Q;
    if (boost) {
      const L n = t.plainNormaliser;
      c.a0 = (one + VKOverQ + t.K2) * n;
      c.a1 = t.twoK2Minus1 * n;
      c.a2 = (one - VKOverQ + t.K2) * n;
      c.b1 = c.a1;
      c.b2 = t.plainDifference * n;
    } else {
      const L n = one / (one + VKOverQ + t.K2);
      c.a0 = t.plainSum * n;
      c.a1 = t.twoK2Minus1 * n;
      c.a2 = t.plainDifference * n;
      c.b1 = c.a1;
      c.b2 = (one - VKOverQ + t.K2) * n;
    }
    return c;
  }
  const L rootK = sqrt(two * V) * t.K;
  // The shelves' sums with the gain in them, and the term that carries it:
  // a1 for a boost, b1 for a cut.
  L sumV, differenceV, moving;
  if (type == 5) {
    const L VK2 = V * t.K2;
    sumV = one + rootK + VK2;
    differenceV = one - rootK + VK2;
    moving = two * (VK2 - one);
  } else {
    sumV = V + rootK + t.K2;
    differenceV = V - rootK + t.K2;
    moving = two * (t.K2 - V);
  }
  if (boost) {
    const L n = t.plainNormaliser;
    c.a0 = sumV * n;
    c.a1 = moving * n;
    c.a2 = differenceV * n;
    c.b1 = t.twoK2Minus1 * n;
    c.b2 = t.plainDifference * n;
  } else {
    const L n = one / sumV;
    c.a0 = t.plainSum * n;
    c.a1 = t.twoK2Minus1 * n;
    c.a2 = t.plainDifference * n;
    c.b1 = moving * n;
    c.b2 = differenceV * n;
  }
  return c;
}

// Which coefficients of the boost form (0..4: a0, a1, a2, b1, b2) depend on
// V; every boost of a section shares the others.
constexpr bool BoostCoefficientMoves(int type, int k) { return k == 0 || k == 2 || (k == 1 && type != 4); }

// Two doubles in one SSE2 register, each lane doing what a double does.
struct BiquadPairLanes {
  __m128d v;
  BiquadPairLanes() = default;
  BiquadPairLanes(double x) : v(_mm_set1_pd(x)) {}  // NOLINT: a constant for both lanes
  explicit BiquadPairLanes(__m128d x) : v(x) {}
};
inline BiquadPairLanes operator+(BiquadPairLanes a, BiquadPairLanes b) { return BiquadPairLanes(_mm_add_pd(a.v, b.v)); }
inline BiquadPairLanes operator-(BiquadPairLanes a, BiquadPairLanes b) { return BiquadPairLanes(_mm_sub_pd(a.v, b.v)); }
inline BiquadPairLanes operator*(BiquadPairLanes a, BiquadPairLanes b) { return BiquadPairLanes(_mm_mul_pd(a.v, b.v)); }
inline BiquadPairLanes operator/(BiquadPairLanes a, BiquadPairLanes b) { return BiquadPairLanes(_mm_div_pd(a.v, b.v)); }
inline BiquadPairLanes sqrt(BiquadPairLanes a) { return BiquadPairLanes(_mm_sqrt_pd(a.v)); }
