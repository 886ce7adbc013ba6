#include "tools/offline_host.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "framework/vst3/editor_snapshot.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "public.sdk/source/common/memorystream.h"
#include "tools/preset_file.h"
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

bool ReadFile(const std::string& path, std::string& bytes, std::string& error) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    error = std::strerror(errno);
    return false;
  }
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, n);
  const bool readError = std::ferror(file) != 0;
  std::fclose(file);
  if (readError) error = "read error";
  return !readError;
}

// The bytes a getState call wrote, or false when it failed.
template <class Getter>
bool StateBytes(Getter&& get, std::string& bytes) {
  MemoryStream stream;
  if (get(&stream) != kResultOk) return false;
  bytes.assign(stream.getData(), static_cast<size_t>(stream.getSize()));
  return true;
}

std::string ClassIdText(const TUID cid) {
  char text[33] = {};
  FUID::fromTUID(cid).toString(text);
  return text;
}
}  // namespace

DEF_CLASS_IID(IEditorSnapshot)
DEF_CLASS_IID(IEditorSnapshot2)

OfflineHost::~OfflineHost() {
  mEditorTimer = nullptr;
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
    std::memcpy(mClassId, info.cid, sizeof mClassId);
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
  std::fprintf(out, "id\ttitle\tunit\tmin\tmax\tdefault\tcurrent\tvalues\n");
  for (int32 i = 0; i < ctl->getParameterCount(); ++i) {
    ParameterInfo info{};
    if (ctl->getParameterInfo(i, info) != kResultOk) continue;
    // Switches and short lists name each of their values.
    std::string values;
    if (info.stepCount > 0 && info.stepCount <= 32) {
      for (int32 step = 0; step <= info.stepCount; ++step) {
        const double normalized = static_cast<double>(step) / info.stepCount;
        values += (step ? ", " : "") + Number(ctl->normalizedParamToPlain(info.id, normalized)) + "=" +
                  Display(info.id, normalized);
      }
    }
    std::fprintf(out, "%u\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n", static_cast<unsigned>(info.id), ToUtf8(info.title).c_str(),
                 ToUtf8(info.units).c_str(), Display(info.id, 0.0).c_str(), Display(info.id, 1.0).c_str(),
                 Display(info.id, info.defaultNormalizedValue).c_str(),
                 Display(info.id, ctl->getParamNormalized(info.id)).c_str(), values.c_str());
  }
}

bool OfflineHost::FindParam(const std::string& name, ParameterInfo& info) {
  IEditController* ctl = mPlug->controller;
  for (int32 i = 0; i < ctl->getParameterCount(); ++i)
    if (!name.empty() && Title(i) == name) return ctl->getParameterInfo(i, info) == kResultOk;
  // Not a title: a decimal id.
  if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos || name.size() > 10) return false;
  const unsigned long id = std::strtoul(name.c_str(), nullptr, 10);
  for (int32 i = 0; i < ctl->getParameterCount(); ++i)
    if (ctl->getParameterInfo(i, info) == kResultOk && info.id == id) return true;
  return false;
}

bool OfflineHost::Resolve(const std::string& assignment, ParamSetting& setting) {
  const size_t eq = assignment.find('=');
  if (eq == std::string::npos) return Fail("--set expects \"Name=value\", got \"" + assignment + "\"");
  const std::string name = Trim(assignment.substr(0, eq));
  std::string valueText = Trim(assignment.substr(eq + 1));
  IEditController* ctl = mPlug->controller;
  ParameterInfo info{};
  if (!FindParam(name, info)) {
    std::string names;
    for (int32 i = 0; i < ctl->getParameterCount(); ++i) {
      const std::string title = Title(i);
      if (!title.empty()) names += (names.empty() ? "\"" : ", \"") + title + "\"";
    }
    return Fail("unknown parameter \"" + name + "\"; valid names: " + names + " (or an id from --list-params)");
  }
  const std::string title = ToUtf8(info.title).empty() ? std::to_string(info.id) : ToUtf8(info.title);
  const bool normalised = !valueText.empty() && valueText.back() == 'n';
  if (normalised) valueText.pop_back();

  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(valueText.c_str(), &end);
  const std::string units = ToUtf8(info.units);
  if (valueText.empty() || *end != '\0' || errno == ERANGE || !std::isfinite(value))
    return Fail("bad value \"" + Trim(assignment.substr(eq + 1)) + "\" for \"" + title + "\": expected a number" +
                (units.empty() ? "" : " in " + units) + ", or 0 to 1 followed by n");
  if (normalised) {
    if (value < 0.0 || value > 1.0)
      return Fail("normalised value " + valueText + "n for \"" + title + "\" is outside 0n to 1n");
    setting.id = info.id;
    setting.normalized = value;
    return true;
  }
  const double a = ctl->normalizedParamToPlain(info.id, 0.0), b = ctl->normalizedParamToPlain(info.id, 1.0);
  const double lo = std::min(a, b), hi = std::max(a, b), slack = 1e-9 * std::max(1.0, hi - lo);
  if (value < lo - slack || value > hi + slack)
    return Fail("value " + valueText + " for \"" + title + "\" is outside " + Number(lo) + " to " + Number(hi) +
                (units.empty() ? "" : " " + units));
  if (info.stepCount > 0 && value != std::floor(value))
    return Fail("\"" + title + "\" takes whole numbers from " + Number(lo) + " to " + Number(hi));
  setting.id = info.id;
  setting.normalized = ctl->plainParamToNormalized(info.id, value);
  return true;
}

