// The format-independent base of every plug-in instance: parameters, presets,
// channel configuration, the processing frame, the editor and the instance
// lock.
#pragma once

#include "framework/host_info.h"
#include "framework/iparam.h"
#include "framework/iplug_channels.h"
#include "framework/ipreset.h"
#include "framework/itime_info.h"
#include "framework/wdl_heapbuf.h"
#include "framework/wdl_mutex.h"
#include "framework/wdl_ptrlist.h"
#include "framework/wdl_string.h"

class ByteChunk;
class IGraphics;
class LatencyDelayLine;
struct IMidiMsg;
struct ISysEx;

// The plug-in format an instance serves.
enum EAPI {
  kAPIVST2 = 0,
  kAPIVST3 = 1,
  kAPIAU = 2,
  kAPIRTAS = 3,
  kAPIAAX = 4,
  kAPISA = 5,
};

// Capacity of the effect, product and maker name fields, NUL included.
constexpr int PLUG_NAME_SIZE = 128;

class IPlugBase {
public:
  using ChannelIO = IPlugChannelIO;
  using InChannel = IPlugInChannel;
  using OutChannel = IPlugOutChannel;

  // channelIOStr lists the legal configurations as "in-out" pairs separated
  // by spaces, e.g. "1-1 2-2". Names longer than 127 characters are cut.
  IPlugBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName, const char* productName,
            const char* mfrName, int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
            bool plugDoesChunks, bool plugIsInst, EAPI plugAPI);
  IPlugBase(const IPlugBase&) = delete;
  IPlugBase& operator=(const IPlugBase&) = delete;

  // Virtual operations, in slot order. Those without a body here are
  // supplied by the format binding.
  virtual ~IPlugBase();
  virtual void Reset();
  virtual void OnParamChange(int paramIdx);
  // The base passes input i to output i and silences the outputs beyond the
  // inputs.
  virtual void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames);
  virtual void OnGUIOpen() {}
  virtual void OnGUIClose() {}
  virtual void OnIdle() {}
  virtual void OnActivate(bool active);
  virtual void ProcessMidiMsg(IMidiMsg* msg);
  virtual void ProcessSysEx(ISysEx*) {}
  // name must hold at least one byte.
  virtual bool MidiNoteName(int noteNumber, char* name);
  virtual bool SerializeState(ByteChunk* chunk);
  // Returns the position after the state, or -1 when the chunk ran short.
  virtual int UnserializeState(const ByteChunk* chunk, int startPos);
  // startPos counts 8-byte values, not bytes.
  virtual bool CompareState(const unsigned char* incomingState, int startPos);
  virtual void OnWindowResize() {}
  virtual bool HostRequestingAboutBox() { return false; }
  virtual void OnHostIdentified() {}
  virtual void PopupHostContextMenuForParam(int, int, int) {}
  virtual void SetParameterFromGUI(int paramIdx, double normalizedValue);
  virtual void BeginInformHostOfParamChange(int paramIdx) = 0;
  virtual void InformHostOfParamChange(int paramIdx, double normalizedValue) = 0;
  virtual void EndInformHostOfParamChange(int paramIdx) = 0;
  virtual void InformHostOfProgramChange() = 0;
  virtual bool IsRenderingOffline() { return false; }
  virtual double GetSamplePos() = 0;
  virtual double GetTempo() = 0;
  virtual void GetTimeSig(int* numerator, int* denominator) = 0;
  virtual void GetTime(ITimeInfo* timeInfo) = 0;
  virtual EHost GetHost() { return mHost; }
  virtual EAPI GetAPI() { return mAPI; }
  virtual void ResizeGraphics(int w, int h) = 0;
  virtual void HostSpecificInit() {}
  // Takes ownership of g (replacing and deleting an earlier editor) after
  // showing it every parameter's value.
  virtual void AttachGraphics(IGraphics* g);
  virtual void SetLatency(int samples);
  virtual bool SendMidiMsg(IMidiMsg* msg) = 0;
  virtual bool SendSysEx(ISysEx*) { return false; }
  virtual void RedrawParamControls();
  virtual void DirtyPTCompareState() {}
  virtual void PresetsChangedByHost() {}
  // Sizes the scratch buffers. The stored size is what every scratch buffer
  // really holds, so it stays below blockSize if memory runs out.
  virtual void SetBlockSize(int blockSize);

  // Channel configuration.
  // A negative count matches any count; an empty list is never legal.
  bool LegalIO(int nIn, int nOut) const;
  int NChannelIO() const { return mChannelIO.GetSize(); }
  const ChannelIO* GetChannelIO(int idx) const { return mChannelIO.Get(idx); }
  int NInChannels() const { return mInChannels.GetSize(); }
  int NOutChannels() const { return mOutChannels.GetSize(); }
  void SetInputChannelConnections(int idx, int n, bool connected);
  void SetOutputChannelConnections(int idx, int n, bool connected);
  bool IsInChannelConnected(int chIdx) const;
  bool IsOutChannelConnected(int chIdx) const;

  // Attaching one block's buffers: ppData holds one buffer per connected
  // channel in idx .. idx + n - 1, in channel order.
  void AttachInputBuffers(int idx, int n, double** ppData);
  // Converts at most the scratch length; the rest is converted piece by
  // piece when the block runs.
  void AttachInputBuffers(int idx, int n, float** ppData, int nFrames);
  void AttachOutputBuffers(int idx, int n, double** ppData);
  void AttachOutputBuffers(int idx, int n, float** ppData);

  // Running one block. A block longer than the scratch buffers is handed to
  // the effect in pieces of the block size, so nothing is written past them.
  void ProcessBuffers(double, int nFrames);
  void ProcessBuffers(float, int nFrames);
  void ProcessBuffersAccumulating(float, int nFrames);
  void PassThroughBuffers(double, int nFrames);
  void PassThroughBuffers(float, int nFrames);
  void ZeroScratchBuffers();

  // Settings.
  void SetSampleRate(double sampleRate) { mSampleRate = sampleRate; }
  double GetSampleRate() const { return mSampleRate; }
  int GetBlockSize() const { return mBlockSize; }
  int GetLatency() const { return mLatency; }
  int GetTailSize() const { return mTailSize; }
  void SetTailSize(int samples) { mTailSize = samples; }
  bool IsBypassed() const { return mIsBypassed; }
  void SetBypassed(bool bypassed) { mIsBypassed = bypassed; }
  // 0 while the host reports no tempo.
  double GetSamplesPerBeat();
  const char* GetAPIString();
  const char* GetArchString() const { return "x64"; }

  // Identity, versions and host.
  const char* GetEffectName() const { return mEffectName; }
  const char* GetProductName() const { return mProductName; }
  const char* GetMfrName() const { return mMfrName; }
  int GetUniqueID() const { return mUniqueID; }
  int GetMfrID() const { return mMfrID; }
  bool DoesStateChunks() const { return mStateChunks; }
  bool IsInst() const { return mIsInst; }
  bool DoesMIDI() const { return mDoesMIDI; }
  int GetEffectVersion(bool decimal) const;
  // str must hold at least 32 bytes.
  void GetEffectVersionStr(char* str) const;
  void SetHost(const char* host, int version);
  int GetHostVersion(bool decimal);
  // str must hold at least 32 bytes.
  void GetHostVersionStr(char* str);

  // Parameters and editor.
  int NParams() const { return mParams.GetSize(); }
  IParam* GetParam(int idx) const { return mParams.Get(idx); }
  int NPresets() const { return mPresets.GetSize(); }
  int GetCurrentPresetIdx() const { return mCurrentPresetIdx; }
  IGraphics* GetGUI() const { return mGraphics; }
  void OnParamReset();
  void DirtyParameters();
  // The instance lock; recursive, so the effect may take it again inside
  // calls that already hold it.
  WDL_Mutex* GetMutex() { return &mMutex; }

  // Labels. Channel labels are "" outside the channel lists; bus labels are
  // null where none is set.
  void SetInputLabel(int idx, const char* label);
  void SetOutputLabel(int idx, const char* label);
  const char* GetInputLabel(int idx) const;
  const char* GetOutputLabel(int idx) const;
  // Only the main (0) and auxiliary (1) input buses take labels.
  void SetInputBusLabel(int idx, const char* label);
  void SetOutputBusLabel(int idx, const char* label);
  const WDL_String* GetInputBusLabel(int idx) const { return mInputBusLabels.Get(idx); }
  const WDL_String* GetOutputBusLabel(int idx) const { return mOutputBusLabels.Get(idx); }

  // Sends every message; true only if every send succeeded.
  bool SendMidiMsgs(WDL_TypedBuf<IMidiMsg>* msgs);

  // State: one double per parameter, in index order, in its own units.
  bool SerializeParams(ByteChunk* chunk);
  int UnserializeParams(const ByteChunk* chunk, int startPos);

  // Making presets (the effect's constructor): each fills the first preset
  // not yet initialised and does nothing when there is none.
  // A null name gives "Empty".
  void MakeDefaultPreset(const char* name, int nPresets);

