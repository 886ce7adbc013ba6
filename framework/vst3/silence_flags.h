// The output buses' silence flags: a host may skip whatever follows a
// channel whose block is all zeros, so every channel of such a block is
// flagged, and every other channel's flag is cleared.
#pragma once

#include "pluginterfaces/vst/ivstaudioprocessor.h"

// Sets data.outputs[b].silenceFlags from the samples the block wrote, for
// the sample size `symbolicSampleSize`. Null buses and channels are left
// alone; channels past 64 cannot be flagged.
void FlagSilentOutputs(Steinberg::Vst::ProcessData& data, Steinberg::int32 symbolicSampleSize);
