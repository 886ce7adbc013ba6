// The host's transport and tempo for the current block.
#pragma once

struct ITimeInfo {
  double mTempo = 120.0;
  double mSamplePos = 0.0;
  // Position in quarter notes.
  double mPPQPos = 0.0;
  // Start of the last bar, in quarter notes.
  double mLastBar = 0.0;
  double mCycleStart = 0.0;
  double mCycleEnd = 0.0;
  int mNumerator = 4;
  int mDenominator = 4;
  bool mTransportIsRunning = false;
  bool mTransportChanged = false;
  bool mTransportLoopEnabled = false;
  bool mTransportIsRecording = false;
};
