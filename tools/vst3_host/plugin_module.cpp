#include "tools/vst3_host/plugin_module.h"

#include <dlfcn.h>

using namespace Steinberg;
using namespace Steinberg::Vst;

PluginModule::PluginModule(const char* path) {
  mHandle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (!mHandle) {
    const char* error = dlerror();
    mError = error ? error : "dlopen failed";
    return;
  }
  getFactory = reinterpret_cast<GetFactoryProc>(dlsym(mHandle, "GetPluginFactory"));
  moduleEntry = reinterpret_cast<EntryProc>(dlsym(mHandle, "ModuleEntry"));
  moduleExit = reinterpret_cast<ExitProc>(dlsym(mHandle, "ModuleExit"));
  if (!getFactory || !moduleEntry || !moduleExit) {
    mError = "missing entry point";
    return;
  }
  if (!moduleEntry(mHandle)) {
    mError = "ModuleEntry failed";
    return;
  }
  mFactory = getFactory();
  if (!mFactory) mError = "no factory";
}

PluginModule::~PluginModule() {
  if (mFactory) mFactory->release();
  if (moduleExit && mError != "ModuleEntry failed" && mError != "missing entry point") moduleExit();
  if (mHandle) dlclose(mHandle);
}

namespace {
template <class I>
I* Query(FUnknown* object) {
  void* obj = nullptr;
  if (!object || object->queryInterface(I::iid, &obj) != kResultOk) return nullptr;
  return static_cast<I*>(obj);
}
}  // namespace

PluginInstance::PluginInstance(IPluginFactory* factory, const TUID cid) {
  void* obj = nullptr;
  if (!factory || factory->createInstance(cid, IComponent::iid, &obj) != kResultOk) return;
  component = static_cast<IComponent*>(obj);
  processor = Query<IAudioProcessor>(component);
  controller = Query<IEditController>(component);
  units = Query<IUnitInfo>(component);
}

PluginInstance::~PluginInstance() {
  if (units) units->release();
  if (controller) controller->release();
  if (processor) processor->release();
  if (component) component->release();
}
