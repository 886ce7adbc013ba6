// Processing through the LV2 plug-ins against the VST3 bundle's 32-bit path:
// the same bits at every rate and block size, with every band pulling down;
// the host bypass, the latency and meter ports, and careless hosts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "tests/lv2/host/lv2_test_host.h"
#include "tests/lv2/vst3_reference.h"

using namespace lv2test;

namespace {
constexpr int kLatency = 3;
constexpr const char* kMeterSymbols[] = {"low_gain_reduction", "low_mid_gain_reduction", "mid_gain_reduction",
                                         "high_mid_gain_reduction", "high_gain_reduction"};

// Bit for bit: a NaN or a signed zero counts as a difference too.
::testing::AssertionResult SameBits(const Channels& a, const Channels& b) {
  if (a.size() != b.size()) return ::testing::AssertionFailure() << a.size() << " vs " << b.size() << " channels";
  for (size_t c = 0; c < a.size(); ++c) {
    if (a[c].size() != b[c].size()) return ::testing::AssertionFailure() << "channel " << c << " lengths differ";
    for (size_t i = 0; i < a[c].size(); ++i)
      if (std::memcmp(&a[c][i], &b[c][i], sizeof(float)) != 0)
        return ::testing::AssertionFailure() << "channel " << c << " frame " << i << ": " << a[c][i] << " vs "
                                             << b[c][i];
  }
  return ::testing::AssertionSuccess();
}

void Apply(Lv2Plugin& plug, const std::vector<Setting>& settings) {
  for (const Setting& s : settings) plug.Set(s.symbol, s.value);
}

// Samples where the output differs from the input beyond rounding.
bool Processed(const Channels& in, const Channels& out) {
  for (size_t c = 0; c < in.size(); ++c)
    for (size_t i = kLatency; i < in[c].size(); ++i)
      if (std::fabs(out[c][i] - in[c][i - kLatency]) > 1e-3f) return true;
  return false;
}
}  // namespace

// Block sizes from one sample up, some above the block length the host
// announced (512) and one above the scratch a host without options gets.
TEST(Lv2Processing, TheSameBitsAsTheVst3PathAtEveryRateAndBlockSize) {
  ASSERT_EQ(Vst3Latency(), kLatency);
  const int kBlocks[] = {1, 2, 3, 7, 31, 64, 100, 512, 1000, 4096};
  for (const double rate : {44100.0, 48000.0, 96000.0}) {
    const int frames = 9000;
    const Channels in = TestSignal(2, frames, rate);
    for (const int block : kBlocks) {
      SCOPED_TRACE("rate " + std::to_string(rate) + " block " + std::to_string(block));
      Lv2Plugin plug(kStereoUri, rate, HostFeatures{true, block <= 512 ? block : 512});
      ASSERT_TRUE(plug.Ok());
      Apply(plug, EveryBandPullsDown());
      plug.Activate();
      const Channels lv2 = plug.Process(in, block);
      const Channels vst3 = RenderVst3(in, EveryBandPullsDown(), Vst3Options{rate, block, 2, false});
      ASSERT_FALSE(vst3.empty());
      EXPECT_TRUE(SameBits(lv2, vst3));
      EXPECT_TRUE(Processed(in, lv2));
      for (const char* meter : kMeterSymbols) EXPECT_GT(plug.Get(meter), 0.0f) << meter;
      EXPECT_EQ(plug.Get("latency"), static_cast<float>(kLatency));
    }
  }
  // No options at all: one block longer than the scratch such a host gets.
  const Channels in = TestSignal(2, 20000, 48000.0);
  Lv2Plugin plug(kStereoUri, 48000.0, HostFeatures{true, 0});
  ASSERT_TRUE(plug.Ok());
  Apply(plug, EveryBandPullsDown());
  EXPECT_TRUE(SameBits(plug.Process(in, 20000), RenderVst3(in, EveryBandPullsDown(), Vst3Options{48000.0, 512})));
}

TEST(Lv2Processing, TheMonoPluginIsTheVst3MonoArrangement) {
  const Channels in = TestSignal(1, 5000, 48000.0);
  for (const int block : {1, 64, 1000}) {
    Lv2Plugin plug(kMonoUri, 48000.0, HostFeatures{true, 1000});
    ASSERT_TRUE(plug.Ok());
    ASSERT_EQ(plug.NChannels(), 1);
    Apply(plug, EveryBandPullsDown());
    const Channels lv2 = plug.Process(in, block);
    EXPECT_TRUE(SameBits(lv2, RenderVst3(in, EveryBandPullsDown(), Vst3Options{48000.0, block, 1, false})));
    EXPECT_TRUE(Processed(in, lv2));
  }
}

