#include "effect/morvante_response.h"

#include <cmath>

#include "effect/biquad.h"
#include "effect/morvante.h"
#include "effect/st_oversampler4x.h"
#include "framework/iparam.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr int kOversampling = OversampledStereoChain::kOversampling;
// Where the decimation samples the oversampled stream: the newest of each
// base-rate sample's eight entries.
constexpr int kDecimationPhase = kOversampling - 1;
// An image whose weight is this far below the principal one's changes no
// curve by a visible fraction of a dB, even under a deep cut.
constexpr double kNegligibleImage = 1e-9;

double PowerToDB(double power) { return power > 1e-30 ? 10.0 * std::log10(power) : -300.0; }

}  // namespace

MorvanteResponseSettings MorvanteResponseSettings::Of(const IPlugBase& plug) {
  MorvanteResponseSettings s;
  s.sampleRate = plug.GetSampleRate();
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    const MorvanteBandLayout& layout = kMorvanteBandLayouts[b];
    s.bands[b] = {plug.GetParam(layout.frequencyParam)->Value(), plug.GetParam(layout.bandwidthParam)->Value(),
                  plug.GetParam(layout.gainParam)->Value()};
  }
  s.outputDB = plug.GetParam(kOutput)->Value();
  return s;
}

bool MorvanteResponseSettings::operator==(const MorvanteResponseSettings& o) const {
  if (sampleRate != o.sampleRate || outputDB != o.outputDB) return false;
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    if (bands[b].frequency != o.bands[b].frequency || bands[b].bandwidth != o.bands[b].bandwidth ||
        bands[b].gain != o.bands[b].gain)
      return false;
  }
  return true;
}

