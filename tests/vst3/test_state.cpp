// The state a host keeps in its project: 43 little-endian doubles and the
// bypass flag, saved from one instance and restored into another; and what
// short, long, failing or garbage streams do.
#include <cmath>
#include <cstring>
#include <limits>

#include "tests/vst3/vst3_test_support.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace vst3test;

namespace {
double DoubleAt(const std::vector<uint8_t>& bytes, size_t index) {
  double value;
  std::memcpy(&value, bytes.data() + index * 8, 8);
  return value;
}

void PutDouble(std::vector<uint8_t>& bytes, size_t index, double value) {
  std::memcpy(bytes.data() + index * 8, &value, 8);
}
}  // namespace

class Vst3State : public Vst3Test {
protected:
  std::vector<double> Values(PluginInstance& plug) {
    std::vector<double> values;
    for (ParamID tag = 0; tag < kNumParams; ++tag) values.push_back(plug.controller->getParamNormalized(tag));
    return values;
  }
  // Sets the host bypass the way a host does: through a block.
  void SetBypass(PluginInstance& plug, double value) {
    TestParamChanges changes;
    changes.Add(kBypassTag, value);
    ProcessData data{};
    data.symbolicSampleSize = kSample32;
    data.inputParameterChanges = &changes;
    ASSERT_EQ(plug.processor->process(data), kResultOk);
  }
  std::vector<uint8_t> Save(PluginInstance& plug) {
    TestStream stream;
    EXPECT_EQ(plug.controller->getState(&stream), kResultOk);
    return stream.data;
  }
};

TEST_F(Vst3State, DefaultStateIs348BytesOfPlainValuesAndTheBypassFlag) {
  const std::vector<uint8_t> bytes = Save(*mPlug);
  ASSERT_EQ(bytes.size(), 348u);
  EXPECT_EQ(DoubleAt(bytes, 0), 10.0);     // High Attack
  EXPECT_EQ(DoubleAt(bytes, 2), 14000.0);  // High Frequency
  EXPECT_EQ(DoubleAt(bytes, 16), 510.0);   // Low Frequency
  EXPECT_EQ(DoubleAt(bytes, 42), 0.0);     // MODE-H
  int32_t bypass = -1;
  std::memcpy(&bypass, bytes.data() + 344, 4);
  EXPECT_EQ(bypass, 0);
}

TEST_F(Vst3State, RestoresAllValuesAndTheBypassIntoAnotherInstance) {
  for (ParamID tag = 0; tag < kNumParams; ++tag)
    ASSERT_EQ(mPlug->controller->setParamNormalized(tag, ((tag * 7) % 11) / 10.0), kResultOk);
  SetBypass(*mPlug, 1.0);
  const std::vector<uint8_t> bytes = Save(*mPlug);
  ASSERT_EQ(bytes.size(), 348u);
  int32_t bypass = 0;
  std::memcpy(&bypass, bytes.data() + 344, 4);
  EXPECT_EQ(bypass, 1);

  auto other = MakeInstance("Bitwig Studio");
  ASSERT_NE(Values(*other), Values(*mPlug));
  TestStream stream(bytes);
  ASSERT_EQ(other->controller->setState(&stream), kResultOk);
  EXPECT_EQ(Values(*other), Values(*mPlug));
  EXPECT_EQ(other->controller->getParamNormalized(kBypassTag), 1.0);
  EXPECT_EQ(Save(*other), bytes);
  other->component->terminate();
}

TEST_F(Vst3State, ParameterBytesAloneRestoreTheValuesAndClearTheBypass) {
  SetBypass(*mPlug, 1.0);
  std::vector<uint8_t> bytes = Save(*mPlug);
  PutDouble(bytes, 17, 12.0);  // Low Gain
  bytes.resize(344);
  TestStream stream(bytes);
  ASSERT_EQ(mPlug->controller->setState(&stream), kResultOk);
  EXPECT_DOUBLE_EQ(mPlug->controller->getParamNormalized(kLowGain), 0.75);
  EXPECT_EQ(mPlug->controller->getParamNormalized(kBypassTag), 0.0);
}

TEST_F(Vst3State, AFailingBypassReadChangesNothing) {
  SetBypass(*mPlug, 1.0);
  std::vector<uint8_t> bytes = Save(*mPlug);
  PutDouble(bytes, 17, 12.0);
  bytes.resize(344);
  TestStream stream(bytes);
  stream.failShortReads = true;
  EXPECT_EQ(mPlug->controller->setState(&stream), kResultFalse);
  EXPECT_DOUBLE_EQ(mPlug->controller->getParamNormalized(kLowGain), 0.5);
  EXPECT_EQ(mPlug->controller->getParamNormalized(kBypassTag), 1.0);
}

