// The class MORVANTE builds on: the VST3 binding.
#pragma once

#include "framework/vst3/iplug_vst3.h"

using MorvantePlugBase = IPlugVST3;
