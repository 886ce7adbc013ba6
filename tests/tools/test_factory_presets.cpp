// The factory presets: the files the build generated load through the
// built module with the table's values, no two sound alike, the tool finds
// them by name, and the LV2 presets carry the same values and state.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>

#include "framework/base64.h"
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

TEST(FactoryPresets, Lv2PresetsCarryPortValuesBySymbolAndTheState) {
  EXPECT_EQ(Lv2PortSymbol("Low Mid Threshold"), "low_mid_threshold");
  EXPECT_EQ(Lv2PortSymbol("MODE-L"), "mode_l");
  EXPECT_EQ(Lv2PortSymbol(""), "");
  TempDir dir;
  Lv2PresetOptions options{"urn:test:morvante", "urn:test:morvante#state",
                           [](int paramIdx, const std::string& name) {
                             // Leaves one out, as a binding without that port would.
                             return paramIdx == 33 ? std::string() : Lv2PortSymbol(name);
                           }};
  std::string error;
  ASSERT_TRUE(WriteLv2FactoryPresets(dir.Dir(), options, error)) << error;
  const std::string manifest = ReadBytes(dir.Path("manifest.ttl"));
  for (const FactoryPreset& preset : FactoryPresets()) {
    SCOPED_TRACE(preset.name);
    const std::string file = Lv2PortSymbol(preset.name) + ".ttl";
    EXPECT_NE(manifest.find("rdfs:seeAlso <" + file + ">"), std::string::npos);
    const std::string ttl = ReadBytes(dir.Path(file));
    ASSERT_FALSE(ttl.empty());
    EXPECT_NE(ttl.find("a pset:Preset"), std::string::npos);
    EXPECT_NE(ttl.find("rdfs:label \"" + std::string(preset.name) + "\""), std::string::npos);
    EXPECT_EQ(ttl.find("lv2:symbol \"output\""), std::string::npos);
    std::vector<double> values;
    ASSERT_TRUE(FactoryPresetValues(preset, values, error)) << error;
    for (const FactoryPresetValue& v : preset.values) {
      if (std::string(v.param) == "Output") continue;
      const size_t at = ttl.find("lv2:symbol \"" + Lv2PortSymbol(v.param) + "\"");
      ASSERT_NE(at, std::string::npos) << v.param;
      const size_t valueAt = ttl.find("pset:value ", at);
      ASSERT_NE(valueAt, std::string::npos);
      EXPECT_EQ(std::strtod(ttl.c_str() + valueAt + 11, nullptr), v.value) << v.param;
    }
    // The state is the plug-in's own stream.
    const std::string key = "<urn:test:morvante#state> \"";
    const size_t stateAt = ttl.find(key);
    ASSERT_NE(stateAt, std::string::npos);
    const size_t end = ttl.find('"', stateAt + key.size());
    const std::string text = ttl.substr(stateAt + key.size(), end - stateAt - key.size());
    const std::string state = FactoryPresetState(values);
    std::string decoded(state.size(), '\0');
    Base64Decode(text.c_str(), reinterpret_cast<uint8_t*>(decoded.data()), static_cast<int>(decoded.size()));
    EXPECT_EQ(decoded, state);
    EXPECT_EQ(text.size(), (state.size() + 2) / 3 * 4);
  }
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
