#include "tests/tools/tool_test_support.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

extern char** environ;

namespace tooltest {

namespace {
std::string Slurp(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}
}  // namespace

namespace {
// Spawns the tool with stdout and stderr into files of logs; pid 0 on
// failure with the reason in err.
pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv, const TempDir& logs,
            std::string& err) {
  const std::string outPath = logs.Path("stdout"), errPath = logs.Path("stderr");
  std::vector<std::string> argStore{MORVANTE_PROCESS};
  argStore.insert(argStore.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : argStore) argv.push_back(a.data());
  argv.push_back(nullptr);

  std::vector<std::string> envStore(extraEnv);
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    bool replaced = false;
    for (const auto& x : extraEnv) replaced |= entry.compare(0, x.find('=') + 1, x, 0, x.find('=') + 1) == 0;
    if (!replaced) envStore.push_back(entry);
  }
  std::vector<char*> envp;
  for (auto& e : envStore) envp.push_back(e.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    err = std::string("spawn failed: ") + std::strerror(spawned);
    return 0;
  }
  return pid;
}

RunResult Collect(pid_t pid, const TempDir& logs) {
  RunResult result;
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  result.out = Slurp(logs.Path("stdout"));
  result.err = Slurp(logs.Path("stderr"));
  return result;
}
}  // namespace

RunResult RunTool(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv) {
  TempDir logs;
  RunResult failed;
  const pid_t pid = Spawn(args, extraEnv, logs, failed.err);
  return pid ? Collect(pid, logs) : failed;
}

RunResult RunToolAndSignal(const std::vector<std::string>& args, int delayMs, int sig) {
  TempDir logs;
  RunResult failed;
  const pid_t pid = Spawn(args, {}, logs, failed.err);
  if (!pid) return failed;
  usleep(static_cast<useconds_t>(delayMs) * 1000);
  kill(pid, sig);
  return Collect(pid, logs);
}

double NumberAfter(const std::string& text, const std::string& label) {
  const size_t at = text.find(label);
  if (at == std::string::npos) return std::nan("");
  return std::strtod(text.c_str() + at + label.size(), nullptr);
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  return static_cast<bool>(out);
}

std::vector<std::string> ListDir(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d))
      if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) names.push_back(e->d_name);
    closedir(d);
  }
  return names;
}

bool WriteWav(const std::string& path, const Wav& wav, int format) {
  SF_INFO info{};
  info.samplerate = wav.rate;
  info.channels = static_cast<int>(wav.channels.size());
  info.format = format ? format : SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) return false;
  std::vector<double> frames;
  for (size_t i = 0; i < wav.Frames(); ++i)
    for (const auto& ch : wav.channels) frames.push_back(ch[i]);
  const auto count = static_cast<sf_count_t>(wav.Frames());
  const bool ok = sf_writef_double(file, frames.data(), count) == count;
  return sf_close(file) == 0 && ok;
}

bool ReadWav(const std::string& path, Wav& wav) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return false;
  wav.rate = info.samplerate;
  wav.format = info.format;
  std::vector<double> frames(static_cast<size_t>(info.frames * info.channels));
  const bool ok = sf_readf_double(file, frames.data(), info.frames) == info.frames;
  sf_close(file);
  wav.channels.assign(static_cast<size_t>(info.channels), std::vector<double>(static_cast<size_t>(info.frames)));
  for (size_t i = 0; i < static_cast<size_t>(info.frames); ++i)
    for (size_t ch = 0; ch < wav.channels.size(); ++ch) wav.channels[ch][i] = frames[i * wav.channels.size() + ch];
  return ok;
}

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/morvante-tool-XXXXXX";
  if (mkdtemp(pattern.data())) mDir = pattern;
}

TempDir::~TempDir() {
  if (mDir.empty()) return;
  const std::string command = "rm -rf '" + mDir + "'";
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", mDir.c_str());
}

std::vector<double> TestSignal(size_t frames, int seed) {
  std::vector<double> out(frames);
  unsigned noise = 2463534242u + static_cast<unsigned>(seed);
  for (size_t i = 0; i < frames; ++i) {
    noise ^= noise << 13;
    noise ^= noise >> 17;
    noise ^= noise << 5;
    const double t = static_cast<double>(i) / 48000.0;
    out[i] = 0.3 * std::sin(2 * M_PI * (150.0 + 40 * seed) * t) + 0.2 * std::sin(2 * M_PI * 2500.0 * t) +
             0.3 * (static_cast<double>(noise % 20001u) / 10000.0 - 1.0);
  }
  return out;
}

}  // namespace tooltest
