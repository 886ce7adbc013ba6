// The picture --plot writes: long-term spectra of input and output, their
// difference, and the level change of each band over time.
#pragma once

#include <string>
#include <vector>

#include "tools/audio_file.h"

struct PlotBand {
  std::string name;
  double frequency = 1000.0;
};

// Draws with the project's raster library and writes a PNG file through a
// temporary name. False with a message in error.
bool WritePlot(const std::string& path, const std::string& title, const Audio& input, const Audio& output,
               const std::vector<PlotBand>& bands, std::string& error);
