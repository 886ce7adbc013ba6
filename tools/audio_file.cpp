#include "tools/audio_file.h"

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>

namespace {
// One frame count libsndfile can be handed at a time, so that huge files
// are read in pieces.
constexpr sf_count_t kChunk = 65536;
// Longer files would not fit in memory anyway (about 6 hours at 48 kHz).
constexpr sf_count_t kMaxFrames = sf_count_t{1} << 30;

std::string SndError(SNDFILE* file) { return sf_strerror(file); }

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The temporary file being written, removed if the process is stopped by a
// signal before the rename. A fixed buffer: the handler may only call
// async-signal-safe functions.
char gTempPath[4096];
volatile sig_atomic_t gTempActive = 0;

extern "C" void RemoveTempAndExit(int sig) {
  if (gTempActive) unlink(gTempPath);
  signal(sig, SIG_DFL);
  raise(sig);
}

// Runs write(fd, name) on a fresh file beside path and renames it over path
// when write succeeds.
bool WriteBeside(const std::string& path,
                 const std::function<bool(int fd, const std::string& name, std::string& error)>& write,
                 std::string& error) {
  const size_t slash = path.find_last_of('/');
  const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string temp = (dir == "/" ? "" : dir) + "/." + base + ".XXXXXX";
  if (temp.size() >= sizeof gTempPath) {
    error = "cannot write '" + path + "': path too long";
    return false;
  }
  struct sigaction action {};
  action.sa_handler = RemoveTempAndExit;
  sigemptyset(&action.sa_mask);
  struct sigaction previous[3];
  const int signals[3] = {SIGINT, SIGTERM, SIGHUP};
  for (int i = 0; i < 3; ++i) sigaction(signals[i], &action, &previous[i]);

  const int fd = mkstemp(temp.data());
  bool ok = fd >= 0;
  if (!ok) error = "cannot write '" + path + "': " + std::strerror(errno);
  if (ok) {
    std::memcpy(gTempPath, temp.c_str(), temp.size() + 1);
    gTempActive = 1;
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    ok = write(fd, temp, error);
    if (ok && fsync(fd) != 0) {
      error = "writing '" + path + "' failed: " + std::strerror(errno);
      ok = false;
    }
    if (close(fd) != 0 && ok) {
      error = "closing '" + path + "' failed: " + std::strerror(errno);
      ok = false;
    }
    if (ok && rename(temp.c_str(), path.c_str()) != 0) {
      error = "cannot write '" + path + "': " + std::strerror(errno);
      ok = false;
    }
    if (!ok) unlink(temp.c_str());
    gTempActive = 0;
  }
  for (int i = 0; i < 3; ++i) sigaction(signals[i], &previous[i], nullptr);
  return ok;
}
}  // namespace

bool ReadAudio(const std::string& path, int maxChannels, Audio& audio, std::string& error) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) {
    error = "cannot read audio file '" + path + "': " + SndError(nullptr);
    return false;
  }
  if (info.channels > maxChannels) {
    error = "audio file '" + path + "' has " + std::to_string(info.channels) +
            " channels; only mono and stereo files are supported";
    sf_close(file);
    return false;
  }
  if (info.channels < 1 || info.samplerate < 1 || info.frames < 0 || info.frames > kMaxFrames) {
    error = "audio file '" + path + "' has an unusable header (or is longer than " + std::to_string(kMaxFrames) +
            " frames)";
    sf_close(file);
    return false;
  }
  audio.rate = info.samplerate;
  const size_t channels = static_cast<size_t>(info.channels);
  audio.channels.assign(channels, std::vector<double>(static_cast<size_t>(info.frames)));
  std::vector<double> interleaved(static_cast<size_t>(kChunk) * channels);
  sf_count_t done = 0;
  while (done < info.frames) {
    const sf_count_t want = info.frames - done < kChunk ? info.frames - done : kChunk;
    const sf_count_t got = sf_readf_double(file, interleaved.data(), want);
    if (got <= 0) {
      error = "audio file '" + path + "' ends early or cannot be decoded: " + SndError(file);
      sf_close(file);
      return false;
    }
    for (sf_count_t i = 0; i < got; ++i)
      for (size_t ch = 0; ch < channels; ++ch)
        audio.channels[ch][static_cast<size_t>(done + i)] = interleaved[static_cast<size_t>(i) * channels + ch];
    done += got;
  }
  sf_close(file);
  return true;
}

