#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/framework/test_plug.h"

namespace {

constexpr float kSentinel = 12345.0f;

std::vector<double> Ramp(int n, double scale) {
  std::vector<double> v(n);
  for (int s = 0; s < n; ++s) v[s] = scale * (s + 1);
  return v;
}

std::vector<float> RampF(int n, float scale) {
  std::vector<float> v(n);
  for (int s = 0; s < n; ++s) v[s] = scale * static_cast<float>(s + 1);
  return v;
}

// Stereo plug with both inputs and outputs connected.
TestPlug* MakeStereo(TestPlug& plug, int blockSize) {
  plug.SetBlockSize(blockSize);
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  return &plug;
}

TEST(IPlugProcessing, DoubleBuffersAreHandedOverDirectly) {
  TestPlug plug;
  MakeStereo(plug, 8);
  std::vector<double> in0 = Ramp(8, 1), in1 = Ramp(8, -1), out0(8), out1(8);
  double* ins[2] = {in0.data(), in1.data()};
  double* outs[2] = {out0.data(), out1.data()};
  plug.AttachInputBuffers(0, 2, ins);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.0, 8);
  ASSERT_EQ(plug.calls.size(), 1u);
  EXPECT_EQ(plug.calls[0].inputs[0], in0.data());
  EXPECT_EQ(plug.calls[0].inputs[1], in1.data());
  EXPECT_EQ(plug.calls[0].outputs[1], out1.data());
  EXPECT_EQ(plug.calls[0].nFrames, 8);
  EXPECT_EQ(out0[0], 2.0);
  EXPECT_EQ(out0[1], 4.0 + 1.0);
}

TEST(IPlugProcessing, UnconnectedInputReadsZeroedScratch) {
  TestPlug plug;
  MakeStereo(plug, 16);
  plug.SetInputChannelConnections(1, 1, false);
  plug.ZeroScratchBuffers();
  EXPECT_TRUE(plug.IsInChannelConnected(0));
  EXPECT_FALSE(plug.IsInChannelConnected(1));
  EXPECT_FALSE(plug.IsInChannelConnected(2));
  EXPECT_FALSE(plug.IsInChannelConnected(-1));

  std::vector<double> in0 = Ramp(16, 1), out0(16), out1(16, 7.0);
  double* ins[1] = {in0.data()};  // one entry per connected channel
  double* outs[2] = {out0.data(), out1.data()};
  plug.AttachInputBuffers(0, 2, ins);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.0, 16);
  ASSERT_EQ(plug.calls.size(), 1u);
  const double* scratch = plug.calls[0].inputs[1];
  ASSERT_NE(scratch, nullptr);
  EXPECT_NE(scratch, in0.data());
  for (int s = 0; s < 16; ++s) EXPECT_EQ(scratch[s], 0.0);
  for (int s = 0; s < 16; ++s) EXPECT_EQ(out1[s], 0.0);
}

TEST(IPlugProcessing, UnconnectedOutputIsDiscarded) {
  TestPlug plug;
  MakeStereo(plug, 4);
  plug.SetOutputChannelConnections(1, 1, false);
  std::vector<double> in0 = Ramp(4, 1), in1 = Ramp(4, 1), out0(4), spare(4, -3.0);
  double* ins[2] = {in0.data(), in1.data()};
  double* outs[2] = {out0.data(), spare.data()};
  plug.AttachInputBuffers(0, 2, ins);
  plug.AttachOutputBuffers(0, 2, outs);  // only the first entry is taken
  plug.ProcessBuffers(0.0, 4);
  EXPECT_NE(plug.calls[0].outputs[1], spare.data());
  for (double v : spare) EXPECT_EQ(v, -3.0);
  EXPECT_EQ(out0[0], 2.0);
}

TEST(IPlugProcessing, FloatBuffersAreConvertedBothWays) {
  TestPlug plug;
  MakeStereo(plug, 8);
  std::vector<float> in0 = RampF(8, 0.25f), in1 = RampF(8, -1.0f), out0(8, kSentinel), out1(8, kSentinel);
  float* ins[2] = {in0.data(), in1.data()};
  float* outs[2] = {out0.data(), out1.data()};
  plug.AttachInputBuffers(0, 2, ins, 8);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.0f, 8);
  ASSERT_EQ(plug.calls.size(), 1u);
  EXPECT_EQ(plug.calls[0].inputs[0][2], 0.75);
  EXPECT_EQ(out0[0], 0.5f);
  EXPECT_EQ(out1[0], -2.0f);
  EXPECT_EQ(out1[1], -4.0f - 1.0f);
}

