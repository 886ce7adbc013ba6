// The format-independent base of every plug-in instance: parameters, presets,
// channel configuration, the processing frame, the editor and the instance
// lock.
#pragma once

#include <atomic>
#include <memory>

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
  kAPILV2 = 6,
};

// Capacity of the effect, product and maker name fields, NUL included.
constexpr int PLUG_NAME_SIZE = 128;
// Program and bank files above this size are refused before they are read:
// a bank of 128 presets of this effect takes under 64 KiB.
constexpr long MAX_PROGRAM_FILE_SIZE = 16L * 1024 * 1024;

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
  // A host made a view of the editor and is about to ask its size: the
  // editor takes the shape the user left it in.
  virtual void OnGUIViewCreated() {}
  // Opens or closes the editor's display strip, for tools that draw the
  // editor without a window. False when the editor has none.
  virtual bool ShowEditorDisplay(bool /*show*/) { return false; }
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
  // Whether the host shows a menu of its own for a parameter (automation,
  // MIDI learn): the editor then hands it the secondary-button click on a
  // parameter's control instead of the control.
  virtual bool HostOffersParamContextMenu() { return false; }
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
  // The editor's new size in device pixels, for the host's window. False
  // when the host refused it (the window keeps the size it had); true when
  // it took it or has no window to be told about yet.
  virtual bool ResizeGraphics(int w, int h) = 0;
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
  // Runs frames offset .. offset + nFrames - 1 of the attached block alone
  // (processed, or passed through one latency late), so that a binding can
  // change parameters between pieces of a block. Pieces come in order and
  // do not overlap.
  void ProcessBufferRange(double, int offset, int nFrames, bool passThrough);
  void ProcessBufferRange(float, int offset, int nFrames, bool passThrough);
  void ZeroScratchBuffers();

  // Settings.
  void SetSampleRate(double sampleRate) { mSampleRate = sampleRate; }
  double GetSampleRate() const { return mSampleRate; }
  int GetBlockSize() const { return mBlockSize; }
  int GetLatency() const { return mLatency; }
  // The effect may change its tail while processing; the host reads it from
  // its own thread.
  int GetTailSize() const { return mTailSize.load(std::memory_order_relaxed); }
  void SetTailSize(int samples) { mTailSize.store(samples, std::memory_order_relaxed); }
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

  // Level meters the effect publishes once per block, for bindings whose
  // host or editor cannot read the editor's controls (an LV2 host's output
  // ports, an editor in another instance). A meter is registered with the
  // editor control that shows it; AddMeter returns its index, or -1 once
  // kMaxMeters are registered. Values are read whole from any thread.
  static constexpr int kMaxMeters = 8;
  static constexpr int kMeterNameSize = 32;
  int AddMeter(const char* name, int controlIdx);
  // Does nothing for an index that names no meter.
  void SetMeterValue(int meterIdx, double value);
  int NMeters() const { return mNMeters; }
  // "" and -1 outside the meters; 0 for a meter never set.
  const char* GetMeterName(int meterIdx) const;
  int GetMeterControlIdx(int meterIdx) const;
  double GetMeterValue(int meterIdx) const;

  // Sends every message; true only if every send succeeded.
  bool SendMidiMsgs(WDL_TypedBuf<IMidiMsg>* msgs);

  // State: one double per parameter, in index order, in its own units.
  bool SerializeParams(ByteChunk* chunk);
  int UnserializeParams(const ByteChunk* chunk, int startPos);

  // Framework version tag: 0x70666674 then the framework version, written in
  // front of the state inside program and bank files only.
  static void InitChunkWithIPlugVer(ByteChunk* chunk);
  // Returns the version and moves *pPos past the tag when the chunk holds the
  // tag at *pPos; 0 (and *pPos untouched) without it; 0 and *pPos = -1 when
  // the version after the tag is cut off.
  static int GetIPlugVerFromChunk(const ByteChunk* chunk, int* pPos);

  // Making presets (the effect's constructor): each fills the first preset
  // not yet initialised and does nothing when there is none. Names longer
  // than 255 characters are cut; a null name gives "Empty".
  void MakeDefaultPreset(const char* name, int nPresets);
  // One value per parameter, in index order: an int for bool, int and enum
  // parameters, a double otherwise.
  void MakePreset(const char* name, ...);
  // nParamsNamed pairs of (int index, value typed as in MakePreset); the
  // parameters not named keep their current values. An index outside the
  // parameters ends the list, as the type of its value cannot be known.
  void MakePresetFromNamedParams(const char* name, int nParamsNamed, ...);
  // A null chunk gives an empty state.
  void MakePresetFromChunk(const char* name, const ByteChunk* pChunk);
  // Decodes Base64 into exactly sizeOfChunk bytes, zero-filled where the text
  // runs short. A negative size makes nothing.
  void MakePresetFromBlob(const char* name, const char* blob, int sizeOfChunk);
  // Every preset still uninitialised takes the current state as "Empty".
  void EnsureDefaultPreset();
  // The current preset index follows its preset, or becomes 0 when that
  // preset is removed.
  void PruneUninitializedPresets();

  // Using presets. A failed restore leaves the parameters as they were.
  bool RestorePreset(int idx);
  bool RestorePreset(const char* name);
  // "" outside the list.
  const char* GetPresetName(int idx) const;
  // The current preset takes the current state, and name unless it is null
  // or empty.
  void ModifyCurrentPreset(const char* name = nullptr);
  // The bank state: per preset its name, initialised flag and state.
  bool SerializePresets(ByteChunk* chunk);
  // All or nothing: on failure (-1) the presets and parameters stay as they
  // were; a bank with fewer entries than presets fails.
  int UnserializePresets(const ByteChunk* chunk, int startPos);

  // Developer output of presets as source text; false when the file cannot
  // be written. paramEnumNames may be null (indices are written instead).
  bool DumpPresetSrcCode(const char* path, const char** paramEnumNames);
  bool DumpPresetBlob(const char* path);
  bool DumpBankBlob(const char* path);

  // VST 2 program (fxp) and bank (fxb) files; the chunk variant when the
  // instance does state chunks, the parameter variant otherwise. Loads of
  // files above MAX_PROGRAM_FILE_SIZE are refused unread. A failed load
  // leaves parameters and presets as they were.
  bool SaveProgramAsFXP(const WDL_String* pFileName);
  bool SaveBankAsFXB(const WDL_String* pFileName);
  bool LoadProgramFromFXP(const WDL_String* pFileName);
  bool LoadBankFromFXB(const WDL_String* pFileName);
  // The same formats in memory: the file operations only move these bytes.
  bool MakeProgramFXPData(ByteChunk* out);
  bool MakeBankFXBData(ByteChunk* out);
  bool LoadProgramFromFXPData(const ByteChunk* data);
  bool LoadBankFromFXBData(const ByteChunk* data);

