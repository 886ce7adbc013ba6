// Running morvante-process as a separate process, and WAV files written and
// read with libsndfile, for the tool's tests.
#pragma once

#include <string>
#include <vector>

namespace tooltest {

struct RunResult {
  int exitCode = -1;  // -1 when the process did not exit normally
  std::string out, err;
};

// Runs the built tool with the given arguments; extraEnv entries
// ("NAME=value") replace those of the test's environment.
RunResult RunTool(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv = {});

// Starts the tool, sends it sig after delayMs, and waits for it to end.
RunResult RunToolAndSignal(const std::vector<std::string>& args, int delayMs, int sig);

// The number after label in text (e.g. "latency: " in the tool's report);
// NaN when the label is missing.
double NumberAfter(const std::string& text, const std::string& label);

// Whole file contents; empty when it cannot be read.
std::string ReadBytes(const std::string& path);
bool WriteBytes(const std::string& path, const std::string& bytes);
// Names in a directory other than . and ..
std::vector<std::string> ListDir(const std::string& dir);

struct Wav {
  int rate = 48000;
  int format = 0;  // libsndfile format, set by ReadWav
  std::vector<std::vector<double>> channels;
  size_t Frames() const { return channels.empty() ? 0 : channels[0].size(); }
};

// Writes with the given libsndfile format (32-bit float WAV by default).
bool WriteWav(const std::string& path, const Wav& wav, int format = 0);
bool ReadWav(const std::string& path, Wav& wav);

// A fresh directory, removed with everything in it at destruction.
class TempDir {
public:
  TempDir();
  ~TempDir();
  std::string Path(const std::string& name) const { return mDir + "/" + name; }
  const std::string& Dir() const { return mDir; }

private:
  std::string mDir;
};

// Deterministic noise and tones in [-0.8, 0.8].
std::vector<double> TestSignal(size_t frames, int seed);

}  // namespace tooltest
