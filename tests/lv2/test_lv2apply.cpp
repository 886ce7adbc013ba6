// Debian's lv2apply renders a file through the stereo plug-in exactly as
// morvante-process renders it through the VST3 bundle's 32-bit path.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/lv2/host/lv2_test_host.h"
#include "tools/audio_file.h"

using namespace lv2test;

namespace {
int RunCommand(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
}  // namespace

TEST(Lv2Apply, RendersWhatMorvanteProcessRendersThroughTheVst3Bundle) {
  // lv2apply loads every bundle on LV2_PATH: a folder holding only ours.
  const std::string dir = MORVANTE_LV2APPLY_DIR;
  mkdir(dir.c_str(), 0755);
  const std::string lv2Path = dir + "/lv2";
  mkdir(lv2Path.c_str(), 0755);
  unlink((lv2Path + "/MORVANTE.lv2").c_str());
  ASSERT_EQ(symlink(MORVANTE_LV2_BUNDLE, (lv2Path + "/MORVANTE.lv2").c_str()), 0);

  Audio input;
  input.rate = 44100.0;
  for (const auto& channel : TestSignal(2, 3 * 44100, input.rate))
    input.channels.emplace_back(channel.begin(), channel.end());
  std::string error;
  ASSERT_TRUE(WriteFloatWav(dir + "/in.wav", input, error)) << error;

  const char* const kSettings[][3] = {{"low_gain", "Low Gain", "6"},
                                      {"low_threshold", "Low Threshold", "40"},
                                      {"high_mid_gain", "High Mid Gain", "-4.5"},
                                      {"high_mid_threshold", "High Mid Threshold", "35"},
                                      {"mid_release", "Mid Release", "700"},
                                      {"mode_l", "MODE-L", "1"}};
  std::string lv2apply = std::string(MORVANTE_LV2APPLY_ENV) + " LV2_PATH=" + lv2Path + " lv2apply -i " + dir + "/in.wav -o " + dir + "/lv2.wav";
  std::string process = std::string(MORVANTE_PROCESS) + " -q --plugin " + MORVANTE_VST3_BUNDLE +
                        " --bits 32f --sample-size 32 --no-latency-compensation";
  for (const auto& s : kSettings) {
    lv2apply += std::string(" -c ") + s[0] + " " + s[2];
    process += std::string(" --set \"") + s[1] + "=" + s[2] + "\"";
  }
  lv2apply += std::string(" ") + kStereoUri;
  process += " " + dir + "/in.wav " + dir + "/vst3.wav";
  ASSERT_EQ(RunCommand(lv2apply), 0) << lv2apply;
  ASSERT_EQ(RunCommand(process), 0) << process;

  Audio lv2, vst3;
  ASSERT_TRUE(ReadAudio(dir + "/lv2.wav", 2, lv2, error)) << error;
  ASSERT_TRUE(ReadAudio(dir + "/vst3.wav", 2, vst3, error)) << error;
  ASSERT_EQ(lv2.Frames(), input.Frames());
  ASSERT_EQ(vst3.Frames(), input.Frames());
  long differing = 0, changed = 0;
  for (size_t c = 0; c < 2; ++c) {
    for (size_t i = 0; i < lv2.channels[c].size(); ++i) {
      if (std::memcmp(&lv2.channels[c][i], &vst3.channels[c][i], sizeof(double)) != 0) ++differing;
      if (i >= 3 && lv2.channels[c][i] != input.channels[c][i - 3]) ++changed;
    }
  }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(changed, input.Frames());  // the settings are heard
}
