// The effect recovers from NaN and infinite input: once the input is finite
// again the output is too, whichever bypass carried the audio meanwhile.
#include <cmath>
#include <limits>

#include "tests/vst3/vst3_test_support.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace vst3test;

namespace {
constexpr int kBlock = 64;
// The editor's bypass switch: a parameter of the effect, not the host's.
constexpr ParamID kEditorBypass = 37;
}  // namespace

class Vst3Recovery : public Vst3Test {
protected:
  void SetUp() override {
    Vst3Test::SetUp();
    ASSERT_EQ(SetUpProcessing(*mPlug, kSample32, kBlock, 48000.0), kResultOk);
    ASSERT_EQ(mPlug->component->setActive(true), kResultOk);
  }
  // One block of a constant input (after any changes), true if every
  // output sample is finite.
  bool Block(float value, TestParamChanges* changes = nullptr) {
    BusBuffers<float> in(2, kBlock), out(2, kBlock);
    for (auto& ch : in.data)
      for (float& x : ch) x = value;
    AudioBusBuffers inBus, outBus;
    ProcessData data = MakeBlock(in, out, inBus, outBus, kBlock, changes);
    EXPECT_EQ(mPlug->processor->process(data), kResultOk);
    for (auto& ch : out.data)
      for (float y : ch)
        if (!std::isfinite(y)) return false;
    return true;
  }
  // A change at the start of a block of finite input; true if its output
  // is finite.
  bool Set(ParamID tag, double value) {
    TestParamChanges changes;
    changes.Add(tag, value);
    return Block(0.25f, &changes);
  }
};

TEST_F(Vst3Recovery, FiniteInputAfterNaNGivesFiniteOutputThroughEitherBypass) {
  for (const float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
    Set(kEditorBypass, 1.0);
    Block(bad);
    // The host bypasses the effect while the input turns finite again.
    // The bad samples arrive one latency late: in this block, not after it.
    Set(kBypassTag, 1.0);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(Block(0.5f));
    EXPECT_TRUE(Set(kBypassTag, 0.0)) << "editor bypass, " << bad;
    EXPECT_TRUE(Set(kEditorBypass, 0.0)) << "processing, " << bad;
    EXPECT_TRUE(Block(0.5f)) << "processing, " << bad;
  }
}
