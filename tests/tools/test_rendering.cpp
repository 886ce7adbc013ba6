// morvante-process rendering real WAV files through the built bundle.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "tests/tools/tool_test_support.h"

using namespace tooltest;

namespace {
// -6 dB as the effect's Output turns it into a factor.
constexpr double kMinus6dB = 0.501187;

class Rendering : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_FALSE(mDir.Dir().empty()); }
  // Renders wav through the tool with the extra arguments; the result in out.
  void Render(const Wav& wav, Wav& out, const std::vector<std::string>& extra = {}) {
    ASSERT_TRUE(WriteWav(mDir.Path("in.wav"), wav));
    std::vector<std::string> args{"--plugin", MORVANTE_VST3_BUNDLE};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back(mDir.Path("in.wav"));
    args.push_back(mDir.Path("out.wav"));
    const RunResult run = RunTool(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ASSERT_TRUE(ReadWav(mDir.Path("out.wav"), out));
    ASSERT_EQ(out.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    ASSERT_EQ(out.rate, wav.rate);
    ASSERT_EQ(out.channels.size(), wav.channels.size());
    ASSERT_EQ(out.Frames(), wav.Frames());
  }
  static Wav Constant(int channels, size_t frames, double value, int rate = 48000) {
    Wav wav;
    wav.rate = rate;
    wav.channels.assign(static_cast<size_t>(channels), std::vector<double>(frames, value));
    return wav;
  }
  static Wav Noise(int channels, size_t frames) {
    Wav wav;
    for (int ch = 0; ch < channels; ++ch) wav.channels.push_back(TestSignal(frames, ch));
    return wav;
  }
  TempDir mDir;
};
}  // namespace

