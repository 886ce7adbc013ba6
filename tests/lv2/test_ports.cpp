// The bundle as a host reads it: both plug-ins, every port against the
// parameter table, the designations and the default preset.
#include <gtest/gtest.h>

#include <lv2/core/lv2.h>
#include <lv2/presets/presets.h>
#include <lv2/units/units.h>

#include <cstring>
#include <set>
#include <string>

#include "effect/morvante_params.h"
#include "framework/iparam.h"
#include "tests/lv2/host/lv2_test_host.h"

using namespace lv2test;

namespace {
constexpr int kHiddenParam = kUnusedParam;
constexpr int kControlInputs = kNumMorvanteParams - 1;
const char* const kMeters[] = {"Low Gain Reduction", "Low Mid Gain Reduction", "Mid Gain Reduction",
                               "High Mid Gain Reduction", "High Gain Reduction"};

std::string PortString(const LilvPlugin* plugin, const LilvPort* port, const char* predicate) {
  LilvNodes* values = lilv_port_get_value(plugin, port, World().Uri(predicate));
  const LilvNode* first = values ? lilv_nodes_get_first(values) : nullptr;
  std::string text = first ? (lilv_node_is_uri(first) ? lilv_node_as_uri(first) : lilv_node_as_string(first)) : "";
  lilv_nodes_free(values);
  return text;
}

std::string PortName(const LilvPlugin* plugin, const LilvPort* port) {
  LilvNode* name = lilv_port_get_name(plugin, port);
  std::string text = name ? lilv_node_as_string(name) : "";
  lilv_node_free(name);
  return text;
}

bool Has(const LilvPlugin* plugin, const LilvPort* port, const char* property) {
  return lilv_port_has_property(plugin, port, World().Uri(property));
}

// The unit the table's label stands for; the bands' Ratio and Bandwidth
// labels are display text, not units.
std::string ExpectedUnit(int idx, const IParam& param) {
  const std::string name = param.GetNameForHost();
  if (name.find("Ratio") != std::string::npos || name.find("Bandwidth") != std::string::npos) return "";
  const std::string label = param.GetLabelForHost();
  if (label == "dB") return LV2_UNITS__db;
  if (label == "Hz") return LV2_UNITS__hz;
  if (label == "ms") return LV2_UNITS__ms;
  ADD_FAILURE() << "no unit expected for the label '" << label << "' of parameter " << idx;
  return "";
}
}  // namespace

TEST(Lv2Ports, EveryParameterIsAPortAsTheTableDescribesIt) {
  for (const char* uri : {kStereoUri, kMonoUri}) {
    SCOPED_TRACE(uri);
    const LilvPlugin* plugin = World().Plugin(uri);
    ASSERT_NE(plugin, nullptr);
    const int nChannels = std::strcmp(uri, kMonoUri) == 0 ? 1 : 2;
    ASSERT_EQ(lilv_plugin_get_num_ports(plugin), static_cast<uint32_t>(kControlInputs + 2 + 5 + 2 * nChannels));
    std::vector<float> mins(lilv_plugin_get_num_ports(plugin)), maxs(mins.size()), defs(mins.size());
    lilv_plugin_get_port_ranges_float(plugin, mins.data(), maxs.data(), defs.data());

    std::set<std::string> symbols;
    int port = 0;
    for (int idx = 0; idx < kNumMorvanteParams; ++idx) {
      if (idx == kHiddenParam) continue;
      IParam param;
      const bool inTable = InitMorvanteParam(idx, &param);
      const LilvPort* p = lilv_plugin_get_port_by_index(plugin, static_cast<uint32_t>(port));
      SCOPED_TRACE("parameter " + std::to_string(idx));
      EXPECT_TRUE(lilv_port_is_a(plugin, p, World().Uri(LV2_CORE__InputPort)));
      EXPECT_TRUE(lilv_port_is_a(plugin, p, World().Uri(LV2_CORE__ControlPort)));
      const std::string symbol = lilv_node_as_string(lilv_port_get_symbol(plugin, p));
      EXPECT_TRUE(symbols.insert(symbol).second) << symbol;
      if (idx == kBypass) {
        // The editor's switch: no name in the table, a title for hosts.
        EXPECT_FALSE(inTable);
        EXPECT_EQ(PortName(plugin, p), "Bypass Switch");
        EXPECT_EQ(symbol, "bypass_switch");
        EXPECT_TRUE(Has(plugin, p, LV2_CORE__toggled));
      } else {
        ASSERT_TRUE(inTable);
        EXPECT_EQ(PortName(plugin, p), param.GetNameForHost());
        EXPECT_EQ(mins[port], static_cast<float>(param.Min()));
        EXPECT_EQ(maxs[port], static_cast<float>(param.Max()));
        EXPECT_EQ(defs[port], static_cast<float>(param.Default()));
        if (param.Type() == kParamDouble) {
          EXPECT_EQ(PortString(plugin, p, LV2_UNITS__unit), ExpectedUnit(idx, param));
          EXPECT_FALSE(Has(plugin, p, LV2_CORE__integer));
        } else {
          // The detector switches: whole numbers with a labelled point each.
          EXPECT_TRUE(Has(plugin, p, LV2_CORE__integer));
          EXPECT_TRUE(Has(plugin, p, LV2_CORE__toggled));
          LilvScalePoints* points = lilv_port_get_scale_points(plugin, p);
          EXPECT_EQ(lilv_scale_points_size(points), 2u);
          lilv_scale_points_free(points);
        }
      }
      ++port;
    }

    const LilvPort* enabled =
        lilv_plugin_get_port_by_designation(plugin, World().Uri(LV2_CORE__InputPort), World().Uri(LV2_CORE__enabled));
    ASSERT_NE(enabled, nullptr);
    EXPECT_EQ(lilv_port_get_index(plugin, enabled), static_cast<uint32_t>(kControlInputs));
    EXPECT_STREQ(lilv_node_as_string(lilv_port_get_symbol(plugin, enabled)), "enabled");
    EXPECT_EQ(defs[kControlInputs], 1.0f);
    ASSERT_TRUE(lilv_plugin_has_latency(plugin));
    EXPECT_EQ(lilv_plugin_get_latency_port_index(plugin), static_cast<uint32_t>(kControlInputs + 1));

    for (int m = 0; m < 5; ++m) {
      const LilvPort* p = lilv_plugin_get_port_by_index(plugin, static_cast<uint32_t>(kControlInputs + 2 + m));
      EXPECT_TRUE(lilv_port_is_a(plugin, p, World().Uri(LV2_CORE__OutputPort)));
      EXPECT_TRUE(lilv_port_is_a(plugin, p, World().Uri(LV2_CORE__ControlPort)));
      EXPECT_EQ(PortName(plugin, p), kMeters[m]);
    }
    EXPECT_STREQ(lilv_node_as_string(lilv_port_get_symbol(
                     plugin, lilv_plugin_get_port_by_index(plugin, static_cast<uint32_t>(kControlInputs + 2)))),
                 "low_gain_reduction");
    const int firstAudio = kControlInputs + 7;
    for (int c = 0; c < 2 * nChannels; ++c) {
      const LilvPort* p = lilv_plugin_get_port_by_index(plugin, static_cast<uint32_t>(firstAudio + c));
      EXPECT_TRUE(lilv_port_is_a(plugin, p, World().Uri(LV2_CORE__AudioPort)));
      EXPECT_TRUE(lilv_port_is_a(plugin, p, World().Uri(c < nChannels ? LV2_CORE__InputPort : LV2_CORE__OutputPort)));
    }
    // Symbols a host's session files name.
    for (const char* s : {"low_gain", "low_mid_threshold", "high_mid_release", "output", "mode_l", "mode_hm"})
      EXPECT_EQ(symbols.count(s), 1u) << s;
  }
}

