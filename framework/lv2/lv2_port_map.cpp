#include "framework/lv2/lv2_port_map.h"

#include <cctype>

#include "framework/lv2/iplug_lv2.h"

namespace {
const char* const kMonoIn[] = {"in"};
const char* const kMonoOut[] = {"out"};
const char* const kStereoIn[] = {"in_l", "in_r"};
const char* const kStereoOut[] = {"out_l", "out_r"};
}  // namespace

std::string Lv2PortMap::SymbolFromTitle(const char* title) {
  std::string symbol;
  bool gap = false;
  for (const char* c = title ? title : ""; *c; ++c) {
    const unsigned char u = static_cast<unsigned char>(*c);
    if (std::isalnum(u) && u < 0x80) {
      if (gap && !symbol.empty()) symbol += '_';
      symbol += static_cast<char>(std::tolower(u));
      gap = false;
    } else {
      gap = true;
    }
  }
  // A symbol may not start with a digit, nor be empty.
  if (symbol.empty() || std::isdigit(static_cast<unsigned char>(symbol[0]))) symbol.insert(0, "_");
  return symbol;
}

Lv2PortMap::Lv2PortMap(const IPlugLV2& plug, int nChannels)
    : mNChannels(nChannels == 1 ? 1 : 2), mNMeters(plug.NMeters()) {
  mParamPorts.assign(static_cast<size_t>(plug.NParams()), -1);
  for (int i = 0; i < plug.NParams(); ++i) {
    if (plug.IsHiddenFromHost(i)) continue;
    mParamPorts[static_cast<size_t>(i)] = static_cast<int>(mPortParams.size());
    mPortParams.push_back(i);
    mSymbols.push_back(SymbolFromTitle(plug.HostTitle(i)));
  }
  mSymbols.emplace_back("enabled");
  mSymbols.emplace_back("latency");
  for (int m = 0; m < mNMeters; ++m) mSymbols.push_back(SymbolFromTitle(plug.GetMeterName(m)));
  const char* const* ins = mNChannels == 1 ? kMonoIn : kStereoIn;
  const char* const* outs = mNChannels == 1 ? kMonoOut : kStereoOut;
  for (int c = 0; c < mNChannels; ++c) mSymbols.emplace_back(ins[c]);
  for (int c = 0; c < mNChannels; ++c) mSymbols.emplace_back(outs[c]);
}

int Lv2PortMap::ParamPort(int paramIdx) const {
  return paramIdx >= 0 && paramIdx < static_cast<int>(mParamPorts.size()) ? mParamPorts[static_cast<size_t>(paramIdx)]
                                                                          : -1;
}

int Lv2PortMap::PortParam(int port) const {
  return port >= 0 && port < NControlInputs() ? mPortParams[static_cast<size_t>(port)] : -1;
}

int Lv2PortMap::MeterPort(int meterIdx) const {
  return meterIdx >= 0 && meterIdx < mNMeters ? LatencyPort() + 1 + meterIdx : -1;
}

int Lv2PortMap::PortMeter(int port) const {
  const int m = port - (LatencyPort() + 1);
  return m >= 0 && m < mNMeters ? m : -1;
}

int Lv2PortMap::AudioInPort(int ch) const { return ch >= 0 && ch < mNChannels ? FirstAudioPort() + ch : -1; }

int Lv2PortMap::AudioOutPort(int ch) const {
  return ch >= 0 && ch < mNChannels ? FirstAudioPort() + mNChannels + ch : -1;
}

const char* Lv2PortMap::Symbol(int port) const {
  return port >= 0 && port < NPorts() ? mSymbols[static_cast<size_t>(port)].c_str() : "";
}
