// Measurements for the plot: long-term spectra and the level of bands over
// time, taken from the audio itself.
#pragma once

#include <vector>

#include "tools/audio_file.h"

struct Spectrum {
  double binHz = 0.0;
  std::vector<double> power;  // mean power per FFT bin, channels summed
  // Mean power between lo and hi Hz (bins interpolated when none falls
  // inside), in dB; -inf for none.
  double BandDb(double lo, double hi) const;
};

// Welch's average of Hann-windowed FFTs (half-overlapping) over the whole
// audio.
Spectrum LongTermSpectrum(const Audio& audio, int fftSize = 32768);

struct BandTrack {
  double hopSeconds = 0.05;
  std::vector<double> changeDb;  // output level less input level; NaN where the input is silent
};

// The level change of the band around frequency: input and output through
// one band-pass (about two thirds of an octave wide), mean power per hop.
BandTrack TrackBandChange(const Audio& input, const Audio& output, double frequency, double hopSeconds = 0.05);
