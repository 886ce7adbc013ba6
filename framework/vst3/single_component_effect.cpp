#include "framework/vst3/single_component_effect.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

SingleComponentEffect::SingleComponentEffect()
    : audioInputs(kAudio, kInput), audioOutputs(kAudio, kOutput), eventInputs(kEvent, kInput),
      eventOutputs(kEvent, kOutput) {
  processSetup.processMode = kRealtime;
  processSetup.symbolicSampleSize = kSample32;
  processSetup.maxSamplesPerBlock = 1024;
  processSetup.sampleRate = 44100.0;
}

SingleComponentEffect::~SingleComponentEffect() = default;

tresult PLUGIN_API SingleComponentEffect::initialize(FUnknown* context) {
  if (mInitialized) return kResultFalse;
  const tresult result = EditorStateShim::initialize(context);
  if (result == kResultOk) mInitialized = true;
  return result;
}

tresult PLUGIN_API SingleComponentEffect::terminate() {
  mInitialized = false;
  audioInputs.clear();
  audioOutputs.clear();
  eventInputs.clear();
  eventOutputs.clear();
  return EditorStateShim::terminate();
}

tresult PLUGIN_API SingleComponentEffect::getControllerClassId(TUID) { return kNotImplemented; }

tresult PLUGIN_API SingleComponentEffect::setIoMode(IoMode) { return kNotImplemented; }

BusList* SingleComponentEffect::getBusList(MediaType type, BusDirection dir) {
  if (type == kAudio) return dir == kInput ? &audioInputs : dir == kOutput ? &audioOutputs : nullptr;
  if (type == kEvent) return dir == kInput ? &eventInputs : dir == kOutput ? &eventOutputs : nullptr;
  return nullptr;
}

Bus* SingleComponentEffect::getBus(MediaType type, BusDirection dir, int32 index) {
  BusList* list = getBusList(type, dir);
  if (!list || index < 0 || static_cast<size_t>(index) >= list->size()) return nullptr;
  return list->at(static_cast<size_t>(index));
}

int32 PLUGIN_API SingleComponentEffect::getBusCount(MediaType type, BusDirection dir) {
  BusList* list = getBusList(type, dir);
  return list ? static_cast<int32>(list->size()) : 0;
}

tresult PLUGIN_API SingleComponentEffect::getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& info) {
  Bus* bus = getBus(type, dir, index);
  if (!bus) return kInvalidArgument;
  info.mediaType = type;
  info.direction = dir;
  return bus->getInfo(info) ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API SingleComponentEffect::getRoutingInfo(RoutingInfo&, RoutingInfo&) { return kNotImplemented; }

tresult PLUGIN_API SingleComponentEffect::activateBus(MediaType type, BusDirection dir, int32 index, TBool state) {
  Bus* bus = getBus(type, dir, index);
  if (!bus) return kInvalidArgument;
  bus->setActive(state);
  return kResultTrue;
}

tresult PLUGIN_API SingleComponentEffect::setActive(TBool) { return kResultOk; }

tresult SingleComponentEffect::setComponentOwnState(IBStream*) { return kNotImplemented; }

tresult SingleComponentEffect::getComponentOwnState(IBStream*) { return kNotImplemented; }

tresult PLUGIN_API SingleComponentEffect::setComponentState(IBStream*) { return kNotImplemented; }

tresult PLUGIN_API SingleComponentEffect::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                             SpeakerArrangement* outputs, int32 numOuts) {
  if (numIns < 0 || numOuts < 0) return kInvalidArgument;
  if (static_cast<size_t>(numIns) != audioInputs.size() || static_cast<size_t>(numOuts) != audioOutputs.size())
    return kResultFalse;
  if ((numIns > 0 && !inputs) || (numOuts > 0 && !outputs)) return kInvalidArgument;
  for (int32 i = 0; i < numIns; ++i) {
    auto* bus = FCast<AudioBus>(audioInputs.at(static_cast<size_t>(i)).get());
    if (!bus || bus->getArrangement() != inputs[i]) return kResultFalse;
  }
  for (int32 i = 0; i < numOuts; ++i) {
    auto* bus = FCast<AudioBus>(audioOutputs.at(static_cast<size_t>(i)).get());
    if (!bus || bus->getArrangement() != outputs[i]) return kResultFalse;
  }
  return kResultTrue;
}

tresult PLUGIN_API SingleComponentEffect::getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) {
  auto* bus = FCast<AudioBus>(getBus(kAudio, dir, index));
  if (!bus) return kInvalidArgument;
  arr = bus->getArrangement();
  return kResultTrue;
}

tresult PLUGIN_API SingleComponentEffect::canProcessSampleSize(int32 symbolicSampleSize) {
  return symbolicSampleSize == kSample32 ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API SingleComponentEffect::setupProcessing(ProcessSetup& setup) {
  if (canProcessSampleSize(setup.symbolicSampleSize) != kResultTrue) return kResultFalse;
  processSetup = setup;
  return kResultOk;
}

tresult PLUGIN_API SingleComponentEffect::setProcessing(TBool) { return kNotImplemented; }

tresult PLUGIN_API SingleComponentEffect::process(ProcessData&) { return kResultOk; }

tresult PLUGIN_API SingleComponentEffect::getParameterInfo(int32 paramIndex, ParameterInfo& info) {
  if (paramIndex < 0 || paramIndex >= parameters.getParameterCount()) return kInvalidArgument;
  return EditorStateShim::getParameterInfo(paramIndex, info);
}

AudioBus* SingleComponentEffect::addAudioInput(const TChar* name, SpeakerArrangement arr, BusType type,
                                               int32 flags) {
  auto* bus = new AudioBus(name, type, flags, arr);
  audioInputs.emplace_back(bus, false);
  return bus;
}

AudioBus* SingleComponentEffect::addAudioOutput(const TChar* name, SpeakerArrangement arr, BusType type,
                                                int32 flags) {
  auto* bus = new AudioBus(name, type, flags, arr);
  audioOutputs.emplace_back(bus, false);
  return bus;
}

void SingleComponentEffect::removeAudioBusses() {
  audioInputs.clear();
  audioOutputs.clear();
}

tresult PLUGIN_API SingleComponentEffect::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  // One object is both sides: a host connecting it to itself would only make
  // a reference cycle, so the message channel is not offered.
  if (FUnknownPrivate::iidEqual(iid, IConnectionPoint::iid)) {
    *obj = nullptr;
    return kNoInterface;
  }
  QUERY_INTERFACE(iid, obj, IComponent::iid, IComponent)
  QUERY_INTERFACE(iid, obj, IAudioProcessor::iid, IAudioProcessor)
  QUERY_INTERFACE(iid, obj, IEditController::iid, IEditController)
  QUERY_INTERFACE(iid, obj, IEditController2::iid, IEditController2)
  QUERY_INTERFACE(iid, obj, IUnitInfo::iid, IUnitInfo)
  return EditorStateShim::queryInterface(iid, obj);
}
