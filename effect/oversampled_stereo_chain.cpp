#include "effect/oversampled_stereo_chain.h"

#include <algorithm>

namespace {

using Vec = __m128d;

inline Vec Add(Vec a, Vec b) { return _mm_add_pd(a, b); }
inline Vec Sub(Vec a, Vec b) { return _mm_sub_pd(a, b); }
inline Vec Mul(Vec a, Vec b) { return _mm_mul_pd(a, b); }
inline Vec Tap(int i) { return _mm_set1_pd(StOversampler4x::kFir[i]); }
// Through single precision and back, as a sample entering or leaving a
// section is.
inline Vec RoundToFloat(Vec v) { return _mm_cvtps_pd(_mm_cvtpd_ps(v)); }

inline Vec Pair(double left, double right) { return _mm_set_pd(right, left); }
inline double LeftOf(Vec v) { return _mm_cvtsd_f64(v); }
inline double RightOf(Vec v) { return _mm_cvtsd_f64(_mm_unpackhi_pd(v, v)); }

}  // namespace

// Biquad::processSample on both lanes.
inline __m128d OversampledStereoChain::Step(const Coefficients& c, State& state, __m128d in) {
  const Vec out = Add(Mul(in, c.a0), state.z1);
  state.z1 = Sub(Add(Mul(in, c.a1), state.z2), Mul(c.b1, out));
  state.z2 = Sub(Mul(in, c.a2), Mul(c.b2, out));
  return RoundToFloat(out);
}

inline OversampledStereoChain::Coefficients OversampledStereoChain::Tuned(int frame, int k) const {
  if (k >= kDynamicSections) return mStatic[k - kDynamicSections];
  // Aligned loads, which the steps' products take as operands.
  const auto& rows = mTuning[frame];
  return {_mm_load_pd(rows[0][k]), _mm_load_pd(rows[1][k]), _mm_load_pd(rows[2][k]), _mm_load_pd(rows[3][k]),
          _mm_load_pd(rows[4][k])};
}

OversampledStereoChain::OversampledStereoChain() : mWidth(FastestRegisters()) {}

void OversampledStereoChain::SetStaticSection(int section, const BiquadCoefficients& c) {
  mStatic[section - kDynamicSections] = Broadcast(c);
  mStaticRowsSet = 0;
}

void OversampledStereoChain::SetStaticRows(int frames) {
  for (; mStaticRowsSet < frames; ++mStaticRowsSet) {
    auto& rows = mTuning[mStaticRowsSet];
    for (int p = 0; p < kPairs; ++p) {
      const Coefficients& c = mStatic[p];
      const __m128d values[5] = {c.a0, c.a1, c.a2, c.b1, c.b2};
      for (int k = 0; k < 5; ++k) _mm_storeu_pd(&rows[k][p][2], values[k]);
    }
  }
}

void OversampledStereoChain::UseRegisterWidth(int bits) {
  const int asked = bits >= 256 ? 256 : 128;
  mWidth = std::min(asked, WidestRegisters());
}

int OversampledStereoChain::WidestRegisters() {
  // Asked once: every instance and every width request reads the answer.
  static const int widest = [] {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx")) return 256;
    return 128;
  }();
  return widest;
}

int OversampledStereoChain::FastestRegisters() {
  // The first Zen cores run every 256-bit operation as two 128-bit halves:
  // the pairs save them nothing, and their fill and drain cost extra.
  static const int fastest = [] {
    __builtin_cpu_init();
    return __builtin_cpu_is("znver1") ? 128 : WidestRegisters();
  }();
  return fastest;
}

