#include "tools/demo_mix.h"

#include <cmath>

namespace {
// A two-pole resonator, for cymbal shimmer, bass boom and vocal formants.
class Resonator {
public:
  Resonator(double hz, double q, double rate) {
    const double w = 2.0 * M_PI * hz / rate, alpha = std::sin(w) / (2.0 * q), a0 = 1.0 + alpha;
    b0 = alpha / a0;
    a1 = -2.0 * std::cos(w) / a0;
    a2 = (1.0 - alpha) / a0;
  }
  double operator()(double x) {
    const double y = b0 * x - b0 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
  }

private:
  double b0, a1, a2, x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};

class Noise {
public:
  double operator()() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<double>(state) / 2147483648.0 - 1.0;
  }

private:
  unsigned state = 0x9E3779B9u;
};
}  // namespace

Audio DemoMix(double seconds) {
  Audio audio;
  audio.rate = 48000.0;
  const double rate = audio.rate;
  const auto frames = static_cast<size_t>(seconds * rate);
  audio.channels.assign(2, std::vector<double>(frames, 0.0));
  const double beat = 0.5;  // 120 beats per minute
  Noise noise;
  Resonator cymbalRing(7500.0, 6.0, rate), cymbalBody(11000.0, 2.0, rate), snareBody(220.0, 4.0, rate);
  Resonator boom(110.0, 3.0, rate);
  Resonator formants[3] = {{700.0, 6.0, rate}, {1200.0, 8.0, rate}, {2800.0, 10.0, rate}};
  Resonator sibilance(7000.0, 3.0, rate);
  const double bassNotes[4] = {55.0, 55.0, 65.41, 49.0};  // A1 A1 C2 G1, a bar each
  const double vocalNotes[4] = {220.0, 246.94, 261.63, 196.0};
  double bassPhase = 0.0, vocalPhase = 0.0;

  for (size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / rate;
    const double inBeat = std::fmod(t, beat), inEighth = std::fmod(t, beat / 2);
    const int beatIndex = static_cast<int>(t / beat);
    const int bar = static_cast<int>(t / (4 * beat)) % 4;

    // Kick on every beat: a falling sine.
    const double kickPitch = 50.0 + 90.0 * std::exp(-inBeat * 30.0);
    const double kick = 0.55 * std::sin(2 * M_PI * kickPitch * inBeat) * std::exp(-inBeat * 9.0);
    // Snare on beats two and four.
    const double snare = beatIndex % 2 == 1
                             ? (0.25 * noise() + 0.6 * snareBody(noise())) * std::exp(-inBeat * 18.0)
                             : snareBody(0.0);
    // Hi-hat on every eighth, a crash at each bar's start: both ring hard
    // around 7.5 kHz.
    const double crash = std::fmod(t, 4 * beat) < 1.2 ? std::exp(-std::fmod(t, 4 * beat) * 2.5) : 0.0;
    const double hatEnvelope = std::exp(-inEighth * 40.0) + 0.6 * crash;
    const double metal = noise();
    const double cymbals = hatEnvelope * (3.0 * cymbalRing(metal) + 1.2 * cymbalBody(metal) + 0.1 * metal);

    // Bass: sine plus octave, through a resonance at 110 Hz that booms.
    const double bassHz = bassNotes[bar];
    bassPhase += bassHz / rate;
    const double bassNote = std::sin(2 * M_PI * bassPhase) + 0.5 * std::sin(4 * M_PI * bassPhase);
    const double bassEnvelope = 0.6 + 0.4 * std::exp(-std::fmod(t, beat) * 4.0);
    const double bass = 0.22 * bassEnvelope * bassNote + 0.15 * boom(bassEnvelope * bassNote);

    // Vocal: a vibrato sawtooth through three formants, with an "s" burst
    // every other beat.
    const double vocalHz = vocalNotes[bar] * (1.0 + 0.012 * std::sin(2 * M_PI * 5.5 * t));
    vocalPhase += vocalHz / rate;
    const double saw = 2.0 * (vocalPhase - std::floor(vocalPhase)) - 1.0;
    double vocal = 0.0;
    for (Resonator& f : formants) vocal += f(saw);
    const double sInBeat = std::fmod(t + 0.25, 2 * beat);
    const double ess = sInBeat < 0.18 ? std::sin(M_PI * sInBeat / 0.18) : 0.0;
    vocal = 0.35 * vocal + 1.5 * ess * sibilance(noise());

    audio.channels[0][i] = 0.3 * (kick + 0.9 * snare + 0.7 * cymbals + bass + 0.8 * vocal);
    audio.channels[1][i] = 0.3 * (kick + 0.9 * snare + 0.5 * cymbals + bass + 0.9 * vocal);
  }
  return audio;
}