protected:
  // Builds the delay line for the bypass path when there is at least one
  // input, with the instance's channel counts and latency.
  void CreateLatencyDelayLine();
  LatencyDelayLine* GetLatencyDelayLine() const { return mLatencyDelayLine; }

private:
  enum class EFloatOutput { kNone, kReplace, kAccumulate };

  void ParseChannelIO(const char* channelIOStr, int* maxIn, int* maxOut);
  void CreateChannels(int nIn, int nOut);
  // Null when every preset is initialised.
  IPreset* NextUninitializedPreset();
  void RunBlock(int nFrames, bool passThrough, EFloatOutput floatOutput);
  void RunPiece(int nFrames, bool passThrough);
  int MaxFramesPerCall() const;
  void PointSlotsAt(int offset, int nConvert);
  void WriteFloatOutputs(EFloatOutput floatOutput, int offset, int nFrames);
  void SilenceHostOutputs(EFloatOutput floatOutput, int nFrames);

  WDL_OwnedPtrList<ChannelIO> mChannelIO;
  WDL_Mutex mMutex;
  char mEffectName[PLUG_NAME_SIZE] = {};
  char mProductName[PLUG_NAME_SIZE] = {};
  char mMfrName[PLUG_NAME_SIZE] = {};
  int mUniqueID;
  int mMfrID;
  int mVersion;
  EAPI mAPI;
  EHost mHost = kHostUninit;
  int mHostVersion = 0;
  bool mStateChunks;
  bool mIsInst;
  bool mDoesMIDI;
  bool mIsBypassed = false;
  int mCurrentPresetIdx = 0;
  double mSampleRate = 44100.0;
  int mBlockSize = 0;
  int mLatency;
  int mTailSize = 0;
  LatencyDelayLine* mLatencyDelayLine = nullptr;
  IGraphics* mGraphics = nullptr;
  WDL_OwnedPtrList<IParam> mParams;
  WDL_OwnedPtrList<IPreset> mPresets;
  // The channel records point into these arrays, so they are sized once, in
  // the constructor.
  WDL_TypedBuf<double*> mInData{4096};
  WDL_TypedBuf<double*> mOutData{4096};
  WDL_OwnedPtrList<InChannel> mInChannels;
  WDL_OwnedPtrList<OutChannel> mOutChannels;
  WDL_OwnedPtrList<WDL_String> mInputBusLabels;
  WDL_OwnedPtrList<WDL_String> mOutputBusLabels;
};
