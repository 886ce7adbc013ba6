// IPlugVST3, controller side: parameter values and texts, units, the program
// list, edits sent to the host and the editor views.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/host_info.h"
#include "framework/vst3/iplug_vst3.h"
#include "framework/vst3/iplug_vst3_view.h"
#include "framework/vst3/vst3_strings.h"
#include "graphics/igraphics.h"
#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

// The host bypass is stored, on or off as its two display texts say, for the
// host to read back; the audio follows it when the host delivers it to
// process, as it does every parameter.
tresult PLUGIN_API IPlugVST3::setParamNormalized(ParamID tag, ParamValue value) {
  if (std::isnan(value)) return kResultFalse;
  value = std::min(std::max(value, 0.0), 1.0);
  if (tag == kBypassParamTag && !IsInst()) {
    mHostBypassed.store(BypassIsOn(value), std::memory_order_relaxed);
    return kResultOk;
  }
  if (!IsParamTag(tag)) return kResultFalse;
  GetParam(static_cast<int>(tag))->SetNormalized(value);
  return kResultOk;
}

ParamValue PLUGIN_API IPlugVST3::getParamNormalized(ParamID tag) {
  if (tag == kBypassParamTag) return mHostBypassed.load(std::memory_order_relaxed) ? 1.0 : 0.0;
  if (IsParamTag(tag)) return GetParam(static_cast<int>(tag))->GetNormalized();
  return 0.0;
}

ParamValue PLUGIN_API IPlugVST3::plainParamToNormalized(ParamID tag, ParamValue plainValue) {
  if (IsParamTag(tag)) return GetParam(static_cast<int>(tag))->GetNormalized(plainValue);
  return plainValue;
}

tresult PLUGIN_API IPlugVST3::getParamStringByValue(ParamID tag, ParamValue valueNormalized, String128 string) {
  if (!string) return kResultFalse;
  if (tag == kBypassParamTag && !IsInst()) {
    // The same threshold as process: above one half is on.
    Utf8ToUtf16(BypassIsOn(valueNormalized) ? "on" : "off", string, 128);
    return kResultOk;
  }
  if (!IsParamTag(tag)) return kResultFalse;
  char display[PARAM_DISPLAY_BUFFER_SIZE];
  GetParam(static_cast<int>(tag))->GetDisplayForHost(valueNormalized, true, display, true);
  Utf8ToUtf16(display, string, 128);
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::getParamValueByString(ParamID tag, TChar* string, ParamValue& valueNormalized) {
  if (!string) return kResultFalse;
  Parameter* parameter = getParameterObject(tag);
  if (parameter && parameter->fromString(string, valueNormalized)) return kResultOk;
  return kResultFalse;
}

int32 PLUGIN_API IPlugVST3::getUnitCount() { return mParamGroups.GetSize() + 1; }

tresult PLUGIN_API IPlugVST3::getUnitInfo(int32 unitIndex, UnitInfo& info) {
  if (unitIndex == 0) {
    info.id = kRootUnitId;
    info.parentUnitId = kNoParentUnitId;
    Utf8ToUtf16("Root Unit", info.name, 128);
    info.programListId = kNoProgramListId;
    return kResultOk;
  }
  const WDL_String* group = mParamGroups.Get(unitIndex - 1);
  if (unitIndex < 0 || !group) return kResultFalse;
  info.id = unitIndex;
  info.parentUnitId = kRootUnitId;
  Utf8ToUtf16(group->Get(), info.name, 128);
  info.programListId = kNoProgramListId;
  return kResultOk;
}

// The presets are not announced as a program list; the "Preset" parameter
// selects them.
int32 PLUGIN_API IPlugVST3::getProgramListCount() { return 0; }

tresult PLUGIN_API IPlugVST3::getProgramListInfo(int32 listIndex, ProgramListInfo& info) {
  if (listIndex != 0) return kResultFalse;
  info.id = kPresetListId;
  Utf8ToUtf16("Factory Presets", info.name, 128);
  info.programCount = NPresets();
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::getProgramName(ProgramListID listId, int32 programIndex, String128 name) {
  if (listId != kPresetListId || !name) return kResultFalse;
  Utf8ToUtf16(GetPresetName(programIndex), name, 128);
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::getProgramInfo(ProgramListID, int32, Vst::CString, String128) { return kNotImplemented; }

tresult PLUGIN_API IPlugVST3::hasProgramPitchNames(ProgramListID, int32) { return kNotImplemented; }

tresult PLUGIN_API IPlugVST3::getProgramPitchName(ProgramListID, int32, int16, String128) { return kNotImplemented; }

UnitID PLUGIN_API IPlugVST3::getSelectedUnit() { return kRootUnitId; }

tresult PLUGIN_API IPlugVST3::selectUnit(UnitID) { return kNotImplemented; }

tresult PLUGIN_API IPlugVST3::getUnitByBus(MediaType, BusDirection, int32, int32, UnitID&) { return kNotImplemented; }

tresult PLUGIN_API IPlugVST3::setUnitProgramData(int32, int32, IBStream*) { return kNotImplemented; }

tresult IPlugVST3::beginEdit(ParamID tag) {
  return componentHandler ? componentHandler->beginEdit(tag) : kResultFalse;
}

tresult IPlugVST3::performEdit(ParamID tag, ParamValue valueNormalized) {
  return componentHandler ? componentHandler->performEdit(tag, valueNormalized) : kResultFalse;
}

tresult IPlugVST3::endEdit(ParamID tag) { return componentHandler ? componentHandler->endEdit(tag) : kResultFalse; }

void IPlugVST3::BeginInformHostOfParamChange(int paramIdx) {
  Trace("BeginInformHostOfParamChange", __LINE__, "%d", paramIdx);
  beginEdit(static_cast<ParamID>(paramIdx));
}

void IPlugVST3::InformHostOfParamChange(int paramIdx, double normalizedValue) {
  Trace("InformHostOfParamChange", __LINE__, "%d:%f", paramIdx, normalizedValue);
  performEdit(static_cast<ParamID>(paramIdx), normalizedValue);
}

void IPlugVST3::EndInformHostOfParamChange(int paramIdx) {
  Trace("EndInformHostOfParamChange", __LINE__, "%d", paramIdx);
  endEdit(static_cast<ParamID>(paramIdx));
}

void IPlugVST3::PopupHostContextMenuForParam(int paramIdx, int x, int y) {
  IPlugVST3View* view = mViews.Get(0);
  if (!componentHandler || !view) return;
  FUnknownPtr<IComponentHandler3> handler3(componentHandler);
  if (!handler3) return;
  const ParamID tag = static_cast<ParamID>(paramIdx);
  if (IContextMenu* menu = handler3->createContextMenu(view, &tag)) {
    menu->popup(x, y);
    menu->release();
  }
}

void IPlugVST3::SetLatency(int samples) {
  IPlugBase::SetLatency(samples);
  // Before the host has set a handler it reads the latency when it first
  // asks; there is nobody to tell yet.
  if (componentHandler) componentHandler->restartComponent(kLatencyChanged);
}

IPlugView* PLUGIN_API IPlugVST3::createView(FIDString name) {
  if (!name || std::strcmp(name, ViewType::kEditor) != 0) return nullptr;
  auto* view = new IPlugVST3View(this);
  mViews.Add(view);
  OnGUIViewCreated();
  return view;
}

bool IPlugVST3::ResizeGraphics(int w, int h) {
  IPlugVST3View* view = mViews.Get(0);
  return !GetGUI() || !view || view->resize(w, h);
}

void IPlugVST3::removeDependentView(IPlugVST3View*) { mViews.Empty(false); }