namespace {

// All ones in the lanes where every value summed into `products` (each a
// value times zero) was finite.
inline Vec FiniteLanes(Vec products) { return _mm_cmpeq_pd(products, _mm_setzero_pd()); }
inline Vec TimesZero(Vec v) { return Mul(v, _mm_setzero_pd()); }

// Biquad::HasFiniteState and ClearState, lane by lane.
inline void ClearNonFiniteLanes(OversampledStereoChain::State& state) {
  const Vec keep = FiniteLanes(Add(TimesZero(state.z1), TimesZero(state.z2)));
  state.z1 = _mm_and_pd(state.z1, keep);
  state.z2 = _mm_and_pd(state.z2, keep);
}

// All ones in the lanes where every one of the count entries is finite.
// Four sums side by side, in registers: the order of a sum of zeros does
// not change whether it is a zero.
inline Vec FiniteLanesOf(const Vec* entries, int count) {
  Vec s0 = _mm_setzero_pd(), s1 = s0, s2 = s0, s3 = s0;
  int i = 0;
  for (; i + 4 <= count; i += 4) {
    s0 = Add(s0, TimesZero(entries[i]));
    s1 = Add(s1, TimesZero(entries[i + 1]));
    s2 = Add(s2, TimesZero(entries[i + 2]));
    s3 = Add(s3, TimesZero(entries[i + 3]));
  }
  for (; i < count; ++i) s0 = Add(s0, TimesZero(entries[i]));
  return FiniteLanes(Add(Add(s0, s1), Add(s2, s3)));
}

inline bool BothZero(Vec v) { return _mm_movemask_pd(_mm_cmpeq_pd(v, _mm_setzero_pd())) == 3; }

}  // namespace

void OversampledStereoChain::ClearNonFiniteState() {
  // Almost always all finite: one sum over every state says so.
  Vec states = Add(TimesZero(mTrimState.z1), TimesZero(mTrimState.z2));
  for (const State& state : mState) states = Add(states, Add(TimesZero(state.z1), TimesZero(state.z2)));
  if (_mm_movemask_pd(FiniteLanes(states)) != 3) {
    for (State& state : mState) ClearNonFiniteLanes(state);
    ClearNonFiniteLanes(mTrimState);
  }
  // StOversampler4x::HasFiniteState per lane: a channel's 39 entries go
  // together. Process has looked at what it kept, so only a lane it did not
  // find finite needs a look at all of them.
  if (_mm_movemask_pd(mKeptFinite) == 3) return;
  const Vec keep = _mm_and_pd(FiniteLanesOf(mHistory, kTaps), FiniteLanesOf(mPushes, kInputs));
  mKeptFinite = AllLanes();
  if (_mm_movemask_pd(keep) == 3) return;
  for (int i = 0; i < kTaps; ++i) mHistory[i] = _mm_and_pd(mHistory[i], keep);
  for (int i = 0; i < kInputs; ++i) mPushes[i] = _mm_and_pd(mPushes[i], keep);
}

bool OversampledStereoChain::AtRest() const {
  for (int i = 0; i < kTaps; ++i) {
    if (!BothZero(mHistory[i])) return false;
  }
  for (int i = 0; i < kInputs; ++i) {
    if (!BothZero(mPushes[i])) return false;
  }
  const Vec bound = _mm_set1_pd(kRestBound);
  const Vec magnitude = _mm_castsi128_pd(_mm_set1_epi64x(0x7fffffffffffffff));
  for (const State& state : mState) {
    const Vec small = _mm_and_pd(_mm_cmple_pd(_mm_and_pd(state.z1, magnitude), bound),
                                 _mm_cmple_pd(_mm_and_pd(state.z2, magnitude), bound));
    if (_mm_movemask_pd(small) != 3) return false;
  }
  return BothZero(mTrimState.z1) && BothZero(mTrimState.z2);
}

void OversampledStereoChain::Process(const double* left, const double* right, int n, double* processedLeft,
                                     double* processedRight) {
  if (n <= 0) return;
  if (mWidth >= 256) {
    UpSampleWide(left, right, n);
  } else {
    UpSample(left, right, n);
  }
  // A stream not much longer than a wide form's fill and drain runs faster
  // in the 128-bit form, which needs no one-section steps. The one-section
  // fill and drain reach into the first and last frames.
  const int count = kOversampling * n;
  if (mWidth >= 256 && count > 2 * kPairFill) {
    SetStaticRows(n);
    RunPairSections(count);
  } else if (n == 1) {
    RunOneFrame();
  } else {
    RunSections(count);
  }
  DecimateAndTrim(n, processedLeft, processedRight);

  // What the next chunk (or block) continues from.
  // Unrolled, one register at a time: a wider copy would wait for the
  // chain's stores of the newest entries.
#pragma GCC unroll 31
  for (int i = 0; i < kTaps; ++i) mHistory[i] = mHistory[kOversampling * n + i];
#pragma GCC unroll 8
  for (int i = 0; i < kInputs; ++i) mPushes[i] = mPushes[kUpSamplingSteps * n + i];
  // Of that, the entries of this chunk; the older ones were what the last
  // look covered.
  const int newHistory = std::min(kTaps, kOversampling * n), newPushes = std::min(kInputs, kUpSamplingSteps * n);
  const Vec older = newHistory == kTaps && newPushes == kInputs ? AllLanes() : mKeptFinite;
  mKeptFinite = _mm_and_pd(older, _mm_and_pd(FiniteLanesOf(mHistory + kTaps - newHistory, newHistory),
                                             FiniteLanesOf(mPushes + kInputs - newPushes, newPushes)));
}

