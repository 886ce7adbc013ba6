#include "framework/vst3/iplug_diagnostics.h"

DEF_CLASS_IID(IPlugDiagnostics)
