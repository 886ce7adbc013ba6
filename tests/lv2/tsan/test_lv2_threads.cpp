// A host saves the state on its main thread while its audio thread runs
// blocks that move ports, as the state extension allows; and restores it
// there too, which a careful host would not do. Under ThreadSanitizer any
// unsynchronised access between the two is reported.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "tests/lv2/host/lv2_test_host.h"

using namespace lv2test;

TEST(Lv2Threads, TheStateIsSavedAndRestoredWhileTheAudioThreadRuns) {
  Lv2Plugin plug(kStereoUri, 48000.0, HostFeatures{true, 128});
  ASSERT_TRUE(plug.Ok());
  float* lowGain = plug.PortBuffer(plug.Port("low_gain"));
  float* enabled = plug.PortBuffer(plug.Port("enabled"));
  const std::vector<uint8_t> initial = plug.StateBytes();
  ASSERT_FALSE(initial.empty());
  plug.Activate();

  std::atomic<bool> done{false};
  std::thread audio([&] {
    for (int b = 0; b < 400 || !done.load(std::memory_order_acquire); ++b) {
      *lowGain = static_cast<float>(b % 25) - 12.0f;
      *enabled = b % 10 == 5 ? 0.0f : 1.0f;
      plug.Run(128);
    }
  });
  int saved = 0, restored = 0;
  for (int i = 0; i < 200; ++i) {
    std::vector<uint8_t> bytes;
    saved += plug.SaveRaw(bytes) == LV2_STATE_SUCCESS && bytes.size() == initial.size() ? 1 : 0;
    restored += plug.RestoreRaw(initial.data(), initial.size(), StateType()) == LV2_STATE_SUCCESS ? 1 : 0;
  }
  done.store(true, std::memory_order_release);
  audio.join();
  EXPECT_EQ(saved, 200);
  EXPECT_EQ(restored, 200);
}
