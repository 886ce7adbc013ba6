// One band of the dynamic equaliser: its parameter copies, its gain state and
// meter, and its filters; plus the fixed description of each band.
#pragma once

#include "effect/biquad.h"
#include "effect/vu_meter.h"

// The processing visits the bands in this order wherever it loops over them;
// the order is part of the result (the Mid band reads what Low Mid leaves).
enum EMorvanteBand {
  kBandHigh = 0,
  kBandHighMid = 1,
  kBandLow = 2,
  kBandLowMid = 3,
  kBandMid = 4,
  kNumMorvanteBands = 5,
};

// Where each band's two sections sit in a channel's chain of ten, indexed by
// band. A sample passes High, High Mid, Mid, Low Mid and Low dynamic, then
// Mid, Low, Low Mid, High Mid and High static; the float rounding between
// sections makes the order part of the result.
constexpr int kDynamicChainPosition[kNumMorvanteBands] = {0, 1, 4, 3, 2};
constexpr int kStaticChainPosition[kNumMorvanteBands] = {9, 8, 6, 7, 5};

struct MorvanteBand {
  // Parameter values as last delivered by OnParamChange, in their own units.
  double attack = 0.0;
  double bandwidth = 0.0;
  double frequency = 0.0;
  double gain = 0.0;
  double ratio = 0.0;
  double release = 0.0;
  double threshold = 0.0;

  // Current gain factor; 1.0 is no reduction.
  double gainState = 1.0;
  VUClass meter;
  // The base's meter that publishes the reading (to the editor's timer and
  // to hosts); -1 until the editor is built.
  int meterIdx = -1;

  // Isolates the band's part of the detector signal, at the base rate. The
  // band's equaliser sections live in the chain (OversampledStereoChain).
  Biquad detectorFilter;
};

// What the gain computer derives from a band's copies and the rate.
struct MorvanteBandTerms {
  double thresholdLevel;  // T, in the level scale
  double thresholdLinear;
  double slope;
  double attackCoefficient;
  double releaseCoefficient;
  bool switchedOff;
};

struct MorvanteBandLayout {
  const char* name;
  int attackParam;
  int bandwidthParam;
  int frequencyParam;
  int gainParam;
  int ratioParam;
  int releaseParam;
  int thresholdParam;
  int modeParam;
  int detectorType;
  int equaliserType;
};

// Indexed by EMorvanteBand.
extern const MorvanteBandLayout kMorvanteBandLayouts[kNumMorvanteBands];
