// A VST3 component whose processor and edit controller are one object.
#pragma once

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "public.sdk/source/vst/vstbus.h"
#include "public.sdk/source/vst/vsteditcontroller.h"

// IComponent and IEditController declare getState and setState with the same
// signature. Each shim routes its interface's pair to a name of its own, so
// the component's state and the controller's state stay separate operations.
class EditorStateShim : public Steinberg::Vst::EditControllerEx1 {
public:
  Steinberg::tresult PLUGIN_API setState(Steinberg::IBStream* state) final { return setEditorState(state); }
  Steinberg::tresult PLUGIN_API getState(Steinberg::IBStream* state) final { return getEditorState(state); }
  virtual Steinberg::tresult setEditorState(Steinberg::IBStream* state) = 0;
  virtual Steinberg::tresult getEditorState(Steinberg::IBStream* state) = 0;

  OBJ_METHODS(EditorStateShim, EditControllerEx1)
};

class ComponentStateShim : public Steinberg::Vst::IComponent {
public:
  Steinberg::tresult PLUGIN_API setState(Steinberg::IBStream* state) final { return setComponentOwnState(state); }
  Steinberg::tresult PLUGIN_API getState(Steinberg::IBStream* state) final { return getComponentOwnState(state); }
  virtual Steinberg::tresult setComponentOwnState(Steinberg::IBStream* state) = 0;
  virtual Steinberg::tresult getComponentOwnState(Steinberg::IBStream* state) = 0;

protected:
  virtual ~ComponentStateShim() = default;
};

class SingleComponentEffect : public EditorStateShim,
                              public ComponentStateShim,
                              public Steinberg::Vst::IAudioProcessor {
public:
  SingleComponentEffect();
  ~SingleComponentEffect() override;

  // IPluginBase, for the controller and the component alike.
  Steinberg::tresult PLUGIN_API initialize(Steinberg::FUnknown* context) override;
  Steinberg::tresult PLUGIN_API terminate() override;

  // IComponent.
  Steinberg::tresult PLUGIN_API getControllerClassId(Steinberg::TUID classId) override;
  Steinberg::tresult PLUGIN_API setIoMode(Steinberg::Vst::IoMode mode) override;
  Steinberg::int32 PLUGIN_API getBusCount(Steinberg::Vst::MediaType type, Steinberg::Vst::BusDirection dir) override;
  Steinberg::tresult PLUGIN_API getBusInfo(Steinberg::Vst::MediaType type, Steinberg::Vst::BusDirection dir,
                                           Steinberg::int32 index, Steinberg::Vst::BusInfo& bus) override;
  Steinberg::tresult PLUGIN_API getRoutingInfo(Steinberg::Vst::RoutingInfo& inInfo,
                                               Steinberg::Vst::RoutingInfo& outInfo) override;
  Steinberg::tresult PLUGIN_API activateBus(Steinberg::Vst::MediaType type, Steinberg::Vst::BusDirection dir,
                                            Steinberg::int32 index, Steinberg::TBool state) override;
  Steinberg::tresult PLUGIN_API setActive(Steinberg::TBool state) override;
  Steinberg::tresult setComponentOwnState(Steinberg::IBStream* state) override;
  Steinberg::tresult getComponentOwnState(Steinberg::IBStream* state) override;

  // IAudioProcessor.
  Steinberg::tresult PLUGIN_API setBusArrangements(Steinberg::Vst::SpeakerArrangement* inputs,
                                                   Steinberg::int32 numIns,
                                                   Steinberg::Vst::SpeakerArrangement* outputs,
                                                   Steinberg::int32 numOuts) override;
  Steinberg::tresult PLUGIN_API getBusArrangement(Steinberg::Vst::BusDirection dir, Steinberg::int32 index,
                                                  Steinberg::Vst::SpeakerArrangement& arr) override;
  Steinberg::tresult PLUGIN_API canProcessSampleSize(Steinberg::int32 symbolicSampleSize) override;
  Steinberg::uint32 PLUGIN_API getLatencySamples() override { return 0; }
  Steinberg::tresult PLUGIN_API setupProcessing(Steinberg::Vst::ProcessSetup& setup) override;
  Steinberg::tresult PLUGIN_API setProcessing(Steinberg::TBool state) override;
  Steinberg::tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) override;
  Steinberg::uint32 PLUGIN_API getTailSamples() override { return 0; }

  // IEditController: the controller's state is the editor state of the shim.
  Steinberg::tresult PLUGIN_API setComponentState(Steinberg::IBStream* state) override;
  // The SDK indexes its list unchecked; a host's stray index must not throw.
  Steinberg::tresult PLUGIN_API getParameterInfo(Steinberg::int32 paramIndex,
                                                 Steinberg::Vst::ParameterInfo& info) override;

  OBJ_METHODS(SingleComponentEffect, EditorStateShim)
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return EditorStateShim::addRef(); }
  Steinberg::uint32 PLUGIN_API release() override { return EditorStateShim::release(); }

protected:
  Steinberg::Vst::AudioBus* addAudioInput(const Steinberg::Vst::TChar* name, Steinberg::Vst::SpeakerArrangement arr,
                                          Steinberg::Vst::BusType type = Steinberg::Vst::kMain,
                                          Steinberg::int32 flags = Steinberg::Vst::BusInfo::kDefaultActive);
  Steinberg::Vst::AudioBus* addAudioOutput(const Steinberg::Vst::TChar* name, Steinberg::Vst::SpeakerArrangement arr,
                                           Steinberg::Vst::BusType type = Steinberg::Vst::kMain,
                                           Steinberg::int32 flags = Steinberg::Vst::BusInfo::kDefaultActive);
  void removeAudioBusses();
  // Null for a media type and direction without a list.
  Steinberg::Vst::BusList* getBusList(Steinberg::Vst::MediaType type, Steinberg::Vst::BusDirection dir);
  // Null for an index outside the list.
  Steinberg::Vst::Bus* getBus(Steinberg::Vst::MediaType type, Steinberg::Vst::BusDirection dir,
                              Steinberg::int32 index);
  bool isInitialized() const { return mInitialized; }

  Steinberg::Vst::BusList audioInputs;
  Steinberg::Vst::BusList audioOutputs;
  Steinberg::Vst::BusList eventInputs;
  Steinberg::Vst::BusList eventOutputs;
  Steinberg::Vst::ProcessSetup processSetup;

private:
  // ComponentBase counts a null context as "not initialised"; this does not.
  bool mInitialized = false;
};