inline MorvanteResponse::Complex MorvanteResponse::Times(Complex a, Complex b) {
  return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

inline MorvanteResponse::Complex MorvanteResponse::Section(const BiquadCoefficients& c, Complex z, Complex z2) {
  // (a0 + a1 z + a2 z^2) / (1 + b1 z + b2 z^2) with z = e^(-i theta):
  // the transfer function Biquad::processSample runs.
  const Complex num{c.a0 + c.a1 * z.re + c.a2 * z2.re, c.a1 * z.im + c.a2 * z2.im};
  const Complex den{1.0 + c.b1 * z.re + c.b2 * z2.re, c.b1 * z.im + c.b2 * z2.im};
  const double r = 1.0 / (den.re * den.re + den.im * den.im);
  return {(num.re * den.re + num.im * den.im) * r, (num.im * den.re - num.re * den.im) * r};
}

void MorvanteResponse::SetAxis(const std::vector<double>& hz) {
  mHz = hz;
  mPoints.assign(hz.size(), Point{});
  mImagesRate = 0.0;
  mStaticDB.assign(hz.size(), 0.0);
  mDynamicDB.assign(hz.size(), 0.0);
  for (std::vector<double>& change : mBandChangeDB) change.assign(hz.size(), 0.0);
  if (mSettings.sampleRate > 0.0) SetSettings(mSettings);
}

// A base-rate frequency w appears at the equaliser's rate as the eight
// angles (w + 2 pi k) / 8. Each input sample is pushed twice, four stream
// entries apart, and interpolated by the 31-tap filter (times 4); the
// stream runs through the sections and the same filter, and every eighth
// entry is kept. Summing the eight images with the decimation's phase gives
// the base-rate response exactly.
void MorvanteResponse::PrepareImages(double sampleRate) {
  if (sampleRate == mImagesRate) return;
  mImagesRate = sampleRate;
  for (size_t i = 0; i < mPoints.size(); ++i) {
    Point& point = mPoints[i];
    point.images.clear();
    const double w = 2.0 * kPi * mHz[i] / sampleRate;
    Image images[kOversampling];
    double principal = 0.0;
    for (int k = 0; k < kOversampling; ++k) {
      const double theta = (w + 2.0 * kPi * k) / kOversampling;
      Complex h{0.0, 0.0};
      for (int n = 0; n < StOversampler4x::kTaps; ++n) {
        h.re += StOversampler4x::kFir[n] * std::cos(n * theta);
        h.im -= StOversampler4x::kFir[n] * std::sin(n * theta);
      }
      const Complex h2{h.re * h.re - h.im * h.im, 2.0 * h.re * h.im};
      // Two pushes four entries apart, and the decimation's phase.
      const Complex pushes{1.0 + std::cos(4.0 * theta), -std::sin(4.0 * theta)};
      const Complex phase{std::cos(kDecimationPhase * theta), std::sin(kDecimationPhase * theta)};
      const Complex a{h2.re * pushes.re - h2.im * pushes.im, h2.re * pushes.im + h2.im * pushes.re};
      const double gain = 4.0 / kOversampling;
      Image& image = images[k];
      image.fixed = {gain * (a.re * phase.re - a.im * phase.im), gain * (a.re * phase.im + a.im * phase.re)};
      image.z = {std::cos(theta), -std::sin(theta)};
      image.z2 = {std::cos(2.0 * theta), -std::sin(2.0 * theta)};
      const double size = std::hypot(image.fixed.re, image.fixed.im);
      if (k == 0) principal = size;
      if (k == 0 || size > kNegligibleImage * principal) point.images.push_back(image);
    }
  }
}

void MorvanteResponse::SetSettings(const MorvanteResponseSettings& settings) {
  mSettings = settings;
  const double sr = settings.sampleRate;
  if (!(sr > 0.0)) return;
  PrepareImages(sr);

  // As MORVANTE tunes its sections (DeriveSettings).
  BiquadCoefficients staticSections[kNumMorvanteBands];
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    const MorvanteResponseSettings::Band& band = settings.bands[b];
    const int type = kMorvanteBandLayouts[b].equaliserType;
    const double Fc = (band.frequency / sr) * MORVANTE::kOversampledFrequencyScale;
    const double Q = -band.bandwidth;
    staticSections[b] = Biquad(type, Fc, Q, band.gain - MORVANTE::kDynamicRangeDB).getCoefficients();
    mDynamicTuning[b].prepare(type, Fc, Q);
  }
  const BiquadCoefficients trim =
      Biquad(Biquad::kPeaking, (sr * 0.5 / sr) * 0.5, MORVANTE::kTrimQ, MORVANTE::kTrimGainDB).getCoefficients();
  const double outputGain = std::pow(10.0, settings.outputDB / 20.0);

  BiquadCoefficients noReduction[kNumMorvanteBands];
  for (int b = 0; b < kNumMorvanteBands; ++b) noReduction[b] = mDynamicTuning[b].coefficients(MORVANTE::kDynamicRangeDB);
  for (size_t i = 0; i < mPoints.size(); ++i) {
    Point& point = mPoints[i];
    Complex sum{0.0, 0.0};
    for (Image& image : point.images) {
      Complex weight = image.fixed;
      for (const BiquadCoefficients& c : staticSections) weight = Times(weight, Section(c, image.z, image.z2));
      for (int b = 0; b < kNumMorvanteBands; ++b) {
        const Complex s = Section(noReduction[b], image.z, image.z2);
        weight = Times(weight, s);
        // A boost section is never zero.
        const double size = s.re * s.re + s.im * s.im;
        image.inverseNoReduction[b] = {s.re / size, -s.im / size};
      }
      image.weight = weight;
      sum = {sum.re + weight.re, sum.im + weight.im};
    }
    // The trim runs at twice the rate on each sample and a zero; its
    // response is the mean of its own at the two images of the base band.
    const double half = kPi * mHz[i] / sr;
    const Complex t0 = Section(trim, {std::cos(half), -std::sin(half)}, {std::cos(2 * half), -std::sin(2 * half)});
    const Complex t1 = Section(trim, {-std::cos(half), std::sin(half)}, {std::cos(2 * half), -std::sin(2 * half)});
    point.afterDecimation = outputGain * 0.5 * std::sqrt((t0.re + t1.re) * (t0.re + t1.re) + (t0.im + t1.im) * (t0.im + t1.im));
    mStaticDB[i] = PowerToDB(point.afterDecimation * point.afterDecimation * (sum.re * sum.re + sum.im * sum.im));
  }
  const double none[kNumMorvanteBands] = {1.0, 1.0, 1.0, 1.0, 1.0};
  SetGainStates(none);
}

// The bands' gain states are applied one band after another (kPartOrder),
// each band's part being what its step changed; the parts so add up to the
// dynamic curve, the images included.
void MorvanteResponse::SetGainStates(const double (&gainStates)[kNumMorvanteBands]) {
  if (!(mSettings.sampleRate > 0.0)) return;
  BiquadCoefficients dynamic[kNumMorvanteBands];
  for (int b = 0; b < kNumMorvanteBands; ++b)
    dynamic[b] = mDynamicTuning[b].coefficients(MORVANTE::kDynamicRangeDB * gainStates[b]);
  for (size_t i = 0; i < mPoints.size(); ++i) {
    Point& point = mPoints[i];
    Complex products[kOversampling];
    const size_t images = point.images.size();
    for (size_t k = 0; k < images; ++k) products[k] = point.images[k].weight;
    double before = mStaticDB[i];
    for (int band : kPartOrder) {
      if (gainStates[band] == 1.0) {
        mBandChangeDB[band][i] = 0.0;
        continue;
      }
      Complex sum{0.0, 0.0};
      for (size_t k = 0; k < images; ++k) {
        const Image& image = point.images[k];
        products[k] = Times(Times(products[k], image.inverseNoReduction[band]), Section(dynamic[band], image.z, image.z2));
        sum = {sum.re + products[k].re, sum.im + products[k].im};
      }
      const double after = PowerToDB(point.afterDecimation * point.afterDecimation * (sum.re * sum.re + sum.im * sum.im));
      mBandChangeDB[band][i] = after - before;
      before = after;
    }
    mDynamicDB[i] = before;
  }
}