TEST_F(Rendering, DemoWritesFourSecondsOfFiniteStereoAndReportsLevels) {
  const RunResult run = RunTool({"--plugin", MORVANTE_VST3_BUNDLE, "--demo", mDir.Path("demo.wav")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  Wav out;
  ASSERT_TRUE(ReadWav(mDir.Path("demo.wav"), out));
  EXPECT_EQ(out.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  EXPECT_EQ(out.rate, 48000);
  ASSERT_EQ(out.channels.size(), 2u);
  ASSERT_EQ(out.Frames(), 4u * 48000u);
  for (size_t ch = 0; ch < 2; ++ch) {
    double peak = 0.0;
    for (double v : out.channels[ch]) {
      ASSERT_TRUE(std::isfinite(v));
      peak = std::max(peak, std::fabs(v));
    }
    // The printed output peak is the file's.
    const std::string label = "output channel " + std::to_string(ch) + ": peak ";
    const size_t at = run.out.find(label);
    ASSERT_NE(at, std::string::npos) << run.out;
    EXPECT_NEAR(std::strtod(run.out.c_str() + at + label.size(), nullptr), peak, 1e-6);
    EXPECT_GT(peak, 0.01);
    // Every band is set to work, so the level moves.
    const std::string inLabel = "input  channel " + std::to_string(ch) + ": peak ";
    const size_t inAt = run.out.find(inLabel);
    ASSERT_NE(inAt, std::string::npos) << run.out;
    EXPECT_GT(std::fabs(std::strtod(run.out.c_str() + inAt + inLabel.size(), nullptr) - peak), 0.05);
  }
}

TEST_F(Rendering, DefaultsPassDcAtUnityGainAfterSettling) {
  Wav out;
  Render(Constant(2, 48000, 0.5), out);
  for (size_t ch = 0; ch < 2; ++ch)
    for (size_t i = 64; i < out.Frames(); ++i) ASSERT_NEAR(out.channels[ch][i] / 0.5, 1.0, 1e-4) << ch << " " << i;
}

TEST_F(Rendering, DefaultsTurnAnImpulseIntoTheChainsResponse) {
  Wav impulse = Constant(2, 4096, 0.0, 44100);
  impulse.channels[0][0] = impulse.channels[1][0] = 1.0;
  Wav out;
  Render(impulse, out);
  for (size_t ch = 0; ch < 2; ++ch) {
    size_t peakAt = 0;
    for (size_t i = 0; i < out.Frames(); ++i)
      if (std::fabs(out.channels[ch][i]) > std::fabs(out.channels[ch][peakAt])) peakAt = i;
    EXPECT_EQ(peakAt, 3u);
    EXPECT_NEAR(out.channels[ch][3], 0.9894, 1e-4);
  }
}

TEST_F(Rendering, MonoFilesComeOutMono) {
  Wav out;
  Render(Constant(1, 24000, -0.25, 22050), out);
  for (size_t i = 64; i < out.Frames(); ++i) ASSERT_NEAR(out.channels[0][i] / -0.25, 1.0, 1e-4) << i;
}

TEST_F(Rendering, IntegerPcmInputIsReadScaled) {
  const Wav dc = Constant(2, 9600, 0.5);
  ASSERT_TRUE(WriteWav(mDir.Path("pcm.wav"), dc, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
  const RunResult run = RunTool({"--plugin", MORVANTE_VST3_BUNDLE, mDir.Path("pcm.wav"), mDir.Path("out.wav")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  Wav out;
  ASSERT_TRUE(ReadWav(mDir.Path("out.wav"), out));
  EXPECT_EQ(out.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  EXPECT_NEAR(out.channels[1].back(), 0.5, 1e-4);
}

TEST_F(Rendering, OutputMinus6HalvesTheLevel) {
  Wav dc;
  Render(Constant(2, 9600, 0.5), dc, {"--set", "Output=-6"});
  EXPECT_NEAR(dc.channels[0].back(), 0.5 * kMinus6dB, 1e-4);
  EXPECT_NEAR(dc.channels[1].back(), 0.5 * kMinus6dB, 1e-4);

  const Wav noise = Noise(2, 20000);
  Wav plain, quiet;
  Render(noise, plain);
  Render(noise, quiet, {"--set", "Output=-6"});
  for (size_t ch = 0; ch < 2; ++ch)
    for (size_t i = 0; i < plain.Frames(); ++i)
      ASSERT_NEAR(quiet.channels[ch][i], kMinus6dB * plain.channels[ch][i], 2e-6) << ch << " " << i;
}

TEST_F(Rendering, BandGainChangesTheSound) {
  const Wav noise = Noise(2, 20000);
  Wav plain, boosted;
  Render(noise, plain);
  Render(noise, boosted, {"--set", "Mid Gain=12", "--set", "Mid Threshold=60"});
  double diff = 0.0;
  for (size_t i = 0; i < plain.Frames(); ++i) diff = std::max(diff, std::fabs(boosted.channels[0][i] - plain.channels[0][i]));
  EXPECT_GT(diff, 0.05);
}

TEST_F(Rendering, HostBypassPassesTheInputThrough) {
  const Wav noise = Noise(2, 10000);
  Wav out;
  Render(noise, out, {"--set", "Bypass=1", "--set", "Output=-6"});
  // As late as the processed signal: the plug-in's reported latency.
  constexpr size_t kLatency = 3;
  for (size_t ch = 0; ch < 2; ++ch)
    for (size_t i = 0; i < out.Frames(); ++i)
      ASSERT_EQ(out.channels[ch][i],
                i < kLatency ? 0.0 : static_cast<double>(static_cast<float>(noise.channels[ch][i - kLatency])));
}

TEST_F(Rendering, BlockSizeDoesNotChangeTheResult) {
  const Wav noise = Noise(2, 10007);
  Wav small, large;
  Render(noise, small, {"--block", "37", "--set", "Low Gain=-9", "--set", "Low Threshold=30"});
  Render(noise, large, {"--block", "4096", "--set", "Low Gain=-9", "--set", "Low Threshold=30"});
  EXPECT_EQ(small.channels, large.channels);
}

TEST_F(Rendering, ThirtyTwoBitProcessingMatchesSixtyFour) {
  const Wav noise = Noise(2, 10000);
  Wav wide, narrow;
  Render(noise, wide, {"--sample-size", "64", "--set", "High Mid Gain=6"});
  Render(noise, narrow, {"--sample-size", "32", "--set", "High Mid Gain=6"});
  for (size_t ch = 0; ch < 2; ++ch)
    for (size_t i = 0; i < wide.Frames(); ++i) ASSERT_NEAR(narrow.channels[ch][i], wide.channels[ch][i], 1e-5);
}

TEST_F(Rendering, StoredStateIsRestoredBeforeProcessing) {
  // The state is the 43 plain values (defaults, read from --list-params)
  // as little-endian doubles, then a 32-bit bypass flag.
  const RunResult list = RunTool({"--list-params", "--plugin", MORVANTE_VST3_BUNDLE});
  ASSERT_EQ(list.exitCode, 0) << list.err;
  std::vector<double> values(43, 0.0);
  std::istringstream lines(list.out);
  std::string line;
  while (std::getline(lines, line)) {
    std::vector<std::string> cols;
    std::istringstream fields(line);
    for (std::string f; std::getline(fields, f, '\t');) cols.push_back(f);
    char* end = nullptr;
    const long id = std::strtol(cols[0].c_str(), &end, 10);
    if (*end == '\0' && id >= 0 && id < 43) values[static_cast<size_t>(id)] = std::strtod(cols[3].c_str(), nullptr);
  }
  ASSERT_EQ(values[16], 510.0);
  values[33] = -6.0;  // Output
  std::string bytes(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(double));
  bytes.append(4, '\0');
  FILE* file = std::fopen(mDir.Path("state.bin").c_str(), "wb");
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
  std::fclose(file);

  Wav out;
  Render(Constant(2, 9600, 0.5), out, {"--preset-state", mDir.Path("state.bin")});
  EXPECT_NEAR(out.channels[0].back(), 0.5 * kMinus6dB, 1e-4);
  // --set comes after the state.
  Render(Constant(2, 9600, 0.5), out, {"--preset-state", mDir.Path("state.bin"), "--set", "Output=0"});
  EXPECT_NEAR(out.channels[0].back(), 0.5, 1e-4);
}
