#include "effect/factory_presets.h"

// Thresholds: the detector acts above −1.5 × Threshold dB of its band's
// level (0 switches the band's dynamics off). Bandwidth is the band's Q,
// negated: −0.4 broad to −5 narrow; for the Low and High shelves it shapes
// only the detector's filter (−0.7 keeps it from ringing). MODE 1 lets a band's detector hear the
// sum of both channels, 0 the louder one.
const std::vector<FactoryPreset>& FactoryPresets() {
  static const std::vector<FactoryPreset> presets = {
      {"Default", "every band flat and its dynamics off: the starting point", {}},

      {"Vocal De-esser", "pulls the sibilance band of a voice down while an \"s\" lasts",
       {{"High Mid Frequency", 6800}, {"High Mid Bandwidth", -5}, {"High Mid Threshold", 16},
         {"High Mid Ratio", 6}, {"High Mid Attack", 1}, {"High Mid Release", 60}}},

      {"Tame Boomy Bass", "holds the low shelf down while the boom swells, leaving the notes",
       {{"Low Frequency", 130}, {"Low Bandwidth", -1}, {"Low Threshold", 14}, {"Low Ratio", 4}, {"Low Attack", 8},
         {"Low Release", 150}}},

      {"Drum Bus Control", "kick, snare crack and cymbals each kept in check, linked across the stereo bus",
       {{"Low Frequency", 80}, {"Low Bandwidth", -0.7}, {"Low Threshold", 10}, {"Low Ratio", 3},
         {"Low Attack", 15}, {"Low Release", 120}, {"MODE-L", 1},
        {"Mid Frequency", 2000}, {"Mid Bandwidth", -1.5}, {"Mid Threshold", 16}, {"Mid Ratio", 2.5},
         {"Mid Attack", 5}, {"Mid Release", 100}, {"MODE-M", 1},
        {"High Frequency", 10000}, {"High Bandwidth", -0.7}, {"High Threshold", 12}, {"High Ratio", 2},
         {"High Attack", 2}, {"High Release", 80}, {"MODE-H", 1}}},

      {"Acoustic Guitar Smoothing", "less body boom and pick edge when they jump out, a little air on top",
       {{"Low Frequency", 150}, {"Low Bandwidth", -0.7}, {"Low Threshold", 12}, {"Low Ratio", 3},
         {"Low Attack", 10}, {"Low Release", 200},
        {"Mid Frequency", 3000}, {"Mid Bandwidth", -3}, {"Mid Threshold", 22}, {"Mid Ratio", 3}, {"Mid Attack", 3},
         {"Mid Release", 120},
        {"High Frequency", 12000}, {"High Gain", 2}}},

      {"Cymbal Tamer", "fast control of hi-hat and crash ring above 7 kHz",
       {{"High Mid Frequency", 7500}, {"High Mid Bandwidth", -5}, {"High Mid Threshold", 15},
         {"High Mid Ratio", 4}, {"High Mid Attack", 1}, {"High Mid Release", 60},
        {"High Frequency", 9000}, {"High Bandwidth", -0.7}, {"High Threshold", 15}, {"High Ratio", 4},
         {"High Attack", 1}, {"High Release", 80}}},

      {"Podcast Voice", "rumble and boxiness out, presence up, esses held down",
       {{"Low Frequency", 90}, {"Low Gain", -4},
        {"Low Mid Frequency", 450}, {"Low Mid Bandwidth", -1.5}, {"Low Mid Gain", -2}, {"Low Mid Threshold", 14},
         {"Low Mid Ratio", 2},
        {"Mid Frequency", 3000}, {"Mid Bandwidth", -3}, {"Mid Gain", 3},
        {"High Mid Frequency", 6500}, {"High Mid Threshold", 16}, {"High Mid Ratio", 5}, {"High Mid Attack", 1},
         {"High Mid Release", 50},
        {"Output", 2}}},

      {"Kick and Bass Separation", "the lowest octave ducks on each kick; the bass's upper harmonics carry it",
       {{"Low Frequency", 80}, {"Low Bandwidth", -0.7}, {"Low Threshold", 16}, {"Low Ratio", 4}, {"Low Attack", 1},
         {"Low Release", 50},
        {"Low Mid Frequency", 800}, {"Low Mid Bandwidth", -4}, {"Low Mid Gain", 2}}},

      {"Electric Guitar Fizz", "the fizz band of a distorted guitar held down, the top end softened",
       {{"High Mid Frequency", 5500}, {"High Mid Bandwidth", -4}, {"High Mid Threshold", 17},
         {"High Mid Ratio", 4}, {"High Mid Attack", 2}, {"High Mid Release", 80},
        {"High Frequency", 10000}, {"High Gain", -2}}},

      {"Piano Resonance", "narrow bands catch the ringing of low-mid and upper-mid resonances",
       {{"Low Mid Frequency", 500}, {"Low Mid Bandwidth", -5}, {"Low Mid Threshold", 12}, {"Low Mid Ratio", 2.5},
         {"Low Mid Attack", 15}, {"Low Mid Release", 250},
        {"Mid Frequency", 2200}, {"Mid Bandwidth", -5}, {"Mid Threshold", 20}, {"Mid Ratio", 2.5},
         {"Mid Attack", 10}, {"Mid Release", 200}}},

      {"Gentle Mastering", "a touch of weight and air, with slow, light control of lows, mids and highs",
       {{"Low Frequency", 60}, {"Low Bandwidth", -0.7}, {"Low Gain", 1}, {"Low Threshold", 10}, {"Low Ratio", 1.5},
         {"Low Attack", 30}, {"Low Release", 300}, {"MODE-L", 1},
        {"Mid Frequency", 3000}, {"Mid Bandwidth", -1}, {"Mid Threshold", 10}, {"Mid Ratio", 1.5},
         {"Mid Attack", 20}, {"Mid Release", 250}, {"MODE-M", 1},
        {"High Frequency", 12000}, {"High Bandwidth", -0.7}, {"High Gain", 1.5}, {"High Threshold", 10},
         {"High Ratio", 1.5}, {"High Attack", 10}, {"High Release", 200}, {"MODE-H", 1}}},

      {"Full-Mix Glue", "every band held together by slow, linked control",
       {{"Low Frequency", 100}, {"Low Bandwidth", -0.7}, {"Low Threshold", 9}, {"Low Ratio", 2},
         {"Low Attack", 20}, {"Low Release", 300}, {"MODE-L", 1},
        {"Low Mid Frequency", 600}, {"Low Mid Bandwidth", -1}, {"Low Mid Threshold", 14}, {"Low Mid Ratio", 2},
         {"Low Mid Attack", 20}, {"Low Mid Release", 300}, {"MODE-LM", 1},
        {"Mid Frequency", 2500}, {"Mid Bandwidth", -3}, {"Mid Threshold", 14}, {"Mid Ratio", 1.5},
         {"Mid Attack", 20}, {"Mid Release", 300}, {"MODE-M", 1},
        {"High Mid Frequency", 6000}, {"High Mid Bandwidth", -3}, {"High Mid Threshold", 13},
         {"High Mid Ratio", 1.5}, {"High Mid Attack", 20}, {"High Mid Release", 300}, {"MODE-HM", 1},
        {"High Frequency", 10000}, {"High Bandwidth", -0.7}, {"High Threshold", 13}, {"High Ratio", 1.5},
         {"High Attack", 20}, {"High Release", 300}, {"MODE-H", 1},
        {"Output", 1}}},
  };
  return presets;
}
