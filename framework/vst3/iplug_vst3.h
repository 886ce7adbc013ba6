// The plug-in base bound to VST3: one object is the plug-in, the component,
// the audio processor and the edit controller.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "framework/block_pieces.h"
#include "framework/host_only_titles.h"
#include "framework/iplug_base.h"
#include "framework/iplug_instance_info.h"
#include "framework/vst3/iplug_diagnostics.h"
#include "framework/vst3/single_component_effect.h"
#include "framework/wdl_ptrlist.h"
#include "framework/wdl_string.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"

class IPlugVST3View;

namespace Steinberg {
namespace Vst {
class IParameterChanges;
}
}  // namespace Steinberg

class IPlugVST3 : public IPlugBase, public SingleComponentEffect, public IPlugDiagnostics {
public:
  // The four characters "prst" and "bpas": the host-visible preset selector
  // and host bypass, beside the parameters' own tags 0 .. NParams() - 1.
  static constexpr Steinberg::Vst::ParamID kPresetParamTag = 0x70727374;
  static constexpr Steinberg::Vst::ParamID kBypassParamTag = 0x62706173;
  static constexpr Steinberg::Vst::ProgramListID kPresetListId = 0x70727374;

  IPlugVST3(IPlugInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
            const char* effectName, const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
            int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst,
            int nSidechainChannels = 0);
  ~IPlugVST3() override;

  // Component and processor.
  Steinberg::tresult PLUGIN_API initialize(Steinberg::FUnknown* context) override;
  Steinberg::tresult PLUGIN_API setBusArrangements(Steinberg::Vst::SpeakerArrangement* inputs,
                                                   Steinberg::int32 numIns,
                                                   Steinberg::Vst::SpeakerArrangement* outputs,
                                                   Steinberg::int32 numOuts) override;
  Steinberg::tresult PLUGIN_API setActive(Steinberg::TBool state) override;
  Steinberg::tresult PLUGIN_API setupProcessing(Steinberg::Vst::ProcessSetup& setup) override;
  Steinberg::tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) override;
  Steinberg::tresult PLUGIN_API canProcessSampleSize(Steinberg::int32 symbolicSampleSize) override;
  Steinberg::uint32 PLUGIN_API getLatencySamples() override;
  Steinberg::uint32 PLUGIN_API getTailSamples() override;
  // The component's state is the controller's stream: hosts that keep only
  // one of them restore every setting from it.
  Steinberg::tresult setComponentOwnState(Steinberg::IBStream* state) override;
  Steinberg::tresult getComponentOwnState(Steinberg::IBStream* state) override;

  // Controller.
  Steinberg::IPlugView* PLUGIN_API createView(Steinberg::FIDString name) override;
  Steinberg::tresult setEditorState(Steinberg::IBStream* state) override;
  Steinberg::tresult getEditorState(Steinberg::IBStream* state) override;
  // One object holds both sides, so this restores the same stream again:
  // harmless after the component's setState, and complete without it.
  Steinberg::tresult PLUGIN_API setComponentState(Steinberg::IBStream* state) override;
  Steinberg::tresult PLUGIN_API setParamNormalized(Steinberg::Vst::ParamID tag,
                                                   Steinberg::Vst::ParamValue value) override;
  Steinberg::Vst::ParamValue PLUGIN_API getParamNormalized(Steinberg::Vst::ParamID tag) override;
  Steinberg::Vst::ParamValue PLUGIN_API plainParamToNormalized(Steinberg::Vst::ParamID tag,
                                                               Steinberg::Vst::ParamValue plainValue) override;
  Steinberg::tresult PLUGIN_API getParamStringByValue(Steinberg::Vst::ParamID tag,
                                                      Steinberg::Vst::ParamValue valueNormalized,
                                                      Steinberg::Vst::String128 string) override;
  Steinberg::tresult PLUGIN_API getParamValueByString(Steinberg::Vst::ParamID tag, Steinberg::Vst::TChar* string,
                                                      Steinberg::Vst::ParamValue& valueNormalized) override;

  // Units and programs.
  Steinberg::int32 PLUGIN_API getUnitCount() override;
  Steinberg::tresult PLUGIN_API getUnitInfo(Steinberg::int32 unitIndex, Steinberg::Vst::UnitInfo& info) override;
  Steinberg::int32 PLUGIN_API getProgramListCount() override;
  Steinberg::tresult PLUGIN_API getProgramListInfo(Steinberg::int32 listIndex,
                                                   Steinberg::Vst::ProgramListInfo& info) override;
  Steinberg::tresult PLUGIN_API getProgramName(Steinberg::Vst::ProgramListID listId, Steinberg::int32 programIndex,
                                               Steinberg::Vst::String128 name) override;
  Steinberg::tresult PLUGIN_API getProgramInfo(Steinberg::Vst::ProgramListID listId, Steinberg::int32 programIndex,
                                               Steinberg::Vst::CString attributeId,
                                               Steinberg::Vst::String128 attributeValue) override;
  Steinberg::tresult PLUGIN_API hasProgramPitchNames(Steinberg::Vst::ProgramListID listId,
                                                     Steinberg::int32 programIndex) override;
  Steinberg::tresult PLUGIN_API getProgramPitchName(Steinberg::Vst::ProgramListID listId,
                                                    Steinberg::int32 programIndex, Steinberg::int16 midiPitch,
                                                    Steinberg::Vst::String128 name) override;
  Steinberg::Vst::UnitID PLUGIN_API getSelectedUnit() override;
  Steinberg::tresult PLUGIN_API selectUnit(Steinberg::Vst::UnitID unitId) override;
  Steinberg::tresult PLUGIN_API getUnitByBus(Steinberg::Vst::MediaType type, Steinberg::Vst::BusDirection dir,
                                             Steinberg::int32 busIndex, Steinberg::int32 channel,
                                             Steinberg::Vst::UnitID& unitId) override;
  Steinberg::tresult PLUGIN_API setUnitProgramData(Steinberg::int32 listOrUnitId, Steinberg::int32 programIndex,
                                                   Steinberg::IBStream* data) override;

  // Edits sent to the host: kResultFalse while the host has set no handler.
  Steinberg::tresult beginEdit(Steinberg::Vst::ParamID tag) override;
  Steinberg::tresult performEdit(Steinberg::Vst::ParamID tag, Steinberg::Vst::ParamValue valueNormalized) override;
  Steinberg::tresult endEdit(Steinberg::Vst::ParamID tag) override;

  // IPlugDiagnostics.
  Steinberg::int32 PLUGIN_API getHostId() override { return GetHost(); }
  Steinberg::int32 PLUGIN_API getViewCount() override { return mViews.GetSize(); }

  OBJ_METHODS(IPlugVST3, SingleComponentEffect)
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return SingleComponentEffect::addRef(); }
  Steinberg::uint32 PLUGIN_API release() override { return SingleComponentEffect::release(); }

  // IPlugBase, for the effect and the editor.
  bool IsRenderingOffline() override;
  double GetSamplePos() override;
  double GetTempo() override;
  void GetTimeSig(int* numerator, int* denominator) override;
  void GetTime(ITimeInfo* timeInfo) override;
  bool SendMidiMsg(IMidiMsg* msg) override;
  void InformHostOfProgramChange() override {}
  void BeginInformHostOfParamChange(int paramIdx) override;
  void InformHostOfParamChange(int paramIdx, double normalizedValue) override;
  void EndInformHostOfParamChange(int paramIdx) override;
  bool HostOffersParamContextMenu() override { return true; }
  void PopupHostContextMenuForParam(int paramIdx, int x, int y) override;
  void SetLatency(int samples) override;
  bool ResizeGraphics(int w, int h) override;

  // Views tell the plug-in when they go. Empties the whole list: the views
  // are the host's, and a list that might name a destroyed one is never kept.
  void removeDependentView(IPlugVST3View* view);