Automation::Resolver OfflineHost::AutomationResolver() {
  return [this](const std::string& assignment, ParamID& id, double& normalized, std::string& why) {
    ParamSetting setting;
    if (!Resolve(assignment, setting)) {
      why = Error();
      return false;
    }
    id = setting.id;
    normalized = setting.normalized;
    return true;
  };
}

bool OfflineHost::BypassParam(ParamID& id) {
  IEditController* ctl = mPlug->controller;
  for (int32 i = 0; i < ctl->getParameterCount(); ++i) {
    ParameterInfo info{};
    if (ctl->getParameterInfo(i, info) == kResultOk && (info.flags & ParameterInfo::kIsBypass)) {
      id = info.id;
      return true;
    }
  }
  return Fail("the plug-in has no bypass parameter");
}

bool OfflineHost::PlainValue(const std::string& title, double& value) {
  ParameterInfo info{};
  if (!FindParam(title, info)) return false;
  value = mPlug->controller->normalizedParamToPlain(info.id, mPlug->controller->getParamNormalized(info.id));
  return true;
}

bool OfflineHost::LoadControllerState(const std::string& path) {
  std::string bytes, error;
  if (!ReadFile(path, bytes, error)) return Fail("cannot read state file '" + path + "': " + error);
  // The plug-in reads short streams without complaint, so the length is
  // checked against what it writes itself.
  std::string current;
  if (!StateBytes([&](IBStream* s) { return mPlug->controller->getState(s); }, current))
    return Fail("the plug-in does not save its state");
  if (bytes.size() != current.size())
    return Fail("state file '" + path + "' has " + std::to_string(bytes.size()) + " bytes; the plug-in's state has " +
                std::to_string(current.size()));
  MemoryStream stream(bytes.data(), static_cast<TSize>(bytes.size()));
  if (mPlug->controller->setState(&stream) != kResultOk) return Fail("the plug-in refused state file '" + path + "'");
  return true;
}

bool OfflineHost::LoadStateFile(const std::string& path) {
  std::string bytes, error;
  if (!ReadFile(path, bytes, error)) return Fail("cannot read state file '" + path + "': " + error);
  return LoadState(bytes, path);
}

