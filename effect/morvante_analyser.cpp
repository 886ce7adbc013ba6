#include "effect/morvante_analyser.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>

namespace {
constexpr double kPi = 3.141592653589793;
constexpr double kReferenceRate = 48000.0;
constexpr int kReferenceLength = 8192;
// A sixth of an octave is this ratio squared.
const double kTwelfthOctave = std::pow(2.0, 1.0 / 12.0);
constexpr double kTiltDBPerOctave = 3.0;
constexpr double kTiltPivotHz = 1000.0;

// Plans are made and destroyed on the editor thread only, so a plain count
// of the live ones is enough.
int gLivePlans = 0;
}  // namespace

struct MorvanteAnalyser::Fft {
  explicit Fft(int n)
      : time(static_cast<double*>(fftw_malloc(sizeof(double) * static_cast<size_t>(n)))),
        bins(static_cast<fftw_complex*>(fftw_malloc(sizeof(fftw_complex) * static_cast<size_t>(n / 2 + 1)))),
        plan(fftw_plan_dft_r2c_1d(n, time, bins, FFTW_ESTIMATE)) {
    ++gLivePlans;
  }
  ~Fft() {
    fftw_destroy_plan(plan);
    fftw_free(bins);
    fftw_free(time);
    // The module's own copy of FFTW keeps its planner's tables for the life
    // of the process; with no plan left they go, so that closing every
    // display (and unloading the module) leaves nothing behind.
    if (--gLivePlans == 0) fftw_cleanup();
  }
  double* time;
  fftw_complex* bins;
  fftw_plan plan;
};

int MorvanteAnalyser::WindowLength(double sampleRate, size_t ringCapacity) {
  const double wanted = kReferenceLength * (sampleRate > 0.0 ? sampleRate : kReferenceRate) / kReferenceRate;
  int length = 1 << static_cast<int>(std::lround(std::log2(std::max(wanted, 256.0))));
  while (static_cast<size_t>(length) > ringCapacity / 2) length /= 2;
  return length;
}

MorvanteAnalyser::MorvanteAnalyser(double sampleRate, size_t ringCapacity)
    : mSampleRate(sampleRate > 0.0 ? sampleRate : kReferenceRate),
      mLength(WindowLength(sampleRate, ringCapacity)),
      mFft(std::make_unique<Fft>(mLength)),
      mWindowed(static_cast<size_t>(mLength)),
      mHann(static_cast<size_t>(mLength)),
      mCumulative(static_cast<size_t>(mLength / 2 + 2)),
      mTwice(mCumulative.size()) {
  for (int i = 0; i < mLength; ++i) mHann[i] = 0.5 - 0.5 * std::cos(2.0 * kPi * i / mLength);
}

MorvanteAnalyser::~MorvanteAnalyser() = default;

void MorvanteAnalyser::SetAxis(const std::vector<double>& hz) {
  const double binsPerHz = mLength / mSampleRate;
  mCentreBin.resize(hz.size());
  mHalfBase.resize(hz.size());
  mTiltDB.resize(hz.size());
  mLevelDB.assign(hz.size(), kFloorDB);
  for (size_t i = 0; i < hz.size(); ++i) {
    mCentreBin[i] = hz[i] * binsPerHz;
    // At least a bin, so that the lowest points interpolate between bins.
    mHalfBase[i] = std::max(mCentreBin[i] * (kTwelfthOctave - 1.0 / kTwelfthOctave), 1.0);
    mTiltDB[i] = kTiltDBPerOctave * std::log2(hz[i] / kTiltPivotHz);
  }
  mFresh = true;
}

bool MorvanteAnalyser::Update(const SampleRing<float>& ring, double idleSeconds) {
  const uint64_t written = ring.Written();
  if (written == mAnalysedUpTo && !mFresh) {
    bool moved = false;
    for (double& level : mLevelDB) {
      const double fallen = std::max(level - kFallDBPerSecond * idleSeconds, kFloorDB);
      moved = moved || fallen != level;
      level = fallen;
    }
    return moved;
  }
  const size_t n = static_cast<size_t>(mLength);
  const size_t have = static_cast<size_t>(std::min<uint64_t>(written, n));
  std::fill(mWindowed.begin(), mWindowed.end(), 0.0f);
  if (!ring.CopyEndingAt(written, mWindowed.data() + (n - have), have)) return false;
  const double seconds = static_cast<double>(written - mAnalysedUpTo) / mSampleRate;
  mAnalysedUpTo = written;

  for (size_t i = 0; i < n; ++i) mFft->time[i] = mHann[i] * mWindowed[i];
  fftw_execute(mFft->plan);
  // A full-scale sine through the Hann window peaks at n / 4.
  const double scale = 16.0 / (static_cast<double>(n) * static_cast<double>(n));
  const size_t bins = n / 2 + 1;
  mCumulative[0] = 0.0;
  mTwice[0] = 0.0;
  for (size_t k = 0; k < bins; ++k) {
    const double re = mFft->bins[k][0], im = mFft->bins[k][1];
    mCumulative[k + 1] = mCumulative[k] + (re * re + im * im) * scale;
    mTwice[k + 1] = mTwice[k] + 0.5 * (mCumulative[k] + mCumulative[k + 1]);
  }
  Smooth(mFresh ? HUGE_VAL : kFallDBPerSecond * seconds);
  mFresh = false;
  return true;
}

// The bin power integrated twice up to x, bin k covering [k - 0.5, k + 0.5):
// within bin k, at t bins past its lower edge, the single integral is
// once[k] + p t and the double one twice[k] + once[k] t + p t^2 / 2.
static double DoubleIntegral(const std::vector<double>& once, const std::vector<double>& twice, double x) {
  const double last = static_cast<double>(once.size() - 2);
  x = std::min(std::max(x, -0.5), last + 0.5);
  const double k = std::min(std::floor(x + 0.5), last);
  const size_t i = static_cast<size_t>(k);
  const double t = x + 0.5 - k, p = once[i + 1] - once[i];
  return twice[i] + once[i] * t + 0.5 * p * t * t;
}

// A triangle a sixth of an octave wide at half its height: the second
// difference of the double integral over its half-base h, divided by h^2.
void MorvanteAnalyser::Smooth(double fallDB) {
  for (size_t i = 0; i < mLevelDB.size(); ++i) {
    const double c = mCentreBin[i], h = mHalfBase[i];
    const double power = (DoubleIntegral(mCumulative, mTwice, c + h) - 2.0 * DoubleIntegral(mCumulative, mTwice, c) +
                          DoubleIntegral(mCumulative, mTwice, c - h)) /
                         (h * h);
    const double level = power > 1e-30 ? 10.0 * std::log10(power) + mTiltDB[i] : kFloorDB;
    mLevelDB[i] = std::max(std::max(level, mLevelDB[i] - fallDB), kFloorDB);
  }
}