TEST(Lv2Ports, NothingButTheProcessingIsRequiredAndTheVersionIsTheProducts) {
  const LilvPlugin* plugin = World().Plugin(kStereoUri);
  ASSERT_NE(plugin, nullptr);
  LilvNodes* required = lilv_plugin_get_required_features(plugin);
  EXPECT_EQ(lilv_nodes_size(required), 0u);
  lilv_nodes_free(required);
  LilvNode* name = lilv_plugin_get_name(plugin);
  EXPECT_STREQ(lilv_node_as_string(name), "MORVANTE");
  lilv_node_free(name);
  LilvNodes* minor = lilv_plugin_get_value(plugin, World().Uri(LV2_CORE__minorVersion));
  LilvNodes* micro = lilv_plugin_get_value(plugin, World().Uri(LV2_CORE__microVersion));
  ASSERT_NE(minor, nullptr);
  ASSERT_NE(micro, nullptr);
  EXPECT_EQ(lilv_node_as_int(lilv_nodes_get_first(minor)), 0);
  EXPECT_EQ(lilv_node_as_int(lilv_nodes_get_first(micro)), 0);
  lilv_nodes_free(minor);
  lilv_nodes_free(micro);
  LilvNode* binary = lilv_new_file_uri(World().World(), nullptr, MORVANTE_LV2_BUNDLE "/MORVANTE_dsp.so");
  EXPECT_TRUE(lilv_node_equals(lilv_plugin_get_library_uri(plugin), binary));
  lilv_node_free(binary);
}

// The bundle's preset is the state of a fresh instance, bypass included, and
// restoring it undoes any setting.
TEST(Lv2Ports, TheDefaultPresetRestoresAFreshInstance) {
  for (const char* uri : {kStereoUri, kMonoUri}) {
    SCOPED_TRACE(uri);
    const LilvPlugin* plugin = World().Plugin(uri);
    LilvNodes* presets = lilv_plugin_get_related(plugin, World().Uri(LV2_PRESETS__Preset));
    ASSERT_EQ(lilv_nodes_size(presets), 1u);
    const LilvNode* preset = lilv_nodes_get_first(presets);
    lilv_world_load_resource(World().World(), preset);
    LilvState* state = lilv_state_new_from_world(World().World(), World().MapFeature(), preset);
    lilv_nodes_free(presets);
    ASSERT_NE(state, nullptr);
    EXPECT_STREQ(lilv_state_get_label(state), "Default");

    Lv2Plugin fresh(uri, 48000.0), edited(uri, 48000.0);
    ASSERT_TRUE(fresh.Ok() && edited.Ok());
    const Channels in = TestSignal(fresh.NChannels(), 256, 48000.0);
    fresh.Process(in, 256);
    for (const Setting& s : EveryBandPullsDown()) edited.Set(s.symbol, s.value);
    edited.Process(in, 256);
    ASSERT_NE(edited.StateBytes(), fresh.StateBytes());
    edited.RestoreLilvState(state);
    EXPECT_EQ(edited.Get("low_gain"), 0.0f);
    edited.Process(in, 256);
    EXPECT_EQ(edited.StateBytes(), fresh.StateBytes());
    lilv_state_free(state);
  }
}
