// What MORVANTE's processing stages share: the register helpers of their
// side-by-side forms and the records a block and a chunk hand from stage to
// stage. Every lane does what the per-sample form does, in its order.
#pragma once

#include <immintrin.h>

#include "effect/morvante.h"

class IGraphics;

// Functions in the 256-bit forms, for processors with AVX (callers check).
#define MORVANTE_AVX __attribute__((target("avx")))

namespace morvante_lanes {

// Between natural logarithms and the detector's level scale. Not 20 / ln 10:
// the gain computer was tuned with this value.
constexpr double kLevelScale = 8.65617025;
constexpr double kMeterInputScale = 1.5;

// Two values of one kind (two samples, two bands) in one register.
using Pair = __m128d;
inline Pair Select(Pair mask, Pair ifSet, Pair otherwise) {
  return _mm_or_pd(_mm_and_pd(mask, ifSet), _mm_andnot_pd(mask, otherwise));
}
// Four in a 256-bit register. The select is written with masks, not as a
// blend, which the compiler would turn into branches on the signal.
using Quad = __m256d;
MORVANTE_AVX inline Quad SelectQuad(Quad mask, Quad ifSet, Quad otherwise) {
  return _mm256_or_pd(_mm256_and_pd(mask, ifSet), _mm256_andnot_pd(mask, otherwise));
}

// Attack falls toward the target by at most the attack factor per sample,
// release rises by at most its inverse; a 0 coefficient jumps at once.
// std::max(target, a) and std::min(r, target) are maxpd(a, target) and
// minpd(target, r), NaN cases included. Lane by lane, so that two bands
// step side by side.
inline Pair StepGainStatePair(Pair state, Pair target, Pair attackCoefficient, Pair releaseCoefficient) {
  const Pair attack = _mm_max_pd(_mm_mul_pd(attackCoefficient, state), target);
  const Pair release = _mm_min_pd(target, _mm_div_pd(state, releaseCoefficient));
  return Select(_mm_cmpgt_pd(state, target), attack, release);
}

// What a meter follows: the gain reduction, scaled.
inline Pair MeterInputPair(Pair gainState) {
  return _mm_mul_pd(_mm_sub_pd(_mm_set1_pd(1.0), gainState), _mm_set1_pd(kMeterInputScale));
}

}  // namespace morvante_lanes

struct MORVANTE::BlockSwitches {
  int mode[kNumMorvanteBands];
  bool bypass;
  IGraphics* gui;
};

// The stages of a chunk (ProcessChunk), in their order. A band's target
// gains depend only on its detector, its gain states only on the targets,
// and its tuning only on the gain states, so the costly steps of different
// samples do not wait for each other, and the recursive steps run for the
// five bands side by side.
struct MORVANTE::ChunkWork {
  static constexpr int kChunk = OversampledStereoChain::kChunk;
  int n;
  // Copies, so that outputs may share the inputs' buffers in any way.
  double left[kChunk], right[kChunk];
  float filtered[kNumMorvanteBands][kChunk];
  // The detector levels, replaced by the target gains, then by the gain
  // states.
  double gain[kNumMorvanteBands][kChunk];
  double processedLeft[kChunk], processedRight[kChunk];
};

// Inline: the gain steps run them around every chunk, one sample long in
// blocks of one.
inline void MORVANTE::GainLanes(double* states, double* meterStates) const {
  for (int b = 0; b < 2 * DerivedSettings::kBandPairs; ++b) {
    const bool band = b < kNumMorvanteBands;
    states[b] = band && !mDerived.terms[b].switchedOff ? mBands[b].gainState : 1.0;
    meterStates[b] = band ? mBands[b].meter.GetState() : 0.0;
  }
}

inline void MORVANTE::SetGainLanes(const double* states, const double* meterStates, bool meters) {
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    mBands[b].gainState = states[b];
    if (meters) mBands[b].meter.SetState(meterStates[b]);
  }
}
