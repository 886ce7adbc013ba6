// What the audio thread hands the response display: the input and output
// of each block (as mono sums) and each band's gain state after it. While
// no display is open the audio thread does one atomic load per block and
// nothing else. The rings are made at the first opening, on the editor's
// thread, and kept for the instance's life, so the audio thread can never
// write into freed memory whatever the two threads do when.
#pragma once

#include <atomic>
#include <memory>

#include "effect/morvante_band.h"
#include "effect/sample_ring.h"

class MorvanteDisplayFeed {
public:
  // 0.68 s at 48 kHz, 0.17 s at 192 kHz: twice the longest analysis window
  // (MorvanteAnalyser) and many editor frames, and small enough that the
  // samples written stay in the processor's cache.
  static constexpr size_t kRingCapacity = size_t{1} << 15;

  MorvanteDisplayFeed();

  // ---- Editor thread ----
  // Counted, so that a display made before another one goes keeps the feed
  // running.
  void Open();
  void Close();
  bool IsOpen() const { return mOpenCount.load(std::memory_order_relaxed) > 0; }
  // Null before the first Open.
  const SampleRing<float>* Input() const { return mInput.get(); }
  const SampleRing<float>* Output() const { return mOutput.get(); }
  double GainState(int band) const { return mGainStates[band].load(std::memory_order_relaxed); }

  // ---- Audio thread, around the processing of a block ----
  // Before the block: outputs may share the inputs' buffers.
  void TakeInput(double** inputs, int nFrames) {
    // Acquire, so that rings made before the count rose are seen whole; on
    // x86 that is a plain load, the whole cost of a closed display.
    mFeeding = mOpenCount.load(std::memory_order_acquire) > 0;
    if (mFeeding) PushMono(*mInput, inputs, nFrames);
  }
  // After the block, only if its input went in, so the rings stay in step.
  void TakeOutput(double** outputs, int nFrames, const MorvanteBand* bands) {
    if (!mFeeding) return;
    PushMono(*mOutput, outputs, nFrames);
    for (int b = 0; b < kNumMorvanteBands; ++b) mGainStates[b].store(bands[b].gainState, std::memory_order_relaxed);
  }

private:
  static void PushMono(SampleRing<float>& ring, double** channels, int nFrames) {
    const double* left = channels[0];
    const double* right = channels[1];
    ring.Push(static_cast<size_t>(nFrames),
              [=](size_t i) { return static_cast<float>(0.5 * (left[i] + right[i])); });
  }

  std::unique_ptr<SampleRing<float>> mInput, mOutput;
  std::atomic<int> mOpenCount{0};
  std::atomic<double> mGainStates[kNumMorvanteBands];
  // Audio thread only: whether this block's input went in.
  bool mFeeding = false;
};
