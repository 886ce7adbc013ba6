#include "tests/effect/reference_morvante.h"

#include <algorithm>
#include <cmath>

void ReferenceMorvante::SetParameter(int paramIdx, double v) {
  Band& H = band[kHigh];
  Band& HM = band[kHighMid];
  Band& Lo = band[kLow];
  Band& LM = band[kLowMid];
  Band& M = band[kMid];
  switch (paramIdx) {
    case 0: H.attack = v; break;
    case 1: H.bandwidth = v; break;
    case 2: H.frequency = v; break;
    case 3: H.gain = v; break;
    case 4: HM.attack = v; break;
    case 5: HM.bandwidth = v; break;
    case 6: HM.frequency = v; break;
    case 7: HM.gain = v; break;
    case 8: HM.ratio = v; break;
    case 9: HM.release = v; break;
    case 10: HM.threshold = v; break;
    case 11: H.ratio = v; break;
    case 12: H.release = v; break;
    case 13: H.threshold = v; break;
    case 14: Lo.attack = v; break;
    case 15: Lo.bandwidth = v; break;
    case 16: Lo.frequency = v; break;
    case 17: Lo.gain = v; break;
    case 18: LM.attack = v; break;
    case 19: LM.bandwidth = v; break;
    case 20: LM.frequency = v; break;
    case 21: LM.gain = v; break;
    case 22: LM.ratio = v; break;
    case 23: LM.release = v; break;
    case 24: LM.threshold = v; break;
    case 26: M.attack = v; break;
    case 27: M.bandwidth = v; break;
    case 28: M.frequency = v; break;
    case 29: M.gain = v; break;
    case 30: M.ratio = v; break;
    case 31: M.release = v; break;
    case 32: M.threshold = v; break;
    case 33: outputGain = std::pow(10.0, v / 20); break;
    case 34: Lo.threshold = v; break;
    case 35: Lo.release = v; break;
    case 36: Lo.ratio = v; break;
    case 37: bypass = static_cast<int>(v); break;
    case 38: Lo.mode = static_cast<int>(v); break;
    case 39: LM.mode = static_cast<int>(v); break;
    case 40: M.mode = static_cast<int>(v); break;
    case 41: HM.mode = static_cast<int>(v); break;
    case 42: H.mode = static_cast<int>(v); break;
    default: break;
  }
}

void ReferenceMorvante::Process(const double* const* inputs, double* const* outputs, int nFrames) {
  ClearNonFiniteState();
  TuneDetectors();
  for (int i = 0; i < nFrames; ++i) ProcessSample(inputs[0][i], inputs[1][i], &outputs[0][i], &outputs[1][i]);
}

// Not in the original design: without it one NaN or infinity would silence
// the effect for good.
void ReferenceMorvante::ClearNonFiniteState() {
  for (Band& bd : band) {
    for (Biquad* f : {&bd.detector, &bd.dynamicLeft, &bd.dynamicRight, &bd.staticLeft, &bd.staticRight}) {
      if (!f->HasFiniteState()) f->ClearState();
    }
    if (!std::isfinite(bd.S)) bd.S = 1.0;
    if (!std::isfinite(bd.meter.GetState())) bd.meter.ClearState();
  }
  if (!trimLeft.HasFiniteState()) trimLeft.ClearState();
  if (!trimRight.HasFiniteState()) trimRight.ClearState();
  if (!osLeft.HasFiniteState()) osLeft.ClearState();
  if (!osRight.HasFiniteState()) osRight.ClearState();
}

void ReferenceMorvante::TuneDetectors() {
  const int types[kBands] = {1, 2, 0, 2, 2};
  for (int b = 0; b < kBands; ++b) {
    band[b].detector.setBiquad(types[b], band[b].frequency / sr, -band[b].bandwidth, 0);
  }
}

double ReferenceMorvante::Coefficient(double ms, double rate) {
  if (ms / 1000 == 0) return 0;
  return std::exp(-1 / ((ms / 1000) * rate));
}

float ReferenceMorvante::DetectorSample(int mode, double L, double R) {
  double d;
  if (mode == 1) {
    d = L + R;
  } else if (std::isnan(L)) {
    d = R;
  } else if (std::isnan(R)) {
    d = L;
  } else {
    d = L > R ? L : R;
  }
  return static_cast<float>(d);
}

double ReferenceMorvante::Level(int b, float x, double g, double m, double* A) const {
  if (b == kMid) {
    const double a = g * *A + m * x;
    return x > std::sqrt(a) ? x : std::sqrt(a);
  }
  const double a1 = m * x;
  if (x > std::sqrt(a1)) {
    if (b == kLowMid) *A = a1;
    return x;
  }
  const double a2 = g * a1 + m * x;
  if (b == kLowMid) *A = a2;
  return std::sqrt(a2);
}

double ReferenceMorvante::TargetGain(double level, double theta, double slope, double T) {
  if (level > theta) return std::exp((slope * (std::log(level) * 8.65617025 - T) + T) / 8.65617025) / level;
  return 1.0;
}

