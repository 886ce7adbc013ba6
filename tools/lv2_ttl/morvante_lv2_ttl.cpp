// morvante-lv2-ttl BUNDLE_DIR [--ui-binary FILE]
//
// Writes the description of the MORVANTE.lv2 bundle into BUNDLE_DIR:
// manifest.ttl, MORVANTE.ttl (both plug-ins, their ports, the user
// interface) and presets.ttl (the factory presets, "Default" among them,
// each for both plug-ins). Every port is read from
// an instance of the effect built for LV2, through the same port map the
// processing uses, so names, ranges, defaults and steps are the parameter
// table's. The user interface is described only when its module is named.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "effect/morvante.h"
#include "framework/base64.h"
#include "framework/byte_chunk.h"
#include "framework/lv2/lv2_port_map.h"
#include "framework/lv2/lv2_uris.h"
#include "tools/factory_preset_values.h"

namespace {

constexpr const char* kDspBinary = "MORVANTE_dsp.so";
constexpr const char* kLicense = "https://spdx.org/licenses/GPL-3.0-or-later";
constexpr const char* kMaintainerName = "Penvarrowsonics";
constexpr const char* kMaintainerHome = "https://www.penvarrowsonics.com";
constexpr const char* kMaintainerMail = "mailto:support@penvarrowsonics.com";
// The meters show the detector's gain reduction through the editor's VU
// law, which stays below this.
constexpr double kMeterMaximum = 1.5;

const char* const kPrefixes =
    "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n"
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n"
    "@prefix xsd: <http://www.w3.org/2001/XMLSchema#> .\n\n";

struct PluginVariant {
  const char* uri;
  const char* name;
  int nChannels;
};
const PluginVariant kVariants[] = {{kLv2PluginUri, "MORVANTE", 2}, {kLv2MonoPluginUri, "MORVANTE Mono", 1}};

std::string Uri(const char* uri) { return std::string("<") + uri + ">"; }

// The shortest decimal that reads back as the same double, always with a
// point, so that Turtle reads a decimal and not an integer.
std::string Number(double value) {
  char text[64];
  for (int decimals = 1; decimals <= 17; ++decimals) {
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    if (std::strtod(text, nullptr) == value) break;
  }
  return text;
}

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

// The unit hosts show beside a value. The labels of the bands' Ratio and
// Bandwidth are display text only (a plain ratio, a negated filter Q), so
// those get none.
const char* UnitOf(int paramIdx, const IParam& param) {
  for (const MorvanteBandLayout& band : kMorvanteBandLayouts)
    if (paramIdx == band.ratioParam || paramIdx == band.bandwidthParam) return nullptr;
  const char* label = param.GetLabelForHost();
  if (std::strcmp(label, "dB") == 0) return "units:db";
  if (std::strcmp(label, "Hz") == 0) return "units:hz";
  if (std::strcmp(label, "ms") == 0) return "units:ms";
  return nullptr;
}

void WriteControlInput(std::ostream& out, IPlugLV2& plug, const Lv2PortMap& ports, int port) {
  const int idx = ports.PortParam(port);
  const IParam& param = *plug.GetParam(idx);
  out << "    a lv2:InputPort , lv2:ControlPort ;\n"
      << "    lv2:index " << port << " ;\n"
      << "    lv2:symbol " << Quoted(ports.Symbol(port)) << " ;\n"
      << "    lv2:name " << Quoted(plug.HostTitle(idx)) << " ;\n";
  if (param.Type() == kParamDouble) {
    out << "    lv2:default " << Number(param.Default()) << " ;\n"
        << "    lv2:minimum " << Number(param.Min()) << " ;\n"
        << "    lv2:maximum " << Number(param.Max()) << " ;\n";
    if (const char* unit = UnitOf(idx, param)) out << "    units:unit " << unit << " ;\n";
    return;
  }
  // Switches and lists: whole numbers, each with its displayed text.
  const int lo = static_cast<int>(param.Min()), hi = static_cast<int>(param.Max());
  const bool toggle = lo == 0 && hi == 1 && param.Type() != kParamEnum;
  out << "    lv2:default " << static_cast<int>(param.Default()) << " ;\n"
      << "    lv2:minimum " << lo << " ;\n"
      << "    lv2:maximum " << hi << " ;\n"
      << "    lv2:portProperty lv2:integer , " << (toggle ? "lv2:toggled" : "lv2:enumeration") << " ;\n"
      << "    lv2:scalePoint ";
  for (int v = lo; v <= hi; ++v) {
    char display[PARAM_DISPLAY_BUFFER_SIZE];
    param.GetDisplayForHost(static_cast<double>(v), false, display);
    out << (v > lo ? " , " : "") << "[ rdfs:label " << Quoted(display) << " ; rdf:value " << v << " ]";
  }
  out << " ;\n";
}

void WritePorts(std::ostream& out, IPlugLV2& plug, const Lv2PortMap& ports) {
  static const char* const kInNames[2][2] = {{"In", ""}, {"Left In", "Right In"}};
  static const char* const kOutNames[2][2] = {{"Out", ""}, {"Left Out", "Right Out"}};
  const int stereo = ports.NChannels() == 2 ? 1 : 0;
  out << "  lv2:port [\n";
  for (int port = 0; port < ports.NPorts(); ++port) {
    if (port > 0) out << "  ] , [\n";
    if (port < ports.NControlInputs()) {
      WriteControlInput(out, plug, ports, port);
      continue;
    }
    const int meter = ports.PortMeter(port);
    const bool audioIn = port >= ports.AudioInPort(0) && port < ports.AudioOutPort(0);
    const bool audioOut = port >= ports.AudioOutPort(0);
    if (port == ports.EnabledPort()) {
      out << "    a lv2:InputPort , lv2:ControlPort ;\n";
    } else if (audioIn || audioOut) {
      out << "    a lv2:AudioPort , " << (audioIn ? "lv2:InputPort" : "lv2:OutputPort") << " ;\n";
    } else {
      out << "    a lv2:OutputPort , lv2:ControlPort ;\n";
    }
    out << "    lv2:index " << port << " ;\n"
        << "    lv2:symbol " << Quoted(ports.Symbol(port)) << " ;\n";
    if (port == ports.EnabledPort()) {
      out << "    lv2:name \"Enabled\" ;\n"
          << "    lv2:designation lv2:enabled ;\n"
          << "    lv2:default 1 ;\n    lv2:minimum 0 ;\n    lv2:maximum 1 ;\n"
          << "    lv2:portProperty lv2:integer , lv2:toggled ;\n";
    } else if (port == ports.LatencyPort()) {
      out << "    lv2:name \"Latency\" ;\n"
          << "    lv2:designation lv2:latency ;\n"
          << "    lv2:portProperty lv2:reportsLatency , lv2:integer ;\n"
          << "    lv2:minimum 0 ;\n    lv2:maximum " << plug.GetLatency() << " ;\n"
          << "    units:unit units:frame ;\n";
    } else if (meter >= 0) {
      out << "    lv2:name " << Quoted(plug.GetMeterName(meter)) << " ;\n"
          << "    lv2:minimum 0.0 ;\n    lv2:maximum " << Number(kMeterMaximum) << " ;\n";
    } else if (audioIn) {
      out << "    lv2:name " << Quoted(kInNames[stereo][port - ports.AudioInPort(0)]) << " ;\n";
    } else {
      out << "    lv2:name " << Quoted(kOutNames[stereo][port - ports.AudioOutPort(0)]) << " ;\n";
    }
  }
  out << "  ] .\n\n";
}

// Not lv2:hardRTCapable: a state save, which the host may run on its own
// thread beside the audio, holds the instance lock that run() takes.
void WritePlugin(std::ostream& out, IPlugLV2& plug, const PluginVariant& variant, const std::string& uiBinary) {
  const Lv2PortMap ports(plug, variant.nChannels);
  out << Uri(variant.uri) << "\n"
      << "  a lv2:Plugin , lv2:EQPlugin , doap:Project ;\n"
      << "  doap:name " << Quoted(variant.name) << " ;\n"
      << "  doap:license <" << kLicense << "> ;\n"
      << "  doap:maintainer [\n"
      << "    a foaf:Person ;\n"
      << "    foaf:name " << Quoted(kMaintainerName) << " ;\n"
      << "    foaf:homepage <" << kMaintainerHome << "> ;\n"
      << "    foaf:mbox <" << kMaintainerMail << ">\n"
      << "  ] ;\n"
      << "  lv2:minorVersion " << MORVANTE_VERSION_MINOR << " ;\n"
      << "  lv2:microVersion " << MORVANTE_VERSION_PATCH << " ;\n"
      << "  lv2:optionalFeature urid:map , opts:options ;\n"
      << "  opts:supportedOption bufsz:maxBlockLength , bufsz:nominalBlockLength ;\n"
      << "  lv2:extensionData state:interface ;\n";
  if (!uiBinary.empty()) out << "  ui:ui " << Uri(kLv2UiUri) << " ;\n";
  WritePorts(out, plug, ports);
}

// The ports whose values the user interface hears from the host besides its
// own writes: the latency and the meters.
void WriteUi(std::ostream& out, IPlugLV2& plug, const std::string& uiBinary) {
  const Lv2PortMap ports(plug, 2);
  out << Uri(kLv2UiUri) << "\n"
      << "  a ui:X11UI ;\n"
      << "  ui:binary <" << uiBinary << "> ;\n"
      << "  lv2:requiredFeature ui:parent , ui:idleInterface ;\n"
      << "  lv2:optionalFeature urid:map , ui:resize , ui:touch , opts:options , ui:noUserResize ;\n"
      << "  opts:supportedOption ui:scaleFactor ;\n"
      << "  lv2:extensionData ui:idleInterface ;\n"
      << "  ui:portNotification ";
  bool first = true;
  for (const PluginVariant& variant : kVariants) {
    for (int port = ports.LatencyPort(); port < ports.AudioInPort(0); ++port) {
      out << (first ? "[\n" : " , [\n") << "    ui:plugin " << Uri(variant.uri) << " ;\n"
          << "    lv2:symbol " << Quoted(ports.Symbol(port)) << " ;\n"
          << "    ui:protocol ui:floatProtocol\n  ]";
      first = false;
    }
  }
  out << " .\n";
}

// A factory preset ("Default", the effect's own default, among them) as a
// preset of both plug-ins, written from an instance set to it: every control
// port's value by symbol, and the state. False with a message when the
// instance does not give the table's state back unchanged, as a host's
// load of the preset would then not give the table's settings.
bool WritePreset(std::ostream& out, IPlugLV2& plug, const FactoryPreset& preset, const std::string& uri) {
  std::vector<double> values;
  std::string error;
  if (!FactoryPresetValues(preset, values, error)) {
    std::fprintf(stderr, "morvante-lv2-ttl: %s\n", error.c_str());
    return false;
  }
  const std::string table = FactoryPresetState(values);
  ByteChunk state;
  WDL_String encoded;
  if (!plug.RestoreState(table.data(), table.size()) || !plug.SaveState(&state) ||
      std::string(reinterpret_cast<const char*>(state.GetBytes()), static_cast<size_t>(state.Size())) != table ||
      !Base64Encode(state.GetBytes(), state.Size(), &encoded)) {
    std::fprintf(stderr, "morvante-lv2-ttl: the instance does not keep preset \"%s\" as given\n", preset.name);
    return false;
  }
  const Lv2PortMap ports(plug, 2);
  out << Uri(uri.c_str()) << "\n"
      << "  a pset:Preset ;\n"
      << "  lv2:appliesTo " << Uri(kLv2PluginUri) << " , " << Uri(kLv2MonoPluginUri) << " ;\n"
      << "  rdfs:label " << Quoted(preset.name) << " ;\n"
      << "  rdfs:comment " << Quoted(preset.purpose) << " ;\n"
      << "  lv2:port [\n";
  for (int port = 0; port < ports.NControlInputs(); ++port) {
    const IParam& param = *plug.GetParam(ports.PortParam(port));
    out << (port > 0 ? "  ] , [\n" : "") << "    lv2:symbol " << Quoted(ports.Symbol(port)) << " ;\n"
        << "    pset:value " << Number(static_cast<float>(param.Value())) << "\n";
  }
  out << "  ] ;\n"
      << "  state:state [\n"
      << "    " << Uri(kLv2StateKeyUri) << " [\n"
      << "      a " << Uri(kLv2StateTypeUri) << " ;\n"
      << "      rdf:value " << Quoted(encoded.Get()) << "^^xsd:base64Binary\n"
      << "    ]\n"
      << "  ] .\n\n";
  return true;
}

std::string PresetUri(const FactoryPreset& preset) {
  return std::string(kLv2PluginUri) + "#preset_" + Lv2PortMap::SymbolFromTitle(preset.name);
}

bool WriteFile(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  if (!file) std::fprintf(stderr, "morvante-lv2-ttl: cannot write %s\n", path.c_str());
  return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir, uiBinary;
  bool badArguments = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--ui-binary") == 0 && i + 1 < argc)
      uiBinary = argv[++i];
    else if (dir.empty())
      dir = argv[i];
    else
      badArguments = true;
  }
  if (dir.empty() || badArguments) {
    std::fprintf(stderr, "usage: morvante-lv2-ttl BUNDLE_DIR [--ui-binary FILE]\n");
    return 2;
  }
  auto plug = std::make_unique<MORVANTE>(IPlugInstanceInfo());

