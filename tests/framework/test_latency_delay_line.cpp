#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "framework/latency_delay_line.h"

namespace {

// Runs a two-channel ramp through the line in blocks of the given sizes and
// returns what came out of each channel.
std::vector<std::vector<double>> RunInBlocks(LatencyDelayLine& line, const std::vector<int>& blocks, int total) {
  std::vector<std::vector<double>> in(2, std::vector<double>(total)), out(2, std::vector<double>(total, -99.0));
  for (int s = 0; s < total; ++s) {
    in[0][s] = s + 1;
    in[1][s] = -(s + 1) * 10.0;
  }
  int done = 0;
  for (size_t b = 0; done < total; ++b) {
    const int n = std::min(blocks[b % blocks.size()], total - done);
    double* inputs[2] = {in[0].data() + done, in[1].data() + done};
    double* outputs[2] = {out[0].data() + done, out[1].data() + done};
    line.ProcessBlock(inputs, outputs, n);
    done += n;
  }
  return out;
}

TEST(LatencyDelayLine, DelaysByExactlyTheLatencyAcrossBlockBoundaries) {
  LatencyDelayLine line(2, 2, 3);
  const int total = 24;
  const auto out = RunInBlocks(line, {1, 2, 5}, total);
  for (int s = 0; s < total; ++s) {
    EXPECT_EQ(out[0][s], s < 3 ? 0.0 : s - 2) << s;
    EXPECT_EQ(out[1][s], s < 3 ? 0.0 : -(s - 2) * 10.0) << s;
  }
}

TEST(LatencyDelayLine, BlockSizeDoesNotChangeTheResult) {
  LatencyDelayLine a(2, 2, 7), b(2, 2, 7);
  EXPECT_EQ(RunInBlocks(a, {64}, 50), RunInBlocks(b, {3, 1, 11}, 50));
}

TEST(LatencyDelayLine, InPlaceBuffers) {
  LatencyDelayLine line(1, 1, 2);
  double buf[6] = {1, 2, 3, 4, 5, 6};
  double* io[1] = {buf};
  line.ProcessBlock(io, io, 6);
  const double expected[6] = {0, 0, 1, 2, 3, 4};
  for (int s = 0; s < 6; ++s) EXPECT_EQ(buf[s], expected[s]) << s;
}

TEST(LatencyDelayLine, OutputsBeyondInputsAreNotWritten) {
  LatencyDelayLine line(1, 2, 1);
  double in[2] = {5, 6}, out0[2] = {-1, -1}, out1[2] = {-1, -1};
  double* inputs[1] = {in};
  double* outputs[2] = {out0, out1};
  line.ProcessBlock(inputs, outputs, 2);
  EXPECT_EQ(out0[0], 0.0);
  EXPECT_EQ(out0[1], 5.0);
  EXPECT_EQ(out1[0], -1.0);
  EXPECT_EQ(out1[1], -1.0);
}

TEST(LatencyDelayLine, SetDelayClearsAndRestarts) {
  LatencyDelayLine line(1, 1, 2);
  double in[3] = {1, 2, 3}, out[3];
  double* inputs[1] = {in};
  double* outputs[1] = {out};
  line.ProcessBlock(inputs, outputs, 3);
  line.SetDelay(4);
  EXPECT_EQ(line.GetDelay(), 4);
  line.ProcessBlock(inputs, outputs, 3);
  EXPECT_EQ(out[0], 0.0);
  EXPECT_EQ(out[1], 0.0);
  EXPECT_EQ(out[2], 0.0);
}

TEST(LatencyDelayLine, ZeroOrNegativeDelayPassesStraightThrough) {
  LatencyDelayLine line(1, 1, -5);
  EXPECT_EQ(line.GetDelay(), 0);
  double in[2] = {7, 8}, out[2] = {0, 0};
  double* inputs[1] = {in};
  double* outputs[1] = {out};
  line.ProcessBlock(inputs, outputs, 2);
  EXPECT_EQ(out[0], 7.0);
  EXPECT_EQ(out[1], 8.0);
}

TEST(LatencyDelayLine, DelayTooLargeToAllocateFallsBackToNone) {
  LatencyDelayLine line(4, 4, 0x7fffffff);
  EXPECT_EQ(line.GetDelay(), 0);
}

}  // namespace

namespace {

TEST(LatencyDelayLine, FramesAndBlocksMakeOneDelayedSignal) {
  LatencyDelayLine frames(2, 2, 5), blocks(2, 2, 5);
  const auto expected = RunInBlocks(blocks, {3, 8, 1}, 40);
  for (int s = 0; s < 40; ++s) {
    double frame[2] = {s + 1.0, -(s + 1) * 10.0};
    frames.ProcessFrame(frame);
    ASSERT_EQ(frame[0], expected[0][s]) << s;
    ASSERT_EQ(frame[1], expected[1][s]) << s;
  }
  // Without a delay a frame passes as it is.
  LatencyDelayLine none(2, 2, 0);
  double frame[2] = {4.0, 5.0};
  none.ProcessFrame(frame);
  EXPECT_EQ(frame[0], 4.0);
  EXPECT_EQ(frame[1], 5.0);
}

TEST(LatencyDelayLine, FedBlocksComeOutLaterAsIfProcessed) {
  // Blocks taken in with Feed come out of the next ProcessBlock exactly as
  // if they had gone through it.
  LatencyDelayLine fed(2, 2, 4), processed(2, 2, 4);
  const auto expected = RunInBlocks(processed, {6}, 18);
  std::vector<std::vector<double>> in(2, std::vector<double>(18)), out(2, std::vector<double>(6, -99.0));
  for (int s = 0; s < 18; ++s) {
    in[0][s] = s + 1;
    in[1][s] = -(s + 1) * 10.0;
  }
  for (int start : {0, 6}) {
    double* inputs[2] = {in[0].data() + start, in[1].data() + start};
    fed.Feed(inputs, 6);
  }
  double* inputs[2] = {in[0].data() + 12, in[1].data() + 12};
  double* outputs[2] = {out[0].data(), out[1].data()};
  fed.ProcessBlock(inputs, outputs, 6);
  for (int ch = 0; ch < 2; ++ch)
    for (int s = 0; s < 6; ++s) EXPECT_EQ(out[ch][s], expected[ch][12 + s]) << ch << " " << s;

  // A missing channel is taken in as silence.
  LatencyDelayLine gap(2, 2, 2);
  double* partial[2] = {in[0].data(), nullptr};
  gap.Feed(partial, 2);
  double frame[2] = {0.0, 0.0};
  gap.ProcessFrame(frame);
  EXPECT_EQ(frame[0], 1.0);
  EXPECT_EQ(frame[1], 0.0);
}

}  // namespace
