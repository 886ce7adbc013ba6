// Loads a VST3 bundle's shared object the way a Linux host does: dlopen,
// ModuleEntry, GetPluginFactory; and makes instances through the factory.
#pragma once

#include <string>

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstunits.h"

class PluginModule {
public:
  explicit PluginModule(const char* path);
  ~PluginModule();
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  bool Loaded() const { return mFactory != nullptr; }
  const std::string& Error() const { return mError; }
  Steinberg::IPluginFactory* Factory() const { return mFactory; }
  // The raw entry points, for tests of the module itself.
  using GetFactoryProc = Steinberg::IPluginFactory* (*)();
  using EntryProc = bool (*)(void*);
  using ExitProc = bool (*)();
  GetFactoryProc getFactory = nullptr;
  EntryProc moduleEntry = nullptr;
  ExitProc moduleExit = nullptr;

private:
  void* mHandle = nullptr;
  Steinberg::IPluginFactory* mFactory = nullptr;
  std::string mError;
};

// One plug-in instance seen through each of its interfaces; all are
// released with it.
struct PluginInstance {
  PluginInstance(Steinberg::IPluginFactory* factory, const Steinberg::TUID cid);
  ~PluginInstance();
  PluginInstance(const PluginInstance&) = delete;
  PluginInstance& operator=(const PluginInstance&) = delete;

  Steinberg::Vst::IComponent* component = nullptr;
  Steinberg::Vst::IAudioProcessor* processor = nullptr;
  Steinberg::Vst::IEditController* controller = nullptr;
  Steinberg::Vst::IUnitInfo* units = nullptr;
};
