// morvante-process: renders audio files through the MORVANTE VST3 bundle
// offline, loading it the way a DAW does.
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/audio_file.h"
#include "tools/offline_host.h"

namespace {
constexpr int kMaxBlock = 65536;

const char kUsage[] =
    "usage: morvante-process [--plugin PATH] [--block N] [--sample-size 32|64] [--set \"Name=value\"]...\n"
    "                        [--preset-state FILE] INPUT OUTPUT\n"
    "       morvante-process --list-params [--plugin PATH]\n"
    "       morvante-process --demo OUTPUT [--plugin PATH] [--block N] [--sample-size 32|64] [--set ...]\n"
    "Renders a mono or stereo audio file through the plug-in and writes a 32-bit float WAV file.\n"
    "PATH is a .vst3 bundle or its .so (default: $HOME/.vst3/MORVANTE.vst3, else the build tree's).\n";

struct Options {
  std::string plugin, presetState, demoOutput;
  std::vector<std::string> sets, files;
  int block = 512;
  int sampleBits = 64;
  bool listParams = false;
};

int Error(const std::string& message, int code = 1) {
  std::fprintf(stderr, "morvante-process: %s\n", message.c_str());
  return code;
}

int UsageError(const std::string& message) { return Error(message + "\n" + kUsage, 2); }

bool ParseInt(const char* text, int lo, int hi, int& value) {
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || v < lo || v > hi) return false;
  value = static_cast<int>(v);
  return true;
}

// Returns 0 when the options are complete, or the exit code of the failure.
int Parse(int argc, char** argv, Options& opt) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "-h" || arg == "--help") {
      std::fputs(kUsage, stdout);
      std::exit(0);
    } else if (arg == "--list-params") {
      opt.listParams = true;
    } else if (arg == "--plugin" || arg == "--block" || arg == "--sample-size" || arg == "--set" ||
               arg == "--preset-state" || arg == "--demo") {
      if (!hasValue) return UsageError(arg + " needs a value");
      const char* value = argv[++i];
      if (arg == "--plugin") opt.plugin = value;
      if (arg == "--set") opt.sets.push_back(value);
      if (arg == "--preset-state") opt.presetState = value;
      if (arg == "--demo") opt.demoOutput = value;
      if (arg == "--block" && !ParseInt(value, 1, kMaxBlock, opt.block))
        return UsageError("--block takes a whole number from 1 to " + std::to_string(kMaxBlock) + ", got \"" +
                          value + "\"");
      if (arg == "--sample-size" && (!ParseInt(value, 32, 64, opt.sampleBits) || (opt.sampleBits != 32 && opt.sampleBits != 64)))
        return UsageError("--sample-size takes 32 or 64, got \"" + std::string(value) + "\"");
    } else if (arg.size() > 1 && arg[0] == '-') {
      return UsageError("unknown option " + arg);
    } else {
      opt.files.push_back(arg);
    }
  }
  const size_t wanted = opt.listParams || !opt.demoOutput.empty() ? 0 : 2;
  if (opt.listParams && !opt.demoOutput.empty()) return UsageError("--list-params and --demo exclude each other");
  if (opt.files.size() != wanted)
    return UsageError(wanted ? "expected INPUT and OUTPUT" : "unexpected argument " + opt.files[0]);
  return 0;
}

bool IsDir(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The module inside a bundle (<name>.vst3/Contents/x86_64-linux/<name>.so),
// or the path itself when it names the module.
bool ModulePath(std::string path, std::string& module, std::string& error) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  if (IsFile(path)) {
    module = path;
    return true;
  }
  if (!IsDir(path)) {
    error = "plug-in not found: '" + path + "' does not exist";
    return false;
  }
  std::string stem = path.substr(path.find_last_of('/') + 1);
  if (stem.size() > 5 && stem.compare(stem.size() - 5, 5, ".vst3") == 0) stem.resize(stem.size() - 5);
  module = path + "/Contents/x86_64-linux/" + stem + ".so";
  if (IsFile(module)) return true;
  error = "plug-in not found: bundle '" + path + "' has no Contents/x86_64-linux/" + stem + ".so";
  return false;
}

