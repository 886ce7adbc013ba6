// The delay the plug-in reports is the delay of its audio, both bypasses
// pass the input delayed by just as much, and the reported tail covers the
// ring after the input stops. All through the bundle, as a host hears it.
#include <algorithm>
#include <cmath>

#include "tests/vst3/vst3_test_support.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace vst3test;

namespace {
constexpr ParamID kBypassSwitch = 37;
constexpr ParamID kLowFrequency = 16;
constexpr int kBlock = 256;

size_t PeakIndex(const std::vector<double>& samples) {
  size_t peak = 0;
  for (size_t i = 1; i < samples.size(); ++i)
    if (std::fabs(samples[i]) > std::fabs(samples[peak])) peak = i;
  return peak;
}
}  // namespace

class Vst3Latency : public Vst3Test {
protected:
  // One block of 64-bit audio with the given changes; out gets the output.
  void Block(PluginInstance& plug, BusBuffers<double>& in, BusBuffers<double>& out, int frames,
             IParameterChanges* changes = nullptr) {
    AudioBusBuffers inBus, outBus;
    ProcessData data = MakeBlock(in, out, inBus, outBus, frames, changes);
    ASSERT_EQ(plug.processor->process(data), kResultOk);
  }
  void Fill(BusBuffers<double>& in, long start) {
    for (int ch = 0; ch < 2; ++ch)
      for (size_t i = 0; i < in.data[0].size(); ++i)
        in.data[static_cast<size_t>(ch)][i] = TestSignal(ch, start + static_cast<long>(i));
  }
  // Runs blocks of the test signal, switching tag to on for the middle two
  // blocks, and checks that the output of those blocks is the input exactly
  // one latency late, from the switch's first sample to its last.
  void ExpectBypassIsTheDelayedInput(ParamID tag) {
    ASSERT_EQ(SetUpProcessing(*mPlug, kSample64, kBlock, 48000.0), kResultOk);
    const size_t latency = mPlug->processor->getLatencySamples();
    ASSERT_GT(latency, 0u);
    BusBuffers<double> in(2, kBlock), out(2, kBlock);
    std::vector<std::vector<double>> previous(2, std::vector<double>(kBlock, 0.0));
    for (int block = 0; block < 6; ++block) {
      SCOPED_TRACE(block);
      TestParamChanges changes;
      if (block == 2) changes.Add(tag, 1.0);
      if (block == 4) changes.Add(tag, 0.0);
      // Some band work, so that processed and dry differ.
      if (block == 0) changes.Add(kLowGain, 0.9);
      Fill(in, static_cast<long>(block) * kBlock);
      Block(*mPlug, in, out, kBlock, &changes);
      const bool bypassed = block == 2 || block == 3;
      for (size_t ch = 0; ch < 2; ++ch) {
        for (size_t i = 0; i < kBlock; ++i) {
          const double delayed = i < latency ? previous[ch][kBlock - latency + i] : in.data[ch][i - latency];
          if (bypassed)
            ASSERT_EQ(out.data[ch][i], delayed) << "channel " << ch << " frame " << i;
          else
            EXPECT_NE(out.data[ch][i], delayed);
        }
      }
      previous = in.data;
    }
  }
};

TEST_F(Vst3Latency, TheImpulseResponsePeaksAtTheReportedLatency) {
  for (double rate : {44100.0, 48000.0, 96000.0}) {
    SCOPED_TRACE(rate);
    auto plug = MakeInstance("Ardour");
    ASSERT_EQ(SetUpProcessing(*plug, kSample64, kBlock, rate), kResultOk);
    const uint32 latency = plug->processor->getLatencySamples();
    EXPECT_EQ(latency, 3u);
    BusBuffers<double> in(2, kBlock), out(2, kBlock);
    in.data[0][0] = 1.0;
    in.data[1][0] = 1.0;
    Block(*plug, in, out, kBlock);
    EXPECT_EQ(PeakIndex(out.data[0]), latency);
    EXPECT_EQ(PeakIndex(out.data[1]), latency);
    EXPECT_NEAR(out.data[0][latency], 0.9894, 1e-4);
    plug->component->terminate();
  }
}

TEST_F(Vst3Latency, TheHostBypassPassesTheInputOneLatencyLate) { ExpectBypassIsTheDelayedInput(kBypassTag); }

TEST_F(Vst3Latency, TheBypassSwitchPassesTheInputOneLatencyLate) { ExpectBypassIsTheDelayedInput(kBypassSwitch); }

TEST_F(Vst3Latency, NothingRingsBeyondTheReportedTail) {
  ASSERT_EQ(SetUpProcessing(*mPlug, kSample64, kBlock, 48000.0), kResultOk);
  const uint32 defaultTail = mPlug->processor->getTailSamples();
  // The slowest ring there is: the Low shelf at its lowest frequency, the
  // peaking bands at full boost.
  TestParamChanges changes;
  changes.Add(kLowFrequency, 0.0);
  changes.Add(kLowGain, 1.0);
  changes.Add(kHighGain, 1.0);
  changes.Add(21, 1.0);  // Low Mid Gain
  changes.Add(kHighMidBandwidth, 0.0);
  BusBuffers<double> in(2, kBlock), out(2, kBlock);
  std::vector<double> output;
  for (int block = 0; block < 16; ++block) {
    Fill(in, static_cast<long>(block) * kBlock);
    Block(*mPlug, in, out, kBlock, block == 0 ? &changes : nullptr);
  }
  const uint32 tail = mPlug->processor->getTailSamples();
  EXPECT_GT(tail, defaultTail);
  EXPECT_LT(tail, 48000u);
  const double loud = *std::max_element(out.data[0].begin(), out.data[0].end());
  BusBuffers<double> silence(2, kBlock);
  while (output.size() < tail + 4 * kBlock) {
    Block(*mPlug, silence, out, kBlock);
    output.insert(output.end(), out.data[0].begin(), out.data[0].end());
  }
  // It does ring, and is gone at the tail.
  EXPECT_GT(std::fabs(output[tail / 2]), 1e-9 * loud);
  for (size_t i = tail; i < output.size(); ++i) ASSERT_LT(std::fabs(output[i]), 1e-6 * loud) << i;
}
