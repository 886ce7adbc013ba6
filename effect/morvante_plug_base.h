// The class MORVANTE builds on: the binding of the plug-in format the effect
// is built for. The VST3 build is the default; the LV2 build defines
// MORVANTE_BINDING_LV2.
#pragma once

#if defined(MORVANTE_BINDING_LV2)
#include "framework/lv2/iplug_lv2.h"

using MorvantePlugBase = IPlugLV2;
#else
#include "framework/vst3/iplug_vst3.h"

using MorvantePlugBase = IPlugVST3;
#endif
