// morvante-process: renders audio files through the MORVANTE VST3 bundle
// offline, loading it the way a DAW does.
#include <sys/stat.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tools/audio_file.h"
#include "tools/automation.h"
#include "tools/demo_mix.h"
#include "tools/factory_preset_files.h"
#include "tools/loudness.h"
#include "tools/offline_host.h"
#include "tools/plot.h"
#include "tools/progress.h"

namespace {
constexpr int kMaxBlock = 65536;

struct Options {
  std::string plugin, presetState, stateIn, preset, stateOut, automation, bits, plot, snapshot, demoDir;
  std::string input, output;
  std::vector<std::string> sets;
  int block = 512;
  int sampleBits = 64;
  int snapshotScale = 100;
  bool listParams = false, listPresets = false, bypass = false, noLatencyCompensation = false, quiet = false;
  bool snapshotDisplay = false;
};

int Error(const std::string& message, int code = 1) {
  std::fprintf(stderr, "morvante-process: %s\n", message.c_str());
  return code;
}

// Returns -1 when the options are complete, or the exit code.
int Parse(int argc, char** argv, Options& opt) {
  CLI::App app{"Renders a mono or stereo audio file through the MORVANTE plug-in, loaded from its VST3 bundle as a "
               "DAW loads it, and reports loudness before and after.",
               "morvante-process"};
  app.get_formatter()->column_width(30);
  app.add_option("INPUT", opt.input, "audio file to process (any format libsndfile reads, mono or stereo)")
      ->type_name("FILE");
  app.add_option("OUTPUT", opt.output,
                 "file to write, at the input's rate; the format follows the extension: .wav, .flac, .aiff/.aif or "
                 ".ogg. Written under a temporary name and renamed when complete")
      ->type_name("FILE");
  app.add_option("--plugin", opt.plugin,
                 "the .vst3 bundle or its .so (default: ~/.vst3/MORVANTE.vst3, else /usr/lib/vst3/MORVANTE.vst3, "
                 "else the build tree's bundle)")
      ->type_name("PATH");
  app.add_option("--set", opt.sets,
                 "set a parameter before processing: its title or id, and a value in its own units or, "
                 "followed by n, normalised 0 to 1 (\"Low Gain=6\", \"17=0.625n\"); repeatable")
      ->type_name("\"PARAM=VALUE\"")
      ->allow_extra_args(false);  // one value per --set, so that INPUT OUTPUT may follow
  app.add_option("--automation", opt.automation,
                 "automate parameters from a text file of lines \"SECONDS PARAM VALUE\" (PARAM and VALUE as for "
                 "--set); each point lands on its own sample, ramps between a parameter's points go in steps of 16 "
                 "samples, held before the first point and after the last")
      ->type_name("FILE");
  app.add_flag("--bypass", opt.bypass, "switch on the plug-in's bypass for the whole render");
  app.add_option("--state-in", opt.stateIn, "restore the plug-in's state from a VST3 preset file before --set")
      ->type_name("FILE");
  app.add_option("--state-out", opt.stateOut,
                 "save the plug-in's state after the render as a VST3 preset file (works without INPUT and OUTPUT)")
      ->type_name("FILE");
  app.add_option("--preset", opt.preset,
                 "start from a factory preset, by name (see --list-presets); after --state-in, before --set")
      ->type_name("NAME");
  app.add_flag("--list-presets", opt.listPresets, "list the factory presets: name and what each is for");
  app.add_option("--preset-state", opt.presetState, "restore a bare controller state (the bytes of its getState)")
      ->type_name("FILE");
  app.add_option("--bits", opt.bits, "sample format of the output: 16, 24, 32f or 64f (WAV, AIFF); 16 or 24 "
                                     "(FLAC); default 32f, FLAC 24; none for Ogg Vorbis")
      ->check(CLI::IsMember({"16", "24", "32f", "64f"}))
      ->type_name("16|24|32f|64f");
  app.add_option("--block", opt.block, "block size in frames handed to the plug-in (default 512)")
      ->check(CLI::Range(1, kMaxBlock))
      ->type_name("N");
  app.add_option("--sample-size", opt.sampleBits, "process 32- or 64-bit samples (default 64)")
      ->check(CLI::IsMember({32, 64}))
      ->type_name("32|64");
  app.add_flag("--no-latency-compensation", opt.noLatencyCompensation,
               "keep the plug-in's delay in the output instead of lining output up with input");
  app.add_option("--plot", opt.plot,
                 "draw a PNG: long-term spectra of input and output, their difference, and each band's level "
                 "change over time")
      ->type_name("FILE.png");
  app.add_option("--snapshot", opt.snapshot,
                 "draw the plug-in's editor as it stands at the end of the render into a PNG")
      ->type_name("FILE.png");
  app.add_option("--snapshot-scale", opt.snapshotScale,
                 "draw the snapshot at an editor scale in percent: 100 (the default), 125, 150, 175 or 200")
      ->check(CLI::IsMember({100, 125, 150, 175, 200}))
      ->type_name("PERCENT");
  app.add_flag("--snapshot-display", opt.snapshotDisplay,
               "open the editor's display for the render, so that the snapshot shows it under the panel: the "
               "response curves at the settings, what each band takes away and the spectra of the audio at the end");
  app.add_flag("--list-params", opt.listParams,
               "list every parameter: id, title, unit, range, default, current value and switch values");
  app.add_flag("-q,--quiet", opt.quiet, "print nothing but errors; no progress bar");
  app.add_option("--demo", opt.demoDir,
                 "synthesise a short mix, render it with a de-essing and bass-tightening setting, and write "
                 "input.wav, output.wav, plot.png, snapshot.png (with the display open) and settings.vstpreset into DIR")
      ->type_name("DIR");
  app.footer(
      "Examples:\n"
      "  morvante-process --set \"High Mid Frequency=7000\" --set \"High Mid Threshold=30\" vocal.wav out.flac\n"
      "  morvante-process --automation rides.txt --plot look.png --state-out mix.vstpreset in.wav out.wav\n"
      "  morvante-process --list-params\n"
      "  morvante-process --preset \"Vocal De-esser\" voice.wav voice-deessed.wav\n"
      "An automation file:\n"
      "  # seconds  parameter  value\n"
      "  0    Output  0\n"
      "  2.5  Output  -6\n"
      "  4    17      0.75n\n"
      "Exit status: 0 done, 1 the work failed (files, plug-in, parameters, state), 2 bad command line.");
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    std::fputs(app.help().c_str(), stdout);
    return 0;
  } catch (const CLI::ParseError& e) {
    return Error(std::string(e.what()) + " (see --help)", 2);
  }
  const bool files = !opt.input.empty() || !opt.output.empty();
  if (opt.listPresets) {
    if (files || !opt.demoDir.empty()) return Error("--list-presets takes no files (see --help)", 2);
    for (const FactoryPreset& preset : FactoryPresets()) std::printf("%-26s %s\n", preset.name, preset.purpose);
    return 0;
  }
  if (!opt.preset.empty() && !FindFactoryPreset(opt.preset))
    return Error("unknown preset \"" + opt.preset + "\"; the factory presets are: \"" +
                     FactoryPresetNames("\", \"") + "\"",
                 2);
  if (opt.listParams && (files || !opt.demoDir.empty())) return Error("--list-params takes no files (see --help)", 2);
  if (!opt.demoDir.empty() && files) return Error("--demo takes no INPUT or OUTPUT (see --help)", 2);
  if (!opt.listParams && opt.demoDir.empty() && opt.output.empty() && (opt.input.empty() == opt.stateOut.empty()))
    return Error("expected INPUT and OUTPUT (see --help)", 2);
  if (!opt.input.empty() && opt.output.empty()) return Error("expected INPUT and OUTPUT (see --help)", 2);
  if (!files && opt.demoDir.empty()) {
    for (const std::string* renderOnly : {&opt.automation, &opt.plot, &opt.snapshot})
      if (!renderOnly->empty()) return Error("--automation, --plot and --snapshot need INPUT and OUTPUT (see --help)", 2);
  }
  if (opt.snapshotDisplay && opt.snapshot.empty() && opt.demoDir.empty())
    return Error("--snapshot-display needs --snapshot (see --help)", 2);
  return -1;
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
  // The user's bundle, then the system's (where the Debian package puts
  // it), then the build tree's.
  const char* home = std::getenv("HOME");
  const std::string installed = std::string(home ? home : "") + "/.vst3/MORVANTE.vst3";
  if (home && ModulePath(installed, module, error)) return true;
  const std::string system = "/usr/lib/vst3/MORVANTE.vst3";
  if (IsDir(system) && ModulePath(system, module, error)) return true;
  if (ModulePath(MORVANTE_BUILD_BUNDLE, module, error)) return true;
  error = "plug-in not found: none of '" + installed + "', '" + system + "' and '" MORVANTE_BUILD_BUNDLE
          "' holds it; use --plugin PATH";
  return false;
}

