// The 512-bit form of the chain's sections. Four neighbouring sections of
// the wavefront share a register, the earliest in the highest 128-bit lane:
// sections 0..3, 4..7, and 8 and 9 with two idle lanes. Within a register
// each section lags the one before by two entries, so a section's input is
// what that one gave two steps before, all three moved down one lane in one
// shuffle; the highest lane takes the previous register's lowest output of
// the step before (the first register takes the stream). Only these
// functions use AVX-512; they run only when the processor has it.
#include <immintrin.h>

#include "effect/oversampled_stereo_chain.h"

// GCC 12's AVX-512 intrinsics pass a deliberately undefined register as the
// merge source of unmasked operations, which its own analysis then reports.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#define MORVANTE_AVX512 __attribute__((target("avx512f")))

namespace {

using Quad = __m512d;
using Chain = OversampledStereoChain;
constexpr int kLanes = Chain::kRowLanes;

struct QuadCoefficients {
  Quad a0, a1, a2, b1, b2;
};

// Biquad::processSample on all eight doubles, in its order.
MORVANTE_AVX512 inline Quad QuadStep(const QuadCoefficients& c, Quad& z1, Quad& z2, Quad in) {
  const Quad out = _mm512_add_pd(_mm512_mul_pd(in, c.a0), z1);
  z1 = _mm512_sub_pd(_mm512_add_pd(_mm512_mul_pd(in, c.a1), z2), _mm512_mul_pd(c.b1, out));
  z2 = _mm512_sub_pd(_mm512_mul_pd(in, c.a2), _mm512_mul_pd(c.b2, out));
  return _mm512_cvtps_pd(_mm512_cvtpd_ps(out));
}

// Lanes 0..2 take lanes 1..3 of `before`, lane 3 takes lane 0 of `next`.
MORVANTE_AVX512 inline Quad Advance(Quad before, Quad next) {
  return _mm512_castsi512_pd(_mm512_alignr_epi64(_mm512_castpd_si512(next), _mm512_castpd_si512(before), 2));
}

// Rows are aligned where the object is; the unaligned loads cost nothing
// more then and cannot fault if it is not.
MORVANTE_AVX512 inline Quad Row(const double* row) { return _mm512_loadu_pd(row); }

MORVANTE_AVX512 inline QuadCoefficients LoadCoefficients(const Chain::TuningRows& rows) {
  return {Row(rows[0]), Row(rows[1]), Row(rows[2]), Row(rows[3]), Row(rows[4])};
}

// Lane by lane from `previous` or, where the mask is set, from `current`.
MORVANTE_AVX512 inline Quad Blend(__mmask8 mask, const double* previous, const double* current) {
  return _mm512_mask_blend_pd(mask, Row(previous), Row(current));
}
MORVANTE_AVX512 inline QuadCoefficients Blend(__mmask8 mask, const Chain::TuningRows& previous,
                                              const Chain::TuningRows& current) {
  return {Blend(mask, previous[0], current[0]), Blend(mask, previous[1], current[1]),
          Blend(mask, previous[2], current[2]), Blend(mask, previous[3], current[3]),
          Blend(mask, previous[4], current[4])};
}

// A section's values in both doubles of its lane of a register's rows.
void SetLane(Chain::TuningRows& rows, int lane, const Chain::Coefficients& c) {
  const __m128d values[5] = {c.a0, c.a1, c.a2, c.b1, c.b2};
  for (int k = 0; k < 5; ++k) _mm_storeu_pd(&rows[k][2 * lane], values[k]);
}

// Which lanes of sections 0..3 are already in the newest base-rate sample's
// tuning at each step within a sample: section k works on entry t - 2k.
constexpr __mmask8 InsideMask(int step) {
  __mmask8 mask = 0;
  for (int k = 0; k < kLanes; ++k) {
    if (step >= 2 * k) mask = static_cast<__mmask8>(mask | (3 << (2 * Chain::LaneOf(k))));
  }
  return mask;
}
constexpr __mmask8 kInsideMasks[8] = {InsideMask(0), InsideMask(1), InsideMask(2), InsideMask(3),
                                      InsideMask(4), InsideMask(5), InsideMask(6), InsideMask(7)};

}  // namespace

