// The port layout of MORVANTE's LV2 plug-ins, shared by the processing, the
// user interface and the description generator so they cannot disagree.
// The order is the same in the stereo and the mono plug-in, so every control
// port has the same index in both:
//   0 .. C-1     control inputs: one per parameter not hidden from hosts, in
//                parameter index order, in the parameter's own units
//   C            "enabled": the host bypass (1 processes, 0 bypasses)
//   C+1          "latency": control output, the latency in samples
//   C+2 .. C+1+M control outputs: the M meters of the instance
//   then the audio inputs ("in", or "in_l" and "in_r"), then the audio
//   outputs ("out", or "out_l" and "out_r").
#pragma once

#include <string>
#include <vector>

class IPlugLV2;

class Lv2PortMap {
public:
  // nChannels: 1 (mono) or 2 (stereo); anything else counts as stereo.
  Lv2PortMap(const IPlugLV2& plug, int nChannels);

  int NPorts() const { return static_cast<int>(mSymbols.size()); }
  int NChannels() const { return mNChannels; }
  int NControlInputs() const { return static_cast<int>(mPortParams.size()); }
  // -1 for a hidden parameter or an index outside the parameters.
  int ParamPort(int paramIdx) const;
  // -1 for a port that is no effect parameter.
  int PortParam(int port) const;
  int EnabledPort() const { return NControlInputs(); }
  int LatencyPort() const { return NControlInputs() + 1; }
  int NMeters() const { return mNMeters; }
  // -1 outside the meters.
  int MeterPort(int meterIdx) const;
  int PortMeter(int port) const;
  // -1 outside the channels.
  int AudioInPort(int ch) const;
  int AudioOutPort(int ch) const;
  // "" outside the ports.
  const char* Symbol(int port) const;

  // A port symbol from a title: lower case letters, digits and single
  // underscores where anything else stood ("Low Mid Threshold" gives
  // "low_mid_threshold", "MODE-L" gives "mode_l").
  static std::string SymbolFromTitle(const char* title);

private:
  int FirstAudioPort() const { return LatencyPort() + 1 + mNMeters; }

  int mNChannels;
  int mNMeters;
  std::vector<int> mPortParams;  // parameter of each control input port
  std::vector<int> mParamPorts;  // port of each parameter, -1 when hidden
  std::vector<std::string> mSymbols;
};