// up4 twice per sample with the same input; the sums in up4's order.
void OversampledStereoChain::UpSample(const double* left, const double* right, int n) {
  const Vec four = _mm_set1_pd(4.0);
  for (int i = 0; i < n; ++i) {
    const Vec x = Mul(four, Pair(left[i], right[i]));
    for (int step = 0; step < kUpSamplingSteps; ++step) mPushes[kInputs + kUpSamplingSteps * i + step] = x;
  }
  const Vec h0 = Tap(0), h1 = Tap(1), h2 = Tap(2), h4 = Tap(4), h5 = Tap(5), h6 = Tap(6), h8 = Tap(8),
            h9 = Tap(9), h10 = Tap(10), h12 = Tap(12), h13 = Tap(13), h14 = Tap(14), h15 = Tap(15);
  for (int m = 0; m < kUpSamplingSteps * n; ++m) {
    // u[j] is the j-th newest input after push m.
    const Vec* newest = mPushes + kInputs + m;
    const Vec u0 = newest[0], u1 = newest[-1], u2 = newest[-2], u3 = newest[-3], u4 = newest[-4],
              u5 = newest[-5], u6 = newest[-6], u7 = newest[-7];
    Vec* y = mHistory + kTaps + 4 * m;
    const Vec y0 = Add(Add(Add(Add(Add(Add(Add(Mul(h0, u0), Mul(h4, u1)), Mul(h8, u2)), Mul(h12, u3)), Mul(h14, u4)),
                                   Mul(h10, u5)),
                               Mul(h6, u6)),
                           Mul(h2, u7));
    const Vec y1 = Add(Add(Add(Mul(h1, Add(u0, u7)), Mul(h5, Add(u1, u6))), Mul(h9, Add(u2, u5))),
                       Mul(h13, Add(u3, u4)));
    const Vec y2 = Add(Add(Add(Add(Add(Add(Add(Mul(h2, u0), Mul(h6, u1)), Mul(h10, u2)), Mul(h14, u3)), Mul(h12, u4)),
                                   Mul(h8, u5)),
                               Mul(h4, u6)),
                           Mul(h0, u7));
    const Vec y3 = Mul(h15, u3);
    // The first section takes each entry in single precision.
    y[0] = RoundToFloat(y0);
    y[1] = RoundToFloat(y1);
    y[2] = RoundToFloat(y2);
    y[3] = RoundToFloat(y3);
  }
}

// The ten sections as two wavefronts of five over the chunk's stream,
// section first + k on entry t - k, each dynamic one with the tuning of the
// base-rate sample its entry belongs to. Five sections' states and the
// values in flight fit the sixteen SSE registers; ten would go through
// memory at every step.
template <int kFirst>
void OversampledStereoChain::RunSectionGroup(int count) {
  constexpr int kGroup = kSections / 2;
  Vec* s = mHistory + kTaps;
  State state[kGroup];
  for (int k = 0; k < kGroup; ++k) state[k] = mState[kFirst + k];
  const unsigned n = static_cast<unsigned>(count);
  const auto edgeStep = [&](int t) {
#pragma GCC unroll 5
    for (int k = 0; k < kGroup; ++k) {
      const int j = t - k;
      if (static_cast<unsigned>(j) < n) s[j] = Step(Tuned(FrameOf(j), kFirst + k), state[k], s[j]);
    }
  };
  for (int t = 0; t < kGroup - 1; ++t) edgeStep(t);
  for (int t = kGroup - 1; t < count; ++t) {
#pragma GCC unroll 5
    for (int k = 0; k < kGroup; ++k) {
      const int j = t - k;
      s[j] = Step(Tuned(FrameOf(j), kFirst + k), state[k], s[j]);
    }
  }
  for (int t = count; t < count + kGroup - 1; ++t) edgeStep(t);
  for (int k = 0; k < kGroup; ++k) mState[kFirst + k] = state[k];
}

