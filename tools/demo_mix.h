// The short mix --demo renders: drums with harsh cymbals, a boomy bass and
// a bright vocal-like tone with sibilant bursts.
#pragma once

#include "tools/audio_file.h"

// Stereo at 48 kHz, deterministic.
Audio DemoMix(double seconds = 6.0);
