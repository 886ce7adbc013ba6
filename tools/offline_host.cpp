#include "tools/offline_host.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "public.sdk/source/common/memorystream.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "tools/vst3_host/param_changes.h"
#include "tools/vst3_host/process_block.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
std::string ToUtf8(const TChar* text) {
  std::string out;
  for (int i = 0; i < 128 && text[i]; ++i) {
    const unsigned c = static_cast<char16_t>(text[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {  // Surrogate halves pass through unpaired: titles here are plain.
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string Trim(const std::string& text) {
  const size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return "";
  return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

std::string Number(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}
}  // namespace

OfflineHost::~OfflineHost() {
  if (mInitialized) mPlug->component->terminate();
  mPlug.reset();    // the last reference: the plug-in object goes
  mModule.reset();  // factory released, ModuleExit, unloaded
}

bool OfflineHost::Fail(const std::string& message) {
  mError = message;
  return false;
}

bool OfflineHost::Open(const std::string& modulePath) {
  mModule = std::make_unique<PluginModule>(modulePath.c_str());
  if (!mModule->Loaded()) return Fail("cannot load plug-in '" + modulePath + "': " + mModule->Error());
  IPluginFactory* factory = mModule->Factory();
  for (int32 i = 0; i < factory->countClasses(); ++i) {
    PClassInfo info{};
    if (factory->getClassInfo(i, &info) != kResultOk || std::strcmp(info.category, kVstAudioEffectClass) != 0)
      continue;
    mPlug = std::make_unique<PluginInstance>(factory, info.cid);
    if (!mPlug->component || !mPlug->processor || !mPlug->controller)
      return Fail("plug-in '" + modulePath + "' did not create a usable instance of '" + info.name + "'");
    if (mPlug->component->initialize(&mHostApp) != kResultOk)
      return Fail("plug-in '" + modulePath + "' failed to initialise");
    mInitialized = true;
    return true;
  }
  return Fail("plug-in '" + modulePath + "' offers no audio effect class");
}

std::string OfflineHost::Title(int32 index) {
  ParameterInfo info{};
  if (mPlug->controller->getParameterInfo(index, info) != kResultOk) return "";
  return ToUtf8(info.title);
}

std::string OfflineHost::Display(ParamID id, double normalized) {
  String128 text{};
  if (mPlug->controller->getParamStringByValue(id, normalized, text) == kResultOk) return ToUtf8(text);
  return Number(mPlug->controller->normalizedParamToPlain(id, normalized));
}

void OfflineHost::PrintParams(FILE* out) {
  IEditController* ctl = mPlug->controller;
  std::fprintf(out, "id\ttitle\tunits\tdefault\tcurrent\n");
  for (int32 i = 0; i < ctl->getParameterCount(); ++i) {
    ParameterInfo info{};
    if (ctl->getParameterInfo(i, info) != kResultOk) continue;
    std::fprintf(out, "%u\t%s\t%s\t%s\t%s\n", static_cast<unsigned>(info.id), ToUtf8(info.title).c_str(),
                 ToUtf8(info.units).c_str(), Display(info.id, info.defaultNormalizedValue).c_str(),
                 Display(info.id, ctl->getParamNormalized(info.id)).c_str());
  }
}

bool OfflineHost::Resolve(const std::string& assignment, ParamSetting& setting) {
  const size_t eq = assignment.find('=');
  if (eq == std::string::npos) return Fail("--set expects \"Name=value\", got \"" + assignment + "\"");
  const std::string name = Trim(assignment.substr(0, eq));
  const std::string valueText = Trim(assignment.substr(eq + 1));
  IEditController* ctl = mPlug->controller;
  ParameterInfo info{};
  bool found = false;
  std::string names;
  for (int32 i = 0; i < ctl->getParameterCount() && !found; ++i) {
    const std::string title = Title(i);
    if (!name.empty() && title == name) found = ctl->getParameterInfo(i, info) == kResultOk;
    if (!title.empty()) names += (names.empty() ? "\"" : ", \"") + title + "\"";
  }
  if (!found) return Fail("unknown parameter \"" + name + "\"; valid names: " + names);

  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(valueText.c_str(), &end);
  const std::string units = ToUtf8(info.units);
  if (valueText.empty() || *end != '\0' || errno == ERANGE || !std::isfinite(value))
    return Fail("bad value \"" + valueText + "\" for \"" + name + "\": expected a number" +
                (units.empty() ? "" : " in " + units));
  const double a = ctl->normalizedParamToPlain(info.id, 0.0), b = ctl->normalizedParamToPlain(info.id, 1.0);
  const double lo = std::min(a, b), hi = std::max(a, b), slack = 1e-9 * std::max(1.0, hi - lo);
  if (value < lo - slack || value > hi + slack)
    return Fail("value " + valueText + " for \"" + name + "\" is outside " + Number(lo) + " to " + Number(hi) +
                (units.empty() ? "" : " " + units));
  if (info.stepCount > 0 && value != std::floor(value))
    return Fail("\"" + name + "\" takes whole numbers from " + Number(lo) + " to " + Number(hi));
  setting.id = info.id;
  setting.normalized = ctl->plainParamToNormalized(info.id, value);
  return true;
}

bool OfflineHost::LoadState(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return Fail("cannot read state file '" + path + "': " + std::strerror(errno));
  std::vector<char> bytes;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.insert(bytes.end(), buffer, buffer + n);
  const bool readError = std::ferror(file) != 0;
  std::fclose(file);
  if (readError) return Fail("reading state file '" + path + "' failed");

  // The plug-in reads short streams without complaint, so the length is
  // checked against what it writes itself.
  MemoryStream current;
  if (mPlug->controller->getState(&current) != kResultOk) return Fail("the plug-in does not save its state");
  const auto expected = static_cast<size_t>(current.getSize());
  if (bytes.size() != expected)
    return Fail("state file '" + path + "' has " + std::to_string(bytes.size()) + " bytes; the plug-in's state has " +
                std::to_string(expected));
  MemoryStream stream(bytes.data(), static_cast<TSize>(bytes.size()));
  if (mPlug->controller->setState(&stream) != kResultOk) return Fail("the plug-in refused state file '" + path + "'");
  return true;
}

bool OfflineHost::Process(Audio& audio, int blockSize, int32 sampleSize, const std::vector<ParamSetting>& settings) {
  const auto channels = static_cast<int32>(audio.channels.size());
  if (channels != 1 && channels != 2) return Fail("only mono and stereo audio can be processed");
  IComponent* component = mPlug->component;
  IAudioProcessor* processor = mPlug->processor;
  if (processor->canProcessSampleSize(sampleSize) != kResultTrue)
    return Fail(std::string("the plug-in cannot process ") + (sampleSize == kSample64 ? "64" : "32") + "-bit samples");

  SpeakerArrangement arrangement = channels == 1 ? SpeakerArr::kMono : SpeakerArr::kStereo;
  SpeakerArrangement outArrangement = arrangement;
  const char* layout = channels == 1 ? "mono" : "stereo";
  if (processor->setBusArrangements(&arrangement, 1, &outArrangement, 1) != kResultOk)
    return Fail(std::string("the plug-in refused ") + layout + " input and output");
  for (auto dir : {kInput, kOutput}) {
    for (int32 i = 0; i < component->getBusCount(kAudio, dir); ++i) component->activateBus(kAudio, dir, i, true);
    BusInfo bus{};
    if (component->getBusInfo(kAudio, dir, 0, bus) != kResultOk || bus.channelCount != channels)
      return Fail(std::string("the plug-in has no ") + layout + (dir == kInput ? " input" : " output") + " bus");
  }

  ProcessSetup setup{kOffline, sampleSize, blockSize, audio.rate};
  if (processor->setupProcessing(setup) != kResultOk) return Fail("the plug-in refused the processing set-up");
  if (component->setActive(true) != kResultOk) return Fail("the plug-in could not be activated");
  processor->setProcessing(true);  // optional for plug-ins: the result does not matter
  const bool ok = sampleSize == kSample64 ? Render<double>(audio, blockSize, settings)
                                          : Render<float>(audio, blockSize, settings);
  processor->setProcessing(false);
  component->setActive(false);
  return ok;
}

template <class T>
bool OfflineHost::Render(Audio& audio, int blockSize, const std::vector<ParamSetting>& settings) {
  const size_t channels = audio.channels.size();
  std::vector<std::vector<T>> in(channels, std::vector<T>(static_cast<size_t>(blockSize)));
  std::vector<std::vector<T>> out = in;
  std::vector<T*> inPtrs, outPtrs;
  for (size_t ch = 0; ch < channels; ++ch) {
    inPtrs.push_back(in[ch].data());
    outPtrs.push_back(out[ch].data());
  }
  ParamChanges first, none, fromPlugin;
  for (const ParamSetting& s : settings) first.Add(s.id, s.normalized);

  ProcessContext context{};
  context.state = ProcessContext::kPlaying | ProcessContext::kTempoValid | ProcessContext::kTimeSigValid;
  context.sampleRate = audio.rate;
  context.tempo = 120.0;
  context.timeSigNumerator = 4;
  context.timeSigDenominator = 4;

  const long frames = audio.Frames();
  for (long pos = 0; pos < frames; pos += blockSize) {
    const auto n = static_cast<int32>(std::min<long>(blockSize, frames - pos));
    for (size_t ch = 0; ch < channels; ++ch)
      for (int32 i = 0; i < n; ++i) in[ch][static_cast<size_t>(i)] = static_cast<T>(audio.channels[ch][static_cast<size_t>(pos + i)]);
    context.projectTimeSamples = pos;
    AudioBusBuffers inBus, outBus;
    ProcessData data = MakeProcessData(inPtrs.data(), static_cast<int32>(channels), outPtrs.data(),
                                       static_cast<int32>(channels), n, inBus, outBus);
    data.processMode = kOffline;
    data.inputParameterChanges = pos == 0 ? &first : &none;
    data.outputParameterChanges = &fromPlugin;
    data.processContext = &context;
    if (mPlug->processor->process(data) != kResultOk)
      return Fail("the plug-in failed to process the block at frame " + std::to_string(pos));
    for (size_t ch = 0; ch < channels; ++ch)
      for (int32 i = 0; i < n; ++i) audio.channels[ch][static_cast<size_t>(pos + i)] = out[ch][static_cast<size_t>(i)];
  }
  return true;
}
