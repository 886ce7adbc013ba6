// The component side: host identification, interfaces, buses, set-up and
// the order of life-cycle calls.
#include <cmath>
#include <string>

#include "framework/host_info.h"
#include "framework/vst3/iplug_diagnostics.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/vstspeaker.h"
#include "tests/vst3/vst3_test_support.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace vst3test;

namespace {
int HostIdOf(PluginInstance& plug) {
  FUnknownPtr<IPlugDiagnostics> diagnostics(plug.component);
  return diagnostics ? diagnostics->getHostId() : -2;
}
}  // namespace

class Vst3Component : public Vst3Test {};

TEST_F(Vst3Component, IdentifiesTheHostByName) {
  EXPECT_EQ(HostIdOf(*mPlug), kHostArdour);
  EXPECT_EQ(HostIdOf(*mPlug), 28);
  auto reaper = MakeInstance("REAPER");
  EXPECT_EQ(HostIdOf(*reaper), kHostReaper);
  auto unknown = MakeInstance("Some Host");
  EXPECT_EQ(HostIdOf(*unknown), kHostUnknown);
  // Without a host application nothing is identified.
  auto none = MakeInstance(nullptr);
  EXPECT_EQ(HostIdOf(*none), kHostUninit);
  reaper->component->terminate();
  unknown->component->terminate();
  none->component->terminate();
}

TEST_F(Vst3Component, AHostNameWithoutTerminatorIsCut) {
  std::string longName(200, 'x');
  longName.replace(100, 6, "Ardour");
  // Only 127 characters reach the plug-in; the name is still found inside.
  auto plug = MakeInstance(longName.c_str());
  EXPECT_EQ(HostIdOf(*plug), kHostArdour);
  plug->component->terminate();
}

TEST_F(Vst3Component, OffersEveryInterfaceItImplements) {
  const TUID* offered[] = {&FUnknown::iid.toTUID(),       &IComponent::iid.toTUID(),
                           &IAudioProcessor::iid.toTUID(), &IEditController::iid.toTUID(),
                           &IEditController2::iid.toTUID(), &IUnitInfo::iid.toTUID(),
                           &IPluginBase::iid.toTUID(),     &IPlugDiagnostics::iid.toTUID()};
  for (const TUID* iid : offered) {
    void* obj = nullptr;
    EXPECT_EQ(mPlug->component->queryInterface(*iid, &obj), kResultOk);
    ASSERT_NE(obj, nullptr);
    static_cast<FUnknown*>(obj)->release();
  }
  void* obj = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(mPlug->component->queryInterface(IConnectionPoint::iid, &obj), kNoInterface);
  EXPECT_EQ(obj, nullptr);
  // Every interface leads back to one object.
  FUnknownPtr<IAudioProcessor> processor(mPlug->controller);
  EXPECT_EQ(processor.getInterface(), mPlug->processor);
}

TEST_F(Vst3Component, ReportsTheStereoBuses) {
  IComponent* c = mPlug->component;
  ASSERT_EQ(c->getBusCount(kAudio, kInput), 1);
  ASSERT_EQ(c->getBusCount(kAudio, kOutput), 1);
  EXPECT_EQ(c->getBusCount(kEvent, kInput), 0);
  EXPECT_EQ(c->getBusCount(kEvent, kOutput), 0);

  BusInfo info{};
  ASSERT_EQ(c->getBusInfo(kAudio, kInput, 0, info), kResultTrue);
  EXPECT_EQ(ToUtf8(info.name), "Main Input");
  EXPECT_EQ(info.channelCount, 2);
  EXPECT_EQ(info.busType, kMain);
  EXPECT_EQ(info.flags, static_cast<uint32>(BusInfo::kDefaultActive));
  EXPECT_EQ(info.direction, kInput);
  ASSERT_EQ(c->getBusInfo(kAudio, kOutput, 0, info), kResultTrue);
  EXPECT_EQ(ToUtf8(info.name), "Output");
  EXPECT_EQ(info.channelCount, 2);
  EXPECT_NE(c->getBusInfo(kAudio, kOutput, 1, info), kResultTrue);
  EXPECT_NE(c->getBusInfo(kAudio, kInput, -1, info), kResultTrue);
  EXPECT_NE(c->getBusInfo(kEvent, kInput, 0, info), kResultTrue);

  SpeakerArrangement arr = 0;
  ASSERT_EQ(mPlug->processor->getBusArrangement(kInput, 0, arr), kResultTrue);
  EXPECT_EQ(arr, SpeakerArr::kStereo);
  ASSERT_EQ(mPlug->processor->getBusArrangement(kOutput, 0, arr), kResultTrue);
  EXPECT_EQ(arr, SpeakerArr::kStereo);
  EXPECT_NE(mPlug->processor->getBusArrangement(kOutput, 3, arr), kResultTrue);

  EXPECT_EQ(c->activateBus(kAudio, kOutput, 0, false), kResultTrue);
  EXPECT_NE(c->activateBus(kAudio, kOutput, 5, true), kResultTrue);
}

