// Delays the bypass path by the plug-in's latency, so that switching bypass
// does not shift the audio in time.
#pragma once

#include <cstdint>

#include "framework/wdl_heapbuf.h"

// A ring of delay frames per channel, channel c in samples c * delay to
// (c + 1) * delay - 1.
class LatencyDelayLine {
public:
  LatencyDelayLine(int nInputs, int nOutputs, int delayFrames);
  LatencyDelayLine(const LatencyDelayLine&) = delete;
  LatencyDelayLine& operator=(const LatencyDelayLine&) = delete;

  // Sets the delay, clears the ring and restarts at position 0. A negative
  // delay counts as 0; if the ring cannot be allocated the delay becomes 0.
  void SetDelay(int delayFrames);
  int GetDelay() const { return static_cast<int>(mDelay); }
  // False once a NaN or an infinity is held; Clear() fills the ring with
  // silence, keeping the delay, without allocating.
  bool HasFiniteState() const;
  void Clear();
  // True when every sample held is +0 (all bits clear): the line then gives
  // the same samples wherever its write position stands.
  bool HoldsOnlyPositiveZeros() const;

  // Writes each output below both channel counts with its input delayed by
  // the delay; outputs from the input count on are not touched. Inputs and
  // outputs may be the same buffers.
  void ProcessBlock(double* const* inputs, double* const* outputs, int nFrames);

  // Takes a block into the ring without writing any output, so that the
  // delayed path stays current while the audio goes another way. A null
  // input channel counts as silence.
  void Feed(double* const* inputs, int nFrames);

  // One frame, for callers that work sample by sample: frame holds one
  // sample per input channel and gets back the samples of one delay ago.
  void ProcessFrame(double* frame) {
    if (mDelay == 0) return;
    double* slot = mRing.Get() + mWritePos;
    for (int c = 0; c < mNInputs; ++c, slot += mDelay) {
      const double x = frame[c];
      frame[c] = *slot;
      *slot = x;
    }
    if (++mWritePos == mDelay) mWritePos = 0;
  }

private:
  WDL_TypedBuf<double> mRing{4096};
  uint64_t mWritePos = 0;
  int mNInputs;
  int mNOutputs;
  uint64_t mDelay = 0;
};
