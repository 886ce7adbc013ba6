// Digital silence: passed from rest without the chain, or with only the
// detectors while they ring on after the chain came to rest; the output the
// same bits as processing every frame.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "effect/morvante_stages.h"

using namespace morvante_lanes;

namespace {

// Whether the first n detector outputs of every band are zeros (of either
// sign).
bool AllZeros(const float (&filtered)[kNumMorvanteBands][OversampledStereoChain::kChunk], int n) {
  uint32_t bits = 0;
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    for (int i = 0; i < n; ++i) {
      uint32_t v;
      std::memcpy(&v, &filtered[b][i], sizeof v);
      bits |= v;
    }
  }
  return (bits & 0x7fffffffu) == 0;
}

// Both lanes of a and b bit for bit.
inline bool SameBits(Pair a, Pair b) {
  return _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_castpd_si128(a), _mm_castpd_si128(b))) == 0xffff;
}

}  // namespace

// +0 input with the chain and the dry path at rest while a detector still
// rings (a narrow low band's can ring for longer than the whole chain): the
// detectors and the gains run as ProcessChunk runs them, and the chain,
// which turns +0 into +0 from rest whatever its tuning (see RestThrough),
// is skipped with its tuning. The next chunk that runs the chain tunes
// every frame of its own first.
//
// Once the detectors' outputs have fallen below the float range they are
// zeros, whose levels are below any threshold: every target gain is 1.0,
// and the gains and meters step as they do from rest.
void MORVANTE::RingDownDetectors(const BlockSwitches& block, double** inputs, double** outputs, int offset, int n) {
  ChunkWork w;
  w.n = n;
  TakeInputsAndFilter(block, inputs, offset, w);
  if (AllZeros(w.filtered, w.n)) {
    AdvanceGainsAndMetersAtRest(block, n);
  } else {
    StepGainsFromFiltered(block, w);
  }
  std::fill_n(outputs[0] + offset, n, 0.0);
  std::fill_n(outputs[1] + offset, n, 0.0);
  mFramesRungDown += n;
}

bool MORVANTE::ChainAtRest() const { return mStereoChain.AtRest() && mDryDelay.HoldsOnlyPositiveZeros(); }

bool MORVANTE::DetectorsAtRest() const {
  for (const MorvanteBand& band : mBands) {
    if (!band.detectorFilter.StateWithin(OversampledStereoChain::kRestBound)) return false;
  }
  return true;
}

// Why +0 input from rest needs neither the detectors nor the chain:
// - A filter whose state is within the rest bound, given a zero, gives a
//   value far below the float range, so its float output is a zero: the
//   detector levels are zeros, every target gain is 1.0, and every history
//   entry stays a zero. Such small states decay, or hang about just above
//   the smallest double where flushing b2 x out to zero keeps them from
//   dying out, but stay far within 2^-330 either way.
// - The trim, its state zeros and its input a zero, gives +0 (b1 < 0), so
//   every processed sample is +0, and the dry path holds +0 only.
// - Only the signs of zeros and the small states differ from processing
//   every frame. Nothing divides by a zero and a zero added to a non-zero
//   value leaves it, so the signs never reach a value; and the first step
//   of a filter on a non-zero float sample gives the same bits whatever
//   small state it had (KeepsRest), after which it is in step again.
// So only the gain states and the meters move.
void MORVANTE::RestThrough(const BlockSwitches& block, double** outputs, int offset, int n) {
  AdvanceGainsAndMetersAtRest(block, n);
  std::fill_n(outputs[0] + offset, n, 0.0);
  std::fill_n(outputs[1] + offset, n, 0.0);
  mFramesRestedThrough += n;
}

// The gain states release toward 1.0 and the meters follow them, frame by
// frame as in ProcessChunk with every target gain 1.0 (StepGainStates' pairs
// of bands). Once a frame leaves every gain state as it was, none moves
// again; once they are all 1.0 the meters' input is +0, for which their step
// is a product (below); and once a frame moves nothing, nothing moves any
// more.
void MORVANTE::AdvanceGainsAndMetersAtRest(const BlockSwitches& block, int n) {
  constexpr int kPairs = DerivedSettings::kBandPairs;
  Pair state[kPairs], meter[kPairs], attack[kPairs], release[kPairs];
  LoadBandPairs(state, meter, attack, release);
  const Pair one = _mm_set1_pd(1.0);
  const Pair meterCoefficient = _mm_set1_pd(mDerived.meterCoefficient);
  // A state no higher than its target of 1.0 takes the release step alone;
  // none rises above it. Without the choice of step, each frame waits for
  // one division only.
  int atMostOne = 3;
  for (const Pair& s : state) atMostOne &= _mm_movemask_pd(_mm_cmple_pd(s, one));
  const bool releasing = atMostOne == 3;
  int i = 0;
  for (bool moving = true; moving && i < n; ++i) {
    __m128i moved = _mm_setzero_si128();
    for (int p = 0; p < kPairs; ++p) {
      const Pair next = releasing ? _mm_min_pd(one, _mm_div_pd(state[p], release[p]))
                                  : StepGainStatePair(state[p], one, attack[p], release[p]);
      moved = _mm_or_si128(moved, _mm_xor_si128(_mm_castpd_si128(next), _mm_castpd_si128(state[p])));
      state[p] = next;
      if (block.gui) meter[p] = VUClass::StepPair(meter[p], MeterInputPair(state[p]), meterCoefficient);
    }
    moving = !SameBits(_mm_castsi128_pd(moved), _mm_setzero_pd());
  }
  bool released = true;
  for (const Pair& s : state) released = released && SameBits(s, one);
  if (block.gui && i < n) {
    if (released) {
      // With the input +0 the target is +0 (+0 is not above a meter's state,
      // which is never negative), and c x (state - 0) + 0 is c x state.
      const auto allZero = [&] {
        Pair any = _mm_setzero_pd();
        for (const Pair& m : meter) any = _mm_or_pd(any, _mm_cmpneq_pd(m, _mm_setzero_pd()));
        return _mm_movemask_pd(any) == 0;
      };
      for (; i < n && !allZero(); ++i) {
        for (Pair& m : meter) m = _mm_mul_pd(meterCoefficient, m);
      }
    } else {
      for (; i < n; ++i) {
        for (int p = 0; p < kPairs; ++p) meter[p] = VUClass::StepPair(meter[p], MeterInputPair(state[p]), meterCoefficient);
      }
    }
  }
  StoreBandPairs(state, meter, block.gui != nullptr);
}