TEST_F(Vst3Component, AcceptsOnlyTheLegalArrangements) {
  IAudioProcessor* p = mPlug->processor;
  SpeakerArrangement mono = SpeakerArr::kMono;
  SpeakerArrangement stereo = SpeakerArr::kStereo;
  EXPECT_EQ(p->setBusArrangements(&mono, 1, &stereo, 1), kResultFalse);

  EXPECT_EQ(p->setBusArrangements(&stereo, 1, &stereo, 1), kResultOk);
  BusInfo info{};
  ASSERT_EQ(mPlug->component->getBusInfo(kAudio, kInput, 0, info), kResultTrue);
  EXPECT_EQ(ToUtf8(info.name), "Main Input");

  EXPECT_EQ(p->setBusArrangements(&mono, 1, &mono, 1), kResultOk);
  ASSERT_EQ(mPlug->component->getBusInfo(kAudio, kInput, 0, info), kResultTrue);
  EXPECT_EQ(ToUtf8(info.name), "Input");
  EXPECT_EQ(info.channelCount, 1);
  ASSERT_EQ(mPlug->component->getBusInfo(kAudio, kOutput, 0, info), kResultTrue);
  EXPECT_EQ(ToUtf8(info.name), "Output");
  EXPECT_EQ(info.channelCount, 1);
  SpeakerArrangement arr = 0;
  ASSERT_EQ(p->getBusArrangement(kOutput, 0, arr), kResultTrue);
  EXPECT_EQ(arr, SpeakerArr::kMono);

  // No arrangements at all: nothing to read, refused.
  EXPECT_EQ(p->setBusArrangements(nullptr, 0, nullptr, 0), kResultFalse);
  SpeakerArrangement twoStereo[2] = {stereo, stereo};
  EXPECT_EQ(p->setBusArrangements(twoStereo, 2, &stereo, 1), kResultFalse);
}

TEST_F(Vst3Component, AnswersTheProcessorQueries) {
  IAudioProcessor* p = mPlug->processor;
  EXPECT_EQ(p->canProcessSampleSize(kSample32), kResultTrue);
  EXPECT_EQ(p->canProcessSampleSize(kSample64), kResultTrue);
  EXPECT_EQ(p->canProcessSampleSize(2), kResultFalse);
  // The oversampler's delay; the latency tests check it against the audio.
  EXPECT_EQ(p->getLatencySamples(), 3u);
  // Defaults at 44.1 kHz: the filters ring for some milliseconds.
  EXPECT_GT(p->getTailSamples(), p->getLatencySamples());
  EXPECT_LT(p->getTailSamples(), 4410u);
  EXPECT_EQ(p->setProcessing(true), kNotImplemented);

  TUID cid;
  EXPECT_EQ(mPlug->component->getControllerClassId(cid), kNotImplemented);
  EXPECT_EQ(mPlug->component->setIoMode(kSimple), kNotImplemented);
  RoutingInfo in{}, out{};
  EXPECT_EQ(mPlug->component->getRoutingInfo(in, out), kNotImplemented);
}

TEST_F(Vst3Component, RefusesBadSetups) {
  EXPECT_EQ(SetUpProcessing(*mPlug, 2), kResultFalse);
  EXPECT_EQ(SetUpProcessing(*mPlug, kSample32, 256, 0.0), kResultFalse);
  EXPECT_EQ(SetUpProcessing(*mPlug, kSample32, 256, -48000.0), kResultFalse);
  EXPECT_EQ(SetUpProcessing(*mPlug, kSample32, 256, std::nan("")), kResultFalse);
  EXPECT_EQ(SetUpProcessing(*mPlug, kSample64, 256, 96000.0), kResultOk);
}

TEST_F(Vst3Component, ComponentAndControllerHandOutTheSameState) {
  TestStream component, controller;
  EXPECT_EQ(mPlug->component->getState(&component), kResultOk);
  EXPECT_EQ(mPlug->controller->getState(&controller), kResultOk);
  EXPECT_EQ(component.data.size(), 348u);
  EXPECT_EQ(component.data, controller.data);
  EXPECT_EQ(mPlug->component->getState(nullptr), kInvalidArgument);
  EXPECT_EQ(mPlug->component->setState(nullptr), kInvalidArgument);
  EXPECT_EQ(mPlug->controller->setComponentState(nullptr), kInvalidArgument);
}

TEST_F(Vst3Component, SurvivesCallsInAnUnexpectedOrder) {
  // A second initialise is refused and builds nothing twice.
  EXPECT_EQ(mPlug->component->initialize(nullptr), kResultFalse);
  EXPECT_EQ(mPlug->controller->getParameterCount(), 45);
  EXPECT_EQ(mPlug->component->getBusCount(kAudio, kInput), 1);

  EXPECT_EQ(mPlug->component->setActive(false), kResultOk);
  EXPECT_EQ(mPlug->component->setActive(false), kResultOk);

  // Terminate removes buses and parameters; initialise rebuilds them.
  EXPECT_EQ(mPlug->component->terminate(), kResultOk);
  EXPECT_EQ(mPlug->controller->getParameterCount(), 0);
  EXPECT_EQ(mPlug->component->getBusCount(kAudio, kOutput), 0);
  EXPECT_EQ(mPlug->component->terminate(), kResultOk);
  EXPECT_EQ(mPlug->component->initialize(nullptr), kResultOk);
  EXPECT_EQ(mPlug->controller->getParameterCount(), 45);
  EXPECT_EQ(mPlug->component->getBusCount(kAudio, kOutput), 1);
  EXPECT_EQ(mPlug->component->initialize(nullptr), kResultFalse);
  EXPECT_EQ(mPlug->controller->getParameterCount(), 45);
}
