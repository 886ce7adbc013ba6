// Four-times polyphase interpolator whose output history doubles as the
// owner's oversampled work buffer and as the input of the decimating FIR.
#pragma once

struct StOversampler4x {
  static constexpr int kTaps = 31;
  static constexpr int kInputLength = 8;
  // Samples per up4 step.
  static constexpr int kFactor = 4;
  // Entries 27 to 30 receive the four samples of the latest up4 step.
  static constexpr int kFirstNewEntry = kTaps - kFactor;

  // Symmetric quarter-band low-pass summing to 1. Every fourth tap from the
  // centre is zero, which leaves phase 3 with the centre tap alone.
  static constexpr double kFir[kTaps] = {
      -0.00248078931015061,  -0.004570244176216314, -0.004355356208146785,
      0.0,                   0.00795714816545856,   0.014777623526947411,
      0.013578369569319975,  0.0,                   -0.022456715627743595,
      -0.040914779384992654, -0.03769151644963085,  0.0,
      0.0706496448477984,    0.15538007457109065,   0.2245335588462797,
      0.2511859632599724,    0.2245335588462797,    0.15538007457109065,
      0.0706496448477984,    0.0,                   -0.03769151644963085,
      -0.040914779384992654, -0.022456715627743595, 0.0,
      0.013578369569319975,  0.014777623526947411,  0.00795714816545856,
      0.0,                   -0.004355356208146785, -0.004570244176216314,
      -0.00248078931015061,
  };

  // Oldest first. The owner may overwrite entries 27 to 30 with processed
  // values before the next step; they then move down like any other.
  double outputHistory[kTaps] = {};
  // Inputs already multiplied by 4 (the interpolation gain), oldest first.
  double inputHistory[kInputLength] = {};

  void up4(double x);

  // Symmetric pairs are added before multiplying and the zero taps skipped;
  // the order of the sum is part of the result.
  double downSample() const {
    const double* e = outputHistory;
    const double* h = kFir;
    return h[0] * (e[0] + e[30]) + h[1] * (e[1] + e[29]) + h[2] * (e[2] + e[28]) +
           h[4] * (e[4] + e[26]) + h[5] * (e[5] + e[25]) + h[6] * (e[6] + e[24]) +
           h[8] * (e[8] + e[22]) + h[9] * (e[9] + e[21]) + h[10] * (e[10] + e[20]) +
           h[12] * (e[12] + e[18]) + h[13] * (e[13] + e[17]) + h[14] * (e[14] + e[16]) +
           h[15] * e[15];
  }

  // Base-rate samples by which a signal comes out late when each input
  // sample goes through stepsPerSample up4 calls and one downSample: where a
  // unit impulse comes out largest.
  static int ImpulsePeakDelay(int stepsPerSample);

  // Without this a single NaN or infinity would stay in the histories for
  // the instance's life. Branch-free: a non-finite entry turns the sum NaN.
  bool HasFiniteState() const;
  void ClearState();
};
