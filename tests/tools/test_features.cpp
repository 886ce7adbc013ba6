// morvante-process against the bundle driven directly, and its automation,
// state files, formats, latency compensation, reports, pictures and safety.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <csignal>
#include <cmath>
#include <cstring>
#include <memory>

#include "lice/lice_bitmap.h"
#include "lice/lice_png.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "tests/tools/tool_test_support.h"
#include "tools/vst3_host/host_application.h"
#include "tools/vst3_host/param_changes.h"
#include "tools/vst3_host/plugin_module.h"
#include "tools/vst3_host/process_block.h"

using namespace tooltest;
using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
constexpr double kMinus6dB = 0.501187;

class Features : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_FALSE(mDir.Dir().empty()); }
  RunResult Tool(std::vector<std::string> args) {
    args.insert(args.begin(), {"--plugin", MORVANTE_VST3_BUNDLE});
    return RunTool(args);
  }
  // Renders wav (written as in.wav) to out (OUTPUT name out.<ext>).
  RunResult Render(const Wav& wav, Wav& out, const std::vector<std::string>& extra, const std::string& ext = "wav") {
    EXPECT_TRUE(WriteWav(mDir.Path("in.wav"), wav));
    std::vector<std::string> args = extra;
    args.push_back(mDir.Path("in.wav"));
    args.push_back(mDir.Path("out." + ext));
    const RunResult run = Tool(args);
    if (run.exitCode == 0) {
      EXPECT_TRUE(ReadWav(mDir.Path("out." + ext), out));
    }
    return run;
  }
  static Wav Noise(int channels, size_t frames, int rate = 48000) {
    Wav wav;
    wav.rate = rate;
    for (int ch = 0; ch < channels; ++ch) wav.channels.push_back(TestSignal(frames, ch));
    return wav;
  }
  static Wav Constant(int channels, size_t frames, double value) {
    Wav wav;
    wav.channels.assign(static_cast<size_t>(channels), std::vector<double>(frames, value));
    return wav;
  }
  static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
  // The pixels of the snapshot of a render of wav with args, row by row,
  // and its height; empty when it was not written.
  std::vector<LICE_pixel> Snapshot(const Wav& wav, std::vector<std::string> args, const std::string& name,
                                   int* height = nullptr) {
    args.insert(args.end(), {"--snapshot", mDir.Path(name)});
    Wav out;
    const RunResult run = Render(wav, out, args);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "wrote " + mDir.Path(name))) << run.out;
    std::unique_ptr<LICE_IBitmap> image(LICE_LoadPNG(mDir.Path(name).c_str()));
    EXPECT_NE(image, nullptr) << name;
    std::vector<LICE_pixel> pixels;
    if (!image) return pixels;
    EXPECT_EQ(image->getWidth(), 1220);
    if (height) *height = image->getHeight();
    for (int y = 0; y < image->getHeight(); ++y)
      for (int x = 0; x < image->getWidth(); ++x) pixels.push_back(image->getBits()[y * image->getRowSpan() + x]);
    return pixels;
  }
  TempDir mDir;
};