bool OfflineHost::LoadState(const std::string& bytes, const std::string& path) {
  std::string error;
  PresetFile preset;
  if (!ReadPresetFile(bytes, preset, error)) return Fail("state file '" + path + "' is refused: " + error);
  if (preset.classId != ClassIdText(mClassId))
    return Fail("state file '" + path + "' is refused: it belongs to another plug-in (class " + preset.classId + ")");

  // Both chunks are checked before either is applied. The plug-in reads
  // short streams without complaint, so lengths are held against what it
  // writes itself.
  std::string component, controller;
  const bool savesComponent = StateBytes([&](IBStream* s) { return mPlug->component->getState(s); }, component);
  const bool savesController = StateBytes([&](IBStream* s) { return mPlug->controller->getState(s); }, controller);
  const struct {
    bool present, saved;
    const std::string &bytes, &current;
    const char* name;
  } chunks[] = {{preset.hasComponent, savesComponent, preset.component, component, "component"},
                {preset.hasController, savesController, preset.controller, controller, "controller"}};
  for (const auto& chunk : chunks) {
    if (!chunk.present) continue;
    if (!chunk.saved)
      return Fail("state file '" + path + "' is refused: the plug-in keeps no " + chunk.name + " state");
    if (chunk.bytes.size() != chunk.current.size())
      return Fail("state file '" + path + "' is refused: its " + chunk.name + " state has " +
                  std::to_string(chunk.bytes.size()) + " bytes; the plug-in's has " +
                  std::to_string(chunk.current.size()));
  }
  if (preset.hasComponent) {
    MemoryStream stream(const_cast<char*>(preset.component.data()), static_cast<TSize>(preset.component.size()));
    if (mPlug->component->setState(&stream) != kResultOk)
      return Fail("state file '" + path + "' is refused: the plug-in rejected its component state");
    stream.seek(0, IBStream::kIBSeekSet, nullptr);
    const tresult synced = mPlug->controller->setComponentState(&stream);
    if (synced != kResultOk && synced != kNotImplemented)
      return Fail("state file '" + path + "' is refused: the controller rejected its component state");
  }
  if (preset.hasController) {
    MemoryStream stream(const_cast<char*>(preset.controller.data()), static_cast<TSize>(preset.controller.size()));
    if (mPlug->controller->setState(&stream) != kResultOk)
      return Fail("state file '" + path + "' is refused: the plug-in rejected its controller state");
  }
  return true;
}

bool OfflineHost::SaveStateFile(const std::string& path) {
  std::string bytes, error;
  if (!SaveState(bytes)) return false;
  if (!WriteFileAtomically(path, bytes, error)) return Fail(error);
  return true;
}

bool OfflineHost::SaveState(std::string& bytes) {
  PresetFile preset;
  preset.classId = ClassIdText(mClassId);
  preset.hasComponent = StateBytes([&](IBStream* s) { return mPlug->component->getState(s); }, preset.component);
  std::string controller;
  if (StateBytes([&](IBStream* s) { return mPlug->controller->getState(s); }, controller) &&
      (!preset.hasComponent || controller != preset.component)) {
    preset.hasController = true;
    preset.controller = controller;
  }
  if (!preset.hasComponent && !preset.hasController) return Fail("the plug-in does not save its state");
  bytes = WritePresetFile(preset);
  return true;
}

bool OfflineHost::WriteEditorSnapshot(const std::string& path, int scalePercent) {
  void* obj = nullptr;
  if (mPlug->component->queryInterface(IEditorSnapshot::iid, &obj) != kResultOk || !obj)
    return Fail("the plug-in cannot draw its editor offscreen");
  auto* snapshot = static_cast<IEditorSnapshot*>(obj);
  // Drawn beside the target and renamed, as every output is.
  tresult result = kResultFalse;
  std::string error;
  const bool written = WriteThroughTempName(path, [&](const std::string& temp) {
    result = snapshot->writeEditorPNGAtScale(temp.c_str(), scalePercent);
    return result == kResultOk;
  }, error);
  snapshot->release();
  if (result == kNotImplemented) return Fail("the plug-in has no editor to draw");
  if (!written) return Fail(error.empty() ? "cannot write editor snapshot '" + path + "'" : error);
  return true;
}

bool OfflineHost::OpenEditorDisplay() {
  void* obj = nullptr;
  if (mPlug->component->queryInterface(IEditorSnapshot2::iid, &obj) != kResultOk || !obj)
    return Fail("the plug-in cannot draw its editor's display offscreen");
  Steinberg::IPtr<IEditorSnapshot2> snapshot(static_cast<IEditorSnapshot2*>(obj), false);
  if (snapshot->showEditorDisplay(true) != kResultOk) return Fail("the plug-in's editor has no display");
  mEditorTimer = snapshot;
  return true;
}

bool OfflineHost::ApplySettings(const std::vector<ParamSetting>& settings) {
  ProcessSetup setup{kOffline, kSample64, 512, 48000.0};
  if (mPlug->processor->setupProcessing(setup) != kResultOk) return Fail("the plug-in refused the processing set-up");
  if (mPlug->component->setActive(true) != kResultOk) return Fail("the plug-in could not be activated");
  ParamChanges changes;
  for (const ParamSetting& s : settings) {
    changes.Add(s.id, s.normalized);
    mPlug->controller->setParamNormalized(s.id, s.normalized);
  }
  ProcessData flush{};
  flush.processMode = kOffline;
  flush.symbolicSampleSize = kSample64;
  flush.inputParameterChanges = &changes;
  const bool ok = mPlug->processor->process(flush) == kResultOk;
  mPlug->component->setActive(false);
  return ok || Fail("the plug-in refused the settings");
}