void OversampledStereoChain::RunSections(int count) {
  RunSectionGroup<0>(count);
  RunSectionGroup<kSections / 2>(count);
}

// Blocks of one sample: eight entries, all in the one frame's tuning, and
// the sections in the two groups of RunSections. With the count known each
// wavefront unrolls whole, without a bound check.
template <int kFirst>
void OversampledStereoChain::RunOneFrameGroup() {
  constexpr int kGroup = kSections / 2;
  Vec* s = mHistory + kTaps;
  State state[kGroup];
  for (int k = 0; k < kGroup; ++k) state[k] = mState[kFirst + k];
#pragma GCC unroll 12
  for (int t = 0; t < kOversampling + kGroup - 1; ++t) {
#pragma GCC unroll 5
    for (int k = 0; k < kGroup; ++k) {
      const int j = t - k;
      if (j >= 0 && j < kOversampling) s[j] = Step(Tuned(0, kFirst + k), state[k], s[j]);
    }
  }
  for (int k = 0; k < kGroup; ++k) mState[kFirst + k] = state[k];
}

void OversampledStereoChain::RunOneFrame() {
  RunOneFrameGroup<0>();
  RunOneFrameGroup<kSections / 2>();
}

void OversampledStereoChain::RunNarrowSteps(int first, int last, const int* delays, int tBegin, int tEnd,
                                            int count) {
  Vec* s = mHistory + kTaps;
  for (int t = tBegin; t < tEnd; ++t) {
    for (int k = first; k <= last; ++k) {
      const int j = t - delays[k - first];
      if (j < 0 || j >= count) continue;
      s[j] = Step(Tuned(FrameOf(j), k), mState[k], s[j]);
    }
  }
}

// downSample over the 31 newest processed entries, then the trim section and
// its second step on silence.
void OversampledStereoChain::DecimateAndTrim(int n, double* processedLeft, double* processedRight) {
  const Vec h0 = Tap(0), h1 = Tap(1), h2 = Tap(2), h4 = Tap(4), h5 = Tap(5), h6 = Tap(6), h8 = Tap(8),
            h9 = Tap(9), h10 = Tap(10), h12 = Tap(12), h13 = Tap(13), h14 = Tap(14), h15 = Tap(15);
  const Vec zero = _mm_setzero_pd();
  State trim = mTrimState;
  for (int i = 0; i < n; ++i) {
    const Vec* e = mHistory + kOversampling * (i + 1);
    Vec sum = Mul(h0, Add(e[0], e[30]));
    sum = Add(sum, Mul(h1, Add(e[1], e[29])));
    sum = Add(sum, Mul(h2, Add(e[2], e[28])));
    sum = Add(sum, Mul(h4, Add(e[4], e[26])));
    sum = Add(sum, Mul(h5, Add(e[5], e[25])));
    sum = Add(sum, Mul(h6, Add(e[6], e[24])));
    sum = Add(sum, Mul(h8, Add(e[8], e[22])));
    sum = Add(sum, Mul(h9, Add(e[9], e[21])));
    sum = Add(sum, Mul(h10, Add(e[10], e[20])));
    sum = Add(sum, Mul(h12, Add(e[12], e[18])));
    sum = Add(sum, Mul(h13, Add(e[13], e[17])));
    sum = Add(sum, Mul(h14, Add(e[14], e[16])));
    sum = Add(sum, Mul(h15, e[15]));
    const Vec y = Step(mTrim, trim, RoundToFloat(sum));
    Step(mTrim, trim, zero);
    processedLeft[i] = LeftOf(y);
    processedRight[i] = RightOf(y);
  }
  mTrimState = trim;
}
