#include "tools/audio_file.h"

#include <sndfile.h>


namespace {
// One frame count libsndfile can be handed at a time, so that huge files
// are read in pieces.
constexpr sf_count_t kChunk = 65536;
// Longer files would not fit in memory anyway (about 6 hours at 48 kHz).
constexpr sf_count_t kMaxFrames = sf_count_t{1} << 30;

std::string SndError(SNDFILE* file) { return sf_strerror(file); }
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

bool WriteFloatWav(const std::string& path, const Audio& audio, std::string& error) {
  SF_INFO info{};
  info.samplerate = static_cast<int>(audio.rate);
  info.channels = static_cast<int>(audio.channels.size());
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) {
    error = "cannot write '" + path + "': " + SndError(nullptr);
    return false;
  }
  const size_t channels = audio.channels.size();
  const sf_count_t frames = audio.Frames();
  std::vector<double> interleaved(static_cast<size_t>(kChunk) * channels);
  for (sf_count_t done = 0; done < frames;) {
    const sf_count_t n = frames - done < kChunk ? frames - done : kChunk;
    for (sf_count_t i = 0; i < n; ++i)
      for (size_t ch = 0; ch < channels; ++ch)
        interleaved[static_cast<size_t>(i) * channels + ch] = audio.channels[ch][static_cast<size_t>(done + i)];
    if (sf_writef_double(file, interleaved.data(), n) != n) {
      error = "writing '" + path + "' failed: " + SndError(file);
      sf_close(file);
      return false;
    }
    done += n;
  }
  if (sf_close(file) != 0) {
    error = "closing '" + path + "' failed";
    return false;
  }
  return true;
}
