#include "effect/biquad_gain_tuning.h"

#include <emmintrin.h>

#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;

using Pair = BiquadPairLanes;

inline __m128d Select(__m128d mask, __m128d ifSet, __m128d otherwise) {
  return _mm_or_pd(_mm_and_pd(mask, ifSet), _mm_andnot_pd(mask, otherwise));
}

inline void Store(__m128d boost, const BiquadLaneCoefficients<Pair>& ifBoost,
                  const BiquadLaneCoefficients<Pair>& ifCut, BiquadCoefficients& first, BiquadCoefficients& second) {
  const __m128d values[5] = {Select(boost, ifBoost.a0.v, ifCut.a0.v), Select(boost, ifBoost.a1.v, ifCut.a1.v),
                             Select(boost, ifBoost.a2.v, ifCut.a2.v), Select(boost, ifBoost.b1.v, ifCut.b1.v),
                             Select(boost, ifBoost.b2.v, ifCut.b2.v)};
  double* firstValues[5] = {&first.a0, &first.a1, &first.a2, &first.b1, &first.b2};
  double* secondValues[5] = {&second.a0, &second.a1, &second.a2, &second.b1, &second.b2};
  for (int k = 0; k < 5; ++k) {
    _mm_storel_pd(firstValues[k], values[k]);
    _mm_storeh_pd(secondValues[k], values[k]);
  }
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

// Both forms for two gains at once, the boost or the cut form picked lane
// by lane.
void BiquadGainTuning::coefficientsFor(const double* peakGainDB, const double* amplitudes, int n,
                                       BiquadCoefficients* out, int stride) const {
  if (!hasGainPart()) {
    for (int i = 0; i < n; ++i) out[i * stride] = fullCoefficients(peakGainDB[i]);
    return;
  }
  const BiquadGainTerms<Pair> terms = {mTerms.K,        mTerms.K2,           mTerms.Q,
                                       mTerms.plainSum, mTerms.plainDifference, mTerms.plainNormaliser,
                                       mTerms.twoK2Minus1};
  int i = 0;
  for (; i + 1 < n; i += 2) {
    const Pair V(_mm_loadu_pd(amplitudes + i));
    const __m128d boost = _mm_cmpge_pd(_mm_loadu_pd(peakGainDB + i), _mm_setzero_pd());
    Store(boost, BiquadGainForm(mType, true, terms, V), BiquadGainForm(mType, false, terms, V), out[i * stride],
          out[(i + 1) * stride]);
  }
  if (i < n) out[i * stride] = fromAmplitude(amplitudes[i], peakGainDB[i] >= 0.0);
}
