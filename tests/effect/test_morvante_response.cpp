// The response display's curves against the effect itself: the magnitude of
// the FFT of the processed impulse, at the same settings, from 20 Hz to
// 20 kHz.
#include <fftw3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "effect/morvante_response.h"
#include "tests/effect/morvante_test_plug.h"

namespace {

constexpr double kRate = 48000.0;
// 2.7 s: the narrowest, lowest section has rung out long before.
constexpr int kLength = 1 << 17;

struct BandSetting {
  double frequency, bandwidth, gain;
};
struct Case {
  const char* name;
  BandSetting bands[kNumMorvanteBands];
  double outputDB;
  // Held for the whole impulse response (1.0: no reduction).
  double gainStates[kNumMorvanteBands];
};

// Indexed by EMorvanteBand: High (high shelf), High Mid, Low (low shelf),
// Low Mid, Mid (peaking).
const Case kCases[] = {
    {"defaults", {{14000, -2.7, 0}, {9000, -2.7, 0}, {510, -2.7, 0}, {1700, -2.7, 0}, {4500, -2.7, 0}}, 0.0,
     {1, 1, 1, 1, 1}},
    {"boosts", {{12000, -2.7, 9}, {6000, -5.0, 12}, {120, -2.7, 8}, {700, -1.0, 6}, {2500, -0.4, 15}}, 0.0,
     {1, 1, 1, 1, 1}},
    {"cuts", {{9000, -2.7, -12}, {5000, -0.4, -18}, {300, -2.7, -10}, {400, -5.0, -24}, {3000, -2.0, -9}}, -3.0,
     {1, 1, 1, 1, 1}},
    {"extremes", {{20000, -2.7, 24}, {15000, -5.0, -24}, {20, -2.7, 24}, {3000, -0.4, 24}, {1000, -5.0, -24}}, 6.0,
     {1, 1, 1, 1, 1}},
    {"held reductions", {{11000, -2.7, 10}, {7000, -1.5, 14}, {90, -2.7, 12}, {900, -3.0, -6}, {4000, -0.8, 18}},
     -1.5, {0.2, 0.55, 0.0, 0.8, 0.35}},
};

void Apply(TestMorvante& plug, const Case& c) {
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    const MorvanteBandLayout& layout = kMorvanteBandLayouts[b];
    plug.SetParam(layout.frequencyParam, c.bands[b].frequency);
    plug.SetParam(layout.bandwidthParam, c.bands[b].bandwidth);
    plug.SetParam(layout.gainParam, c.bands[b].gain);
    if (c.gainStates[b] == 1.0) continue;
    // A band whose gain state can neither fall nor rise: detecting, with
    // attack and release too long to move it.
    MorvanteBand& band = plug.Band(b);
    band.threshold = 30.0;
    band.attack = 1e30;
    band.release = 1e30;
    band.gainState = c.gainStates[b];
  }
  plug.SetParam(kOutput, c.outputDB);
}

// |FFT| of the effect's response to a unit impulse, in dB, per bin.
std::vector<double> MeasuredDB(TestMorvante& plug) {
  std::vector<double> left(kLength, 0.0), right(kLength, 0.0);
  left[0] = right[0] = 1.0;
  plug.ProcessInPlace(left, right);
  std::vector<double> spectrum(2 * (kLength / 2 + 1));
  auto* bins = reinterpret_cast<fftw_complex*>(spectrum.data());
  fftw_plan plan = fftw_plan_dft_r2c_1d(kLength, left.data(), bins, FFTW_ESTIMATE);
  fftw_execute(plan);
  fftw_destroy_plan(plan);
  std::vector<double> dB(kLength / 2 + 1);
  for (size_t k = 0; k < dB.size(); ++k) dB[k] = 10.0 * std::log10(bins[k][0] * bins[k][0] + bins[k][1] * bins[k][1]);
  return dB;
}

TEST(MorvanteResponse, CurvesMatchTheMeasuredResponseOfEveryBandType) {
  // Bins about 1/100 octave apart from 20 Hz to 20 kHz, at the bins' own
  // frequencies.
  std::vector<int> bins;
  for (double hz = 20.0; hz <= 20000.0; hz *= std::pow(2.0, 0.01)) {
    const int k = static_cast<int>(std::lround(hz * kLength / kRate));
    if (bins.empty() || k != bins.back()) bins.push_back(k);
  }
  std::vector<double> axis;
  for (int k : bins) axis.push_back(k * kRate / kLength);

  for (const Case& c : kCases) {
    TestMorvante plug;
    plug.SetSampleRate(kRate);
    Apply(plug, c);
    MorvanteResponse response;
    response.SetAxis(axis);
    response.SetSettings(MorvanteResponseSettings::Of(plug));
    response.SetGainStates(c.gainStates);
    const std::vector<double> measured = MeasuredDB(plug);
    for (int b = 0; b < kNumMorvanteBands; ++b)
      ASSERT_EQ(plug.Band(b).gainState, c.gainStates[b]) << c.name << ": the gain state moved";

    const bool held = std::any_of(std::begin(c.gainStates), std::end(c.gainStates), [](double s) { return s != 1.0; });
    double worst = 0.0, worstHz = 0.0, span = 0.0;
    const std::vector<double>& curve = held ? response.DynamicDB() : response.StaticDB();
    for (size_t i = 0; i < bins.size(); ++i) {
      const double error = std::fabs(curve[i] - measured[bins[i]]);
      if (error > worst) {
        worst = error;
        worstHz = axis[i];
      }
      span = std::max(span, std::fabs(curve[i]));
    }
    EXPECT_LT(worst, 0.1) << c.name << ": off by " << worst << " dB at " << worstHz << " Hz";
    std::printf("%-16s largest difference %.6f dB (at %.0f Hz), curve within +-%.1f dB\n", c.name, worst, worstHz,
                span);
    if (!held) {
      // No reduction: the dynamic curve is the static one, and no band
      // takes anything.
      EXPECT_EQ(response.DynamicDB(), response.StaticDB()) << c.name;
    } else {
      // The bands' parts, which the display fills between the curves, add
      // up to the difference between them.
      for (size_t i = 0; i < axis.size(); ++i) {
        double parts = 0.0;
        for (int b = 0; b < kNumMorvanteBands; ++b) parts += response.BandChangeDB(b)[i];
        ASSERT_NEAR(parts, response.DynamicDB()[i] - response.StaticDB()[i], 1e-9) << axis[i] << " Hz";
      }
      EXPECT_LT(*std::min_element(response.BandChangeDB(kBandLow).begin(), response.BandChangeDB(kBandLow).end()),
                -6.0);
    }
  }
}

}  // namespace