// The bundle's module driven the plain way a DAW does, with no tool code in
// between: one instance, 64-bit stereo, the changes in the first block.
std::vector<std::vector<double>> DriveDirectly(const Wav& wav, int block,
                                               const std::vector<std::pair<ParamID, double>>& changes,
                                               long& latency) {
  PluginModule module(MORVANTE_VST3_MODULE);
  EXPECT_TRUE(module.Loaded()) << module.Error();
  PClassInfo info{};
  EXPECT_EQ(module.Factory()->getClassInfo(0, &info), kResultOk);
  PluginInstance plug(module.Factory(), info.cid);
  HostApplication app("direct");
  EXPECT_EQ(plug.component->initialize(&app), kResultOk);
  SpeakerArrangement arr = SpeakerArr::kStereo, outArr = SpeakerArr::kStereo;
  EXPECT_EQ(plug.processor->setBusArrangements(&arr, 1, &outArr, 1), kResultOk);
  plug.component->activateBus(kAudio, kInput, 0, true);
  plug.component->activateBus(kAudio, kOutput, 0, true);
  ProcessSetup setup{kOffline, kSample64, block, static_cast<double>(wav.rate)};
  EXPECT_EQ(plug.processor->setupProcessing(setup), kResultOk);
  EXPECT_EQ(plug.component->setActive(true), kResultOk);
  latency = static_cast<long>(plug.processor->getLatencySamples());
  plug.processor->setProcessing(true);

  const size_t frames = wav.Frames() + static_cast<size_t>(latency);
  std::vector<std::vector<double>> result(2, std::vector<double>(frames));
  std::vector<double> in[2] = {std::vector<double>(static_cast<size_t>(block)), std::vector<double>(static_cast<size_t>(block))};
  std::vector<double> out[2] = {in[0], in[1]};
  double* inPtrs[2] = {in[0].data(), in[1].data()};
  double* outPtrs[2] = {out[0].data(), out[1].data()};
  for (size_t pos = 0; pos < frames; pos += static_cast<size_t>(block)) {
    const size_t n = std::min(frames - pos, static_cast<size_t>(block));
    for (size_t ch = 0; ch < 2; ++ch)
      for (size_t i = 0; i < n; ++i) in[ch][i] = pos + i < wav.Frames() ? wav.channels[ch][pos + i] : 0.0;
    ParamChanges first;
    if (pos == 0)
      for (const auto& c : changes) first.Add(c.first, c.second);
    AudioBusBuffers inBus, outBus;
    ProcessData data = MakeProcessData(inPtrs, 2, outPtrs, 2, static_cast<int32>(n), inBus, outBus);
    data.inputParameterChanges = &first;
    EXPECT_EQ(plug.processor->process(data), kResultOk);
    for (size_t ch = 0; ch < 2; ++ch)
      for (size_t i = 0; i < n; ++i) result[ch][pos + i] = out[ch][i];
  }
  plug.processor->setProcessing(false);
  plug.component->setActive(false);
  plug.component->terminate();
  return result;
}
}  // namespace