TEST_F(Vst3State, AShortStreamChangesNothing) {
  std::vector<uint8_t> bytes = Save(*mPlug);
  PutDouble(bytes, 0, 40.0);  // High Attack, inside the short part
  bytes.resize(100);
  const std::vector<double> before = Values(*mPlug);
  TestStream stream(bytes);
  EXPECT_EQ(mPlug->controller->setState(&stream), kResultFalse);
  EXPECT_EQ(Values(*mPlug), before);
  TestStream empty;
  EXPECT_EQ(mPlug->controller->setState(&empty), kResultFalse);
  EXPECT_EQ(Values(*mPlug), before);
  EXPECT_EQ(mPlug->controller->setState(nullptr), kInvalidArgument);
  EXPECT_EQ(mPlug->controller->getState(nullptr), kInvalidArgument);
}

TEST_F(Vst3State, ALongStreamUsesItsFirst348Bytes) {
  std::vector<uint8_t> bytes = Save(*mPlug);
  PutDouble(bytes, 3, -24.0);  // High Gain
  bytes.resize(1000, 0xAB);
  TestStream stream(bytes);
  ASSERT_EQ(mPlug->controller->setState(&stream), kResultOk);
  EXPECT_DOUBLE_EQ(mPlug->controller->getParamNormalized(kHighGain), 0.0);
  EXPECT_EQ(stream.position, 348u);
}

TEST_F(Vst3State, GarbageValuesAreClampedOrDefaulted) {
  std::vector<uint8_t> bytes(348, 0xFF);  // every double a NaN, bypass -1
  PutDouble(bytes, 3, std::numeric_limits<double>::infinity());
  PutDouble(bytes, 17, -1e300);
  TestStream stream(bytes);
  ASSERT_EQ(mPlug->controller->setState(&stream), kResultOk);
  EXPECT_DOUBLE_EQ(mPlug->controller->getParamNormalized(kHighGain), 1.0);
  EXPECT_DOUBLE_EQ(mPlug->controller->getParamNormalized(kLowGain), 0.0);
  // A NaN restores the default.
  EXPECT_DOUBLE_EQ(mPlug->controller->getParamNormalized(kOutputGain), 0.5);
  EXPECT_EQ(mPlug->controller->getParamNormalized(kBypassTag), 1.0);
  for (double v : Values(*mPlug)) {
    EXPECT_GE(v, 0.0);
    EXPECT_LE(v, 1.0);
  }
}

TEST_F(Vst3State, AStreamThatTakesTooLittleIsAFailedSave) {
  TestStream full;
  full.writeLimit = 200;
  EXPECT_EQ(mPlug->controller->getState(&full), kResultFalse);
  TestStream noRoomForBypass;
  noRoomForBypass.writeLimit = 344;
  EXPECT_EQ(mPlug->controller->getState(&noRoomForBypass), kResultFalse);
}

// Hosts save and restore in different ways; every way ends with the same
// values and the same audio.
class Vst3HostState : public Vst3State {
protected:
  static constexpr int kFrames = 512;
  // Settings as a host makes them: through a block, here a silent one, so
  // that the instance's filters stay as fresh as a new instance's.
  void SetThroughProcess(PluginInstance& plug) {
    ASSERT_EQ(SetUpProcessing(plug, kSample64, kFrames, 48000.0), kResultOk);
    TestParamChanges changes;
    changes.Add(kLowGain, 0.8);
    changes.Add(kHighGain, 0.1);
    changes.Add(24, 0.6);          // Low Mid Threshold
    changes.Add(21, 0.2);          // Low Mid Gain
    changes.Add(34, 0.4, 10);      // Low Threshold
    changes.Add(kModeL, 1.0);
    changes.Add(kOutputGain, 0.45);
    changes.Add(kHighMidBandwidth, 0.3, 0);
    changes.Add(kHighMidBandwidth, 0.7, 64);
    BusBuffers<double> in(2, kFrames), out(2, kFrames);
    AudioBusBuffers inBus, outBus;
    ProcessData data = MakeBlock(in, out, inBus, outBus, kFrames, &changes);
    ASSERT_EQ(plug.processor->process(data), kResultOk);
  }
  std::vector<uint8_t> SaveComponent(PluginInstance& plug) {
    TestStream stream;
    EXPECT_EQ(plug.component->getState(&stream), kResultOk);
    return stream.data;
  }
  std::vector<double> HostValues(PluginInstance& plug) {
    std::vector<double> values = Values(plug);
    values.push_back(plug.controller->getParamNormalized(kBypassTag));
    return values;
  }
  // The same signal through both, block after block.
  void ExpectSameAudio(PluginInstance& a, PluginInstance& b) {
    for (PluginInstance* plug : {&a, &b}) ASSERT_EQ(SetUpProcessing(*plug, kSample64, kFrames, 48000.0), kResultOk);
    BusBuffers<double> in(2, kFrames), outA(2, kFrames), outB(2, kFrames);
    for (int block = 0; block < 6; ++block) {
      for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < kFrames; ++i) in.data[ch][static_cast<size_t>(i)] = TestSignal(ch, block * kFrames + i);
      AudioBusBuffers inBus, outBus;
      ProcessData data = MakeBlock(in, outA, inBus, outBus, kFrames);
      ASSERT_EQ(a.processor->process(data), kResultOk);
      data = MakeBlock(in, outB, inBus, outBus, kFrames);
      ASSERT_EQ(b.processor->process(data), kResultOk);
      ASSERT_EQ(outA.data, outB.data) << "block " << block;
    }
    EXPECT_NE(outA.data, in.data);
  }
};

