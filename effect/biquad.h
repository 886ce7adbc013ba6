// Second-order IIR section (transposed direct form II) with seven response
// types. Coefficients and state are double; samples enter and leave as float.
#pragma once

#include <cmath>

// The five coefficients of a section (the leading feedback one is 1).
struct BiquadCoefficients {
  double a0, a1, a2, b1, b2;
};

// A section's two state values, for callers that run several sections side
// by side in a form of their own.
struct BiquadState {
  double z1, z2;
};

class Biquad {
 public:
  enum EType : int {
    kLowPass = 0,
    kHighPass = 1,
    kBandPass = 2,
    kNotch = 3,
    kPeaking = 4,
    kLowShelf = 5,
    kHighShelf = 6,
  };

  // Coefficients are computed with Fc limited to this value: at 0.5 the
  // tangent hits its pole and above it the section stops being its type and
  // can blow up. The stored Fc keeps what the caller asked for.
  static constexpr double kMaxFc = 0.49;

  // Passes its input through unchanged; no coefficient computation.
  Biquad() = default;
  Biquad(int type, double Fc, double Q, double peakGainDB);

  // The setters recompute the coefficients and keep z1 and z2, so a running
  // filter can be re-tuned without a transient.
  void setBiquad(int type, double Fc, double Q, double peakGainDB);
  void setType(int type);
  void setQ(double Q);
  void setFc(double Fc);
  void setPeakGain(double peakGainDB);

  // Type codes outside 0..6 leave the coefficients as they are.
  void calcBiquad();

  // Runs with the current coefficients; calcBiquad is the only place that
  // changes them, so callers may tune once and run many samples.
  float processSample(float in) {
    const double x = in;
    const double out = x * a0 + z1;
    z1 = x * a1 + z2 - b1 * out;
    z2 = x * a2 - b2 * out;
    return static_cast<float>(out);
  }

  BiquadCoefficients getCoefficients() const { return {a0, a1, a2, b1, b2}; }
  BiquadState getState() const { return {z1, z2}; }
  void setState(const BiquadState& s) {
    z1 = s.z1;
    z2 = s.z2;
  }

  // Neither state value is larger than bound.
  bool StateWithin(double bound) const { return std::fabs(z1) <= bound && std::fabs(z2) <= bound; }

  // One NaN or infinity in the state would otherwise stay for good. The check
  // has no branches so that it can run once per block on many sections.
  bool HasFiniteState() const { return z1 * 0.0 + z2 * 0.0 == 0.0; }
  void ClearState() {
    z1 = 0.0;
    z2 = 0.0;
  }

  int getType() const { return type; }
  double getFc() const { return Fc; }
  double getQ() const { return Q; }
  double getPeakGain() const { return peakGain; }
  double getA0() const { return a0; }
  double getA1() const { return a1; }
  double getA2() const { return a2; }
  double getB1() const { return b1; }
  double getB2() const { return b2; }

 private:
  int type = kLowPass;
  double a0 = 1.0, a1 = 0.0, a2 = 0.0;
  double b1 = 0.0, b2 = 0.0;
  double Fc = 0.5;
  double Q = 0.707;
  double peakGain = 0.0;
  double z1 = 0.0, z2 = 0.0;
};
