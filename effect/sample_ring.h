// The newest samples of a stream, handed from one producer (the audio thread)
// to one consumer (the editor's timer) without locks. The producer never
// waits and never drops: it overwrites the oldest samples. The consumer asks
// for the newest n and learns whether the producer overwrote any of them
// while it copied, which with a capacity of many editor frames never
// happens in practice. Each sample is an atomic so that a copy racing a
// write is a stale value, never undefined behaviour; on x86 acquire loads
// and release stores of floats are plain moves.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

template <class T>
class SampleRing {
public:
  // capacity: a power of two.
  explicit SampleRing(size_t capacity) : mData(new std::atomic<T>[capacity]), mMask(capacity - 1) {
    for (size_t i = 0; i < capacity; ++i) mData[i].store(T(0), std::memory_order_relaxed);
  }
  size_t Capacity() const { return mMask + 1; }

  // Producer: appends sampleAt(0) .. sampleAt(n - 1).
  template <class SampleAt>
  void Push(size_t n, SampleAt sampleAt) {
    const uint64_t start = mWritten.load(std::memory_order_relaxed);
    // Claimed before the samples go in; each sample's release store carries
    // the claim to a consumer that reads the sample it replaced.
    mClaimed.store(start + n, std::memory_order_relaxed);
    for (size_t i = 0; i < n; ++i) mData[(start + i) & mMask].store(sampleAt(i), std::memory_order_release);
    mWritten.store(start + n, std::memory_order_release);
  }

  // Consumer: how many samples were ever pushed.
  uint64_t Written() const { return mWritten.load(std::memory_order_acquire); }

  // Consumer: copies the n (<= capacity) samples that end at `end` (a value
  // of Written()); false when any of them was overwritten during the copy.
  bool CopyEndingAt(uint64_t end, T* out, size_t n) const {
    const uint64_t first = end - n;
    for (size_t i = 0; i < n; ++i) out[i] = mData[(first + i) & mMask].load(std::memory_order_acquire);
    // Read after every sample: a sample from a later push brings its claim.
    return mClaimed.load(std::memory_order_relaxed) - first <= Capacity();
  }

private:
  std::unique_ptr<std::atomic<T>[]> mData;
  const size_t mMask;
  alignas(64) std::atomic<uint64_t> mWritten{0};
  std::atomic<uint64_t> mClaimed{0};
};