// De-essing (High Mid around 7 kHz pulls down on sibilance and cymbals) and
// bass tightening (Low around 110 Hz pulls down on the boom).
const std::vector<std::string> kDemoSettings = {
    "High Mid Frequency=7000", "High Mid Threshold=14", "High Mid Ratio=4",
    "High Mid Attack=1", "High Mid Release=60", "Low Frequency=110",
    "Low Threshold=12",       "Low Ratio=4",             "Low Attack=5",          "Low Release=120"};

// Three bars and 30 ms of the fourth: the render ends in a kick and a
// crash, so the snapshot's display shows both bands pulling down.
constexpr double kDemoSeconds = 6.03;

const char* const kBandTitles[] = {"Low", "Low Mid", "Mid", "High Mid", "High"};

std::string ReadText(const std::string& path, std::string& error) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    error = std::strerror(errno);
    return "";
  }
  std::string text;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
  std::fclose(file);
  return text;
}

struct Job {
  Audio input;
  std::string inputName, output;
  int outputFormat = 0;
  std::vector<std::string> sets;
  // The demo goes on without a snapshot from a plug-in that has no editor.
  bool snapshotOptional = false;
};

int Run(const Options& opt, Job& job) {
  const bool render = !job.output.empty();
  std::string error;
  if (render && !OutputFormat(job.output, opt.bits, job.outputFormat, error)) return Error(error, 2);
  if (render && job.inputName != "" && SameFile(job.inputName, job.output))
    return Error("OUTPUT '" + job.output + "' is the input file; choose another name", 2);

  // The input is read first so that a bad file is reported without
  // loading the plug-in.
  if (render && job.input.channels.empty() && !ReadAudio(job.inputName, 2, job.input, error)) return Error(error);

  std::string module;
  if (!(opt.plugin.empty() ? DefaultModule(module, error) : ModulePath(opt.plugin, module, error)))
    return Error(error);
  OfflineHost host;
  if (!host.Open(module)) return Error(host.Error());
  if (opt.listParams) {
    host.PrintParams(stdout);
    return 0;
  }
  if (!opt.presetState.empty() && !host.LoadControllerState(opt.presetState)) return Error(host.Error());
  if (!opt.stateIn.empty() && !host.LoadStateFile(opt.stateIn)) return Error(host.Error());
  if (!opt.preset.empty()) {
    std::vector<double> values;
    if (!FactoryPresetValues(*FindFactoryPreset(opt.preset), values, error)) return Error(error);
    if (!host.LoadState(FactoryPresetFile(values), "factory preset \"" + opt.preset + "\""))
      return Error(host.Error());
  }

  RenderOptions options;
  options.blockSize = opt.block;
  options.sampleSize = opt.sampleBits == 64 ? Steinberg::Vst::kSample64 : Steinberg::Vst::kSample32;
  options.compensateLatency = !opt.noLatencyCompensation;
  for (const std::string& set : job.sets) {
    ParamSetting setting;
    if (!host.Resolve(set, setting)) return Error(host.Error());
    options.settings.push_back(setting);
  }
  if (opt.bypass) {
    ParamSetting setting{0, 1.0};
    if (!host.BypassParam(setting.id)) return Error(host.Error());
    options.settings.push_back(setting);
  }
  Automation automation;
  if (!opt.automation.empty()) {
    const std::string text = ReadText(opt.automation, error);
    if (!error.empty()) return Error("cannot read automation file '" + opt.automation + "': " + error);
    const double rate = render ? job.input.rate : 48000.0;
    if (!automation.Parse(text, opt.automation, rate, host.AutomationResolver(), error)) return Error(error);
    options.automation = &automation;
  }

  if (!render) {  // only the state is wanted
    if (!host.ApplySettings(options.settings)) return Error(host.Error());
    if (!opt.stateOut.empty() && !host.SaveStateFile(opt.stateOut)) return Error(host.Error());
    return 0;
  }

  // Open through the render, as an editor on screen would be.
  if (opt.snapshotDisplay && !host.OpenEditorDisplay()) {
    if (!job.snapshotOptional) return Error(host.Error());
    if (!opt.quiet) std::printf("no display in the snapshot: %s\n", host.Error().c_str());
  }
  Audio output = job.input;
  {
    Progress progress(!opt.quiet, output.Frames());
    options.progress = [&progress](long done) { progress.Update(done); };
    if (!host.Process(output, options)) return Error(host.Error());
  }
  if (!WriteAudio(job.output, output, job.outputFormat, error)) return Error(error);
  if (!opt.stateOut.empty() && !host.SaveStateFile(opt.stateOut)) return Error(host.Error());
  if (!opt.plot.empty()) {
    std::vector<PlotBand> bands;
    for (const char* title : kBandTitles) {
      PlotBand band{title, 1000.0};
      if (host.PlainValue(std::string(title) + " Frequency", band.frequency)) bands.push_back(band);
    }
    const std::string name = job.inputName.substr(job.inputName.find_last_of('/') + 1);
    const std::string outName = job.output.substr(job.output.find_last_of('/') + 1);
    if (!WritePlot(opt.plot, "MORVANTE: " + name + " to " + outName, job.input, output, bands, error))
      return Error(error);
  }
  bool snapshotWritten = false;
  if (!opt.snapshot.empty()) {
    snapshotWritten = host.WriteEditorSnapshot(opt.snapshot, opt.snapshotScale);
    if (!snapshotWritten && !job.snapshotOptional) return Error(host.Error());
    if (!snapshotWritten && !opt.quiet) std::printf("no snapshot: %s\n", host.Error().c_str());
  }

  if (!opt.quiet) {
    Loudness in, out;
    const bool measured = MeasureLoudness(job.input, in) && MeasureLoudness(output, out);
    std::printf("input:   %s, %.2f s, %zu channel%s, %.0f Hz\n", job.inputName.c_str(), job.input.Seconds(),
                job.input.channels.size(), job.input.channels.size() == 1 ? "" : "s", job.input.rate);
    if (measured) {
      std::printf("loudness in:  %s\n", FormatLoudness(in).c_str());
      std::printf("loudness out: %s\n", FormatLoudness(out).c_str());
    }
    std::printf("latency: %ld samples%s\n", host.Latency(),
                host.Latency() == 0 ? "" : opt.noLatencyCompensation ? ", left in the output" : ", compensated");
    std::printf("wrote %s\n", job.output.c_str());
    for (const std::string* extra : {&opt.stateOut, &opt.plot})
      if (!extra->empty()) std::printf("wrote %s\n", extra->c_str());
    if (snapshotWritten) std::printf("wrote %s\n", opt.snapshot.c_str());
  }
  return 0;
}

