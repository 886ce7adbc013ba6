#include "tools/spectrum.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>

double Spectrum::BandDb(double lo, double hi) const {
  if (power.empty() || binHz <= 0.0) return -HUGE_VAL;
  const double last = static_cast<double>(power.size() - 1);
  const double a = std::clamp(lo / binHz, 0.0, last), b = std::clamp(hi / binHz, 0.0, last);
  // Bands a few bins wide are averaged over the power interpolated between
  // bins, so that the curve does not step from one bin to the next.
  const auto at = [&](double x) {
    const auto i = static_cast<size_t>(x);
    const double t = x - static_cast<double>(i);
    return i + 1 < power.size() ? power[i] * (1 - t) + power[i + 1] * t : power[i];
  };
  double sum = 0.0;
  size_t count = 0;
  if (b - a < 16.0) {
    for (int k = 0; k < 16; ++k, ++count) sum += at(a + (b - a) * (k + 0.5) / 16.0);
  } else {
    for (auto i = static_cast<size_t>(std::ceil(a)); i <= static_cast<size_t>(b); ++i, ++count) sum += power[i];
  }
  const double mean = sum / static_cast<double>(count);
  return mean > 0.0 ? 10.0 * std::log10(mean) : -HUGE_VAL;
}

Spectrum LongTermSpectrum(const Audio& audio, int fftSize) {
  Spectrum spectrum;
  const auto n = static_cast<size_t>(fftSize);
  spectrum.binHz = audio.rate / fftSize;
  spectrum.power.assign(n / 2 + 1, 0.0);
  std::vector<double> window(n);
  double windowSum = 0.0;
  for (size_t i = 0; i < n; ++i) {
    window[i] = 0.5 - 0.5 * std::cos(2.0 * M_PI * static_cast<double>(i) / static_cast<double>(n));
    windowSum += window[i];
  }
  double* frame = fftw_alloc_real(n);
  fftw_complex* bins = fftw_alloc_complex(n / 2 + 1);
  fftw_plan plan = fftw_plan_dft_r2c_1d(fftSize, frame, bins, FFTW_ESTIMATE);
  const auto frames = static_cast<size_t>(audio.Frames());
  size_t count = 0;
  // Files shorter than one frame are zero-padded into one.
  for (size_t start = 0; start == 0 || start + n <= frames; start += n / 2) {
    for (const auto& channel : audio.channels) {
      for (size_t i = 0; i < n; ++i) frame[i] = start + i < frames ? channel[start + i] * window[i] : 0.0;
      fftw_execute(plan);
      for (size_t k = 0; k <= n / 2; ++k) {
        // One-sided, scaled so that a sine's peak bin holds its mean power
        // (a full-scale sine reads -3 dB).
        const double scale = (k == 0 || k == n / 2 ? 1.0 : 2.0) / (windowSum * windowSum);
        spectrum.power[k] += (bins[k][0] * bins[k][0] + bins[k][1] * bins[k][1]) * scale;
      }
    }
    ++count;
    if (start + n >= frames) break;
  }
  for (double& p : spectrum.power) p /= static_cast<double>(count);
  fftw_destroy_plan(plan);
  fftw_free(bins);
  fftw_free(frame);
  return spectrum;
}

namespace {
// The band's mean power per hop, channels summed.
std::vector<double> BandPower(const Audio& audio, double frequency, size_t hop) {
  // A constant-peak band-pass (Q 2) in direct form I.
  const double w = 2.0 * M_PI * std::min(frequency, 0.45 * audio.rate) / audio.rate;
  const double alpha = std::sin(w) / (2.0 * 2.0);
  const double a0 = 1.0 + alpha;
  const double b0 = alpha / a0, b2 = -alpha / a0, a1 = -2.0 * std::cos(w) / a0, a2 = (1.0 - alpha) / a0;
  const auto frames = static_cast<size_t>(audio.Frames());
  std::vector<double> power(frames / hop, 0.0);
  for (const auto& channel : audio.channels) {
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (size_t i = 0; i < power.size() * hop; ++i) {
      const double x = channel[i];
      const double y = b0 * x + b2 * x2 - a1 * y1 - a2 * y2;
      x2 = x1;
      x1 = x;
      y2 = y1;
      y1 = y;
      power[i / hop] += y * y / static_cast<double>(hop);
    }
  }
  return power;
}
}  // namespace

BandTrack TrackBandChange(const Audio& input, const Audio& output, double frequency, double hopSeconds) {
  BandTrack track;
  track.hopSeconds = hopSeconds;
  const auto hop = static_cast<size_t>(std::max(1.0, std::round(hopSeconds * input.rate)));
  const std::vector<double> in = BandPower(input, frequency, hop), out = BandPower(output, frequency, hop);
  // Below -80 dB the ratio says nothing anyone hears.
  constexpr double kSilent = 1e-8;
  for (size_t i = 0; i < in.size() && i < out.size(); ++i)
    track.changeDb.push_back(in[i] > kSilent ? 10.0 * std::log10(std::max(out[i], 1e-20) / in[i]) : std::nan(""));
  return track;
}
