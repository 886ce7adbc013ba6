// Whole audio files in memory, read and written with libsndfile.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct Audio {
  double rate = 48000.0;
  std::vector<std::vector<double>> channels;  // channels × frames
  long Frames() const { return channels.empty() ? 0 : static_cast<long>(channels[0].size()); }
  double Seconds() const { return static_cast<double>(Frames()) / rate; }
};

// Reads any format libsndfile knows, samples scaled to ±1. Files with more
// than maxChannels channels are refused before anything is read. False with
// a message in error on failure.
bool ReadAudio(const std::string& path, int maxChannels, Audio& audio, std::string& error);

// The libsndfile format for an output path: the container from the
// extension (wav, flac, aiff/aif, ogg), the sample format from bits ("16",
// "24", "32f", "64f", or "" for the container's default). False with a message
// when the extension is unknown or the container cannot hold those bits.
bool OutputFormat(const std::string& path, const std::string& bits, int& format, std::string& error);

// Writes audio in the given libsndfile format. The file is written beside
// the target under a temporary name and renamed over it only when complete,
// so a failed or interrupted write leaves any earlier file as it was.
bool WriteAudio(const std::string& path, const Audio& audio, int format, std::string& error);

// Writes a 32-bit float WAV file the same way.
bool WriteFloatWav(const std::string& path, const Audio& audio, std::string& error);

// Lets write(temp) fill a fresh file beside path, then renames it over path.
bool WriteThroughTempName(const std::string& path, const std::function<bool(const std::string& temp)>& write,
                          std::string& error);

// Writes bytes to path through the same temporary-file-and-rename path.
bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string& error);

// True when both paths name one existing file (links and other spellings
// included).
bool SameFile(const std::string& a, const std::string& b);