TEST(IPlugProcessing, NoConnectedOutputsWritesNothingToHostMemory) {
  TestPlug plug;
  MakeStereo(plug, 8);
  std::vector<float> in0 = RampF(24, 1), in1 = RampF(24, 1), out0(8, kSentinel), out1(8, kSentinel);
  float* ins[2] = {in0.data(), in1.data()};
  float* outs[2] = {out0.data(), out1.data()};
  // A first block leaves float destinations behind; disconnecting must
  // forget them.
  plug.AttachInputBuffers(0, 2, ins, 8);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.0f, 8);
  std::fill(out0.begin(), out0.end(), kSentinel);
  std::fill(out1.begin(), out1.end(), kSentinel);

  plug.SetOutputChannelConnections(0, 2, false);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.0f, 8);
  plug.ProcessBuffersAccumulating(0.0f, 8);
  plug.PassThroughBuffers(0.0f, 8);
  plug.ProcessBuffers(0.0f, 24);  // longer than the scratch, too
  for (int s = 0; s < 8; ++s) {
    EXPECT_EQ(out0[s], kSentinel);
    EXPECT_EQ(out1[s], kSentinel);
  }
}

TEST(IPlugProcessing, AccumulatingAddsToTheHostBuffer) {
  TestPlug plug("1-1");
  plug.SetBlockSize(4);
  plug.SetInputChannelConnections(0, 1, true);
  plug.SetOutputChannelConnections(0, 1, true);
  std::vector<float> in = {1, 0, 0, 0}, out = {10, 20, 30, 40};
  float* ins[1] = {in.data()};
  float* outs[1] = {out.data()};
  plug.AttachInputBuffers(0, 1, ins, 4);
  plug.AttachOutputBuffers(0, 1, outs);
  plug.ProcessBuffersAccumulating(0.0f, 4);
  EXPECT_EQ(out[0], 12.0f);
  EXPECT_EQ(out[1], 21.0f);
  EXPECT_EQ(out[2], 30.5f);
  EXPECT_EQ(out[3], 40.25f);
}

TEST(IPlugProcessing, PassThroughCopiesAndSilencesExtraOutputs) {
  TestPlug plug("1-2");
  plug.SetBlockSize(4);
  plug.SetInputChannelConnections(0, 1, true);
  plug.SetOutputChannelConnections(0, 2, true);
  std::vector<double> in = Ramp(4, 1), out0(4, -1), out1(4, -1);
  double* ins[1] = {in.data()};
  double* outs[2] = {out0.data(), out1.data()};
  plug.AttachInputBuffers(0, 1, ins);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.PassThroughBuffers(0.0, 4);
  EXPECT_TRUE(plug.calls.empty());
  EXPECT_EQ(out0, in);
  EXPECT_EQ(out1, std::vector<double>(4, 0.0));
}

TEST(IPlugProcessing, PassThroughWithLatencyDelaysAcrossBlocks) {
  TestPlug plug("1-1 2-2", 0, 3);
  MakeStereo(plug, 8);
  plug.CreateLatencyDelayLine();
  const int total = 24;
  std::vector<double> in0 = Ramp(total, 1), in1 = Ramp(total, -1), out0(total), out1(total);
  const int blocks[3] = {1, 2, 5};
  for (int done = 0, b = 0; done < total; ++b) {
    const int n = std::min(blocks[b % 3], total - done);
    double* ins[2] = {in0.data() + done, in1.data() + done};
    double* outs[2] = {out0.data() + done, out1.data() + done};
    plug.AttachInputBuffers(0, 2, ins);
    plug.AttachOutputBuffers(0, 2, outs);
    plug.PassThroughBuffers(0.0, n);
    done += n;
  }
  for (int s = 0; s < total; ++s) {
    EXPECT_EQ(out0[s], s < 3 ? 0.0 : in0[s - 3]) << s;
    EXPECT_EQ(out1[s], s < 3 ? 0.0 : in1[s - 3]) << s;
  }
}

TEST(IPlugProcessing, SetLatencyResizesTheDelayLine) {
  TestPlug plug("1-1", 0, 1);
  plug.SetBlockSize(4);
  plug.SetInputChannelConnections(0, 1, true);
  plug.SetOutputChannelConnections(0, 1, true);
  plug.CreateLatencyDelayLine();
  plug.SetLatency(2);
  EXPECT_EQ(plug.GetLatency(), 2);
  std::vector<double> in = Ramp(4, 1), out(4);
  double* ins[1] = {in.data()};
  double* outs[1] = {out.data()};
  plug.AttachInputBuffers(0, 1, ins);
  plug.AttachOutputBuffers(0, 1, outs);
  plug.PassThroughBuffers(0.0, 4);
  EXPECT_EQ(out, (std::vector<double>{0, 0, 1, 2}));
}

