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