protected:
  // For a parameter whose IParam has no name: the title hosts list it under
  // (the IParam and the editor keep the empty name). A hidden parameter is
  // kept out of the host's lists and automation. Takes effect at the next
  // initialize.
  void SetHostOnlyTitle(int paramIdx, const char* title, bool hiddenFromHost = false);

private:
  static bool BypassIsOn(double normalized) { return normalized > 0.5; }
  bool IsParamTag(Steinberg::Vst::ParamID tag) const { return tag < static_cast<Steinberg::uint32>(NParams()); }
  void IdentifyHost(Steinberg::FUnknown* context);
  void AddBuses();
  void AddHostParameters();
  // The unit of a parameter group: 0 for none, else its 1-based place in the
  // group list, which grows as new groups turn up.
  Steinberg::Vst::UnitID UnitForGroup(const char* group);
  void SetHostBypass(bool bypassed);
  // The state stream, written and read all or nothing under the instance
  // lock.
  Steinberg::tresult WriteStateStream(Steinberg::IBStream* state);
  Steinberg::tresult ReadStateStream(Steinberg::IBStream* state);
  // Cuts the block at the offsets of the host's points (see BlockPieces);
  // a piece's changes are applied just before it runs.
  void CutAtParameterChanges(Steinberg::Vst::IParameterChanges* changes, Steinberg::int32 numSamples);
  void ApplyPieceChanges(Steinberg::Vst::IParameterChanges* changes, int pieceIdx);
  void ApplyParameterChange(Steinberg::Vst::ParamID tag, double value);
  void ConnectInputBuffers(Steinberg::Vst::ProcessData& data);
  void ConnectOutputBuffers(Steinberg::Vst::ProcessData& data);
  void SilenceActiveOutputs(Steinberg::Vst::ProcessData& data);

  int mSideChainChannels;
  bool mSideChainIsActive = false;
  Steinberg::Vst::ProcessContext mProcessContext{};
  BlockPieces mPieces;
  WDL_PtrList<IPlugVST3View> mViews;
  WDL_OwnedPtrList<WDL_String> mParamGroups;
  HostOnlyTitles mHostOnlyTitles;
  // The base's bypass flag is what the audio follows, set only by blocks and
  // state restores. This is the host bypass parameter as the controller
  // reports it: the host may also set it from its own thread.
  std::atomic<bool> mHostBypassed{false};
  // False until setupProcessing has sized the scratch buffers and set the
  // rate; blocks before that are silent.
  bool mProcessingSetUp = false;
};