bool DefaultModule(std::string& module, std::string& error) {
  const char* home = std::getenv("HOME");
  const std::string installed = std::string(home ? home : "") + "/.vst3/MORVANTE.vst3";
  if (home && ModulePath(installed, module, error)) return true;
  if (ModulePath(MORVANTE_BUILD_BUNDLE, module, error)) return true;
  error = "plug-in not found: neither '" + installed + "' nor '" MORVANTE_BUILD_BUNDLE "' holds it; use --plugin PATH";
  return false;
}

// Four seconds of stereo noise and tones spread over the five bands.
Audio DemoInput() {
  Audio audio;
  audio.rate = 48000.0;
  const size_t frames = 4 * 48000;
  audio.channels.assign(2, std::vector<double>(frames));
  const double tones[5][2] = {{80, 0.25}, {900, 0.15}, {3000, 0.1}, {9000, 0.08}, {15000, 0.05}};
  unsigned noise = 12345u;
  for (size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / audio.rate;
    for (size_t ch = 0; ch < 2; ++ch) {
      noise = noise * 1664525u + 1013904223u;
      double v = 0.05 * (static_cast<double>(noise >> 8) / 8388608.0 - 1.0);
      for (const auto& tone : tones) v += tone[1] * std::sin(2.0 * M_PI * tone[0] * t + 0.7 * static_cast<double>(ch));
      audio.channels[ch][i] = v;
    }
  }
  return audio;
}

void PrintLevels(const char* what, const Audio& audio) {
  for (size_t ch = 0; ch < audio.channels.size(); ++ch) {
    double peak = 0.0, sum = 0.0;
    for (double v : audio.channels[ch]) {
      peak = std::max(peak, std::fabs(v));
      sum += v * v;
    }
    const double rms = audio.Frames() ? std::sqrt(sum / static_cast<double>(audio.Frames())) : 0.0;
    std::printf("%-6s channel %zu: peak %.6f (%.2f dBFS)  rms %.6f (%.2f dBFS)\n", what, ch, peak,
                20.0 * std::log10(std::max(peak, 1e-12)), rms, 20.0 * std::log10(std::max(rms, 1e-12)));
  }
}

// Every band active: ±6 dB of gain, thresholds from 20 to 40 dB.
const std::vector<std::string> kDemoSettings = {
    "Low Gain=6",        "Low Threshold=20", "Low Mid Gain=-6",       "Low Mid Threshold=25",
    "Mid Gain=6",        "Mid Threshold=30", "High Mid Gain=-6",      "High Mid Threshold=35",
    "High Gain=6",       "High Threshold=40"};
}  // namespace

int main(int argc, char** argv) {
  Options opt;
  if (const int code = Parse(argc, argv, opt)) return code;
  const bool demo = !opt.demoOutput.empty();

  // The input is read first so that a bad file is reported without
  // loading the plug-in.
  Audio audio;
  std::string error;
  if (demo) {
    audio = DemoInput();
  } else if (!opt.listParams && !ReadAudio(opt.files[0], 2, audio, error)) {
    return Error(error);
  }

  std::string module;
  if (!(opt.plugin.empty() ? DefaultModule(module, error) : ModulePath(opt.plugin, module, error)))
    return Error(error);
  OfflineHost host;
  if (!host.Open(module)) return Error(host.Error());
  if (opt.listParams) {
    host.PrintParams(stdout);
    return 0;
  }
  if (!opt.presetState.empty() && !host.LoadState(opt.presetState)) return Error(host.Error());

  std::vector<std::string> sets = demo ? kDemoSettings : std::vector<std::string>{};
  sets.insert(sets.end(), opt.sets.begin(), opt.sets.end());
  std::vector<ParamSetting> settings;
  for (const std::string& set : sets) {
    ParamSetting setting;
    if (!host.Resolve(set, setting)) return Error(host.Error());
    settings.push_back(setting);
  }

  const Audio input = demo ? audio : Audio{};
  const auto sampleSize = opt.sampleBits == 64 ? Steinberg::Vst::kSample64 : Steinberg::Vst::kSample32;
  if (!host.Process(audio, opt.block, sampleSize, settings)) return Error(host.Error());
  const std::string& output = demo ? opt.demoOutput : opt.files[1];
  if (!WriteFloatWav(output, audio, error)) return Error(error);
  if (demo) {
    PrintLevels("input", input);
    PrintLevels("output", audio);
    std::printf("wrote %s: %ld frames, %zu channels, %.0f Hz\n", output.c_str(), audio.Frames(), audio.channels.size(),
                audio.rate);
  }
  return 0;
}