void OversampledStereoChain::SetStaticSection(int section, const BiquadCoefficients& c) {
  mStatic[section - kDynamicSections] = Broadcast(c);
  // Sections 5..7 share their rows with the dynamic section 4: their lanes
  // are the same in every sample's rows and are set here once.
  if (section < kTuningGroups * kRowLanes) {
    for (auto& rows : mTuning) SetLane(rows[GroupOf(section)], LaneOf(section), mStatic[section - kDynamicSections]);
  }
}

MORVANTE_AVX512 void OversampledStereoChain::RunQuadSections(int count) {
  // Sections 8 and 9; the idle lanes run a silent section on zeros.
  alignas(64) TuningRows lastRows = {};
  SetLane(lastRows, LaneOf(8), mStatic[8 - kDynamicSections]);
  SetLane(lastRows, LaneOf(9), mStatic[9 - kDynamicSections]);
  const QuadCoefficients c2 = LoadCoefficients(lastRows);

  __m128d* s = mHistory + kTaps;
  RunNarrowSteps(0, kSections - 1, kQuadDelays, 0, kQuadFill, count);

  // States and the outputs of the last two steps, per register, through
  // memory: once per chunk.
  constexpr int kGroups = 3;
  alignas(64) double z1Rows[kGroups][8] = {}, z2Rows[kGroups][8] = {}, lastRows2[kGroups][8] = {},
                     beforeRows[kGroups][8] = {};
  for (int k = 0; k < kSections; ++k) {
    const int g = GroupOf(k), lane = LaneOf(k), d = kQuadDelays[k];
    _mm_storeu_pd(&z1Rows[g][2 * lane], mState[k].z1);
    _mm_storeu_pd(&z2Rows[g][2 * lane], mState[k].z2);
    _mm_storeu_pd(&lastRows2[g][2 * lane], s[kQuadFill - 1 - d]);
    _mm_storeu_pd(&beforeRows[g][2 * lane], s[kQuadFill - 2 - d]);
  }
  Quad z1[kGroups], z2[kGroups], last[kGroups], before[kGroups];
  for (int g = 0; g < kGroups; ++g) {
    z1[g] = Row(z1Rows[g]);
    z2[g] = Row(z2Rows[g]);
    last[g] = Row(lastRows2[g]);
    before[g] = Row(beforeRows[g]);
  }

  for (int t = kQuadFill; t < count; ++t) {
    const int f = FrameOf(t);
    const QuadCoefficients c0 = Blend(kInsideMasks[StepOf(t)], mTuning[f - 1][0], mTuning[f][0]);
    const QuadCoefficients c1 = LoadCoefficients(mTuning[FrameOf(t - kQuadDelays[4])][1]);
    const Quad in2 = Advance(before[2], last[1]);
    const Quad in1 = Advance(before[1], last[0]);
    const Quad in0 = Advance(before[0], _mm512_castpd128_pd512(s[t]));
    before[0] = last[0];
    before[1] = last[1];
    before[2] = last[2];
    last[0] = QuadStep(c0, z1[0], z2[0], in0);
    last[1] = QuadStep(c1, z1[1], z2[1], in1);
    last[2] = QuadStep(c2, z1[2], z2[2], in2);
    // Section 9 is in lane 2.
    s[t - kQuadFill] = _mm256_castpd256_pd128(_mm512_extractf64x4_pd(last[2], 1));
  }

  // What the one-section drain continues from: each section's newest
  // output, and the one before it where the next section in the same
  // register has still to take it.
  for (int g = 0; g < kGroups; ++g) {
    _mm512_store_pd(z1Rows[g], z1[g]);
    _mm512_store_pd(z2Rows[g], z2[g]);
    _mm512_store_pd(lastRows2[g], last[g]);
    _mm512_store_pd(beforeRows[g], before[g]);
  }
  for (int k = 0; k < kSections; ++k) {
    const int g = GroupOf(k), lane = LaneOf(k), d = kQuadDelays[k];
    mState[k] = {_mm_loadu_pd(&z1Rows[g][2 * lane]), _mm_loadu_pd(&z2Rows[g][2 * lane])};
    s[count - 1 - d] = _mm_loadu_pd(&lastRows2[g][2 * lane]);
    const bool nextInSameRegister = k + 1 < kSections && GroupOf(k + 1) == g;
    if (nextInSameRegister) s[count - 2 - d] = _mm_loadu_pd(&beforeRows[g][2 * lane]);
  }
  RunNarrowSteps(0, kSections - 1, kQuadDelays, count, count + kQuadFill, count);
}
