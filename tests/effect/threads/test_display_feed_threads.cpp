// The display feed with the audio thread processing while the editor's
// thread opens, closes and reads it, as a host's two threads do.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "tests/effect/morvante_test_plug.h"

namespace {

// The input of every block counts on from the last (both channels alike),
// so the newest samples of an intact copy are consecutive numbers.
TEST(MorvanteDisplayFeedThreads, CopiesAreWholeOrReportedTornWhileTheAudioThreadRuns) {
  TestMorvante plug;
  plug.SetSampleRate(48000.0);
  MorvanteDisplayFeed& feed = plug.DisplayFeed();
  feed.Open();  // the rings exist from here on
  feed.Close();

  std::atomic<bool> stop{false};
  std::atomic<long> blocks{0};
  std::thread audio([&] {
    std::vector<double> left(64), right(64);
    double next = 0.0;
    while (!stop.load(std::memory_order_relaxed)) {
      for (int i = 0; i < 64; ++i) {
        left[i] = right[i] = next;
        next = next < 1 << 23 ? next + 1.0 : 0.0;
      }
      double* in[2] = {left.data(), right.data()};
      std::vector<double> outL(64), outR(64);
      double* out[2] = {outL.data(), outR.data()};
      plug.ProcessDoubleReplacing(in, out, 64);
      blocks.fetch_add(1, std::memory_order_relaxed);
    }
  });

  std::vector<float> copy(4096);
  int whole = 0;
  for (int round = 0; round < 200; ++round) {
    // Samples from before a closing are older than the window once this
    // many have come since the opening.
    const uint64_t opened = feed.Input()->Written();
    feed.Open();
    for (int read = 0; read < 5; ++read) {
      uint64_t end;
      while ((end = feed.Input()->Written()) < opened + copy.size() + 64) std::this_thread::yield();
      if (!feed.Input()->CopyEndingAt(end, copy.data(), copy.size())) continue;
      ++whole;
      for (size_t i = 1; i < copy.size(); ++i) {
        if (copy[i] != 0.0f) {
          ASSERT_EQ(copy[i], copy[i - 1] + 1.0f) << "a copy called whole was torn at " << i;
        }
      }
      for (int b = 0; b < kNumMorvanteBands; ++b) EXPECT_EQ(feed.GainState(b), 1.0);
    }
    feed.Close();
    std::this_thread::yield();
  }
  stop.store(true);
  audio.join();
  EXPECT_GT(blocks.load(), 0);
  EXPECT_GT(whole, 0);
}

}  // namespace
