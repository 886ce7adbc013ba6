// Loudness as broadcast meters measure it (ITU-R BS.1770 / EBU R 128),
// through libebur128.
#pragma once

#include <string>

#include "tools/audio_file.h"

struct Loudness {
  double integrated = 0.0;  // LUFS; -inf for silence or audio under 0.4 s
  double range = 0.0;       // LU
  double truePeak = 0.0;    // dBTP, the highest of the channels
};

bool MeasureLoudness(const Audio& audio, Loudness& loudness);
// "-14.2 LUFS integrated, 5.1 LU range, -1.0 dBTP true peak"
std::string FormatLoudness(const Loudness& loudness);