TEST(IPlugProcessing, SameBlockSizeKeepsScratchContents) {
  TestPlug plug;
  MakeStereo(plug, 4);
  plug.SetOutputChannelConnections(0, 2, false);  // the effect writes into scratch
  std::vector<double> in0 = Ramp(4, 1), in1 = Ramp(4, 1);
  double* ins[2] = {in0.data(), in1.data()};
  plug.AttachInputBuffers(0, 2, ins);
  plug.ProcessBuffers(0.0, 4);
  const double* scratch = plug.calls[0].outputs[0];
  const double written = scratch[3];
  ASSERT_NE(written, 0.0);
  plug.SetBlockSize(4);
  EXPECT_EQ(scratch[3], written);
  plug.SetBlockSize(5);
  EXPECT_EQ(plug.GetBlockSize(), 5);
  plug.ProcessBuffers(0.0, 0);
  const double* resized = plug.calls[1].outputs[0];
  for (int s = 0; s < 5; ++s) EXPECT_EQ(resized[s], 0.0);
}

TEST(IPlugProcessing, BlockSizeThatCannotBeAllocatedKeepsWhatTheScratchHolds) {
  TestPlug plug;
  MakeStereo(plug, 4);
  plug.SetInputChannelConnections(0, 2, false);
  plug.SetBlockSize(300000000);  // more bytes than a buffer may hold
  EXPECT_EQ(plug.GetBlockSize(), 4);
  plug.ProcessBuffers(0.0, 10);
  ASSERT_EQ(plug.calls.size(), 3u);
  EXPECT_EQ(plug.calls[2].nFrames, 2);
}

TEST(IPlugProcessing, NegativeBlockSizeCountsAsZero) {
  TestPlug plug;
  plug.SetBlockSize(-4);
  EXPECT_EQ(plug.GetBlockSize(), 0);
}

template <class Sample>
struct RunResult {
  std::vector<Sample> out;
  int maxFrames = 0;
  size_t nCalls = 0;
};

// Runs a stereo signal through a fresh plug in host blocks of hostBlock
// frames, with the second output channel unconnected, and returns output 0.
template <class Sample>
RunResult<Sample> RunUnconnectedSecondOutput(int blockSize, int hostBlock, int total) {
  TestPlug plug;
  plug.SetBlockSize(blockSize);
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 1, true);
  plug.SetOutputChannelConnections(1, 1, false);
  std::vector<Sample> in0(total), in1(total);
  RunResult<Sample> run;
  run.out.assign(total, static_cast<Sample>(kSentinel));
  for (int s = 0; s < total; ++s) {
    in0[s] = static_cast<Sample>(s % 7) - static_cast<Sample>(3);
    in1[s] = static_cast<Sample>(s);
  }
  for (int done = 0; done < total; done += hostBlock) {
    Sample* ins[2] = {in0.data() + done, in1.data() + done};
    Sample* outs[1] = {run.out.data() + done};
    if constexpr (sizeof(Sample) == sizeof(float)) {
      plug.AttachInputBuffers(0, 2, ins, hostBlock);
    } else {
      plug.AttachInputBuffers(0, 2, ins);
    }
    plug.AttachOutputBuffers(0, 2, outs);
    plug.ProcessBuffers(Sample(0), hostBlock);
  }
  for (const TestPlug::Call& call : plug.calls) run.maxFrames = std::max(run.maxFrames, call.nFrames);
  run.nCalls = plug.calls.size();
  return run;
}

// 512 samples fill the scratch allocation exactly, so a frame that wrote
// past it would trip the address sanitizer, not only the comparisons.
TEST(IPlugProcessing, LongBlockRunsInPiecesIn64Bits) {
  const RunResult<double> whole = RunUnconnectedSecondOutput<double>(512, 1536, 1536);
  EXPECT_EQ(whole.maxFrames, 512);
  EXPECT_EQ(whole.nCalls, 3u);
  const RunResult<double> small = RunUnconnectedSecondOutput<double>(512, 256, 1536);
  EXPECT_EQ(whole.out, small.out);
}

TEST(IPlugProcessing, LongBlockRunsInPiecesIn32Bits) {
  const RunResult<float> whole = RunUnconnectedSecondOutput<float>(512, 1536, 1536);
  EXPECT_EQ(whole.maxFrames, 512);
  const RunResult<float> small = RunUnconnectedSecondOutput<float>(512, 512, 1536);
  EXPECT_EQ(whole.out, small.out);
  for (float v : whole.out) EXPECT_NE(v, kSentinel);
}

TEST(IPlugProcessing, UnevenLongBlockKeepsEverySample) {
  const RunResult<float> whole = RunUnconnectedSecondOutput<float>(16, 50, 50);
  EXPECT_EQ(whole.nCalls, 4u);
  const RunResult<float> small = RunUnconnectedSecondOutput<float>(16, 5, 50);
  EXPECT_EQ(whole.out, small.out);
}

