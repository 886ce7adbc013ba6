#include "effect/morvante_display_feed.h"

MorvanteDisplayFeed::MorvanteDisplayFeed() {
  for (std::atomic<double>& state : mGainStates) state.store(1.0, std::memory_order_relaxed);
}

void MorvanteDisplayFeed::Open() {
  if (!mInput) {
    mInput = std::make_unique<SampleRing<float>>(kRingCapacity);
    mOutput = std::make_unique<SampleRing<float>>(kRingCapacity);
  }
  mOpenCount.fetch_add(1, std::memory_order_release);
}

void MorvanteDisplayFeed::Close() {
  if (mOpenCount.load(std::memory_order_relaxed) > 0) mOpenCount.fetch_sub(1, std::memory_order_relaxed);
}