protected:
  // Builds the delay line for the bypass path when there is at least one
  // input, with the instance's channel counts and latency.
  void CreateLatencyDelayLine();
  LatencyDelayLine* GetLatencyDelayLine() const { return mLatencyDelayLine; }

private:
  enum class EFloatOutput { kNone, kReplace, kAccumulate };

  void ParseChannelIO(const char* channelIOStr, int* maxIn, int* maxOut);
  void CreateChannels(int nIn, int nOut);
  // Marks, names and empties the first uninitialised preset; null when
  // every preset is initialised.
  IPreset* TakeNextUninitializedPreset(const char* name);
  // Unserializes the state; on failure puts back the state the instance had
  // before and returns -1.
  int UnserializeStateOrKeep(const ByteChunk* chunk, int startPos);
  void ReserveStateBackup();
  // Gives an uninitialised preset the current state under a "user preset"
  // name.
  bool CaptureIntoPreset(IPreset* preset);
  // Swaps in a preset without allocating; the old one is deleted.
  void ReplacePreset(int idx, IPreset* replacement);
  bool LoadParamBank(const ByteChunk* data);
  void RunBlock(int offset, int nFrames, bool passThrough, EFloatOutput floatOutput);
  void RunPiece(int nFrames, bool passThrough);
  int MaxFramesPerCall() const;
  void PointSlotsAt(int offset, int nConvert);
  void WriteFloatOutputs(EFloatOutput floatOutput, int offset, int nFrames);
  void SilenceHostOutputs(EFloatOutput floatOutput, int offset, int nFrames);

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
  std::atomic<int> mTailSize{0};
  struct Meter {
    char name[kMeterNameSize] = {};
    int controlIdx = -1;
    std::atomic<double> value{0.0};
  };
  Meter mMeters[kMaxMeters];
  int mNMeters = 0;
  LatencyDelayLine* mLatencyDelayLine = nullptr;
  IGraphics* mGraphics = nullptr;
  WDL_OwnedPtrList<IParam> mParams;
  WDL_OwnedPtrList<IPreset> mPresets;
  // The state before a restore, to put back if the restore fails. Sized
  // once, so that a preset change on the audio thread allocates nothing.
  std::unique_ptr<ByteChunk> mStateBackup;
  // The channel records point into these arrays, so they are sized once, in
  // the constructor.
  WDL_TypedBuf<double*> mInData{4096};
  WDL_TypedBuf<double*> mOutData{4096};
  WDL_OwnedPtrList<InChannel> mInChannels;
  WDL_OwnedPtrList<OutChannel> mOutChannels;
  WDL_OwnedPtrList<WDL_String> mInputBusLabels;
  WDL_OwnedPtrList<WDL_String> mOutputBusLabels;
};