TEST(IPlugProcessing, LongBlockWithOnlyHostBuffersIsOneCall) {
  TestPlug plug;
  MakeStereo(plug, 4);
  std::vector<double> in0 = Ramp(12, 1), in1 = Ramp(12, 1), out0(12), out1(12);
  double* ins[2] = {in0.data(), in1.data()};
  double* outs[2] = {out0.data(), out1.data()};
  plug.AttachInputBuffers(0, 2, ins);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.0, 12);
  ASSERT_EQ(plug.calls.size(), 1u);
  EXPECT_EQ(plug.calls[0].nFrames, 12);
}

TEST(IPlugProcessing, LongPassThroughRunsInPieces) {
  TestPlug plug;
  MakeStereo(plug, 4);
  plug.SetInputChannelConnections(1, 1, false);
  std::vector<float> in0 = RampF(12, 1), out0(12, kSentinel), out1(12, kSentinel);
  float* ins[1] = {in0.data()};
  float* outs[2] = {out0.data(), out1.data()};
  plug.AttachInputBuffers(0, 2, ins, 12);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.PassThroughBuffers(0.0f, 12);
  EXPECT_EQ(out0, in0);
  EXPECT_EQ(out1, std::vector<float>(12, 0.0f));
}

TEST(IPlugProcessing, BlockWithoutScratchGivesSilence) {
  TestPlug plug;
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  plug.SetInputChannelConnections(1, 1, false);
  std::vector<float> in0 = RampF(8, 1), out0(8, kSentinel), out1(8, kSentinel);
  float* ins[1] = {in0.data()};
  float* outs[2] = {out0.data(), out1.data()};
  plug.AttachInputBuffers(0, 2, ins, 8);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.0f, 8);
  EXPECT_TRUE(plug.calls.empty());
  EXPECT_EQ(out0, std::vector<float>(8, 0.0f));
  EXPECT_EQ(out1, std::vector<float>(8, 0.0f));
}

TEST(IPlugProcessing, ScratchSlotsFollowAResize) {
  TestPlug plug;
  MakeStereo(plug, 4);
  plug.SetInputChannelConnections(0, 2, false);
  plug.SetOutputChannelConnections(0, 2, false);
  plug.SetBlockSize(5000);  // the scratch buffers move
  plug.ProcessBuffers(0.0, 5000);
  ASSERT_EQ(plug.calls.size(), 1u);
  EXPECT_EQ(plug.calls[0].nFrames, 5000);
  for (int s = 0; s < 5000; ++s) ASSERT_EQ(plug.calls[0].outputs[1][s], 0.0);
}

TEST(IPlugProcessing, NullHostBuffersReadAsScratch) {
  TestPlug plug;
  MakeStereo(plug, 4);
  double* ins[2] = {nullptr, nullptr};
  double* outs[2] = {nullptr, nullptr};
  plug.AttachInputBuffers(0, 2, ins);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.0, 12);
  for (const TestPlug::Call& call : plug.calls) {
    EXPECT_LE(call.nFrames, 4);
    EXPECT_NE(call.inputs[0], nullptr);
    EXPECT_NE(call.outputs[0], nullptr);
  }
}

TEST(IPlugProcessing, ConnectionRangesAreClipped) {
  TestPlug plug;
  plug.SetInputChannelConnections(-1, 2, true);
  EXPECT_TRUE(plug.IsInChannelConnected(0));
  EXPECT_FALSE(plug.IsInChannelConnected(1));
  plug.SetOutputChannelConnections(1, 0x7fffffff, true);
  EXPECT_FALSE(plug.IsOutChannelConnected(0));
  EXPECT_TRUE(plug.IsOutChannelConnected(1));
}

TEST(IPlugProcessing, BaseEffectPassesThrough) {
  struct PlainPlug : TestPlug {
    using TestPlug::TestPlug;
    void ProcessDoubleReplacing(double** in, double** out, int n) override {
      IPlugBase::ProcessDoubleReplacing(in, out, n);
    }
  } plug("1-2");
  plug.SetBlockSize(3);
  plug.SetInputChannelConnections(0, 1, true);
  plug.SetOutputChannelConnections(0, 2, true);
  std::vector<double> in = Ramp(3, 1), out0(3), out1(3, 9.0);
  double* ins[1] = {in.data()};
  double* outs[2] = {out0.data(), out1.data()};
  plug.AttachInputBuffers(0, 1, ins);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.0, 3);
  EXPECT_EQ(out0, in);
  EXPECT_EQ(out1, std::vector<double>(3, 0.0));
}

}  // namespace
