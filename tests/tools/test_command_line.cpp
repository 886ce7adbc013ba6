// morvante-process's command line: listing, plug-in look-up, installation
// and every way it refuses to run.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "tests/tools/tool_test_support.h"

using namespace tooltest;

namespace {
class CommandLine : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(mDir.Dir().empty());
    Wav wav;
    wav.channels.assign(2, TestSignal(4800, 0));
    ASSERT_TRUE(WriteWav(mDir.Path("in.wav"), wav));
  }
  RunResult Process(const std::vector<std::string>& extra, const std::string& input = "") {
    std::vector<std::string> args{"--plugin", MORVANTE_VST3_BUNDLE};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back(input.empty() ? mDir.Path("in.wav") : input);
    args.push_back(mDir.Path("out.wav"));
    return RunTool(args);
  }
  // Failed runs leave no output behind.
  bool OutputWritten() const {
    struct stat st {};
    return stat(mDir.Path("out.wav").c_str(), &st) == 0;
  }
  static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
  TempDir mDir;
};
}  // namespace

TEST_F(CommandLine, ListParamsShowsEveryHostParameter) {
  const RunResult run = RunTool({"--list-params", "--plugin", MORVANTE_VST3_BUNDLE});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  size_t lines = 0;
  for (char c : run.out) lines += c == '\n';
  EXPECT_EQ(lines, 1u + 45u);  // header, Preset, Bypass, 43 effect parameters
  // id, title, unit, min, max, default, current, and each value of a switch
  EXPECT_TRUE(Has(run.out, "id\ttitle\tunit\tmin\tmax\tdefault\tcurrent\tvalues\n")) << run.out;
  EXPECT_TRUE(Has(run.out, "\tBypass\t\toff\ton\toff\toff\t0=off, 1=on\n")) << run.out;
  EXPECT_TRUE(Has(run.out, "\n17\tLow Gain\tdB\t-24.00\t24.00\t0.00\t0.00\t\n")) << run.out;
  EXPECT_TRUE(Has(run.out, "\n16\tLow Frequency\tHz\t20.00\t1000.00\t510.00\t510.00\t\n")) << run.out;
  EXPECT_TRUE(Has(run.out, "\n35\tLow Release\tms\t")) << run.out;
  EXPECT_TRUE(Has(run.out, "\n38\tMODE-L\t\t0\t1\t0\t0\t0=0, 1=1\n")) << run.out;
}

