#include "tests/vst3/vst3_test_support.h"

#include <cmath>

#include "framework/vst3/vst3_strings.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace vst3test {

const TUID kMorvanteCid = {static_cast<char>(0xF2), static_cast<char>(0xAE), static_cast<char>(0xE7), 0x0D,
                           0x00, static_cast<char>(0xDE), 0x4F, 0x4E,
                           0x50, 0x6E, 0x76, 0x72,
                           0x4D, 0x52, 0x56, 0x31};

PluginModule& Module() {
  static PluginModule module(MORVANTE_VST3_SO);
  return module;
}

std::string ToUtf8(const TChar* text) {
  char out[512];
  Utf16ToUtf8(text, out, sizeof out);
  return out;
}

double TestSignal(int channel, long frame) {
  const double t = static_cast<double>(frame) / 44100.0;
  const double a = channel == 0 ? 0.4 : 0.3;
  // A small linear-congruential noise keeps every band's detector busy.
  const unsigned noise = static_cast<unsigned>(frame * 1103515245L + 12345L + channel * 7919L);
  return a * std::sin(2.0 * M_PI * 220.0 * t) + 0.2 * std::sin(2.0 * M_PI * (3000.0 + 500.0 * channel) * t) +
         0.05 * (static_cast<double>(noise % 2001u) / 1000.0 - 1.0);
}

void Vst3Test::SetUp() {
  ASSERT_TRUE(Module().Loaded()) << Module().Error();
  mPlug = MakeInstance("Ardour");
  ASSERT_NE(mPlug->component, nullptr);
}

void Vst3Test::TearDown() {
  if (mPlug && mPlug->component) mPlug->component->terminate();
  mPlug.reset();
}

std::unique_ptr<PluginInstance> Vst3Test::MakeInstance(const char* hostName) {
  auto plug = std::make_unique<PluginInstance>(Module().Factory(), kMorvanteCid);
  if (!plug->component) return plug;
  if (hostName) {
    mHosts.push_back(std::make_unique<TestHostApplication>(hostName));
    plug->component->initialize(mHosts.back().get());
  } else {
    plug->component->initialize(nullptr);
  }
  ActivateBuses(*plug);
  return plug;
}

void Vst3Test::ActivateBuses(PluginInstance& plug) {
  for (int32 i = 0; i < plug.component->getBusCount(kAudio, kInput); ++i)
    plug.component->activateBus(kAudio, kInput, i, true);
  for (int32 i = 0; i < plug.component->getBusCount(kAudio, kOutput); ++i)
    plug.component->activateBus(kAudio, kOutput, i, true);
}

tresult Vst3Test::SetUpProcessing(PluginInstance& plug, int32 sampleSize, int32 maxBlock, double rate) {
  ProcessSetup setup{kRealtime, sampleSize, maxBlock, rate};
  return plug.processor->setupProcessing(setup);
}

}  // namespace vst3test
