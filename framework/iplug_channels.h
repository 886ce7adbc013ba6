// Channel records of the processing frame.
#pragma once

#include "framework/wdl_heapbuf.h"
#include "framework/wdl_string.h"

// One legal pair of channel counts.
struct IPlugChannelIO {
  int mIn = 0;
  int mOut = 0;
};

struct IPlugInChannel {
  bool mConnected = false;
  // This channel's entry in the input array handed to the effect.
  double** mSrc = nullptr;
  // Zeros for an unconnected channel; the converted host samples for a
  // 32-bit one.
  WDL_TypedBuf<double> mScratchBuf{4096};
  WDL_String mLabel;
  // The host buffer attached for the current block (at most one is set), kept
  // so that a block longer than the scratch can be run in pieces.
  const double* mHostDouble = nullptr;
  const float* mHostFloat = nullptr;
};

struct IPlugOutChannel {
  bool mConnected = false;
  // This channel's entry in the output array handed to the effect.
  double** mDest = nullptr;
  // The host's 32-bit buffer the scratch is converted into after the block.
  float* mFDest = nullptr;
  WDL_TypedBuf<double> mScratchBuf{4096};
  WDL_String mLabel;
  // The host's 64-bit buffer attached for the current block.
  double* mHostDouble = nullptr;
};