bool MakeDir(const std::string& dir, std::string& error) {
  if (IsDir(dir)) return true;
  if (mkdir(dir.c_str(), 0777) == 0) return true;
  error = "cannot make folder '" + dir + "': " + std::strerror(errno);
  return false;
}
}  // namespace

int main(int argc, char** argv) {
  Options opt;
  if (const int code = Parse(argc, argv, opt); code >= 0) return code;
  Job job;
  job.sets = opt.sets;
  if (opt.demoDir.empty()) {
    job.inputName = opt.input;
    job.output = opt.output;
    return Run(opt, job);
  }

  // The demo: its own input, setting and files, then the same render.
  std::string error;
  if (!MakeDir(opt.demoDir, error)) return Error(error);
  const std::string dir = opt.demoDir + (opt.demoDir.back() == '/' ? "" : "/");
  job.input = DemoMix(kDemoSeconds);
  job.inputName = dir + "input.wav";
  job.output = dir + "output.wav";
  job.sets = kDemoSettings;
  job.snapshotOptional = true;
  job.sets.insert(job.sets.end(), opt.sets.begin(), opt.sets.end());
  if (!WriteFloatWav(job.inputName, job.input, error)) return Error(error);
  Options demo = opt;
  if (demo.plot.empty()) demo.plot = dir + "plot.png";
  if (demo.snapshot.empty()) demo.snapshot = dir + "snapshot.png";
  demo.snapshotDisplay = true;
  if (demo.stateOut.empty()) demo.stateOut = dir + "settings.vstpreset";
  if (!opt.quiet) std::printf("wrote %s: a %.0f-second mix of drums, bass and a vocal-like tone\n",
                              job.inputName.c_str(), job.input.Seconds());
  return Run(demo, job);
}
