// What the audio thread may not do while processing: allocate, or leave the
// floating-point control word changed for its caller.
#include <gtest/gtest.h>
#include <xmmintrin.h>

#include <vector>

#include "tests/effect/meter_recording_graphics.h"
#include "tests/effect/morvante_test_plug.h"
#include "tests/effect/test_signal.h"
#include "tests/support/allocation_counter.h"

namespace {

constexpr unsigned kFlushToZero = 0x8000;
constexpr unsigned kDenormalsAreZero = 0x0040;

void ActivateEveryBand(TestMorvante& plug, double gain) {
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    const MorvanteBandLayout& layout = kMorvanteBandLayouts[b];
    plug.SetParam(layout.thresholdParam, 30.0 + 5.0 * b);
    plug.SetParam(layout.gainParam, gain);
    plug.SetParam(layout.ratioParam, 6.0);
  }
}

// Keeps the compiler from dropping an allocation it can see is unused.
void* volatile gSink = nullptr;

TEST(MorvanteRealtime, TheCounterSeesAnAllocation) {
  AllocationCounter counter;
  gSink = new int(3);
  delete static_cast<int*>(gSink);
  EXPECT_EQ(counter.NewCalls(), 1);
  EXPECT_GE(counter.HeapAllocations(), 1);
}

// Every block size the chunked processing treats differently, settings that
// change between blocks, an editor receiving the meters, and both sample
// sizes through the frame; the allocations counted.
long AllocationsOverEveryBlockSize(TestMorvante& plug) {
  ProgramSignal signal(48000.0, 5);
  std::vector<double> l(4096), r(4096);
  std::vector<float> fl(4096), fr(4096);
  long allocations = 0;
  for (int n : {0, 1, 7, 31, 32, 33, 64, 511, 512, 4096}) {
    ActivateEveryBand(plug, n % 2 ? 6.0 : -6.0);
    signal.Fill(l.data(), r.data(), n);
    for (int i = 0; i < n; ++i) {
      fl[i] = static_cast<float>(l[i]);
      fr[i] = static_cast<float>(r[i]);
    }
    double* channels[2] = {l.data(), r.data()};
    float* floats[2] = {fl.data(), fr.data()};
    {
      AllocationCounter counter;
      plug.ProcessDoubleReplacing(channels, channels, n);
      plug.AttachInputBuffers(0, 2, floats, n);
      plug.AttachOutputBuffers(0, 2, floats);
      plug.ProcessBuffers(0.0f, n);
      plug.AttachInputBuffers(0, 2, channels);
      plug.AttachOutputBuffers(0, 2, channels);
      plug.ProcessBuffers(0.0, n);
      allocations += counter.HeapAllocations();
    }
  }
  return allocations;
}

TEST(MorvanteRealtime, ProcessingAllocatesNothing) {
  TestMorvante plug;
  plug.SetSampleRate(48000.0);
  plug.SetBlockSize(4096);
  plug.AttachGraphics(new MeterRecordingGraphics(&plug));
  EXPECT_EQ(AllocationsOverEveryBlockSize(plug), 0);
  // The meters were stepped and published all along.
  for (int b = 0; b < kNumMorvanteBands; ++b)
    EXPECT_EQ(plug.GetMeterValue(plug.Band(b).meterIdx), plug.Band(b).meter.GetState()) << b;
}

// The response display's feed open: the audio thread fills its rings in
// what it already has.
TEST(MorvanteRealtime, ProcessingForAnOpenDisplayAllocatesNothing) {
  TestMorvante plug;
  plug.SetSampleRate(48000.0);
  plug.SetBlockSize(4096);
  plug.DisplayFeed().Open();
  EXPECT_EQ(AllocationsOverEveryBlockSize(plug), 0);
  EXPECT_GT(plug.DisplayFeed().Input()->Written(), 0u);
  EXPECT_EQ(plug.DisplayFeed().Output()->Written(), plug.DisplayFeed().Input()->Written());
}

// Subnormals are flushed while the effect processes; whatever the caller
// had set comes back afterwards.
TEST(MorvanteRealtime, TheCallersControlWordIsRestored) {
  TestMorvante plug;
  ActivateEveryBand(plug, 6.0);
  std::vector<double> l(100, 0.25), r(100, -0.25);
  const unsigned original = _mm_getcsr();
  for (unsigned callers : {original & ~(kFlushToZero | kDenormalsAreZero), original | kFlushToZero,
                           original | kFlushToZero | kDenormalsAreZero}) {
    _mm_setcsr(callers);
    plug.ProcessInPlace(l, r);
    const unsigned after = _mm_getcsr();
    _mm_setcsr(original);
    EXPECT_EQ(after, callers);
  }
}

}  // namespace
