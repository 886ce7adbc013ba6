#include "effect/biquad.h"

#include "effect/biquad_gain_formulas.h"

#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kSqrt2 = 1.4142135623730951;

}  // namespace

BiquadGainTerms<double> MakeBiquadGainTerms(bool peaking, double K, double Q) {
  BiquadGainTerms<double> t;
  t.K = K;
  t.K2 = K * K;
  t.Q = Q;
  if (peaking) {
    t.plainSum = 1 + K / Q + t.K2;
    t.plainDifference = 1 - K / Q + t.K2;
  } else {
    t.plainSum = 1 + kSqrt2 * K + t.K2;
    t.plainDifference = 1 - kSqrt2 * K + t.K2;
  }
  t.plainNormaliser = 1 / t.plainSum;
  t.twoK2Minus1 = 2 * (t.K2 - 1);
  return t;
}

Biquad::Biquad(int type, double Fc, double Q, double peakGainDB)
    : type(type), Fc(Fc), Q(Q), peakGain(peakGainDB) {
  calcBiquad();
  z1 = 0.0;
  z2 = 0.0;
}

void Biquad::setBiquad(int type, double Fc, double Q, double peakGainDB) {
  this->type = type;
  this->Fc = Fc;
  this->Q = Q;
  this->peakGain = peakGainDB;
  calcBiquad();
}

void Biquad::setType(int type) {
  this->type = type;
  calcBiquad();
}

void Biquad::setQ(double Q) {
  this->Q = Q;
  calcBiquad();
}

void Biquad::setFc(double Fc) {
  this->Fc = Fc;
  calcBiquad();
}

void Biquad::setPeakGain(double peakGainDB) {
  this->peakGain = peakGainDB;
  calcBiquad();
}

// The operation order of every expression is part of the result: processing
// must be reproducible bit for bit, so keep it when editing.
void Biquad::calcBiquad() {
  // Written so that a NaN Fc is limited too.
  const double limitedFc = Fc < kMaxFc ? Fc : kMaxFc;
  const double K = std::tan(kPi * limitedFc);
  const double K2 = K * K;
  // Cut forms use the magnitude so that they invert the boost forms exactly.
  const double V = std::pow(10.0, std::fabs(peakGain) / 20.0);
  const bool boost = peakGain >= 0.0;
  double n;

  switch (type) {
    case kLowPass:
      n = 1 / (1 + K / Q + K2);
      a0 = K2 * n;
      a1 = 2 * a0;
      a2 = a0;
      b1 = 2 * (K2 - 1) * n;
      b2 = (1 - K / Q + K2) * n;
      break;

    case kHighPass:
      n = 1 / (1 + K / Q + K2);
      a0 = n;
      a1 = -2 * a0;
      a2 = a0;
      b1 = 2 * (K2 - 1) * n;
      b2 = (1 - K / Q + K2) * n;
      break;

    case kBandPass:
      n = 1 / (1 + K / Q + K2);
      a0 = K / Q * n;
      a1 = 0;
      a2 = -a0;
      b1 = 2 * (K2 - 1) * n;
      b2 = (1 - K / Q + K2) * n;
      break;

    case kNotch:
      n = 1 / (1 + K / Q + K2);
      a0 = (1 + K2) * n;
      a1 = 2 * (K2 - 1) * n;
      a2 = a0;
      b1 = a1;
      b2 = (1 - K / Q + K2) * n;
      break;

    case kPeaking:
    case kLowShelf:
    case kHighShelf: {
      const BiquadLaneCoefficients<double> c = BiquadGainForm(type, boost, MakeBiquadGainTerms(type == kPeaking, K, Q), V);
      a0 = c.a0;
      a1 = c.a1;
      a2 = c.a2;
      b1 = c.b1;
      b2 = c.b2;
      break;
    }

    default:
      break;
  }
}