  std::ostringstream manifest;
  manifest << kPrefixes;
  for (const PluginVariant& variant : kVariants)
    manifest << Uri(variant.uri) << "\n  a lv2:Plugin ;\n  lv2:binary <" << kDspBinary
             << "> ;\n  rdfs:seeAlso <MORVANTE.ttl> .\n\n";
  if (!uiBinary.empty())
    manifest << Uri(kLv2UiUri) << "\n  a ui:X11UI ;\n  ui:binary <" << uiBinary
             << "> ;\n  rdfs:seeAlso <MORVANTE.ttl> .\n\n";
  for (const FactoryPreset& preset : FactoryPresets())
    manifest << Uri(PresetUri(preset).c_str()) << "\n  a pset:Preset ;\n  lv2:appliesTo " << Uri(kLv2PluginUri)
             << " , " << Uri(kLv2MonoPluginUri) << " ;\n  rdfs:seeAlso <presets.ttl> .\n\n";

  std::ostringstream plugins;
  plugins << kPrefixes;
  // The state's one property and its value type.
  plugins << Uri(kLv2StateKeyUri) << "\n  a rdf:Property ;\n  rdfs:label \"MORVANTE state\" ;\n"
          << "  rdfs:comment \"Every parameter of the instance and its bypass flag.\" ;\n  rdfs:range "
          << Uri(kLv2StateTypeUri) << " .\n\n"
          << Uri(kLv2StateTypeUri) << "\n  a rdfs:Class ;\n  rdfs:label \"MORVANTE state chunk\" ;\n"
          << "  rdfs:comment \"Each parameter as a little-endian double, in parameter order, then the bypass "
             "flag as a little-endian 32-bit integer.\" .\n\n";
  for (const PluginVariant& variant : kVariants) WritePlugin(plugins, *plug, variant, uiBinary);
  if (!uiBinary.empty()) WriteUi(plugins, *plug, uiBinary);

  // Last: each preset leaves the instance set to it.
  std::ostringstream presets;
  presets << kPrefixes;
  for (const FactoryPreset& preset : FactoryPresets())
    if (!WritePreset(presets, *plug, preset, PresetUri(preset))) return 1;

  const bool ok = WriteFile(dir + "/manifest.ttl", manifest.str()) &&
                  WriteFile(dir + "/MORVANTE.ttl", plugins.str()) && WriteFile(dir + "/presets.ttl", presets.str());
  return ok ? 0 : 1;
}