TEST_F(CommandLine, FindsTheBuildTreeBundleWhenNoneIsInstalled) {
  const RunResult run = RunTool({"--list-params"}, {"HOME=" + mDir.Dir()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Has(run.out, "\tOutput\tdB\t")) << run.out;
}

TEST_F(CommandLine, PrefersTheInstalledBundle) {
  // A broken bundle in ~/.vst3 is the one tried, so its failure shows.
  const std::string bundle = mDir.Path(".vst3/MORVANTE.vst3");
  for (const char* dir : {"/.vst3", "/.vst3/MORVANTE.vst3", "/.vst3/MORVANTE.vst3/Contents",
                          "/.vst3/MORVANTE.vst3/Contents/x86_64-linux"})
    ASSERT_EQ(mkdir((mDir.Dir() + dir).c_str(), 0755), 0);
  FILE* file = std::fopen((bundle + "/Contents/x86_64-linux/MORVANTE.so").c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fputs("not a shared object\n", file);
  std::fclose(file);
  const RunResult run = RunTool({"--list-params"}, {"HOME=" + mDir.Dir()});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Has(run.err, "cannot load plug-in '" + bundle + "/Contents/x86_64-linux/MORVANTE.so'")) << run.err;
}

TEST_F(CommandLine, UnknownParameterNamesTheValidOnes) {
  const RunResult run = Process({"--set", "Low Gian=-6"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Has(run.err, "unknown parameter \"Low Gian\"")) << run.err;
  EXPECT_TRUE(Has(run.err, "\"Low Gain\"")) << run.err;
  EXPECT_TRUE(Has(run.err, "\"MODE-H\"")) << run.err;
  EXPECT_FALSE(OutputWritten());
}

TEST_F(CommandLine, BadValuesAreRefused) {
  const struct {
    const char* set;
    const char* message;
  } cases[] = {{"Low Gain=abc", "bad value \"abc\" for \"Low Gain\": expected a number in dB"},
               {"Low Gain=", "bad value"},
               {"Low Gain=-6dB", "bad value"},
               {"Low Gain=nan", "bad value"},
               {"Low Gain=30", "value 30 for \"Low Gain\" is outside -24 to 24 dB"},
               {"17=30", "value 30 for \"Low Gain\" is outside -24 to 24 dB"},
               {"17=1.5n", "normalised value 1.5n for \"Low Gain\" is outside 0n to 1n"},
               {"Low Gain=xn", "bad value \"xn\""},
               {"99999=1", "unknown parameter \"99999\""},
               {"Low Frequency=5", "outside 20 to 1000 Hz"},
               {"MODE-L=0.5", "\"MODE-L\" takes whole numbers from 0 to 1"},
               {"Low Gain", "--set expects \"Name=value\""}};
  for (const auto& c : cases) {
    const RunResult run = Process({"--set", c.set});
    EXPECT_EQ(run.exitCode, 1) << c.set;
    EXPECT_TRUE(Has(run.err, c.message)) << c.set << ": " << run.err;
  }
  EXPECT_FALSE(OutputWritten());
}

TEST_F(CommandLine, MissingInputFails) {
  const RunResult run = Process({}, mDir.Path("absent.wav"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Has(run.err, "cannot read audio file '" + mDir.Path("absent.wav") + "'")) << run.err;
  EXPECT_FALSE(OutputWritten());
}

TEST_F(CommandLine, UnreadableAudioFails) {
  FILE* file = std::fopen(mDir.Path("text.wav").c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fputs("not a sound file\n", file);
  std::fclose(file);
  const RunResult run = Process({}, mDir.Path("text.wav"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Has(run.err, "cannot read audio file")) << run.err;
}

TEST_F(CommandLine, ThreeChannelFilesAreRefused) {
  Wav wav;
  wav.channels.assign(3, TestSignal(1000, 1));
  ASSERT_TRUE(WriteWav(mDir.Path("three.wav"), wav));
  const RunResult run = Process({}, mDir.Path("three.wav"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Has(run.err, "has 3 channels; only mono and stereo files are supported")) << run.err;
  EXPECT_FALSE(OutputWritten());
}

TEST_F(CommandLine, MissingPluginFails) {
  const std::string absent = mDir.Path("Nowhere.vst3");
  RunResult run = RunTool({"--plugin", absent, mDir.Path("in.wav"), mDir.Path("out.wav")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Has(run.err, "plug-in not found: '" + absent + "' does not exist")) << run.err;

  ASSERT_EQ(mkdir(absent.c_str(), 0755), 0);
  run = RunTool({"--plugin", absent, "--list-params"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Has(run.err, "has no Contents/x86_64-linux/Nowhere.so")) << run.err;

  // A file that is no shared object.
  run = RunTool({"--plugin", mDir.Path("in.wav"), "--list-params"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Has(run.err, "cannot load plug-in")) << run.err;
  EXPECT_FALSE(OutputWritten());
}

TEST_F(CommandLine, BadStateFileFails) {
  RunResult run = Process({"--preset-state", mDir.Path("absent.state")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Has(run.err, "cannot read state file")) << run.err;
  run = Process({"--preset-state", mDir.Path("in.wav")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Has(run.err, "bytes; the plug-in's state has 348")) << run.err;
}

TEST_F(CommandLine, UnwritableOutputFails) {
  const RunResult run = RunTool({"--plugin", MORVANTE_VST3_BUNDLE, mDir.Path("in.wav"), mDir.Path("no/dir/out.wav")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Has(run.err, "cannot write '" + mDir.Path("no/dir/out.wav") + "'")) << run.err;
}

TEST_F(CommandLine, UsageErrorsExitWithTwoAndOneLine) {
  const std::string in = mDir.Path("in.wav");
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {{{}, "expected INPUT and OUTPUT"},
               {{in}, "expected INPUT and OUTPUT"},
               {{"--block", "0", in, "b.wav"}, "--block"},
               {{"--block", "x", in, "b.wav"}, "--block"},
               {{"--sample-size", "48", in, "b.wav"}, "--sample-size"},
               {{"--bits", "12", in, "b.wav"}, "--bits"},
               {{"--frobnicate", in, "b.wav"}, "--frobnicate"},
               {{"--set"}, "--set"},
               {{"--demo", "a", "b"}, "--demo takes no INPUT or OUTPUT"},
               {{in, "b.wav", "c.wav"}, "c.wav"},
               {{"--list-params", in}, "--list-params takes no files"},
               {{in, mDir.Path("out.mp3")}, "must end in .wav, .flac, .aiff, .aif or .ogg"},
               {{"--bits", "32f", in, mDir.Path("out.flac")}, "FLAC output takes --bits 16 or 24, not 32f"},
               {{"--bits", "16", in, mDir.Path("out.ogg")}, "--bits does not apply to Ogg Vorbis output"},
               {{in, in}, "is the input file"},
               {{"--snapshot-display", in, mDir.Path("b.wav")}, "--snapshot-display needs --snapshot"}};
  for (const auto& c : cases) {
    const RunResult run = RunTool(c.args);
    EXPECT_EQ(run.exitCode, 2) << run.err;
    EXPECT_TRUE(Has(run.err, c.message)) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_TRUE(Has(run.err, "morvante-process: ")) << run.err;
  }
  EXPECT_FALSE(OutputWritten());
  // The input is still the input.
  Wav wav;
  ASSERT_TRUE(ReadWav(in, wav));
  EXPECT_EQ(wav.Frames(), 4800u);
}

TEST_F(CommandLine, HelpDocumentsEveryOptionWithAnExample) {
  const RunResult run = RunTool({"--help"});
  ASSERT_EQ(run.exitCode, 0);
  for (const char* option : {"--plugin", "--set", "--automation", "--bypass", "--state-in", "--state-out",
                             "--preset-state", "--bits", "--block", "--sample-size", "--no-latency-compensation",
                             "--plot", "--snapshot", "--snapshot-display", "--list-params", "--quiet", "--demo", "INPUT", "OUTPUT"})
    EXPECT_TRUE(Has(run.out, option)) << option;
  EXPECT_TRUE(Has(run.out, "Examples:\n  morvante-process ")) << run.out;
  EXPECT_TRUE(run.err.empty()) << run.err;
}

TEST_F(CommandLine, InstallPutsTheToolInBin) {
  const std::string command = std::string("'" CMAKE_COMMAND_PATH "' --install '" MORVANTE_BINARY_DIR
                                          "' --component tools --prefix '") +
                              mDir.Path("prefix") + "' > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  struct stat st {};
  ASSERT_EQ(stat(mDir.Path("prefix/bin/morvante-process").c_str(), &st), 0);
  EXPECT_TRUE(st.st_mode & S_IXUSR);
}

TEST_F(CommandLine, DebianPackageHoldsTheBundleAndTheToolWithTheirDependencies) {
  const std::string command = std::string("cd '" MORVANTE_BINARY_DIR "' && cpack --config CPackConfig.cmake -B '") +
                              mDir.Path("pkg") + "' > /dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string deb = mDir.Path("pkg/morvante_2.0.0_amd64.deb");
  ASSERT_EQ(std::system(("dpkg-deb -c '" + deb + "' > '" + mDir.Path("list") + "'").c_str()), 0);
  ASSERT_EQ(std::system(("dpkg-deb -f '" + deb + "' Depends > '" + mDir.Path("depends") + "'").c_str()), 0);
  const std::string list = ReadBytes(mDir.Path("list")), depends = ReadBytes(mDir.Path("depends"));
  EXPECT_TRUE(Has(list, " ./usr/bin/morvante-process\n")) << list;
  EXPECT_TRUE(Has(list, " ./usr/lib/vst3/MORVANTE.vst3/Contents/x86_64-linux/MORVANTE.so\n")) << list;
  EXPECT_TRUE(Has(list, " ./usr/lib/vst3/MORVANTE.vst3/Contents/Resources/BG.png\n")) << list;
  EXPECT_FALSE(Has(list, "./root/")) << list;
  for (const char* package : {"libsndfile1", "libebur128-1", "libfftw3-double3", "libpng16-16", "libfreetype6",
                              "fonts-dejavu-core"})
    EXPECT_TRUE(Has(depends, package)) << package << ": " << depends;
}
