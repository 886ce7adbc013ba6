// The MORVANTE LV2 bundle's instance creation.
#include "effect/morvante.h"
#include "framework/wdl_mutex.h"

IPlugLV2* MakeLv2Plug() {
  // Hosts may create instances from several threads; constructions run one
  // after another.
  static WDL_Mutex sMakePlugMutex;
  WDL_MutexLock lock(&sMakePlugMutex);
  return new MORVANTE(IPlugInstanceInfo());
}
