// The module's exported entry points: the factory, and the load and unload
// calls of each platform.
#include <cstring>

#include "framework/vst3/iplug_vst3.h"
#include "framework/vst3/plug_module.h"
#include "framework/vst3/plugin_factory.h"
#include "pluginterfaces/base/ipluginbase.h"

#if SMTG_OS_MACOS
#include <CoreFoundation/CoreFoundation.h>
#endif

using namespace Steinberg;

namespace {
PFactoryInfo factoryInfo;
PClassInfo2 componentClass;

void FillFactoryInfo(const PlugModuleInfo& module) {
  factoryInfo = PFactoryInfo(module.vendor, module.url, module.email, PFactoryInfo::kUnicode);
}

void FillComponentClass(const PlugModuleInfo& module) {
  TUID cid;
  for (int word = 0; word < 4; ++word)
    for (int byte = 0; byte < 4; ++byte)
      cid[word * 4 + byte] = static_cast<char>((module.guid[word] >> (24 - 8 * byte)) & 0xFF);
  componentClass = PClassInfo2(cid, PClassInfo::kManyInstances, kVstAudioEffectClass, module.className,
                               Vst::kSimpleModeSupported, module.subCategories, "", module.version,
                               "VST 3.6.12");
}

FUnknown* createInstance(void*) {
  IPlugVST3* plug = MakePlug();
  return plug ? static_cast<Vst::IAudioProcessor*>(plug) : nullptr;
}

bool InitModule() { return true; }
bool DeinitModule() { return true; }

int moduleRefCounter = 0;
}  // namespace

extern "C" SMTG_EXPORT_SYMBOL IPluginFactory* PLUGIN_API GetPluginFactory() {
  if (gPluginFactory) {
    gPluginFactory->addRef();
    return gPluginFactory;
  }
  const PlugModuleInfo& module = GetPlugModuleInfo();
  static const bool factoryInfoFilled = (FillFactoryInfo(module), true);
  (void)factoryInfoFilled;
  gPluginFactory = new CPluginFactory(factoryInfo);
  static const bool componentClassFilled = (FillComponentClass(module), true);
  (void)componentClassFilled;
  gPluginFactory->registerClass(componentClass, createInstance, nullptr);
  return gPluginFactory;
}

#if SMTG_OS_MACOS
namespace {
CFBundleRef ghInst = nullptr;
void* moduleHandle = nullptr;
char gPath[2048] = {};
CFMutableArrayRef gBundleRefs = nullptr;
}  // namespace

extern "C" SMTG_EXPORT_SYMBOL bool bundleEntry(CFBundleRef ref) {
  if (ref) {
    if (!gBundleRefs) gBundleRefs = CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks);
    CFArrayAppendValue(gBundleRefs, ref);  // the array retains it
    if (!ghInst) {
      ghInst = ref;
      moduleHandle = ref;
      if (CFURLRef url = CFBundleCopyBundleURL(ref)) {
        CFURLGetFileSystemRepresentation(url, true, reinterpret_cast<UInt8*>(gPath), sizeof gPath);
        CFRelease(url);
      }
    }
  }
  ++moduleRefCounter;
  return InitModule();
}

extern "C" SMTG_EXPORT_SYMBOL bool bundleExit() {
  if (moduleRefCounter <= 0 || !DeinitModule()) return false;
  if (--moduleRefCounter == 0) {
    if (gBundleRefs) {
      CFRelease(gBundleRefs);
      gBundleRefs = nullptr;
    }
    ghInst = nullptr;
    moduleHandle = nullptr;
  }
  return true;
}
#elif SMTG_OS_WINDOWS
extern "C" SMTG_EXPORT_SYMBOL bool InitDll() {
  if (++moduleRefCounter == 1) return InitModule();
  return true;
}

extern "C" SMTG_EXPORT_SYMBOL bool ExitDll() {
  if (moduleRefCounter <= 0) return false;
  if (--moduleRefCounter == 0) return DeinitModule();
  return true;
}
#else
namespace {
void* moduleHandle = nullptr;
}  // namespace

// Hosts may load the module more than once; only the first entry's handle
// is kept, and the last exit forgets it.
extern "C" SMTG_EXPORT_SYMBOL bool ModuleEntry(void* sharedLibraryHandle) {
  if (++moduleRefCounter == 1) moduleHandle = sharedLibraryHandle;
  return InitModule();
}

// An exit without a matching entry is refused rather than counted below
// zero.
extern "C" SMTG_EXPORT_SYMBOL bool ModuleExit() {
  if (moduleRefCounter <= 0 || !DeinitModule()) return false;
  if (--moduleRefCounter == 0) moduleHandle = nullptr;
  return true;
}
#endif
