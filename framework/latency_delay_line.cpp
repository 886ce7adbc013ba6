#include "framework/latency_delay_line.h"

#include <climits>
#include <cmath>
#include <cstring>

LatencyDelayLine::LatencyDelayLine(int nInputs, int nOutputs, int delayFrames)
    : mNInputs(nInputs > 0 ? nInputs : 0), mNOutputs(nOutputs > 0 ? nOutputs : 0) {
  SetDelay(delayFrames);
}

void LatencyDelayLine::SetDelay(int delayFrames) {
  if (delayFrames < 0) delayFrames = 0;
  mWritePos = 0;
  const long long samples = static_cast<long long>(mNInputs) * delayFrames;
  if (samples > INT_MAX / static_cast<long long>(sizeof(double))) {
    mRing.Resize(0);
    mDelay = 0;
    return;
  }
  mRing.Resize(static_cast<int>(samples));
  if (mRing.GetSize() != samples) {
    // Better no delay than reads past the ring.
    mRing.Resize(0);
    mDelay = 0;
    return;
  }
  if (samples > 0) std::memset(mRing.Get(), 0, sizeof(double) * static_cast<size_t>(samples));
  mDelay = static_cast<uint64_t>(delayFrames);
}

bool LatencyDelayLine::HasFiniteState() const {
  const double* ring = mRing.Get();
  for (int i = 0; i < mRing.GetSize(); ++i)
    if (!std::isfinite(ring[i])) return false;
  return true;
}

bool LatencyDelayLine::HoldsOnlyPositiveZeros() const {
  const double* ring = mRing.Get();
  uint64_t bits = 0;
  for (int i = 0; i < mRing.GetSize(); ++i) {
    uint64_t sample;
    std::memcpy(&sample, ring + i, sizeof sample);
    bits |= sample;
  }
  return bits == 0;
}

void LatencyDelayLine::Clear() {
  if (mRing.GetSize() > 0) std::memset(mRing.Get(), 0, sizeof(double) * static_cast<size_t>(mRing.GetSize()));
  mWritePos = 0;
}

void LatencyDelayLine::ProcessBlock(double* const* inputs, double* const* outputs, int nFrames) {
  if (!inputs || !outputs || nFrames <= 0) return;
  const int nChannels = mNInputs < mNOutputs ? mNInputs : mNOutputs;
  for (int c = 0; c < nChannels; ++c) {
    const double* in = inputs[c];
    double* out = outputs[c];
    if (!in || !out) continue;
    if (mDelay == 0) {
      if (in != out) std::memmove(out, in, sizeof(double) * static_cast<size_t>(nFrames));
      continue;
    }
    double* ring = mRing.Get() + static_cast<uint64_t>(c) * mDelay;
    // With the write position always below the delay, the sample written
    // exactly one delay ago sits where the next one goes.
    uint64_t pos = mWritePos;
    for (int s = 0; s < nFrames; ++s) {
      const double x = in[s];  // read first: out may be in
      out[s] = ring[pos];
      ring[pos] = x;
      if (++pos == mDelay) pos = 0;
    }
  }
  if (mDelay > 0) mWritePos = (mWritePos + static_cast<uint64_t>(nFrames)) % mDelay;
}

void LatencyDelayLine::Feed(double* const* inputs, int nFrames) {
  if (!inputs || nFrames <= 0 || mDelay == 0) return;
  // Every channel's copy ends where the next block starts; a division per
  // block would cost more than a short block's copying.
  if (mNInputs <= 0) {
    mWritePos = (mWritePos + static_cast<uint64_t>(nFrames)) % mDelay;
    return;
  }
  uint64_t end = mWritePos;
  for (int c = 0; c < mNInputs; ++c) {
    const double* in = inputs[c];
    double* ring = mRing.Get() + static_cast<uint64_t>(c) * mDelay;
    uint64_t pos = mWritePos;
    for (int s = 0; s < nFrames; ++s) {
      ring[pos] = in ? in[s] : 0.0;
      if (++pos == mDelay) pos = 0;
    }
    end = pos;
  }
  mWritePos = end;
}