TEST_F(Features, OutputEqualsTheBundleDrivenDirectlyBitForBit) {
  // The input file holds 32-bit floats; the direct run gets the same values.
  Wav noise = Noise(2, 30000);
  for (auto& channel : noise.channels)
    for (double& v : channel) v = static_cast<float>(v);
  Wav out;
  // Low Gain (17) at -9 dB is 0.3125 normalised; Low Threshold (34) 30 of 60.
  const RunResult run = Render(noise, out, {"--bits", "64f", "--set", "17=0.3125n", "--set", "Low Threshold=30"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  ASSERT_EQ(out.format, SF_FORMAT_WAV | SF_FORMAT_DOUBLE);
  long latency = -1;
  const auto direct = DriveDirectly(noise, 512, {{17, 0.3125}, {34, 0.5}}, latency);
  ASSERT_EQ(static_cast<long>(NumberAfter(run.out, "latency: ")), latency) << run.out;
  ASSERT_EQ(out.Frames(), noise.Frames());
  size_t differing = 0;
  for (size_t ch = 0; ch < 2; ++ch)
    for (size_t i = 0; i < out.Frames(); ++i)
      if (std::memcmp(&out.channels[ch][i], &direct[ch][i + static_cast<size_t>(latency)], sizeof(double)) != 0 &&
          differing++ == 0)
        ADD_FAILURE() << "first difference at channel " << ch << " frame " << i << ": " << out.channels[ch][i]
                      << " against " << direct[ch][i + static_cast<size_t>(latency)];
  EXPECT_EQ(differing, 0u) << out.channels[0][1000] << " " << direct[0][1000] << " " << noise.channels[0][1000];
  // And the setting did something.
  double moved = 0.0;
  for (size_t i = 0; i < out.Frames(); ++i) moved = std::max(moved, std::fabs(out.channels[0][i] - noise.channels[0][i]));
  EXPECT_GT(moved, 0.01);
}

TEST_F(Features, AutomationLandsOnItsSamples) {
  // Output (33) steps from 0 to -6 dB at 0.01 s (frame 480), then ramps
  // from -6 dB at 0.02 s to -12 dB at 0.04 s in steps of 16 frames;
  // one-frame blocks show each frame's value.
  ASSERT_TRUE(WriteBytes(mDir.Path("auto.txt"),
                         "# time  parameter  value\n"
                         "0      Output  0\n"
                         "0.01   Output  0\n"
                         "0.01   33      -6\n"
                         "\n"
                         "0.02   Output  -6\n"
                         "0.04   Output  -12\n"));
  Wav out;
  const RunResult run =
      Render(Constant(2, 2400, 0.5), out, {"--bits", "64f", "--block", "1", "--automation", mDir.Path("auto.txt")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const auto gainAt = [&](size_t i) { return out.channels[0][i] / 0.5; };
  EXPECT_NEAR(gainAt(479), 1.0, 1e-5);
  EXPECT_NEAR(gainAt(480), kMinus6dB, 1e-5);
  EXPECT_NEAR(gainAt(959), kMinus6dB, 1e-5);
  EXPECT_NEAR(gainAt(1440), std::pow(10.0, -9.0 / 20), 1e-5);  // half way down the ramp
  EXPECT_NEAR(gainAt(1920), std::pow(10.0, -12.0 / 20), 1e-5);
  EXPECT_NEAR(gainAt(2380), std::pow(10.0, -12.0 / 20), 1e-5);  // held after the last point
  // Every 16th ramp frame a step of 16 × 6 dB / 960 frames, the others held.
  for (size_t i = 961; i < 1920; ++i)
    ASSERT_NEAR(gainAt(i) / gainAt(i - 1), i % 16 ? 1.0 : std::pow(10.0, -6.0 * 16 / 960 / 20), 1e-6) << i;
}

// A step at 1.000 s: the output is the unautomated render before sample
// 48000 and the render at the new value from it on, bit for bit, with the
// latency compensated and without, in the default blocks of 512 (the step
// inside a block) and in blocks of 480 (where, 3 samples late for the
// compensation, it would merge into a block's start).
TEST_F(Features, AStepLandsOnItsSampleInsideABlock) {
  ASSERT_TRUE(WriteBytes(mDir.Path("step.txt"), "0 Output 0\n1 Output 0\n1.000 Output -6\n"));
  const Wav noise = Noise(2, 60000);
  const struct {
    const char* block;
    bool compensated;
  } cases[] = {{"512", true}, {"512", false}, {"480", true}, {"480", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.compensated ? "compensated" : "not compensated") + ", blocks of " + c.block);
    std::vector<std::string> extra = {"--bits", "64f", "--set", "Low Threshold=30", "--block", c.block};
    if (!c.compensated) extra.push_back("--no-latency-compensation");
    Wav before, after, stepped;
    auto with = [&](std::vector<std::string> more) {
      more.insert(more.begin(), extra.begin(), extra.end());
      return more;
    };
    ASSERT_EQ(Render(noise, before, extra).exitCode, 0);
    ASSERT_EQ(Render(noise, after, with({"--set", "Output=-6"})).exitCode, 0);
    const RunResult run = Render(noise, stepped, with({"--automation", mDir.Path("step.txt")}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ASSERT_EQ(NumberAfter(run.out, "latency: "), 3.0);
    for (size_t ch = 0; ch < 2; ++ch) {
      ASSERT_NE(before.channels[ch][48000], after.channels[ch][48000]);
      for (size_t i = 0; i < noise.Frames(); ++i)
        ASSERT_EQ(stepped.channels[ch][i], (i < 48000 ? before : after).channels[ch][i]) << "frame " << i;
    }
  }
}

TEST_F(Features, AutomationFileErrorsNameTheLine) {
  const struct {
    const char* text;
    const char* message;
  } cases[] = {{"0 Output 0\nbanana\n", "line 2: expected \"time parameter value\""},
               {"x Output 0\n", "line 1: bad time \"x\""},
               {"-1 Output 0\n", "line 1: bad time \"-1\""},
               {"0 Outptu 0\n", "line 1: unknown parameter \"Outptu\""},
               {"0 Output 99\n", "line 1: value 99 for \"Output\" is outside"}};
  for (const auto& c : cases) {
    ASSERT_TRUE(WriteBytes(mDir.Path("auto.txt"), c.text));
    Wav out;
    const RunResult run = Render(Constant(2, 480, 0.5), out, {"--automation", mDir.Path("auto.txt")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(Has(run.err, "automation file '" + mDir.Path("auto.txt") + "' " + c.message)) << run.err;
  }
  Wav out;
  const RunResult missing = Render(Constant(2, 480, 0.5), out, {"--automation", mDir.Path("none.txt")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_TRUE(Has(missing.err, "cannot read automation file")) << missing.err;
  EXPECT_TRUE(ReadBytes(mDir.Path("out.wav")).empty());
}

TEST_F(Features, StateOutThenStateInReproducesTheRender) {
  const Wav noise = Noise(2, 20000);
  Wav first, second, plain;
  const RunResult made = Render(noise, first, {"--bits", "64f", "--set", "Mid Gain=-7.5", "--set", "Mid Threshold=25",
                                               "--set", "Output=-3", "--state-out", mDir.Path("s.vstpreset")});
  ASSERT_EQ(made.exitCode, 0) << made.err;
  const std::string state = ReadBytes(mDir.Path("s.vstpreset"));
  ASSERT_GE(state.size(), 48u);
  EXPECT_EQ(state.compare(0, 4, "VST3"), 0);
  EXPECT_NE(state.find("List"), std::string::npos);

  const RunResult used = Render(noise, second, {"--bits", "64f", "--state-in", mDir.Path("s.vstpreset")});
  ASSERT_EQ(used.exitCode, 0) << used.err;
  EXPECT_EQ(second.channels, first.channels);
  ASSERT_EQ(Render(noise, plain, {"--bits", "64f"}).exitCode, 0);
  EXPECT_NE(plain.channels, first.channels);

  // Saved with no render at all, the same setting gives the same bytes.
  const RunResult saved = Tool({"--set", "Mid Gain=-7.5", "--set", "Mid Threshold=25", "--set", "Output=-3",
                                "--state-out", mDir.Path("t.vstpreset")});
  ASSERT_EQ(saved.exitCode, 0) << saved.err;
  EXPECT_EQ(ReadBytes(mDir.Path("t.vstpreset")), state);
}

TEST_F(Features, ForeignOrDamagedStateIsRefusedAndNothingIsProcessed) {
  ASSERT_EQ(Tool({"--set", "Output=-3", "--state-out", mDir.Path("good.vstpreset")}).exitCode, 0);
  const std::string good = ReadBytes(mDir.Path("good.vstpreset"));
  ASSERT_GE(good.size(), 48u);
  std::string foreign = good, noMagic = good, badList = good, shortChunk = good, noChunks = good;
  foreign[8] = foreign[8] == 'A' ? 'B' : 'A';  // another class id
  noMagic[0] = 'X';
  badList[40] ^= 0x7F;  // the list offset
  // The list's chunk size one short.
  const size_t list = good.rfind("List");
  ASSERT_NE(list, std::string::npos);
  shortChunk[list + 8 + 12] = static_cast<char>(shortChunk[list + 8 + 12] - 1);
  noChunks[list + 4] = 0;
  const struct {
    const char* name;
    std::string bytes;
    const char* message;
  } cases[] = {{"foreign", foreign, "belongs to another plug-in"},
               {"magic", noMagic, "is not a VST3 preset file"},
               {"list", badList, "chunk list is missing or damaged"},
               {"short", shortChunk, "bytes; the plug-in's has"},
               {"empty", noChunks, "holds no plug-in state"},
               {"cut", good.substr(0, good.size() - 9), "chunk list"},
               {"tiny", "VST3", "is not a VST3 preset file"}};
  for (const auto& c : cases) {
    const std::string path = mDir.Path(std::string(c.name) + ".vstpreset");
    ASSERT_TRUE(WriteBytes(path, c.bytes));
    Wav out;
    const RunResult run = Render(Constant(2, 480, 0.5), out, {"--state-in", path});
    EXPECT_EQ(run.exitCode, 1) << c.name;
    EXPECT_TRUE(Has(run.err, "state file '" + path + "' is refused: ")) << c.name << ": " << run.err;
    EXPECT_TRUE(Has(run.err, c.message)) << c.name << ": " << run.err;
    EXPECT_TRUE(ReadBytes(mDir.Path("out.wav")).empty()) << c.name;
  }
  Wav out;
  const RunResult missing = Render(Constant(2, 480, 0.5), out, {"--state-in", mDir.Path("none.vstpreset")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_TRUE(Has(missing.err, "cannot read state file")) << missing.err;
}

TEST_F(Features, EveryFormatRoundTrips) {
  const Wav noise = Noise(2, 12000, 44100);
  Wav reference;
  ASSERT_EQ(Render(noise, reference, {"--bits", "64f", "--set", "Output=-6"}).exitCode, 0);
  const struct {
    const char* ext;
    const char* bits;
    int format;
    double tolerance;
  } cases[] = {{"wav", "16", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1.0 / 32768},
               {"wav", "24", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 1.0 / 8388608},
               {"wav", "", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1e-7},
               {"flac", "16", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 1.0 / 32768},
               {"flac", "", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 1.0 / 8388608},
               {"aiff", "16", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 1.0 / 32768},
               {"aif", "24", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 1.0 / 8388608},
               {"aiff", "32f", SF_FORMAT_AIFF | SF_FORMAT_FLOAT, 1e-7},
               {"AIFF", "64f", SF_FORMAT_AIFF | SF_FORMAT_DOUBLE, 0.0},
               {"ogg", "", SF_FORMAT_OGG | SF_FORMAT_VORBIS, -1.0}};
  for (const auto& c : cases) {
    std::vector<std::string> args{"--set", "Output=-6"};
    if (*c.bits) args.insert(args.end(), {"--bits", c.bits});
    Wav out;
    const RunResult run = Render(noise, out, args, c.ext);
    ASSERT_EQ(run.exitCode, 0) << c.ext << " " << c.bits << ": " << run.err;
    EXPECT_EQ(out.format, c.format) << c.ext << " " << c.bits;
    EXPECT_EQ(out.rate, 44100);
    ASSERT_EQ(out.channels.size(), 2u);
    ASSERT_EQ(out.Frames(), noise.Frames()) << c.ext;
    double worst = 0.0, error = 0.0, power = 0.0;
    for (size_t ch = 0; ch < 2; ++ch)
      for (size_t i = 0; i < out.Frames(); ++i) {
        const double d = out.channels[ch][i] - reference.channels[ch][i];
        worst = std::max(worst, std::fabs(d));
        error += d * d;
        power += reference.channels[ch][i] * reference.channels[ch][i];
      }
    if (c.tolerance >= 0.0)
      EXPECT_LE(worst, c.tolerance) << c.ext << " " << c.bits;
    else  // lossy, and the noise's top octave is dropped: the error stays well under the signal
      EXPECT_LT(error, power / 3.0) << c.ext;
    std::remove(mDir.Path(std::string("out.") + c.ext).c_str());
  }
  // Mono stays mono.
  Wav mono;
  ASSERT_EQ(Render(Noise(1, 4800), mono, {}, "flac").exitCode, 0);
  EXPECT_EQ(mono.channels.size(), 1u);
}

TEST_F(Features, LatencyCompensationLinesAnImpulseUp) {
  Wav impulse = Constant(2, 4096, 0.0);
  impulse.channels[0][100] = impulse.channels[1][100] = 1.0;
  Wav raw, aligned;
  const RunResult rawRun = Render(impulse, raw, {"--bits", "64f", "--no-latency-compensation"});
  ASSERT_EQ(rawRun.exitCode, 0) << rawRun.err;
  const RunResult alignedRun = Render(impulse, aligned, {"--bits", "64f"});
  ASSERT_EQ(alignedRun.exitCode, 0) << alignedRun.err;
  const double latency = NumberAfter(alignedRun.out, "latency: ");
  ASSERT_TRUE(std::isfinite(latency)) << alignedRun.out;
  const auto shift = static_cast<size_t>(latency);
  ASSERT_EQ(aligned.Frames(), impulse.Frames());
  ASSERT_EQ(raw.Frames(), impulse.Frames());
  // The compensated output is the raw one moved earlier by the latency,
  // with the tail the raw render cut off.
  for (size_t ch = 0; ch < 2; ++ch)
    for (size_t i = 0; i + shift < raw.Frames(); ++i) ASSERT_EQ(aligned.channels[ch][i], raw.channels[ch][i + shift]) << i;
  if (shift > 0) {
    EXPECT_TRUE(Has(alignedRun.out, "samples, compensated")) << alignedRun.out;
    EXPECT_TRUE(Has(rawRun.out, "samples, left in the output")) << rawRun.out;
  }
  // The chain's own response peaks 3 frames after its input; compensation
  // takes the reported part of that away.
  size_t peak = 0;
  for (size_t i = 0; i < aligned.Frames(); ++i)
    if (std::fabs(aligned.channels[0][i]) > std::fabs(aligned.channels[0][peak])) peak = i;
  EXPECT_EQ(peak, 103u - shift);
}

TEST_F(Features, ReportsLoudnessOfInputAndOutput) {
  // A 997 Hz sine at -20 dBFS in both channels reads -20 LUFS; Output -6
  // takes 6 dB away.
  Wav sine;
  sine.channels.assign(2, std::vector<double>(3 * 48000));
  for (size_t i = 0; i < sine.Frames(); ++i)
    sine.channels[0][i] = sine.channels[1][i] = 0.1 * std::sin(2 * M_PI * 997.0 * static_cast<double>(i) / 48000.0);
  Wav out;
  const RunResult run = Render(sine, out, {"--set", "Output=-6"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NEAR(NumberAfter(run.out, "loudness in:  "), -20.0, 0.15) << run.out;
  EXPECT_NEAR(NumberAfter(run.out, "loudness out: "), -26.0, 0.15) << run.out;
  EXPECT_TRUE(Has(run.out, " LU range, ")) << run.out;
  const size_t outAt = run.out.find("loudness out: ");
  ASSERT_NE(outAt, std::string::npos);
  EXPECT_NEAR(NumberAfter(run.out.substr(outAt), "LU range, "), -26.0, 0.3) << run.out;  // true peak, dBTP
  // Not a terminal: no progress bar; --quiet prints nothing at all.
  EXPECT_TRUE(run.err.empty()) << run.err;
  const RunResult quiet = Render(sine, out, {"--quiet"});
  ASSERT_EQ(quiet.exitCode, 0) << quiet.err;
  EXPECT_TRUE(quiet.out.empty()) << quiet.out;
  EXPECT_TRUE(quiet.err.empty()) << quiet.err;
}

TEST_F(Features, BypassPassesTheInputThrough) {
  const Wav noise = Noise(2, 6000);
  Wav out, reference;
  ASSERT_EQ(Render(noise, out, {"--bits", "64f", "--bypass", "--set", "Output=-6"}).exitCode, 0);
  ASSERT_EQ(Render(noise, reference, {"--bits", "64f", "--set", "Bypass=1", "--set", "Output=-6"}).exitCode, 0);
  EXPECT_EQ(out.channels, reference.channels);
  double worst = 0.0;
  for (size_t i = 0; i < out.Frames(); ++i) worst = std::max(worst, std::fabs(out.channels[1][i] - noise.channels[1][i]));
  EXPECT_LT(worst, 1e-6);
}

TEST_F(Features, PlotIsAPictureWithBothSpectra) {
  Wav out;
  const RunResult run = Render(Noise(2, 24000), out, {"--set", "High Gain=-12", "--plot", mDir.Path("plot.png")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  LICE_IBitmap* image = LICE_LoadPNG(mDir.Path("plot.png").c_str());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->getWidth(), 1400);
  EXPECT_EQ(image->getHeight(), 1080);
  // The input's blue and the output's orange curves are both drawn.
  size_t blue = 0, orange = 0;
  for (int y = 0; y < image->getHeight(); ++y)
    for (int x = 0; x < image->getWidth(); ++x) {
      const LICE_pixel p = image->getBits()[y * image->getRowSpan() + x];
      blue += p == LICE_RGBA(110, 140, 190, 255);
      orange += p == LICE_RGBA(220, 100, 30, 255);
    }
  EXPECT_GT(blue, 500u);
  EXPECT_GT(orange, 1000u);
  delete image;
  EXPECT_TRUE(Has(run.out, "wrote " + mDir.Path("plot.png"))) << run.out;
}

TEST_F(Features, UnwritableOutputsFailAndLeaveNothing) {
  Wav out;
  const std::string inside = mDir.Path("in.wav") + "/x.png";  // under a file
  for (const auto& args : std::vector<std::vector<std::string>>{{"--plot", inside}, {"--state-out", inside}}) {
    const RunResult run = Render(Constant(2, 4800, 0.1), out, args);
    EXPECT_EQ(run.exitCode, 1) << args[0];
    EXPECT_TRUE(Has(run.err, "cannot write '" + inside + "'")) << run.err;
  }
  // Nothing half-written is left beside the target.
  for (const std::string& name : ListDir(mDir.Dir())) EXPECT_NE(name[0], '.') << name;
}

TEST_F(Features, AKilledRenderLeavesNoOutput) {
  // An earlier output stays as it was; no temporary file remains.
  const Wav long_ = Noise(2, 48000 * 20);
  ASSERT_TRUE(WriteWav(mDir.Path("in.wav"), long_));
  ASSERT_TRUE(WriteBytes(mDir.Path("old.wav"), "earlier"));
  for (int sig : {SIGTERM, SIGKILL, SIGINT}) {
    const RunResult run = RunToolAndSignal(
        {"--plugin", MORVANTE_VST3_BUNDLE, "--block", "1", mDir.Path("in.wav"), mDir.Path("out.wav")}, 300, sig);
    EXPECT_EQ(run.exitCode, -1) << sig << ": " << run.err;
    const RunResult again = RunToolAndSignal(
        {"--plugin", MORVANTE_VST3_BUNDLE, "--block", "1", mDir.Path("in.wav"), mDir.Path("old.wav")}, 300, sig);
    EXPECT_EQ(again.exitCode, -1);
  }
  std::vector<std::string> names = ListDir(mDir.Dir());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"in.wav", "old.wav"}));
  EXPECT_EQ(ReadBytes(mDir.Path("old.wav")), "earlier");
}

TEST_F(Features, SnapshotIsTheBundlesEditorAtTheRendersEnd) {
  int height = 0;
  const auto plain = Snapshot(Constant(2, 4800, 0.0), {}, "plain.png", &height);
  const auto again = Snapshot(Constant(2, 4800, 0.0), {}, "again.png");
  const auto turned = Snapshot(Constant(2, 4800, 0.0), {"--set", "Output=-12"}, "turned.png");
  ASSERT_FALSE(plain.empty());
  EXPECT_EQ(height, 590);
  EXPECT_EQ(plain, again);
  // Only the Output knob's neighbourhood changes.
  size_t changed = 0;
  for (size_t i = 0; i < plain.size() && i < turned.size(); ++i) changed += plain[i] != turned[i];
  EXPECT_GT(changed, 50u);
  EXPECT_LT(changed, plain.size() / 20);
}

// With the display open the snapshot is the same panel, but for its lit
// switch, over the display strip; the strip shows the render's setting (the
// curves) and its audio.
TEST_F(Features, SnapshotDisplayIsThePanelOverTheDisplayOfTheSetting) {
  // The panel, the editor with the display open, and the display switch.
  constexpr int kW = 1220, kPanelH = 590, kOpenH = 790;
  constexpr int kSwitchL = 14, kSwitchT = 62, kSwitchR = 114, kSwitchB = 84;
  constexpr size_t kPanelPixels = kW * kPanelH;
  const Wav music = Noise(2, 48000);
  const std::vector<std::string> boost = {"--set", "Low Gain=9", "--set", "High Mid Gain=-6"};
  std::vector<std::string> boostOpen = boost, cutOpen = {"--set", "Mid Gain=-12", "--snapshot-display"};
  boostOpen.push_back("--snapshot-display");
  int closedH = 0, openH = 0, cutH = 0;
  const auto closed = Snapshot(music, boost, "closed.png", &closedH);
  const auto open = Snapshot(music, boostOpen, "open.png", &openH);
  const auto cut = Snapshot(music, cutOpen, "cut.png", &cutH);
  EXPECT_EQ(closedH, kPanelH);
  EXPECT_EQ(openH, kOpenH);
  EXPECT_EQ(cutH, kOpenH);
  ASSERT_EQ(closed.size(), kPanelPixels);
  ASSERT_EQ(open.size(), static_cast<size_t>(kW * kOpenH));
  ASSERT_EQ(cut.size(), open.size());
  size_t panelChanged = 0;
  for (size_t i = 0; i < kPanelPixels; ++i) {
    const int x = static_cast<int>(i % kW), y = static_cast<int>(i / kW);
    const bool onSwitch =
        x >= kSwitchL && x < kSwitchR && y >= kSwitchT && y < kSwitchB;
    if (!onSwitch) panelChanged += closed[i] != open[i];
  }
  EXPECT_EQ(panelChanged, 0u) << "the panel moved or changed";
  size_t changed = 0;
  for (size_t i = kPanelPixels; i < open.size(); ++i) changed += open[i] != cut[i];
  EXPECT_GT(changed, 2000u) << "the display does not show the setting";
}
