#include "tests/lv2/vst3_reference.h"

#include <algorithm>

#include "pluginterfaces/vst/vstspeaker.h"
#include "tests/vst3/host/host_objects.h"
#include "tests/vst3/host/morvante_ids.h"
#include "tools/vst3_host/plugin_module.h"
#include "tools/vst3_host/process_block.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace lv2test {

namespace {
PluginModule& Module() {
  static PluginModule module(MORVANTE_VST3_SO);
  return module;
}

// An initialised instance with its buses active, ready to process.
struct Vst3Instance {
  explicit Vst3Instance(const Vst3Options& options) : host("Ardour"), plug(Module().Factory(), morvante_ids::kCid) {
    if (!plug.component) return;
    plug.component->initialize(&host);
    if (options.nChannels == 1) {
      SpeakerArrangement mono = SpeakerArr::kMono;
      plug.processor->setBusArrangements(&mono, 1, &mono, 1);
    }
    plug.component->activateBus(kAudio, kInput, 0, true);
    plug.component->activateBus(kAudio, kOutput, 0, true);
    ProcessSetup setup{kRealtime, kSample32, options.blockSize, options.rate};
    ready = plug.processor->setupProcessing(setup) == kResultOk && plug.component->setActive(true) == kResultOk;
  }
  ~Vst3Instance() {
    if (!plug.component) return;
    plug.component->setActive(false);
    plug.component->terminate();
  }
  TestHostApplication host;
  PluginInstance plug;
  bool ready = false;
};
}  // namespace

Channels RenderVst3(const Channels& in, const std::vector<Setting>& settings, const Vst3Options& options) {
  Vst3Instance vst3(options);
  if (!vst3.ready || in.empty()) return {};
  const int frames = static_cast<int>(in[0].size());
  const int nCh = options.nChannels;
  Channels out(static_cast<size_t>(nCh), std::vector<float>(static_cast<size_t>(frames)));
  std::vector<float*> ins(static_cast<size_t>(nCh)), outs(static_cast<size_t>(nCh));
  TestParamChanges changes;
  for (const Setting& s : settings)
    changes.Add(static_cast<ParamID>(s.paramIdx),
                vst3.plug.controller->plainParamToNormalized(static_cast<ParamID>(s.paramIdx), s.value));
  if (options.hostBypass) changes.Add(morvante_ids::kBypassTag, 1.0);
  for (int done = 0; done < frames; done += options.blockSize) {
    const int n = std::min(options.blockSize, frames - done);
    for (int c = 0; c < nCh; ++c) {
      // The host's buffers are its own: the input is not written to.
      ins[static_cast<size_t>(c)] = const_cast<float*>(in[static_cast<size_t>(c)].data()) + done;
      outs[static_cast<size_t>(c)] = out[static_cast<size_t>(c)].data() + done;
    }
    AudioBusBuffers inBus, outBus;
    ProcessData data = MakeProcessData(ins.data(), nCh, outs.data(), nCh, n, inBus, outBus);
    data.processMode = kRealtime;
    data.inputParameterChanges = done == 0 ? &changes : nullptr;
    if (vst3.plug.processor->process(data) != kResultOk) return {};
  }
  return out;
}

int Vst3Latency() {
  Vst3Instance vst3(Vst3Options{});
  return vst3.ready ? static_cast<int>(vst3.plug.processor->getLatencySamples()) : -1;
}

std::vector<uint8_t> Vst3StateAfterRestore(const std::vector<uint8_t>& bytes) {
  Vst3Instance vst3(Vst3Options{});
  if (!vst3.ready) return {};
  TestStream in(bytes);
  if (vst3.plug.component->setState(&in) != kResultOk) return {};
  TestStream out;
  if (vst3.plug.component->getState(&out) != kResultOk) return {};
  return out.data;
}

}  // namespace lv2test
