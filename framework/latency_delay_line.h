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

  // Writes each output below both channel counts with its input delayed by
  // the delay; outputs from the input count on are not touched. Inputs and
  // outputs may be the same buffers.
  void ProcessBlock(double* const* inputs, double* const* outputs, int nFrames);

private:
  WDL_TypedBuf<double> mRing{4096};
  uint64_t mWritePos = 0;
  int mNInputs;
  int mNOutputs;
  uint64_t mDelay = 0;
};
