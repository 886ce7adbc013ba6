// Whole audio files in memory, read and written with libsndfile.
#pragma once

#include <string>
#include <vector>

struct Audio {
  double rate = 48000.0;
  std::vector<std::vector<double>> channels;  // channels × frames
  long Frames() const { return channels.empty() ? 0 : static_cast<long>(channels[0].size()); }
};

// Reads any format libsndfile knows, samples scaled to ±1. Files with more
// than maxChannels channels are refused before anything is read. False with
// a message in error on failure.
bool ReadAudio(const std::string& path, int maxChannels, Audio& audio, std::string& error);

// Writes a 32-bit float WAV file.
bool WriteFloatWav(const std::string& path, const Audio& audio, std::string& error);
