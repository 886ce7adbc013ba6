// An offline VST3 host for one effect instance: loads the module, creates
// and initialises the effect, resolves parameters by title, restores a
// stored state and renders whole files in blocks.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "tools/audio_file.h"
#include "tools/vst3_host/host_application.h"
#include "tools/vst3_host/plugin_module.h"

struct ParamSetting {
  Steinberg::Vst::ParamID id = 0;
  double normalized = 0.0;
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

  // id, title, units, default and current display value of every parameter.
  void PrintParams(FILE* out);
  // "Title=value", the value in the parameter's own units.
  bool Resolve(const std::string& assignment, ParamSetting& setting);
  // Restores a state the effect's controller wrote (the host's project data).
  bool LoadState(const std::string& path);
  // Renders audio in place; settings arrive with the first block.
  bool Process(Audio& audio, int blockSize, Steinberg::int32 sampleSize, const std::vector<ParamSetting>& settings);

private:
  template <class T>
  bool Render(Audio& audio, int blockSize, const std::vector<ParamSetting>& settings);
  std::string Title(Steinberg::int32 index);
  std::string Display(Steinberg::Vst::ParamID id, double normalized);
  bool Fail(const std::string& message);

  HostApplication mHostApp{"morvante-process"};
  std::unique_ptr<PluginModule> mModule;
  std::unique_ptr<PluginInstance> mPlug;
  bool mInitialized = false;
  std::string mError;
};
