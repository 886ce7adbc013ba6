#include "tools/loudness.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

bool MeasureLoudness(const Audio& audio, Loudness& loudness) {
  const auto channels = static_cast<unsigned>(audio.channels.size());
  if (channels == 0) return false;
  ebur128_state* state = ebur128_init(channels, static_cast<unsigned long>(audio.rate),
                                      EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_TRUE_PEAK);
  if (!state) return false;
  // A mono file plays on both speakers.
  if (channels == 1) ebur128_set_channel(state, 0, EBUR128_DUAL_MONO);
  constexpr long kChunk = 16384;
  std::vector<double> interleaved(static_cast<size_t>(kChunk) * channels);
  bool ok = true;
  for (long done = 0; done < audio.Frames() && ok;) {
    const long n = std::min(kChunk, audio.Frames() - done);
    for (long i = 0; i < n; ++i)
      for (unsigned ch = 0; ch < channels; ++ch)
        interleaved[static_cast<size_t>(i) * channels + ch] = audio.channels[ch][static_cast<size_t>(done + i)];
    ok = ebur128_add_frames_double(state, interleaved.data(), static_cast<size_t>(n)) == EBUR128_SUCCESS;
    done += n;
  }
  double peak = 0.0;
  for (unsigned ch = 0; ch < channels && ok; ++ch) {
    double p = 0.0;
    ok = ebur128_true_peak(state, ch, &p) == EBUR128_SUCCESS;
    peak = std::max(peak, p);
  }
  ok = ok && ebur128_loudness_global(state, &loudness.integrated) == EBUR128_SUCCESS;
  ok = ok && ebur128_loudness_range(state, &loudness.range) == EBUR128_SUCCESS;
  loudness.truePeak = peak > 0.0 ? 20.0 * std::log10(peak) : -HUGE_VAL;
  ebur128_destroy(&state);
  return ok;
}

std::string FormatLoudness(const Loudness& loudness) {
  auto number = [](double v) {
    char text[32];
    if (std::isfinite(v))
      std::snprintf(text, sizeof text, "%.1f", v);
    else
      std::snprintf(text, sizeof text, "-inf");
    return std::string(text);
  };
  return number(loudness.integrated) + " LUFS integrated, " + number(loudness.range) + " LU range, " +
         number(loudness.truePeak) + " dBTP true peak";
}
