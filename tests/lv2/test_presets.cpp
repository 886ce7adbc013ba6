// The factory presets in the bundle, as a host lists and loads them: each
// under its name for both plug-ins, every control port by symbol, and a
// load gives the table's settings and the sound of the VST3 bundle with the
// same .vstpreset loaded.
#include <gtest/gtest.h>

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "tests/lv2/host/lv2_test_host.h"
#include "tests/lv2/vst3_reference.h"
#include "tools/factory_preset_values.h"
#include "tools/preset_file.h"

using namespace lv2test;

namespace {
std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

// The table's state for a preset.
std::vector<uint8_t> TableState(const FactoryPreset& preset) {
  std::vector<double> values;
  std::string error;
  EXPECT_TRUE(FactoryPresetValues(preset, values, error)) << error;
  return Bytes(FactoryPresetState(values));
}

// The parameter values at the front of a state.
std::vector<double> Doubles(const std::vector<uint8_t>& state) {
  std::vector<double> values(state.size() / sizeof(double));
  std::memcpy(values.data(), state.data(), values.size() * sizeof(double));
  return values;
}

// The component state in the .vstpreset the build wrote for a preset.
std::vector<uint8_t> Vst3PresetState(const FactoryPreset& preset) {
  std::ifstream file(std::string(MORVANTE_VST3_PRESETS_DIR "/") + preset.name + ".vstpreset", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  PresetFile parsed;
  std::string error;
  EXPECT_TRUE(ReadPresetFile(bytes, parsed, error)) << error;
  return Bytes(parsed.component);
}

// The control input ports a preset sets: every one but the host's bypass.
std::set<std::string> PresetPortSymbols(const LilvPlugin* plugin) {
  std::set<std::string> symbols;
  for (uint32_t i = 0; i < lilv_plugin_get_num_ports(plugin); ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
    if (lilv_port_is_a(plugin, port, World().Uri(LV2_CORE__ControlPort)) &&
        lilv_port_is_a(plugin, port, World().Uri(LV2_CORE__InputPort)))
      symbols.insert(lilv_node_as_string(lilv_port_get_symbol(plugin, port)));
  }
  symbols.erase("enabled");
  return symbols;
}

void CollectPortValue(const char* symbol, void* user, const void* value, uint32_t size, uint32_t type) {
  if (size == sizeof(float) && type == World().Map(LV2_ATOM__Float))
    (*static_cast<std::map<std::string, float>*>(user))[symbol] = *static_cast<const float*>(value);
}
}  // namespace

TEST(Lv2Presets, EveryFactoryPresetIsListedForBothPluginsAndLoadsTheTablesSettings) {
  ASSERT_GE(FactoryPresets().size(), 12u);
  for (const char* uri : {kStereoUri, kMonoUri}) {
    SCOPED_TRACE(uri);
    const Presets presets(uri);
    std::set<std::string> labels;
    for (const FactoryPreset& preset : FactoryPresets()) labels.insert(preset.name);
    std::multiset<std::string> listed;
    for (const Preset& preset : presets.All()) listed.insert(preset.label);
    EXPECT_EQ(listed, std::multiset<std::string>(labels.begin(), labels.end()));
    const std::set<std::string> symbols = PresetPortSymbols(World().Plugin(uri));
    ASSERT_GT(symbols.size(), 30u);

    for (const FactoryPreset& preset : FactoryPresets()) {
      SCOPED_TRACE(preset.name);
      const LilvState* state = presets.Find(preset.name);
      ASSERT_NE(state, nullptr);
      EXPECT_STREQ(lilv_state_get_label(state), preset.name);
      std::map<std::string, float> ports;
      lilv_state_emit_port_values(state, CollectPortValue, &ports);
      std::set<std::string> set;
      for (const auto& port : ports) set.insert(port.first);
      EXPECT_EQ(set, symbols);

      // Into an instance someone has been turning, as a host loads a preset
      // mid-session: the table's settings exactly. The bypass is the host's
      // port, which a preset leaves as it is.
      Lv2Plugin plug(uri, 48000.0);
      ASSERT_TRUE(plug.Ok());
      const Channels in = TestSignal(plug.NChannels(), 512, 48000.0);
      for (const Setting& s : EveryBandPullsDown()) plug.Set(s.symbol, s.value);
      plug.Set("enabled", 0.0f);
      plug.Process(in, 512);
      plug.RestoreLilvState(state);
      plug.Process(in, 512);
      std::vector<uint8_t> bypassed = TableState(preset);
      bypassed[bypassed.size() - sizeof(int32_t)] = 1;
      EXPECT_EQ(plug.StateBytes(), bypassed);
      for (const auto& port : ports) EXPECT_EQ(plug.Get(port.first.c_str()), port.second) << port.first;
      plug.Set("enabled", 1.0f);
      plug.Process(in, 512);
      EXPECT_EQ(plug.StateBytes(), TableState(preset));

      // A host that sets the ports alone gets the table's settings as far
      // as a float holds them.
      Lv2Plugin portsOnly(uri, 48000.0);
      for (const auto& port : ports) portsOnly.Set(port.first.c_str(), port.second);
      portsOnly.Process(in, 512);
      const std::vector<double> got = Doubles(portsOnly.StateBytes()), want = Doubles(TableState(preset));
      ASSERT_EQ(got.size(), want.size());
      for (size_t i = 0; i < want.size(); ++i)
        EXPECT_NEAR(got[i], want[i], std::fabs(want[i]) * 1e-7) << "parameter " << i;
    }
  }
}

TEST(Lv2Presets, APresetSoundsAsTheVst3BundleWithTheSameVstpreset) {
  for (const char* name : {"Vocal De-esser", "Gentle Mastering", "Cymbal Tamer"}) {
    SCOPED_TRACE(name);
    const FactoryPreset* preset = FindFactoryPreset(name);
    ASSERT_NE(preset, nullptr);
    const std::vector<uint8_t> vst3State = Vst3PresetState(*preset);
    ASSERT_EQ(vst3State, TableState(*preset));
    for (const char* uri : {kStereoUri, kMonoUri}) {
      SCOPED_TRACE(uri);
      const Presets presets(uri);
      ASSERT_NE(presets.Find(name), nullptr);
      Lv2Plugin plug(uri, 48000.0);
      plug.RestoreLilvState(presets.Find(name));
      const Channels in = TestSignal(plug.NChannels(), 12000, 48000.0);
      const Vst3Options options{48000.0, 512, plug.NChannels(), false};
      const Channels lv2 = plug.Process(in, 512), vst3 = RenderVst3(in, {}, options, vst3State);
      ASSERT_FALSE(vst3.empty());
      EXPECT_TRUE(lv2 == vst3);
      // And the preset does something to the mix.
      EXPECT_FALSE(lv2 == RenderVst3(in, {}, options));
    }
  }
}
