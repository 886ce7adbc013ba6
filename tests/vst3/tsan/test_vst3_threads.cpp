// The host's main thread sets and reads parameters while its audio thread
// processes blocks that carry automation. Under ThreadSanitizer any
// unsynchronised access between the two is reported.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "tests/vst3/host/host_objects.h"
#include "tools/vst3_host/plugin_module.h"
#include "tools/vst3_host/process_block.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
const TUID kMorvanteCid = {static_cast<char>(0xF2), static_cast<char>(0xAE), static_cast<char>(0xE7), 0x0D,
                           0x00, static_cast<char>(0xDE), 0x4F, 0x4E,
                           0x50, 0x6E, 0x76, 0x72,
                           0x4D, 0x52, 0x56, 0x31};
constexpr ParamID kBypassTag = 0x62706173;
constexpr int kBlock = 64;
constexpr int kBlocks = 300;
}  // namespace

TEST(Vst3Threads, ParametersSetOnTheMainThreadWhileTheAudioThreadProcesses) {
  PluginModule module(MORVANTE_VST3_SO);
  ASSERT_TRUE(module.Loaded()) << module.Error();
  PluginInstance plug(module.Factory(), kMorvanteCid);
  ASSERT_NE(plug.component, nullptr);
  TestHostApplication host("Ardour");
  ASSERT_EQ(plug.component->initialize(&host), kResultOk);
  ProcessSetup setup{kRealtime, kSample32, kBlock, 48000.0};
  ASSERT_EQ(plug.processor->setupProcessing(setup), kResultOk);
  ASSERT_EQ(plug.component->setActive(true), kResultOk);

  std::atomic<bool> audioDone{false};
  std::atomic<int> blocksRun{0};
  std::atomic<bool> outputFinite{true};

  std::thread audio([&] {
    std::vector<float> inL(kBlock), inR(kBlock), outL(kBlock), outR(kBlock);
    float* ins[2] = {inL.data(), inR.data()};
    float* outs[2] = {outL.data(), outR.data()};
    TestParamChanges changes;
    for (int b = 0; b < kBlocks; ++b) {
      for (int i = 0; i < kBlock; ++i) {
        inL[static_cast<size_t>(i)] = static_cast<float>(0.5 * std::sin(0.05 * (b * kBlock + i)));
        inR[static_cast<size_t>(i)] = -inL[static_cast<size_t>(i)];
      }
      changes.Clear();
      changes.Add(static_cast<ParamID>(b % 43), (b % 10) / 10.0);
      changes.Add(kBypassTag, (b % 7 == 0) ? 1.0 : 0.0);
      AudioBusBuffers inBus, outBus;
      ProcessData data = MakeProcessData(ins, 2, outs, 2, kBlock, inBus, outBus);
      data.processMode = kRealtime;
      data.inputParameterChanges = &changes;
      plug.processor->process(data);
      for (float s : outL)
        if (!std::isfinite(s)) outputFinite = false;
      blocksRun.fetch_add(1, std::memory_order_relaxed);
    }
    audioDone = true;
  });

  // The main thread: what a host's automation lane and its generic editor do.
  int writes = 0;
  while (!audioDone.load()) {
    for (ParamID tag = 0; tag < 43; ++tag) {
      plug.controller->setParamNormalized(tag, ((writes + tag) % 100) / 100.0);
      const double value = plug.controller->getParamNormalized(tag);
      EXPECT_GE(value, 0.0);
      EXPECT_LE(value, 1.0);
    }
    // The host bypass is stored by the controller too, and the tail moves
    // with the settings the audio thread applies.
    plug.controller->setParamNormalized(kBypassTag, writes % 2);
    const double bypass = plug.controller->getParamNormalized(kBypassTag);
    EXPECT_TRUE(bypass == 0.0 || bypass == 1.0);
    EXPECT_GT(plug.processor->getTailSamples(), plug.processor->getLatencySamples());
    ++writes;
  }
  audio.join();

  EXPECT_EQ(blocksRun.load(), kBlocks);
  EXPECT_TRUE(outputFinite.load());
  EXPECT_GT(writes, 0);
  plug.component->setActive(false);
  plug.component->terminate();
}
