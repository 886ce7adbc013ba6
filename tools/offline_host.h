// An offline VST3 host for one effect instance: loads the module, creates
// and initialises the effect, resolves parameters, carries its state in and
// out, and renders whole files in blocks with automation.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/vst3/editor_snapshot.h"
#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "tools/audio_file.h"
#include "tools/automation.h"
#include "tools/vst3_host/host_application.h"
#include "tools/vst3_host/plugin_module.h"

struct ParamSetting {
  Steinberg::Vst::ParamID id = 0;
  double normalized = 0.0;
};

struct RenderOptions {
  int blockSize = 512;
  Steinberg::int32 sampleSize = Steinberg::Vst::kSample64;
  // Delivered with the first block, before any automation.
  std::vector<ParamSetting> settings;
  const Automation* automation = nullptr;
  // Drops the reported latency from the start of the output and renders
  // that much silence past the end, so output lines up with input.
  bool compensateLatency = true;
  // Called after each block with the frames done so far.
  std::function<void(long done)> progress;
};

class OfflineHost {
public:
  OfflineHost() = default;
  ~OfflineHost();
  OfflineHost(const OfflineHost&) = delete;
  OfflineHost& operator=(const OfflineHost&) = delete;

  // Loads the module and makes an initialised instance of its first audio
  // effect class.
  bool Open(const std::string& modulePath);
  const std::string& Error() const { return mError; }

  // id, title, unit, range, default and current value of every parameter;
  // for switches and lists, every value's text.
  void PrintParams(FILE* out);
  // "Parameter=value": the parameter by title or id, the value in its own
  // units or, with a trailing n, normalised ("17=0.625n").
  bool Resolve(const std::string& assignment, ParamSetting& setting);
  // Resolve as an automation file's reader asks for it; the host outlives it.
  Automation::Resolver AutomationResolver();
  // The parameter the plug-in marks as its bypass.
  bool BypassParam(Steinberg::Vst::ParamID& id);
  // The plain value of the parameter with this title, if there is one.
  bool PlainValue(const std::string& title, double& value);

  // A controller state as bare bytes (what the controller's getState wrote).
  bool LoadControllerState(const std::string& path);
  // The plug-in's state as a VST3 preset file: the component state and,
  // where it differs, the controller state, tagged with the class id. A file
  // of another plug-in, or one whose chunks the plug-in refuses, is refused
  // and leaves the instance as it was loaded.
  bool LoadStateFile(const std::string& path);
  bool SaveStateFile(const std::string& path);
  // The same with the file's bytes; path only names it in messages.
  bool LoadState(const std::string& bytes, const std::string& path);
  bool SaveState(std::string& bytes);

  // Delivers settings with no audio, as a host does when nothing plays: a
  // block of no samples carries them to the processor, and the controller
  // is told too.
  bool ApplySettings(const std::vector<ParamSetting>& settings);
  // Renders audio in place. The latency the plug-in reported while active
  // is kept for Latency().
  bool Process(Audio& audio, const RenderOptions& options);
  long Latency() const { return mLatency; }
  // Asks the plug-in to draw its editor as it stands into a PNG file.
  // At an editor scale in percent (100 to 200 in steps of 25).
  bool WriteEditorSnapshot(const std::string& path, int scalePercent = 100);
  // Opens the editor's display before a render: every render after it runs
  // the editor's timer as a window would, once per kEditorTimerSeconds of
  // audio, so a snapshot shows the display at the end of the audio.
  bool OpenEditorDisplay();
  static constexpr double kEditorTimerSeconds = 0.04;

private:
  template <class T>
  bool Render(Audio& audio, const RenderOptions& options);
  std::string Title(Steinberg::int32 index);
  std::string Display(Steinberg::Vst::ParamID id, double normalized);
  bool FindParam(const std::string& name, Steinberg::Vst::ParameterInfo& info);
  bool Fail(const std::string& message);

  HostApplication mHostApp{"morvante-process"};
  std::unique_ptr<PluginModule> mModule;
  std::unique_ptr<PluginInstance> mPlug;
  Steinberg::TUID mClassId{};
  bool mInitialized = false;
  // Set while the editor's display is open.
  Steinberg::IPtr<IEditorSnapshot2> mEditorTimer;
  long mLatency = 0;
  std::string mError;
};
