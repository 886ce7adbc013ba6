// The factory presets: the files the build generated load through the
// built module with the table's values, no two sound alike, the tool finds
// them by name.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>

#include "tests/tools/tool_test_support.h"
#include "tools/demo_mix.h"
#include "tools/factory_preset_files.h"
#include "tools/offline_host.h"

using namespace tooltest;

namespace {
const std::string kPresetDir = std::string(MORVANTE_BINARY_DIR) + "/presets/vst3/";

std::string PresetPath(const FactoryPreset& preset) { return kPresetDir + preset.name + ".vstpreset"; }
}  // namespace

TEST(FactoryPresets, EveryGeneratedFileLoadsWithTheTablesValues) {
  ASSERT_GE(FactoryPresets().size(), 12u);
  std::set<std::string> expected;
  for (const FactoryPreset& preset : FactoryPresets()) expected.insert(std::string(preset.name) + ".vstpreset");
  std::vector<std::string> files = ListDir(kPresetDir);
  files.erase(std::remove_if(files.begin(), files.end(), [](const std::string& f) { return f[0] == '.'; }),
              files.end());
  EXPECT_EQ(std::set<std::string>(files.begin(), files.end()), expected);

  for (const FactoryPreset& preset : FactoryPresets()) {
    SCOPED_TRACE(preset.name);
    OfflineHost host;
    ASSERT_TRUE(host.Open(MORVANTE_VST3_MODULE)) << host.Error();
    ASSERT_TRUE(host.LoadStateFile(PresetPath(preset))) << host.Error();
    std::vector<double> values;
    std::string error;
    ASSERT_TRUE(FactoryPresetValues(preset, values, error)) << error;
    for (const FactoryPresetValue& v : preset.values) {
      double plain = NAN;
      ASSERT_TRUE(host.PlainValue(v.param, plain)) << v.param;
      EXPECT_NEAR(plain, v.value, 1e-9 * std::max(1.0, std::fabs(v.value))) << v.param;
    }
    // What is not named stays at the default: the file holds exactly the
    // state a fresh instance would write with those values.
    std::string saved;
    ASSERT_TRUE(host.SaveState(saved));
    EXPECT_EQ(saved, ReadBytes(PresetPath(preset)));
  }
}

TEST(FactoryPresets, NoTwoSoundAlike) {
  const Audio mix = DemoMix(2.0);
  std::vector<Audio> outputs;
  for (const FactoryPreset& preset : FactoryPresets()) {
    OfflineHost host;
    ASSERT_TRUE(host.Open(MORVANTE_VST3_MODULE)) << host.Error();
    ASSERT_TRUE(host.LoadStateFile(PresetPath(preset))) << host.Error();
    Audio out = mix;
    RenderOptions options;
    ASSERT_TRUE(host.Process(out, options)) << host.Error();
    for (size_t other = 0; other < outputs.size(); ++other) {
      double largest = 0.0;
      for (size_t ch = 0; ch < 2; ++ch)
        for (size_t i = 0; i < out.channels[ch].size(); ++i)
          largest = std::max(largest, std::fabs(out.channels[ch][i] - outputs[other].channels[ch][i]));
      EXPECT_GT(largest, 1e-3) << preset.name << " sounds like " << FactoryPresets()[other].name;
    }
    outputs.push_back(std::move(out));
  }
}

TEST(FactoryPresets, TheToolListsThemAndLoadsThemByName) {
  const RunResult list = RunTool({"--list-presets"});
  ASSERT_EQ(list.exitCode, 0) << list.err;
  for (const FactoryPreset& preset : FactoryPresets())
    EXPECT_NE(list.out.find(std::string(preset.name) + " "), std::string::npos) << preset.name;

  const RunResult unknown =
      RunTool({"--plugin", MORVANTE_VST3_BUNDLE, "--preset", "Vocal Deesser", "in.wav", "out.wav"});
  EXPECT_EQ(unknown.exitCode, 2);
  EXPECT_NE(unknown.err.find("unknown preset \"Vocal Deesser\""), std::string::npos) << unknown.err;
  EXPECT_NE(unknown.err.find("\"Vocal De-esser\", \"Tame Boomy Bass\""), std::string::npos) << unknown.err;

  // By name, the preset is its generated file.
  TempDir dir;
  const RunResult saved = RunTool(
      {"--plugin", MORVANTE_VST3_BUNDLE, "--preset", "Cymbal Tamer", "--state-out", dir.Path("s.vstpreset")});
  ASSERT_EQ(saved.exitCode, 0) << saved.err;
  const FactoryPreset* cymbals = FindFactoryPreset("Cymbal Tamer");
  ASSERT_NE(cymbals, nullptr);
  EXPECT_EQ(ReadBytes(dir.Path("s.vstpreset")), ReadBytes(PresetPath(*cymbals)));
}

// The Debian package's component puts them where system-wide hosts browse.
TEST(FactoryPresets, TheSystemComponentInstallsThemForEveryHost) {
  TempDir dir;
  const std::string command = std::string("'" CMAKE_COMMAND_PATH "' --install '" MORVANTE_BINARY_DIR
                                          "' --component system_vst3_presets --prefix '") +
                              dir.Path("usr") + "' > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string installed = dir.Path("usr/share/vst3/presets/Penvarrowsonics/MORVANTE/");
  for (const FactoryPreset& preset : FactoryPresets())
    EXPECT_EQ(ReadBytes(installed + preset.name + ".vstpreset"), ReadBytes(PresetPath(preset))) << preset.name;
  EXPECT_EQ(ListDir(installed).size(), FactoryPresets().size());
}
