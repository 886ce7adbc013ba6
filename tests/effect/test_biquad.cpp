#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <limits>

#include "effect/biquad.h"

namespace {

constexpr double kPi = 3.141592653589793;

struct Coefficients {
  double a0, a1, a2, b1, b2;
};

Coefficients CoefficientsOf(const Biquad& f) {
  return {f.getA0(), f.getA1(), f.getA2(), f.getB1(), f.getB2()};
}

void ExpectCoefficientsNear(const Biquad& f, const Coefficients& want, double tolerance) {
  EXPECT_NEAR(f.getA0(), want.a0, tolerance);
  EXPECT_NEAR(f.getA1(), want.a1, tolerance);
  EXPECT_NEAR(f.getA2(), want.a2, tolerance);
  EXPECT_NEAR(f.getB1(), want.b1, tolerance);
  EXPECT_NEAR(f.getB2(), want.b2, tolerance);
}

void ExpectSameCoefficients(const Biquad& f, const Biquad& g) {
  EXPECT_EQ(f.getA0(), g.getA0());
  EXPECT_EQ(f.getA1(), g.getA1());
  EXPECT_EQ(f.getA2(), g.getA2());
  EXPECT_EQ(f.getB1(), g.getB1());
  EXPECT_EQ(f.getB2(), g.getB2());
}

// Magnitude of the transfer function at a frequency given as a fraction of
// the filter's rate.
double MagnitudeAt(const Biquad& f, double fraction) {
  const std::complex<double> zInv = std::polar(1.0, -2.0 * kPi * fraction);
  const std::complex<double> num = f.getA0() + f.getA1() * zInv + f.getA2() * zInv * zInv;
  const std::complex<double> den = 1.0 + f.getB1() * zInv + f.getB2() * zInv * zInv;
  return std::abs(num / den);
}

double DbToLinear(double dB) { return std::pow(10.0, dB / 20.0); }

// Deterministic white noise in [-1, 1).
class Noise {
 public:
  float Next() {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<float>(static_cast<double>(state >> 11) / 4503599627370496.0 - 1.0);
  }

