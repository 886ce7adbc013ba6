// morvante-process's command line: listing, plug-in look-up, installation
// and every way it refuses to run.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <sys/stat.h>

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
  EXPECT_TRUE(Has(run.out, "\tBypass\t\toff\toff\n")) << run.out;
  EXPECT_TRUE(Has(run.out, "\n17\tLow Gain\tdB\t0.00\t0.00\n")) << run.out;
  EXPECT_TRUE(Has(run.out, "\n16\tLow Frequency\tHz\t510.00\t510.00\n")) << run.out;
  EXPECT_TRUE(Has(run.out, "\n35\tLow Release\tms\t100.00\t100.00\n")) << run.out;
  EXPECT_TRUE(Has(run.out, "\n38\tMODE-L\t\t0\t0\n")) << run.out;
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

TEST_F(CommandLine, UsageErrorsExitWithTwo) {
  const std::vector<std::vector<std::string>> cases = {
      {}, {mDir.Path("in.wav")}, {"--block", "0", "a", "b"}, {"--block", "x", "a", "b"},
      {"--sample-size", "48", "a", "b"}, {"--frobnicate", "a", "b"}, {"--set"}, {"--demo", "a", "b"}};
  for (const auto& args : cases) {
    const RunResult run = RunTool(args);
    EXPECT_EQ(run.exitCode, 2) << run.err;
    EXPECT_TRUE(Has(run.err, "usage: morvante-process")) << run.err;
  }
  EXPECT_EQ(RunTool({"--help"}).exitCode, 0);
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
