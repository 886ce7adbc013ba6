// Nothing in run() allocates: blocks with port changes on every block, NaN
// values, both bypasses and blocks longer than the host announced, through
// the built bundle, with every allocation of the process counted.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

#include "tests/lv2/host/lv2_test_host.h"
#include "tests/support/allocation_counter.h"

using namespace lv2test;

namespace {
void* volatile gSink = nullptr;
}  // namespace

TEST(Lv2Realtime, TheCounterSeesAllocationsInThisProgram) {
  AllocationCounter counter;
  gSink = std::malloc(24);
  std::free(gSink);
  EXPECT_GE(counter.HeapAllocations(), 1) << AllocationCounter::Method();
}

TEST(Lv2Realtime, RunAllocatesNothing) {
  for (const char* uri : {kStereoUri, kMonoUri}) {
    SCOPED_TRACE(uri);
    Lv2Plugin plug(uri, 48000.0, HostFeatures{true, 256});
    ASSERT_TRUE(plug.Ok());
    for (const Setting& s : EveryBandPullsDown()) plug.Set(s.symbol, s.value);
    plug.Process(TestSignal(plug.NChannels(), 1024, 48000.0), 256);
    // Port indices are looked up before counting: lilv allocates for that.
    float* lowGain = plug.PortBuffer(plug.Port("low_gain"));
    float* midRelease = plug.PortBuffer(plug.Port("mid_release"));
    float* modeL = plug.PortBuffer(plug.Port("mode_l"));
    float* bypassSwitch = plug.PortBuffer(plug.Port("bypass_switch"));
    float* enabled = plug.PortBuffer(plug.Port("enabled"));
    // One block above the announced 256, which runs in pieces of it.
    std::vector<float> bigIn(3000, 0.25f), bigOut(3000 * 2);
    const int inPort = plug.Port(plug.NChannels() == 1 ? "in" : "in_l");
    const int outPort = plug.Port(plug.NChannels() == 1 ? "out" : "out_l");

    AllocationCounter counter;
    for (int b = 0; b < 64; ++b) {
      *lowGain = static_cast<float>(b % 13) - 6.0f;
      *midRelease = b % 9 == 4 ? std::numeric_limits<float>::quiet_NaN() : 40.0f + 10.0f * static_cast<float>(b);
      *modeL = static_cast<float>(b % 2);
      *bypassSwitch = b % 7 == 3 ? 1.0f : 0.0f;
      *enabled = b % 6 == 2 ? 0.0f : 1.0f;
      plug.Run(static_cast<uint32_t>(1 + (b * 37) % 256));
    }
    plug.ConnectPort(inPort, bigIn.data());
    plug.ConnectPort(outPort, bigOut.data());
    plug.Run(3000);
    EXPECT_EQ(counter.HeapAllocations(), 0) << AllocationCounter::Method();
  }
}
