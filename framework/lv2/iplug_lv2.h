// The plug-in base bound to LV2: one object is one plug-in instance. The
// processing instance is driven through its ports by the plug-in's
// descriptor; an editor's instance hands its edits to a listener, which
// turns them into port writes for the host.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/host_only_titles.h"
#include "framework/iplug_base.h"
#include "framework/iplug_instance_info.h"

class ByteChunk;
class Lv2PortMap;

// The user interface's sink for the edits made in an IPlugLV2's editor.
class Lv2EditListener {
public:
  virtual ~Lv2EditListener() = default;
  virtual void BeginEdit(int paramIdx) = 0;
  virtual void Edit(int paramIdx, double normalizedValue) = 0;
  virtual void EndEdit(int paramIdx) = 0;
  // False when the host refused the size.
  virtual bool ResizeEditor(int w, int h) = 0;
};

class IPlugLV2 : public IPlugBase {
public:
  // The scratch buffers' length when the host announces no block length;
  // longer blocks run in pieces of it.
  static constexpr int kDefaultBlockSize = 8192;
  // An announced block length above this is not taken as the scratch
  // length; such blocks run in pieces.
  static constexpr int kMaxScratchBlockSize = 65536;

  IPlugLV2(IPlugInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
           const char* effectName, const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
           int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst,
           int nSidechainChannels = 0);
  ~IPlugLV2() override;

  // For a parameter whose IParam has no name: the title hosts list it under.
  // A hidden parameter gets no port.
  void SetHostOnlyTitle(int paramIdx, const char* title, bool hiddenFromHost = false);
  // The IParam's name, or the host-only title; "" outside the parameters.
  const char* HostTitle(int paramIdx) const;
  bool IsHiddenFromHost(int paramIdx) const;
  // Null: edits go nowhere (the processing instance has no editor shown).
  void SetEditListener(Lv2EditListener* listener) { mEditListener = listener; }

  // ---- The processing instance ----
  // Once, before anything else: the rate, the largest block the host
  // announced (0 or less: none) and the plug-in's audio channels (1 or 2).
  // Sizes everything, so that nothing allocates later. False for a rate no
  // filter can be designed for.
  bool Instantiate(double sampleRate, int maxBlockLength, int nChannels);
  // Null before Instantiate.
  const Lv2PortMap* PortMap() const { return mPorts.get(); }
  // A port outside the map is ignored; a null buffer disconnects the port.
  void ConnectPort(uint32_t port, void* data);
  void Activate();
  void Deactivate();
  // One block: the control ports that changed since the last block are
  // applied as parameter changes, the enabled port as the host bypass; then
  // the audio runs, and the latency and meter ports are written.
  void Run(uint32_t nFrames);

  // The state hosts keep: every parameter and the bypass, as the VST3
  // binding keeps it. A restore is all or nothing: anything but a complete
  // state of the exact size leaves the instance as it was.
  bool SaveState(ByteChunk* chunk);
  bool RestoreState(const void* data, size_t size);

  // IPlugBase.
  double GetSamplePos() override { return 0.0; }
  double GetTempo() override { return 0.0; }
  void GetTimeSig(int* numerator, int* denominator) override;
  void GetTime(ITimeInfo* timeInfo) override;
  bool SendMidiMsg(IMidiMsg*) override { return false; }
  void InformHostOfProgramChange() override {}
  void BeginInformHostOfParamChange(int paramIdx) override;
  void InformHostOfParamChange(int paramIdx, double normalizedValue) override;
  void EndInformHostOfParamChange(int paramIdx) override;
  bool ResizeGraphics(int w, int h) override;

private:
  void ApplyControlPorts();
  void ConnectAudio(int nFrames);
  void WriteOutputPorts();

  HostOnlyTitles mHostOnlyTitles;
  Lv2EditListener* mEditListener = nullptr;
  std::unique_ptr<Lv2PortMap> mPorts;
  // The host's buffer of every port (null while unconnected).
  std::vector<float*> mPortData;
  // Per control input port, the value last applied; NaN until the first.
  std::vector<float> mAppliedPortValues;
  // Scratch for the host's audio channels of one block.
  std::vector<float*> mInputChannels;
  std::vector<float*> mOutputChannels;
};

// The effect's instance for the LV2 build; defined by the bundle's sources.
IPlugLV2* MakeLv2Plug();
