// A literal, uncached transcription of MORVANTE's parameter mapping and
// per-sample processing, used as the oracle the plug-in must match bit for
// bit. Every coefficient is computed where the processing description puts
// it, at every sample; nothing here is organised for speed.
#pragma once

#include <vector>

#include "effect/biquad.h"
#include "effect/st_oversampler4x.h"
#include "effect/vu_meter.h"

class ReferenceMorvante {
public:
  // Bands in processing order.
  enum { kHigh, kHighMid, kLow, kLowMid, kMid, kBands };

  struct Band {
    double attack = 0, bandwidth = 0, frequency = 0, gain = 0, ratio = 0, release = 0, threshold = 0;
    double S = 1.0;
    VUClass meter;
    Biquad detector;
    Biquad dynamicLeft, dynamicRight, staticLeft, staticRight;
    int mode = 0;
  };

  struct MeterUpdate {
    int band;
    double value;
  };

  void SetSampleRate(double rate) { sr = rate; }
  // What OnParamChange copies, plus the live switches the plug-in reads from
  // its parameter records.
  void SetParameter(int paramIdx, double value);
  void SetEditorOpen(bool open) { editorOpen = open; }

  void Process(const double* const* inputs, double* const* outputs, int nFrames);

  Band band[kBands];
  double outputGain = 1.0;
  int bypass = 0;
  std::vector<MeterUpdate> meterLog;
  // The bypass switch passes the input as late as the oversampler makes the
  // processed signal: the peak of its impulse response.
  static constexpr int kDryDelay = 3;
  double dryLeft[kDryDelay] = {};
  double dryRight[kDryDelay] = {};

private:
  void ClearNonFiniteState();
  void TuneDetectors();
  void ProcessSample(double L, double R, double* outL, double* outR);
  static double Coefficient(double ms, double rate);
  static float DetectorSample(int mode, double L, double R);
  double Level(int b, float x, double g, double m, double* A) const;
  static double TargetGain(double level, double theta, double slope, double T);
  static double NextGainState(double S, double tau, double alpha, double rho);
  void SwitchOffBands();
  void TuneEqualiser();
  void RunOversampled(StOversampler4x& os, double input, bool left);
  void TuneTrim();
  float DownSampleAndTrim(StOversampler4x& os, Biquad& trim);
  void SendMeters();

  double sr = 44100.0;
  bool editorOpen = false;
  Biquad trimLeft, trimRight;
  StOversampler4x osLeft, osRight;
  double inputLeft = 0, inputRight = 0;
};
