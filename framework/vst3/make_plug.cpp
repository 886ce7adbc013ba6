// The MORVANTE bundle: its class identity and instance creation.
#include "effect/morvante.h"
#include "framework/vst3/plug_module.h"
#include "framework/wdl_mutex.h"

namespace {
// The class ID's words: a fixed prefix, then the maker code "Pnvr" and the
// plug-in code "MRV1".
constexpr uint32_t GUID_DATA1 = 0xF2AEE70D;
constexpr uint32_t GUID_DATA2 = 0x00DE4F4E;
constexpr uint32_t GUID_DATA3 = 0x506E7672;
constexpr uint32_t GUID_DATA4 = 0x4D525631;
}  // namespace

const PlugModuleInfo& GetPlugModuleInfo() {
  static const PlugModuleInfo info{"Penvarrowsonics",
                                   "https://www.penvarrowsonics.com",
                                   "support@penvarrowsonics.com",
                                   {GUID_DATA1, GUID_DATA2, GUID_DATA3, GUID_DATA4},
                                   "MORVANTE",
                                   "Fx|EQ",
                                   "2.0.0"};
  return info;
}

IPlugVST3* MakePlug() {
  // Hosts may create instances from several threads; constructions run one
  // after another.
  static WDL_Mutex sMakePlugMutex;
  WDL_MutexLock lock(&sMakePlugMutex);
  return new MORVANTE(IPlugInstanceInfo());
}