TEST_F(Vst3HostState, ComponentStateAloneRestoresEveryValueAndTheSound) {
  SetThroughProcess(*mPlug);
  const std::vector<uint8_t> bytes = SaveComponent(*mPlug);
  ASSERT_EQ(bytes.size(), 348u);

  auto restored = MakeInstance("Bitwig Studio");
  ASSERT_NE(HostValues(*restored), HostValues(*mPlug));
  TestStream stream(bytes);
  ASSERT_EQ(restored->component->setState(&stream), kResultOk);
  // Hosts then hand the same bytes to the controller.
  TestStream again(bytes);
  ASSERT_EQ(restored->controller->setComponentState(&again), kResultOk);
  EXPECT_EQ(HostValues(*restored), HostValues(*mPlug));
  EXPECT_EQ(SaveComponent(*restored), bytes);
  ExpectSameAudio(*mPlug, *restored);
  restored->component->terminate();
}

TEST_F(Vst3HostState, ComponentThenControllerInEitherOrderEndsTheSame) {
  SetThroughProcess(*mPlug);
  SetBypass(*mPlug, 1.0);
  const std::vector<uint8_t> component = SaveComponent(*mPlug);
  const std::vector<uint8_t> controller = Save(*mPlug);
  EXPECT_EQ(component, controller);

  auto first = MakeInstance("Cubase VST3");
  TestStream c1(component), c2(component), e1(controller);
  ASSERT_EQ(first->component->setState(&c1), kResultOk);
  ASSERT_EQ(first->controller->setComponentState(&c2), kResultOk);
  ASSERT_EQ(first->controller->setState(&e1), kResultOk);
  EXPECT_EQ(HostValues(*first), HostValues(*mPlug));
  EXPECT_EQ(first->controller->getParamNormalized(kBypassTag), 1.0);

  // The controller first, then the component.
  auto second = MakeInstance("REAPER");
  TestStream c3(component), c4(component), e2(controller);
  ASSERT_EQ(second->controller->setComponentState(&c3), kResultOk);
  ASSERT_EQ(second->controller->setState(&e2), kResultOk);
  ASSERT_EQ(second->component->setState(&c4), kResultOk);
  EXPECT_EQ(HostValues(*second), HostValues(*mPlug));
  EXPECT_EQ(SaveComponent(*second), component);
  first->component->terminate();
  second->component->terminate();
}

TEST_F(Vst3HostState, ControllerStateAloneStillRestoresStoredProjects) {
  SetThroughProcess(*mPlug);
  const std::vector<uint8_t> bytes = Save(*mPlug);
  auto restored = MakeInstance("Ardour");
  TestStream stream(bytes);
  ASSERT_EQ(restored->controller->setState(&stream), kResultOk);
  EXPECT_EQ(HostValues(*restored), HostValues(*mPlug));
  EXPECT_EQ(SaveComponent(*restored), bytes);
  ExpectSameAudio(*mPlug, *restored);
  restored->component->terminate();
}

TEST_F(Vst3HostState, AShortOrFailingComponentStreamChangesNothing) {
  SetThroughProcess(*mPlug);
  SetBypass(*mPlug, 1.0);
  const std::vector<double> before = HostValues(*mPlug);
  const std::vector<uint8_t> saved = SaveComponent(*mPlug);
  auto reference = MakeInstance("Ardour");
  TestStream copy(saved);
  ASSERT_EQ(reference->component->setState(&copy), kResultOk);

  std::vector<uint8_t> other(348, 0);
  for (size_t i = 0; i < 43; ++i) PutDouble(other, i, 1.0);
  for (size_t size : {size_t(0), size_t(1), size_t(100), size_t(343)}) {
    SCOPED_TRACE(size);
    TestStream shortStream(std::vector<uint8_t>(other.begin(), other.begin() + static_cast<long>(size)));
    EXPECT_EQ(mPlug->component->setState(&shortStream), kResultFalse);
    TestStream shortAgain(std::vector<uint8_t>(other.begin(), other.begin() + static_cast<long>(size)));
    EXPECT_EQ(mPlug->controller->setComponentState(&shortAgain), kResultFalse);
    EXPECT_EQ(HostValues(*mPlug), before);
  }
  // All the parameters, then a bypass read the stream reports as failed.
  TestStream failing(std::vector<uint8_t>(other.begin(), other.begin() + 344));
  failing.failShortReads = true;
  EXPECT_EQ(mPlug->component->setState(&failing), kResultFalse);
  EXPECT_EQ(mPlug->component->setState(nullptr), kInvalidArgument);
  EXPECT_EQ(HostValues(*mPlug), before);
  EXPECT_EQ(SaveComponent(*mPlug), saved);
  ExpectSameAudio(*mPlug, *reference);
  reference->component->terminate();
}