 private:
  uint64_t state = 12345;
};

// Values below were derived independently at 40 significant digits.
constexpr double kCoefficientTolerance = 1e-14;

TEST(Biquad, DefaultPassesInputUnchanged) {
  Biquad f;
  EXPECT_EQ(f.getType(), Biquad::kLowPass);
  EXPECT_EQ(f.getFc(), 0.5);
  EXPECT_EQ(f.getQ(), 0.707);
  EXPECT_EQ(f.getPeakGain(), 0.0);
  Noise noise;
  for (int i = 0; i < 1000; ++i) {
    const float x = noise.Next() * 1000.0f;
    ASSERT_EQ(f.processSample(x), x) << i;
  }
}

TEST(Biquad, LowPassAtQuarterRate) {
  Biquad f(Biquad::kLowPass, 0.25, 0.707, 0.0);
  EXPECT_NEAR(f.getA0(), 0.2929, 5e-5);
  EXPECT_NEAR(f.getA1(), 0.5858, 1e-4);
  EXPECT_NEAR(f.getA2(), 0.2929, 5e-5);
  EXPECT_NEAR(f.getB1(), 0.0, 1e-15);
  EXPECT_NEAR(f.getB2(), 0.1715, 5e-5);
  ExpectCoefficientsNear(
      f, {0.29287489643744822, 0.58574979287489644, 0.29287489643744822, 0.0, 0.17149958574979287},
      kCoefficientTolerance);
  EXPECT_EQ(f.getA2(), f.getA0());
}

TEST(Biquad, CoefficientsOfEachType) {
  struct Case {
    const char* name;
    int type;
    double fc, q, gain;
    Coefficients want;
  };
  const Case cases[] = {
      {"high pass", Biquad::kHighPass, 0.1, 2.0, 0.0,
       {0.78862322227091979, -1.5772464445418396, 0.78862322227091979, -1.4107321069061622,
        0.74376078217751698}},
      {"band pass", Biquad::kBandPass, 0.05, 0.4, 0.0,
       {0.27864045000420607, 0.0, -0.27864045000420607, -1.3721074012304789,
        0.44271909999158786}},
      {"notch", Biquad::kNotch, 0.2, 1.0, 0.0,
       {0.67772338108619521, -0.41885608448176627, 0.67772338108619521, -0.41885608448176627,
        0.35544676217239041}},
      {"peaking boost", Biquad::kPeaking, 0.0567, 2.7, 12.0,
       {1.1808567294117918, -1.7607000679464735, 0.69780655193364239, -1.7607000679464735,
        0.87866328134543419}},
      {"peaking cut", Biquad::kPeaking, 0.0567, 2.7, -12.0,
       {0.84684278379657443, -1.4910361469706094, 0.74408965919440018, -1.4910361469706094,
        0.59093244299097462}},
      {"low shelf boost", Biquad::kLowShelf, 0.01, 0.707, 6.0,
       {1.0184780463637405, -1.9093166350432082, 0.89837822082055858, -1.9111970674260733,
        0.91497583480143395}},
      {"low shelf cut", Biquad::kLowShelf, 0.01, 0.707, -6.0,
       {0.98185719718779168, -1.8765225958964913, 0.89837560865269584, -1.8746762798275502,
        0.88207912190942865}},
      {"high shelf boost", Biquad::kHighShelf, 0.04, 0.707, 9.0,
       {2.6236649294531709, -4.6917573732206146, 2.1215292438788697, -1.6474599810769766,
        0.70089678118840257}},
      {"high shelf cut", Biquad::kHighShelf, 0.04, 0.707, -9.0,
       {0.38114623127901544, -0.62792316297048771, 0.26714416666555237, -1.7882456408785703,
        0.80861287585265044}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectCoefficientsNear(Biquad(c.type, c.fc, c.q, c.gain), c.want, kCoefficientTolerance);
  }
}

TEST(Biquad, ShelvesIgnoreQ) {
  for (int type : {Biquad::kLowShelf, Biquad::kHighShelf}) {
    Biquad a(type, 0.03, 0.4, 7.0);
    Biquad b(type, 0.03, 5.0, 7.0);
    ExpectSameCoefficients(a, b);
  }
}

// Prewarping puts each type's defining response exactly at Fc.
TEST(Biquad, ResponseAtCornerMatchesType) {
  for (double fc : {0.002, 0.03, 0.11, 0.3, 0.45}) {
    for (double q : {0.4, 0.707, 2.7, 5.0}) {
      SCOPED_TRACE(testing::Message() << "Fc " << fc << " Q " << q);
      EXPECT_NEAR(MagnitudeAt(Biquad(Biquad::kLowPass, fc, q, 0.0), fc), q, 1e-9);
      EXPECT_NEAR(MagnitudeAt(Biquad(Biquad::kHighPass, fc, q, 0.0), fc), q, 1e-9);
      EXPECT_NEAR(MagnitudeAt(Biquad(Biquad::kBandPass, fc, q, 0.0), fc), 1.0, 1e-9);
      EXPECT_NEAR(MagnitudeAt(Biquad(Biquad::kNotch, fc, q, 0.0), fc), 0.0, 1e-9);
      EXPECT_NEAR(MagnitudeAt(Biquad(Biquad::kPeaking, fc, q, 12.0), fc), DbToLinear(12.0), 1e-9);
      EXPECT_NEAR(MagnitudeAt(Biquad(Biquad::kPeaking, fc, q, -7.5), fc), DbToLinear(-7.5), 1e-9);
    }
  }
}

TEST(Biquad, ShelvesReachTheirGainAtTheEnds) {
  for (double gain : {-24.0, -3.0, 4.5, 24.0}) {
    SCOPED_TRACE(gain);
    const Biquad low(Biquad::kLowShelf, 0.05, 0.707, gain);
    EXPECT_NEAR(MagnitudeAt(low, 0.0), DbToLinear(gain), 1e-9);
    EXPECT_NEAR(MagnitudeAt(low, 0.5), 1.0, 1e-9);
    const Biquad high(Biquad::kHighShelf, 0.05, 0.707, gain);
    EXPECT_NEAR(MagnitudeAt(high, 0.0), 1.0, 1e-9);
    EXPECT_NEAR(MagnitudeAt(high, 0.5), DbToLinear(gain), 1e-9);
  }
}

TEST(Biquad, BandPassPassesSinusoidAtFcWithUnitGain) {
  for (double fc : {0.01, 0.0625, 0.2}) {
    for (double q : {0.4, 2.7, 5.0}) {
      SCOPED_TRACE(testing::Message() << "Fc " << fc << " Q " << q);
      Biquad f(Biquad::kBandPass, fc, q, 0.0);
      // Amplitude and phase from the correlation over whole periods.
      constexpr int kSettle = 20000, kMeasure = 10000;
      double inPhase = 0.0, quadrature = 0.0;
      for (int n = 0; n < kSettle + kMeasure; ++n) {
        const double phase = 2.0 * kPi * fc * n;
        const double y = f.processSample(static_cast<float>(std::sin(phase)));
        if (n >= kSettle) {
          inPhase += y * std::sin(phase);
          quadrature += y * std::cos(phase);
        }
      }
      EXPECT_NEAR(2.0 * inPhase / kMeasure, 1.0, 1e-5);
      EXPECT_NEAR(2.0 * quadrature / kMeasure, 0.0, 1e-5);
    }
  }
}

TEST(Biquad, ZeroGainIsFlat) {
  for (double fc : {0.001, 0.0567, 0.3}) {
    SCOPED_TRACE(fc);
    const Biquad peak(Biquad::kPeaking, fc, 2.7, 0.0);
    EXPECT_NEAR(peak.getA0(), 1.0, 1e-15);
    EXPECT_EQ(peak.getA1(), peak.getB1());
    EXPECT_EQ(peak.getA2(), peak.getB2());
    for (int type : {Biquad::kLowShelf, Biquad::kHighShelf}) {
      const Biquad shelf(type, fc, 0.707, 0.0);
      EXPECT_NEAR(shelf.getA0(), 1.0, 1e-15);
      EXPECT_EQ(shelf.getA1(), shelf.getB1());
      EXPECT_EQ(shelf.getA2(), shelf.getB2());
    }
  }
}

// The effect pairs a boost with an equal cut and relies on them cancelling.
TEST(Biquad, BoostFollowedByEqualCutGivesBackTheInput) {
  for (int type : {Biquad::kPeaking, Biquad::kLowShelf, Biquad::kHighShelf}) {
    for (double gain : {12.0, 24.0, 0.5}) {
      for (double fc : {0.0005, 0.0567, 0.24}) {
        SCOPED_TRACE(testing::Message() << "type " << type << " gain " << gain << " Fc " << fc);
        Biquad boost(type, fc, 2.7, gain);
        Biquad cut(type, fc, 2.7, -gain);
        Noise noise;
        double worst = 0.0;
        for (int i = 0; i < 20000; ++i) {
          const float x = noise.Next();
          const float y = cut.processSample(boost.processSample(x));
          worst = std::max(worst, std::fabs(static_cast<double>(y) - x));
        }
        // Two single-precision roundings, amplified by at most 24 dB.
        EXPECT_LT(worst, 1e-4);
      }
    }
  }
}

TEST(Biquad, CutFormIsTheInverseOfTheBoostForm) {
  for (int type : {Biquad::kPeaking, Biquad::kLowShelf, Biquad::kHighShelf}) {
    const Biquad boost(type, 0.0137, 0.9, 18.0);
    const Biquad cut(type, 0.0137, 0.9, -18.0);
    for (double fraction : {0.0, 0.001, 0.0137, 0.1, 0.4999}) {
      EXPECT_NEAR(MagnitudeAt(boost, fraction) * MagnitudeAt(cut, fraction), 1.0, 1e-9);
    }
  }
}

TEST(Biquad, UnknownTypeKeepsCoefficients) {
  Biquad f(Biquad::kHighPass, 0.1, 2.0, 0.0);
  const Coefficients before = CoefficientsOf(f);
  f.setType(7);
  f.setFc(0.2);
  f.setType(-1);
  EXPECT_EQ(f.getType(), -1);
  EXPECT_EQ(f.getFc(), 0.2);
  ExpectCoefficientsNear(f, before, 0.0);
}

TEST(Biquad, SettersMatchTheFourArgumentForm) {
  Biquad f;
  f.setType(Biquad::kPeaking);
  f.setFc(0.0567);
  f.setQ(2.7);
  f.setPeakGain(-12.0);
  ExpectSameCoefficients(f, Biquad(Biquad::kPeaking, 0.0567, 2.7, -12.0));
  Biquad g;
  g.setBiquad(Biquad::kPeaking, 0.0567, 2.7, -12.0);
  ExpectSameCoefficients(g, f);
}

// Retuning a running filter must not clear its state.
TEST(Biquad, RetuningKeepsState) {
  Biquad untouched(Biquad::kPeaking, 0.05, 1.0, 6.0);
  Biquad retuned(Biquad::kPeaking, 0.05, 1.0, 6.0);
  Biquad viaSetters(Biquad::kPeaking, 0.05, 1.0, 6.0);
  Noise noise;
  for (int i = 0; i < 500; ++i) {
    const float x = noise.Next();
    if (i == 250) {
      retuned.setBiquad(Biquad::kPeaking, 0.05, 1.0, 6.0);
      viaSetters.setFc(0.05);
      viaSetters.setQ(1.0);
      viaSetters.setPeakGain(6.0);
      viaSetters.setType(Biquad::kPeaking);
    }
    const float want = untouched.processSample(x);
    ASSERT_EQ(retuned.processSample(x), want) << i;
    ASSERT_EQ(viaSetters.processSample(x), want) << i;
  }
}

// Sections used by the effect must be stable over the whole parameter range.
TEST(Biquad, PolesInsideUnitCircleOverParameterRange) {
  for (int type = Biquad::kLowPass; type <= Biquad::kHighShelf; ++type) {
    for (double fc = 0.0001; fc < 0.5; fc *= 1.7) {
      for (double q : {0.4, 1.0, 5.0}) {
        for (double gain : {-24.0, -0.01, 0.0, 24.0, 48.0}) {
          const Biquad f(type, fc, q, gain);
          // Triangle of stability for 1 + b1 z^-1 + b2 z^-2.
          EXPECT_LT(std::fabs(f.getB2()), 1.0) << type << " " << fc << " " << q << " " << gain;
          EXPECT_LT(std::fabs(f.getB1()), 1.0 + f.getB2())
              << type << " " << fc << " " << q << " " << gain;
        }
      }
    }
  }
}

TEST(Biquad, FcAtOrAboveHalfIsLimitedBeforeComputing) {
  for (int type = Biquad::kLowPass; type <= Biquad::kHighShelf; ++type) {
    const Biquad limit(type, Biquad::kMaxFc, 2.7, -6.0);
    // 20 kHz at 40 kHz, 32 kHz and 22.05 kHz, and an unusable rate.
    for (double fc : {0.5, 0.625, 20000.0 / 22050.0, 3.0,
                      std::numeric_limits<double>::infinity(),
                      std::numeric_limits<double>::quiet_NaN()}) {
      SCOPED_TRACE(testing::Message() << "type " << type << " Fc " << fc);
      const Biquad f(type, fc, 2.7, -6.0);
      ExpectSameCoefficients(f, limit);
    }
  }
}

TEST(Biquad, FcBelowTheLimitIsUsedAsGiven) {
  // 20 kHz at 44.1 kHz: the High band's detector at the most common rate.
  const Biquad f(Biquad::kHighPass, 20000.0 / 44100.0, 0.4, 0.0);
  const Biquad limit(Biquad::kHighPass, Biquad::kMaxFc, 0.4, 0.0);
  EXPECT_NE(f.getA0(), limit.getA0());
  EXPECT_NEAR(f.getA0(), 1.0 / (1.0 + std::tan(kPi * 20000.0 / 44100.0) / 0.4 +
                                std::pow(std::tan(kPi * 20000.0 / 44100.0), 2)),
              1e-15);
  EXPECT_EQ(Biquad(Biquad::kHighPass, 0.4899, 0.4, 0.0).getFc(), 0.4899);
  EXPECT_NE(Biquad(Biquad::kHighPass, 0.4899, 0.4, 0.0).getA0(), limit.getA0());
}

TEST(Biquad, FilterAtOrAboveHalfStaysFiniteOnNoise) {
  for (int type = Biquad::kLowPass; type <= Biquad::kHighShelf; ++type) {
    for (double fc : {0.5, 0.625, 20000.0 / 22050.0}) {
      for (double q : {0.4, 5.0}) {
        SCOPED_TRACE(testing::Message() << "type " << type << " Fc " << fc << " Q " << q);
        Biquad f(type, fc, q, 24.0 * (type % 2 ? 1 : -1));
        Noise noise;
        double peak = 0.0;
        for (int i = 0; i < 100000; ++i) {
          peak = std::max(peak, std::fabs(static_cast<double>(f.processSample(noise.Next()))));
        }
        EXPECT_TRUE(f.HasFiniteState());
        EXPECT_LT(peak, 100.0);
      }
    }
  }
}

TEST(Biquad, NonFiniteStateIsDetectedAndCleared) {
  for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                    -std::numeric_limits<float>::infinity()}) {
    SCOPED_TRACE(bad);
    Biquad f(Biquad::kPeaking, 0.05, 1.0, 6.0);
    EXPECT_TRUE(f.HasFiniteState());
    f.processSample(0.5f);
    f.processSample(bad);
    EXPECT_FALSE(f.HasFiniteState());
    // Stuck for good without a clear.
    for (int i = 0; i < 100; ++i) f.processSample(0.0f);
    EXPECT_FALSE(f.HasFiniteState());
    EXPECT_TRUE(std::isnan(f.processSample(0.25f)));

    f.ClearState();
    EXPECT_TRUE(f.HasFiniteState());
    Biquad fresh(Biquad::kPeaking, 0.05, 1.0, 6.0);
    Noise noise;
    for (int i = 0; i < 200; ++i) {
      const float x = noise.Next();
      ASSERT_EQ(f.processSample(x), fresh.processSample(x)) << i;
    }
  }
}

}  // namespace
