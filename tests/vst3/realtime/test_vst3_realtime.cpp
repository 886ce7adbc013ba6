// Nothing on the audio thread allocates: blocks with automation, preset
// changes and both bypasses, through the bundle, with every allocation of
// the process counted.
#include <cstdlib>
#include <memory>
#include <vector>

#include "tests/support/allocation_counter.h"
#include "tests/vst3/vst3_test_support.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace vst3test;

namespace {
// Keeps the compiler from dropping an allocation it can see is unused.
void* volatile gSink = nullptr;

constexpr ParamID kBypassSwitch = 37;
constexpr ParamID kLowThreshold = 34;
constexpr int kMaxBlock = 512;

// A block's changes, all made before any counting starts.
std::vector<std::unique_ptr<TestParamChanges>> MakeChangesPerBlock(int nBlocks) {
  std::vector<std::unique_ptr<TestParamChanges>> blocks;
  for (int b = 0; b < nBlocks; ++b) {
    auto changes = std::make_unique<TestParamChanges>();
    // Automation with several points per queue at sample offsets.
    changes->Add(kLowGain, 0.2 + 0.05 * (b % 7), 0);
    changes->Add(kLowGain, 0.6, 17);
    changes->Add(kLowGain, 0.4 + 0.01 * b, 200);
    changes->Add(kLowThreshold, 0.5 + 0.02 * (b % 5), 3);
    changes->Add(kHighMidBandwidth, 0.1 * (b % 10), 100);
    changes->Add(kModeL, b % 2, 9);
    if (b % 4 == 1) changes->Add(kPresetTag, 0.0, 0);
    if (b % 6 == 2) changes->Add(kBypassTag, 1.0, 5);
    if (b % 6 == 4) changes->Add(kBypassTag, 0.0, 0);
    if (b % 5 == 3) changes->Add(kBypassSwitch, (b / 5) % 2, 40);
    blocks.push_back(std::move(changes));
  }
  return blocks;
}
}  // namespace

class Vst3Realtime : public Vst3Test {
protected:
  template <class T>
  void ProcessWithoutAllocating(int32 sampleSize, double rate);
};

TEST_F(Vst3Realtime, TheCounterSeesAllocationsHereAndInsideTheBundle) {
  {
    AllocationCounter counter;
    gSink = new int(7);
    delete static_cast<int*>(gSink);
    gSink = std::malloc(24);
    std::free(gSink);
    EXPECT_EQ(counter.NewCalls(), 1) << AllocationCounter::Method();
    EXPECT_GE(counter.HeapAllocations(), 2) << AllocationCounter::Method();
  }
  // An instance is made with new inside the module.
  AllocationCounter counter;
  PluginInstance plug(Module().Factory(), kMorvanteCid);
  EXPECT_GT(counter.NewCalls(), 0);
  EXPECT_GT(counter.HeapAllocations(), 0);
}

template <class T>
void Vst3Realtime::ProcessWithoutAllocating(int32 sampleSize, double rate) {
  ASSERT_EQ(SetUpProcessing(*mPlug, sampleSize, kMaxBlock, rate), kResultOk);
  ASSERT_EQ(mPlug->component->setActive(true), kResultOk);
  constexpr int kBlocks = 48;
  auto changes = MakeChangesPerBlock(kBlocks);
  BusBuffers<T> in(2, kMaxBlock), out(2, kMaxBlock);
  for (size_t ch = 0; ch < 2; ++ch)
    for (int i = 0; i < kMaxBlock; ++i) in.data[ch][static_cast<size_t>(i)] = static_cast<T>(TestSignal(static_cast<int>(ch), i));
  AudioBusBuffers inBus, outBus;
  // The host's own set-up of every block happens before counting.
  std::vector<ProcessData> blocks;
  for (int b = 0; b < kBlocks; ++b) {
    // Full blocks, odd sizes and flushes without samples.
    const int frames = b % 11 == 10 ? 0 : b % 3 == 0 ? kMaxBlock : 1 + (b * 37) % kMaxBlock;
    blocks.push_back(MakeBlock(in, out, inBus, outBus, frames, changes[static_cast<size_t>(b)].get()));
  }

  AllocationCounter counter;
  for (ProcessData& data : blocks) ASSERT_EQ(mPlug->processor->process(data), kResultOk);
  const long newCalls = counter.NewCalls();
  const long heapAllocations = counter.HeapAllocations();
  EXPECT_EQ(newCalls, 0) << AllocationCounter::Method();
  EXPECT_EQ(heapAllocations, 0) << AllocationCounter::Method();

  // The blocks did what they say: the preset came back, the bypass moved.
  EXPECT_EQ(mPlug->component->setActive(false), kResultOk);
  EXPECT_EQ(mPlug->controller->getParamNormalized(kBypassTag), 0.0);
}

TEST_F(Vst3Realtime, SixtyFourBitBlocksAllocateNothing) { ProcessWithoutAllocating<double>(kSample64, 48000.0); }

TEST_F(Vst3Realtime, ThirtyTwoBitBlocksAllocateNothing) { ProcessWithoutAllocating<float>(kSample32, 44100.0); }