// enabled = 0 is the VST3 host bypass: the dry input, delayed by the
// latency, and the effect takes over again without a jump in time.
TEST(Lv2Processing, TheEnabledPortIsTheHostBypass) {
  const Channels in = TestSignal(2, 4000, 44100.0);
  Lv2Plugin plug(kStereoUri, 44100.0, HostFeatures{true, 256});
  ASSERT_TRUE(plug.Ok());
  Apply(plug, EveryBandPullsDown());
  plug.Set("enabled", 0.0f);
  const Channels bypassed = plug.Process(in, 256);
  EXPECT_TRUE(SameBits(bypassed, RenderVst3(in, EveryBandPullsDown(), Vst3Options{44100.0, 256, 2, true})));
  for (size_t c = 0; c < 2; ++c) {
    for (int i = 0; i < kLatency; ++i) EXPECT_EQ(bypassed[c][static_cast<size_t>(i)], 0.0f);
    for (size_t i = kLatency; i < in[c].size(); ++i) ASSERT_EQ(bypassed[c][i], in[c][i - kLatency]) << i;
  }
  // A value that is no number leaves the bypass as it was; 1 ends it.
  plug.Set("enabled", std::numeric_limits<float>::quiet_NaN());
  EXPECT_FALSE(Processed(in, plug.Process(in, 256)));
  plug.Set("enabled", 1.0f);
  EXPECT_TRUE(Processed(in, plug.Process(in, 256)));
}

// Port values outside the range are clamped; a NaN or an infinity is
// ignored and the last good value kept; the result is what the VST3 path
// gives for the clamped or kept values.
TEST(Lv2Processing, HostileControlValuesAreClampedOrIgnored) {
  const Channels in = TestSignal(2, 2048, 48000.0);
  std::vector<Setting> hostile = EveryBandPullsDown();
  std::vector<Setting> meant = hostile;
  for (size_t i = 0; i < hostile.size(); ++i) {
    if (std::strcmp(hostile[i].symbol, "low_gain") == 0) {
      hostile[i].value = 1e9f;
      meant[i].value = 24.0f;
    }
    if (std::strcmp(hostile[i].symbol, "mid_threshold") == 0) {
      hostile[i].value = -5.0f;
      meant[i].value = 0.0f;
    }
  }
  Lv2Plugin plug(kStereoUri, 48000.0, HostFeatures{true, 512});
  ASSERT_TRUE(plug.Ok());
  Apply(plug, hostile);
  const Channels first = plug.Process(in, 512);
  EXPECT_TRUE(SameBits(first, RenderVst3(in, meant, Vst3Options{48000.0, 512})));

  // The same instance again, from the start, with garbage in two ports.
  Lv2Plugin again(kStereoUri, 48000.0, HostFeatures{true, 512});
  Apply(again, meant);
  Channels half(2, std::vector<float>(in[0].begin(), in[0].begin() + 1024));
  half[1].assign(in[1].begin(), in[1].begin() + 1024);
  Channels rest(2, std::vector<float>(in[0].begin() + 1024, in[0].end()));
  rest[1].assign(in[1].begin() + 1024, in[1].end());
  Channels out = again.Process(half, 512);
  again.Set("high_gain", std::numeric_limits<float>::quiet_NaN());
  again.Set("output", -std::numeric_limits<float>::infinity());
  const Channels tail = again.Process(rest, 512);
  for (size_t c = 0; c < 2; ++c) out[c].insert(out[c].end(), tail[c].begin(), tail[c].end());
  EXPECT_TRUE(SameBits(out, RenderVst3(in, meant, Vst3Options{48000.0, 512})));
}

// Hosts that run before activating, connect nothing to a port, or run
// empty blocks get no crash and no garbage.
TEST(Lv2Processing, CarelessHostsGetSilenceOrTheEffectNeverGarbage) {
  const Channels in = TestSignal(2, 1024, 48000.0);
  Lv2Plugin plug(kStereoUri, 48000.0);
  ASSERT_TRUE(plug.Ok());
  const Channels before = plug.Process(in, 512);  // never activated
  EXPECT_TRUE(Processed(in, before));
  const int firstAudio = plug.Port("in_l");
  plug.ConnectPort(firstAudio + 1, nullptr);  // in_r
  plug.ConnectPort(firstAudio + 3, nullptr);  // out_r
  plug.ConnectPort(plug.Port("latency"), nullptr);
  plug.ConnectPort(plug.Port("low_gain"), nullptr);
  plug.ConnectPort(plug.Port("enabled"), nullptr);
  const Channels out = plug.Process(in, 512);
  for (float s : out[0]) ASSERT_TRUE(std::isfinite(s));
  plug.Run(0);
  plug.Deactivate();
  plug.Activate();
  EXPECT_TRUE(Processed(in, plug.Process(in, 512)));
}
