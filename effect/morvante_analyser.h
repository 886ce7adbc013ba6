// The spectrum of one signal the response display shows: the newest window
// of the feed's ring (Hann, about 170 ms; 85 ms above 96 kHz), its power
// averaged over a sixth of an octave around each point of the display's axis
// (a triangle, so that a tone shows as a peak), tilted by 3 dB per octave
// about 1 kHz so that a mix looks about level, and falling back slowly
// (12 dB a second) after a peak. The plan and buffers are made with the
// analyser, on the editor's thread.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "effect/sample_ring.h"

class MorvanteAnalyser {
public:
  static constexpr double kFallDBPerSecond = 12.0;
  static constexpr double kFloorDB = -140.0;

  // 8192 at 48 kHz, the power of two nearest the same duration elsewhere,
  // at most half what the ring holds, so that the samples of the frames
  // being copied are never overwritten meanwhile.
  static int WindowLength(double sampleRate, size_t ringCapacity);

  MorvanteAnalyser(double sampleRate, size_t ringCapacity);
  ~MorvanteAnalyser();
  MorvanteAnalyser(const MorvanteAnalyser&) = delete;
  MorvanteAnalyser& operator=(const MorvanteAnalyser&) = delete;

  void SetAxis(const std::vector<double>& hz);
  // Analyses the newest window if samples came since the last call, else
  // lets the levels fall for idleSeconds (the host stopped); true when the
  // levels changed.
  bool Update(const SampleRing<float>& ring, double idleSeconds);
  // dB relative to a full-scale sine at 1 kHz, tilted, per axis point.
  const std::vector<double>& LevelDB() const { return mLevelDB; }
  int Length() const { return mLength; }

private:
  struct Fft;
  void Smooth(double fallDB);

  double mSampleRate;
  int mLength;
  std::unique_ptr<Fft> mFft;
  std::vector<float> mWindowed;
  std::vector<double> mHann;
  // Bin power integrated once and twice, for the weighted averages.
  std::vector<double> mCumulative, mTwice;
  std::vector<double> mCentreBin, mHalfBase, mTiltDB, mLevelDB;
  uint64_t mAnalysedUpTo = 0;
  bool mFresh = true;
};