double ReferenceMorvante::NextGainState(double S, double tau, double alpha, double rho) {
  if (S > tau) return std::max(tau, alpha * S);
  return std::min(S / rho, tau);
}

void ReferenceMorvante::SwitchOffBands() {
  for (Band& bd : band) {
    if (bd.threshold == 0) bd.S = 1.0;
  }
}

void ReferenceMorvante::TuneEqualiser() {
  const int types[kBands] = {6, 4, 5, 4, 4};
  for (int b = 0; b < kBands; ++b) {
    Band& bd = band[b];
    const double Fc = (bd.frequency / sr) * 0.125;
    const double Q = -bd.bandwidth;
    bd.dynamicLeft.setBiquad(types[b], Fc, Q, 24 * bd.S);
    bd.dynamicRight.setBiquad(types[b], Fc, Q, 24 * bd.S);
    bd.staticLeft.setBiquad(types[b], Fc, Q, bd.gain - 24);
    bd.staticRight.setBiquad(types[b], Fc, Q, bd.gain - 24);
  }
}

void ReferenceMorvante::RunOversampled(StOversampler4x& os, double input, bool left) {
  Band& H = band[kHigh];
  Band& HM = band[kHighMid];
  Band& Lo = band[kLow];
  Band& LM = band[kLowMid];
  Band& M = band[kMid];
  os.up4(input);
  for (int e = 27; e <= 30; ++e) {
    float s = static_cast<float>(os.outputHistory[e]);
    if (left) {
      s = H.dynamicLeft.processSample(s);
      s = HM.dynamicLeft.processSample(s);
      s = M.dynamicLeft.processSample(s);
      s = LM.dynamicLeft.processSample(s);
      s = Lo.dynamicLeft.processSample(s);
      s = M.staticLeft.processSample(s);
      s = Lo.staticLeft.processSample(s);
      s = LM.staticLeft.processSample(s);
      s = HM.staticLeft.processSample(s);
      s = H.staticLeft.processSample(s);
    } else {
      s = H.dynamicRight.processSample(s);
      s = HM.dynamicRight.processSample(s);
      s = M.dynamicRight.processSample(s);
      s = LM.dynamicRight.processSample(s);
      s = Lo.dynamicRight.processSample(s);
      s = M.staticRight.processSample(s);
      s = Lo.staticRight.processSample(s);
      s = LM.staticRight.processSample(s);
      s = HM.staticRight.processSample(s);
      s = H.staticRight.processSample(s);
    }
    os.outputHistory[e] = s;
  }
}

void ReferenceMorvante::TuneTrim() {
  trimLeft.setBiquad(4, (sr * 0.5 / sr) * 0.5, 0.4, -2.5);
  trimRight.setBiquad(4, (sr * 0.5 / sr) * 0.5, 0.4, -2.5);
}

float ReferenceMorvante::DownSampleAndTrim(StOversampler4x& os, Biquad& trim) {
  const float D = static_cast<float>(os.downSample());
  const float y = trim.processSample(D);
  trim.processSample(0.0f);
  return y;
}

void ReferenceMorvante::SendMeters() {
  if (!editorOpen) return;
  for (int b = 0; b < kBands; ++b) {
    meterLog.push_back({b, band[b].meter.Process((1 - band[b].S) * 1.5, sr)});
  }
}

void ReferenceMorvante::ProcessSample(double L, double R, double* outL, double* outR) {
  const double g = std::exp(-62.83185307 / sr);
  const double m = 1 - g;
  double A = 0;
  for (int b = 0; b < kBands; ++b) {
    Band& bd = band[b];
    const double T = -1.5 * bd.threshold;
    const double theta = std::exp(T / 8.65617025);
    const double slope = 1 / bd.ratio;
    const double alpha = Coefficient(bd.attack, sr);
    const double rho = Coefficient(bd.release, sr);
    const float d = DetectorSample(bd.mode, L, R);
    const float x = bd.detector.processSample(d);
    const double level = Level(b, x, g, m, &A);
    const double tau = TargetGain(level, theta, slope, T);
    bd.S = NextGainState(bd.S, tau, alpha, rho);
  }
  SwitchOffBands();
  inputLeft = L;
  inputRight = R;
  TuneEqualiser();
  for (int pass = 0; pass < 2; ++pass) {
    RunOversampled(osLeft, inputLeft, true);
    RunOversampled(osRight, inputRight, false);
  }
  TuneTrim();
  const double processedLeft = DownSampleAndTrim(osLeft, trimLeft);
  const double processedRight = DownSampleAndTrim(osRight, trimRight);
  const double dryL = dryLeft[0];
  const double dryR = dryRight[0];
  for (int k = 0; k + 1 < kDryDelay; ++k) {
    dryLeft[k] = dryLeft[k + 1];
    dryRight[k] = dryRight[k + 1];
  }
  dryLeft[kDryDelay - 1] = L;
  dryRight[kDryDelay - 1] = R;
  *outL = bypass == 1 ? dryL : processedLeft * outputGain;
  *outR = bypass == 1 ? dryR : processedRight * outputGain;
  SendMeters();
}
