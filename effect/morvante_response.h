// MORVANTE's magnitude response as the processing gives it, from the same
// coefficient formulas: the two up-sampling steps and the decimation filter
// (with the images of the equaliser's rate that fold back into the base
// band), the ten equaliser sections at eight times the rate, the output
// trim at twice the rate and the Output gain. The static curve has every
// dynamic section at no reduction; the dynamic curve has each at its band's
// gain state.
//
// Whatever depends only on the axis and the rate is made once per axis, the
// static sections' part once per setting, so that a new set of gain states
// costs only the five dynamic sections at each point.
#pragma once

#include <vector>

#include "effect/biquad_gain_tuning.h"
#include "effect/morvante_band.h"

class IPlugBase;

struct MorvanteResponseSettings {
  struct Band {
    double frequency, bandwidth, gain;
  };
  double sampleRate = 0.0;
  Band bands[kNumMorvanteBands] = {};
  double outputDB = 0.0;

  // The plug-in's current parameter values and rate.
  static MorvanteResponseSettings Of(const IPlugBase& plug);
  bool operator==(const MorvanteResponseSettings& other) const;
  bool operator!=(const MorvanteResponseSettings& other) const { return !(*this == other); }
};

class MorvanteResponse {
public:
  // The frequencies (Hz) the curves are wanted at.
  void SetAxis(const std::vector<double>& hz);
  // Makes the static curve; the dynamic curve follows at the next
  // SetGainStates.
  void SetSettings(const MorvanteResponseSettings& settings);
  // Gain states as MorvanteBand::gainState holds them (1.0: no reduction).
  void SetGainStates(const double (&gainStates)[kNumMorvanteBands]);

  const std::vector<double>& Axis() const { return mHz; }
  const std::vector<double>& StaticDB() const { return mStaticDB; }
  const std::vector<double>& DynamicDB() const { return mDynamicDB; }
  // The order in which the bands' parts are taken: from the lowest band.
  static constexpr int kPartOrder[kNumMorvanteBands] = {kBandLow, kBandLowMid, kBandMid, kBandHighMid, kBandHigh};
  // What band b's gain state takes from the curve at each point, in dB (0 at
  // no reduction), after the bands before it in kPartOrder took theirs: the
  // parts add up to the dynamic curve less the static one.
  const std::vector<double>& BandChangeDB(int band) const { return mBandChangeDB[band]; }

private:
  struct Complex {
    double re, im;
  };
  // One image of the equaliser's rate at one point: e^(-i theta) there,
  // and all that multiplies the dynamic sections' response.
  struct Image {
    Complex z, z2;
    // The up-sampling, the decimation filter and the decimation's phase;
    // then that times every section at no reduction.
    Complex fixed, weight;
    // 1 / H of each band's dynamic section at no reduction.
    Complex inverseNoReduction[kNumMorvanteBands];
  };
  struct Point {
    // Images that add nothing measurable are left out.
    std::vector<Image> images;
    // The trim's response and the output gain: both after the decimation.
    double afterDecimation;
  };
  static Complex Times(Complex a, Complex b);
  static Complex Section(const BiquadCoefficients& c, Complex z, Complex z2);
  // Sets up mPoints' images for the rate; nothing when it is unchanged.
  void PrepareImages(double sampleRate);

  std::vector<double> mHz;
  std::vector<Point> mPoints;
  double mImagesRate = 0.0;
  MorvanteResponseSettings mSettings;
  BiquadGainTuning mDynamicTuning[kNumMorvanteBands];
  std::vector<double> mStaticDB, mDynamicDB, mBandChangeDB[kNumMorvanteBands];
};