bool OfflineHost::Process(Audio& audio, const RenderOptions& options) {
  const auto channels = static_cast<int32>(audio.channels.size());
  if (channels != 1 && channels != 2) return Fail("only mono and stereo audio can be processed");
  IComponent* component = mPlug->component;
  IAudioProcessor* processor = mPlug->processor;
  const int32 sampleSize = options.sampleSize;
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

  ProcessSetup setup{kOffline, sampleSize, options.blockSize, audio.rate};
  if (processor->setupProcessing(setup) != kResultOk) return Fail("the plug-in refused the processing set-up");
  if (component->setActive(true) != kResultOk) return Fail("the plug-in could not be activated");
  mLatency = static_cast<long>(processor->getLatencySamples());
  processor->setProcessing(true);  // optional for plug-ins: the result does not matter
  const bool ok = sampleSize == kSample64 ? Render<double>(audio, options) : Render<float>(audio, options);
  processor->setProcessing(false);
  component->setActive(false);
  return ok;
}

template <class T>
bool OfflineHost::Render(Audio& audio, const RenderOptions& options) {
  const size_t channels = audio.channels.size();
  const auto blockSize = static_cast<size_t>(options.blockSize);
  std::vector<std::vector<T>> in(channels, std::vector<T>(blockSize));
  std::vector<std::vector<T>> out = in;
  std::vector<T*> inPtrs, outPtrs;
  for (size_t ch = 0; ch < channels; ++ch) {
    inPtrs.push_back(in[ch].data());
    outPtrs.push_back(out[ch].data());
  }
  ParamChanges changes, fromPlugin;

  ProcessContext context{};
  context.state = ProcessContext::kPlaying | ProcessContext::kTempoValid | ProcessContext::kTimeSigValid;
  context.sampleRate = audio.rate;
  context.tempo = 120.0;
  context.timeSigNumerator = 4;
  context.timeSigDenominator = 4;

  // With compensation the first `shift` output frames are the plug-in's
  // delay, and as many frames of silence past the end bring out the rest.
  const long frames = audio.Frames();
  const long shift = options.compensateLatency ? mLatency : 0;
  const long total = frames + shift;
  const auto timerFrames = std::max<long>(1, std::lround(audio.rate * kEditorTimerSeconds));
  long nextTimer = timerFrames;
  for (long pos = 0; pos < total;) {
    auto n = static_cast<int32>(std::min<long>(options.blockSize, total - pos));
    if (options.automation) n = options.automation->BlockLength(pos - shift, n);
    for (size_t ch = 0; ch < channels; ++ch)
      for (int32 i = 0; i < n; ++i) {
        const long at = pos + i;
        in[ch][static_cast<size_t>(i)] = at < frames ? static_cast<T>(audio.channels[ch][static_cast<size_t>(at)]) : T(0);
      }
    changes.Clear();
    fromPlugin.Clear();
    if (pos == 0)
      for (const ParamSetting& s : options.settings) changes.Add(s.id, s.normalized);
    // Automation is moved by the same delay, so that it lands on the
    // output's frames the way the file's times name them.
    if (options.automation) options.automation->AddPoints(pos - shift, n, pos == 0, changes);
    context.projectTimeSamples = pos;
    AudioBusBuffers inBus, outBus;
    ProcessData data = MakeProcessData(inPtrs.data(), static_cast<int32>(channels), outPtrs.data(),
                                       static_cast<int32>(channels), n, inBus, outBus);
    data.processMode = kOffline;
    data.inputParameterChanges = &changes;
    data.outputParameterChanges = &fromPlugin;
    data.processContext = &context;
    if (mPlug->processor->process(data) != kResultOk)
      return Fail("the plug-in failed to process the block at frame " + std::to_string(pos));
    for (size_t ch = 0; ch < channels; ++ch)
      for (int32 i = 0; i < n; ++i) {
        const long at = pos + i - shift;
        if (at >= 0) audio.channels[ch][static_cast<size_t>(at)] = out[ch][static_cast<size_t>(i)];
      }
    pos += n;
    if (mEditorTimer && pos >= nextTimer) {
      mEditorTimer->runEditorTimer();
      while (nextTimer <= pos) nextTimer += timerFrames;
    }
    if (options.progress) options.progress(std::min(pos, total));
  }
  return true;
}