bool OutputFormat(const std::string& path, const std::string& bits, int& format, std::string& error) {
  const size_t dot = path.find_last_of('.');
  const size_t slash = path.find_last_of('/');
  const std::string ext = dot == std::string::npos || (slash != std::string::npos && dot < slash)
                              ? ""
                              : Lower(path.substr(dot + 1));
  struct Container {
    const char* ext;
    const char* name;
    int major;
    const char* defaultBits;
    const char* allowed;  // the --bits values the container holds
  };
  static const Container kContainers[] = {
      {"wav", "WAV", SF_FORMAT_WAV, "32f", "16, 24, 32f or 64f"},
      {"flac", "FLAC", SF_FORMAT_FLAC, "24", "16 or 24"},
      {"aiff", "AIFF", SF_FORMAT_AIFF, "32f", "16, 24, 32f or 64f"},
      {"aif", "AIFF", SF_FORMAT_AIFF, "32f", "16, 24, 32f or 64f"},
      {"ogg", "Ogg Vorbis", SF_FORMAT_OGG, "", "no --bits (it is a lossy format)"},
  };
  const Container* container = nullptr;
  for (const Container& c : kContainers)
    if (ext == c.ext) container = &c;
  if (!container) {
    error = "cannot tell the format of output '" + path + "': its name must end in .wav, .flac, .aiff, .aif or .ogg";
    return false;
  }
  const std::string want = bits.empty() ? container->defaultBits : bits;
  int sub = 0;
  if (container->major == SF_FORMAT_OGG) {
    if (!want.empty()) {
      error = std::string("--bits does not apply to ") + container->name + " output";
      return false;
    }
    sub = SF_FORMAT_VORBIS;
  } else if (want == "16") {
    sub = SF_FORMAT_PCM_16;
  } else if (want == "24") {
    sub = SF_FORMAT_PCM_24;
  } else if (want == "32f" && container->major != SF_FORMAT_FLAC) {
    sub = SF_FORMAT_FLOAT;
  } else if (want == "64f" && container->major != SF_FORMAT_FLAC) {
    sub = SF_FORMAT_DOUBLE;
  } else {
    error = std::string(container->name) + " output takes --bits " + container->allowed + ", not " + want;
    return false;
  }
  format = container->major | sub;
  return true;
}

bool WriteAudio(const std::string& path, const Audio& audio, int format, std::string& error) {
  SF_INFO info{};
  info.samplerate = static_cast<int>(audio.rate);
  info.channels = static_cast<int>(audio.channels.size());
  info.format = format;
  if (!sf_format_check(&info)) {
    error = "cannot write '" + path + "': the format does not hold " + std::to_string(info.channels) +
            " channels at " + std::to_string(info.samplerate) + " Hz";
    return false;
  }
  return WriteBeside(path, [&](int fd, const std::string&, std::string& err) {
    SNDFILE* file = sf_open_fd(fd, SFM_WRITE, &info, SF_FALSE);
    if (!file) {
      err = "cannot write '" + path + "': " + SndError(nullptr);
      return false;
    }
    // Integer formats clip instead of wrapping around.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    const size_t channels = audio.channels.size();
    const sf_count_t frames = audio.Frames();
    std::vector<double> interleaved(static_cast<size_t>(kChunk) * channels);
    for (sf_count_t done = 0; done < frames;) {
      const sf_count_t n = frames - done < kChunk ? frames - done : kChunk;
      for (sf_count_t i = 0; i < n; ++i)
        for (size_t ch = 0; ch < channels; ++ch)
          interleaved[static_cast<size_t>(i) * channels + ch] = audio.channels[ch][static_cast<size_t>(done + i)];
      if (sf_writef_double(file, interleaved.data(), n) != n) {
        err = "writing '" + path + "' failed: " + SndError(file);
        sf_close(file);
        return false;
      }
      done += n;
    }
    if (sf_close(file) != 0) {
      err = "closing '" + path + "' failed";
      return false;
    }
    return true;
  }, error);
}

bool WriteFloatWav(const std::string& path, const Audio& audio, std::string& error) {
  return WriteAudio(path, audio, SF_FORMAT_WAV | SF_FORMAT_FLOAT, error);
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string& error) {
  return WriteBeside(path, [&](int fd, const std::string&, std::string& err) {
    for (size_t done = 0; done < bytes.size();) {
      const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        err = "writing '" + path + "' failed: " + std::strerror(errno);
        return false;
      }
      done += static_cast<size_t>(n);
    }
    return true;
  }, error);
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool WriteThroughTempName(const std::string& path, const std::function<bool(const std::string& temp)>& write,
                          std::string& error) {
  return WriteBeside(path, [&](int, const std::string& temp, std::string& err) {
    if (write(temp)) return true;
    err = "cannot write '" + path + "'";
    return false;
  }, error);
}
