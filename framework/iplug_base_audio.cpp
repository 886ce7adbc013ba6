// The processing frame of IPlugBase: connections, buffer attachment, scratch
// buffers and running a block.
#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "framework/iplug_base.h"
#include "framework/latency_delay_line.h"

namespace {
void ZeroFill(double* buf, int nFrames) {
  if (buf && nFrames > 0) std::memset(buf, 0, sizeof(double) * static_cast<size_t>(nFrames));
}

// Input i to output i below both counts; the other outputs are silenced.
void CopyInputsToOutputs(double* const* inputs, double* const* outputs, int nIn, int nOut, int nFrames) {
  for (int i = 0; i < nOut; ++i) {
    double* out = outputs[i];
    if (!out) continue;
    const double* in = i < nIn ? inputs[i] : nullptr;
    if (in) {
      if (in != out) std::memmove(out, in, sizeof(double) * static_cast<size_t>(nFrames));
    } else {
      ZeroFill(out, nFrames);
    }
  }
}

// Resizes a scratch buffer and zeroes it; returns the samples it really
// holds.
int ResizeScratch(WDL_TypedBuf<double>& scratch, int blockSize) {
  scratch.Resize(blockSize);
  ZeroFill(scratch.Get(), scratch.GetSize());
  return scratch.GetSize();
}
}  // namespace

void IPlugBase::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) {
  if (!outputs || nFrames <= 0) return;
  CopyInputsToOutputs(inputs, outputs, inputs ? NInChannels() : 0, NOutChannels(), nFrames);
}

void IPlugBase::SetInputChannelConnections(int idx, int n, bool connected) {
  const long long end = std::min(static_cast<long long>(idx) + n, static_cast<long long>(NInChannels()));
  for (long long i = std::max(idx, 0); i < end; ++i) {
    InChannel* ch = mInChannels.Get(static_cast<int>(i));
    ch->mConnected = connected;
    if (!connected) {
      *ch->mSrc = ch->mScratchBuf.Get();
      ch->mHostDouble = nullptr;
      ch->mHostFloat = nullptr;
    }
  }
}

void IPlugBase::SetOutputChannelConnections(int idx, int n, bool connected) {
  const long long end = std::min(static_cast<long long>(idx) + n, static_cast<long long>(NOutChannels()));
  for (long long i = std::max(idx, 0); i < end; ++i) {
    OutChannel* ch = mOutChannels.Get(static_cast<int>(i));
    ch->mConnected = connected;
    if (!connected) {
      *ch->mDest = ch->mScratchBuf.Get();
      // A stale host buffer must never be written again.
      ch->mFDest = nullptr;
      ch->mHostDouble = nullptr;
    }
  }
}

bool IPlugBase::IsInChannelConnected(int chIdx) const {
  const InChannel* ch = mInChannels.Get(chIdx);
  return ch && ch->mConnected;
}

bool IPlugBase::IsOutChannelConnected(int chIdx) const {
  const OutChannel* ch = mOutChannels.Get(chIdx);
  return ch && ch->mConnected;
}

void IPlugBase::AttachInputBuffers(int idx, int n, double** ppData) {
  if (!ppData) return;
  const long long end = std::min(static_cast<long long>(idx) + n, static_cast<long long>(NInChannels()));
  for (long long i = std::max(idx, 0); i < end; ++i) {
    InChannel* ch = mInChannels.Get(static_cast<int>(i));
    if (!ch->mConnected) continue;
    double* host = *ppData++;
    ch->mHostDouble = host;
    ch->mHostFloat = nullptr;
    *ch->mSrc = host ? host : ch->mScratchBuf.Get();
  }
}

void IPlugBase::AttachInputBuffers(int idx, int n, float** ppData, int nFrames) {
  if (!ppData) return;
  const long long end = std::min(static_cast<long long>(idx) + n, static_cast<long long>(NInChannels()));
  for (long long i = std::max(idx, 0); i < end; ++i) {
    InChannel* ch = mInChannels.Get(static_cast<int>(i));
    if (!ch->mConnected) continue;
    const float* host = *ppData++;
    ch->mHostDouble = nullptr;
    ch->mHostFloat = host;
    double* scratch = ch->mScratchBuf.Get();
    const int nConvert = host ? std::min(nFrames, ch->mScratchBuf.GetSize()) : 0;
    for (int s = 0; s < nConvert; ++s) scratch[s] = host[s];
    *ch->mSrc = scratch;
  }
}

void IPlugBase::AttachOutputBuffers(int idx, int n, double** ppData) {
  if (!ppData) return;
  const long long end = std::min(static_cast<long long>(idx) + n, static_cast<long long>(NOutChannels()));
  for (long long i = std::max(idx, 0); i < end; ++i) {
    OutChannel* ch = mOutChannels.Get(static_cast<int>(i));
    if (!ch->mConnected) continue;
    double* host = *ppData++;
    ch->mHostDouble = host;
    ch->mFDest = nullptr;
    *ch->mDest = host ? host : ch->mScratchBuf.Get();
  }
}

void IPlugBase::AttachOutputBuffers(int idx, int n, float** ppData) {
  if (!ppData) return;
  const long long end = std::min(static_cast<long long>(idx) + n, static_cast<long long>(NOutChannels()));
  for (long long i = std::max(idx, 0); i < end; ++i) {
    OutChannel* ch = mOutChannels.Get(static_cast<int>(i));
    if (!ch->mConnected) continue;
    ch->mHostDouble = nullptr;
    ch->mFDest = *ppData++;
    *ch->mDest = ch->mScratchBuf.Get();
  }
}

void IPlugBase::ProcessBuffers(double, int nFrames) { RunBlock(0, nFrames, false, EFloatOutput::kNone); }

void IPlugBase::ProcessBuffers(float, int nFrames) { RunBlock(0, nFrames, false, EFloatOutput::kReplace); }

void IPlugBase::ProcessBuffersAccumulating(float, int nFrames) {
  RunBlock(0, nFrames, false, EFloatOutput::kAccumulate);
}

void IPlugBase::PassThroughBuffers(double, int nFrames) { RunBlock(0, nFrames, true, EFloatOutput::kNone); }

void IPlugBase::PassThroughBuffers(float, int nFrames) { RunBlock(0, nFrames, true, EFloatOutput::kReplace); }

void IPlugBase::ProcessBufferRange(double, int offset, int nFrames, bool passThrough) {
  RunBlock(offset, nFrames, passThrough, EFloatOutput::kNone);
}

void IPlugBase::ProcessBufferRange(float, int offset, int nFrames, bool passThrough) {
  RunBlock(offset, nFrames, passThrough, EFloatOutput::kReplace);
}

void IPlugBase::RunBlock(int offset, int nFrames, bool passThrough, EFloatOutput floatOutput) {
  if (nFrames < 0) nFrames = 0;
  if (offset < 0) offset = 0;
  const int maxPerCall = MaxFramesPerCall();
  if (offset == 0 && nFrames <= maxPerCall) {
    RunPiece(nFrames, passThrough);
    WriteFloatOutputs(floatOutput, 0, nFrames);
    return;
  }
  // Host buffers hold the whole block; scratch holds one block size.
  const int step = maxPerCall == INT_MAX ? std::max(nFrames, 1) : mBlockSize;
  if (step <= 0) {
    SilenceHostOutputs(floatOutput, offset, nFrames);
    return;
  }
  for (int done = 0; done < nFrames;) {
    const int piece = std::min(step, nFrames - done);
    PointSlotsAt(offset + done, piece);
    RunPiece(piece, passThrough);
    WriteFloatOutputs(floatOutput, offset + done, piece);
    done += piece;
  }
  PointSlotsAt(0, 0);  // back to the block's start, as attached
}

void IPlugBase::RunPiece(int nFrames, bool passThrough) {
  double** inputs = mInData.Get();
  double** outputs = mOutData.Get();
  if (!passThrough) {
    // The pass-through path runs one latency behind; kept fed while the
    // effect runs, it takes over without a jump or stale samples.
    if (mLatency != 0 && mLatencyDelayLine && inputs && nFrames > 0) mLatencyDelayLine->Feed(inputs, nFrames);
    ProcessDoubleReplacing(inputs, outputs, nFrames);
    return;
  }
  if (!outputs || nFrames <= 0) return;
  if (mLatency != 0 && mLatencyDelayLine && inputs) {
    mLatencyDelayLine->ProcessBlock(inputs, outputs, nFrames);
    // The delay line leaves the outputs beyond the inputs alone; the host
    // must not get stale samples there.
    for (int i = NInChannels(); i < NOutChannels(); ++i) ZeroFill(outputs[i], nFrames);
    return;
  }
  CopyInputsToOutputs(inputs, outputs, inputs ? NInChannels() : 0, NOutChannels(), nFrames);
}

// A slot at a scratch buffer (or at nothing) limits one call to the scratch
// length; host buffers hold the whole block.
int IPlugBase::MaxFramesPerCall() const {
  for (int i = 0; i < NInChannels(); ++i) {
    const InChannel* ch = mInChannels.Get(i);
    if (!*ch->mSrc || *ch->mSrc == ch->mScratchBuf.Get()) return mBlockSize;
  }
  for (int i = 0; i < NOutChannels(); ++i) {
    const OutChannel* ch = mOutChannels.Get(i);
    if (!*ch->mDest || *ch->mDest == ch->mScratchBuf.Get()) return mBlockSize;
  }
  return INT_MAX;
}

// Points every slot at frame offset of the attached host buffers, converting
// nConvert samples of 32-bit inputs into their scratch buffers.
void IPlugBase::PointSlotsAt(int offset, int nConvert) {
  for (int i = 0; i < NInChannels(); ++i) {
    InChannel* ch = mInChannels.Get(i);
    double* scratch = ch->mScratchBuf.Get();
    if (ch->mConnected && ch->mHostDouble) {
      *ch->mSrc = const_cast<double*>(ch->mHostDouble) + offset;
      continue;
    }
    if (ch->mConnected && ch->mHostFloat) {
      const int n = std::min(nConvert, ch->mScratchBuf.GetSize());
      for (int s = 0; s < n; ++s) scratch[s] = ch->mHostFloat[offset + s];
    }
    *ch->mSrc = scratch;
  }
  for (int i = 0; i < NOutChannels(); ++i) {
    OutChannel* ch = mOutChannels.Get(i);
    *ch->mDest = ch->mConnected && ch->mHostDouble ? ch->mHostDouble + offset : ch->mScratchBuf.Get();
  }
}

void IPlugBase::WriteFloatOutputs(EFloatOutput floatOutput, int offset, int nFrames) {
  if (floatOutput == EFloatOutput::kNone) return;
  for (int i = 0; i < NOutChannels(); ++i) {
    OutChannel* ch = mOutChannels.Get(i);
    const double* src = *ch->mDest;
    if (!ch->mConnected || !ch->mFDest || !src) continue;
    float* dst = ch->mFDest + offset;
    if (floatOutput == EFloatOutput::kReplace)
      for (int s = 0; s < nFrames; ++s) dst[s] = static_cast<float>(src[s]);
    else
      for (int s = 0; s < nFrames; ++s) dst[s] = dst[s] + static_cast<float>(src[s]);
  }
}

// Without scratch buffers a block cannot run at all; the host gets silence
// rather than whatever its buffers held.
void IPlugBase::SilenceHostOutputs(EFloatOutput floatOutput, int offset, int nFrames) {
  for (int i = 0; i < NOutChannels(); ++i) {
    OutChannel* ch = mOutChannels.Get(i);
    if (!ch->mConnected) continue;
    if (ch->mHostDouble) ZeroFill(ch->mHostDouble + offset, nFrames);
    if (ch->mFDest && floatOutput == EFloatOutput::kReplace)
      std::memset(ch->mFDest + offset, 0, sizeof(float) * static_cast<size_t>(nFrames));
  }
}

void IPlugBase::ZeroScratchBuffers() {
  for (int i = 0; i < NInChannels(); ++i) {
    WDL_TypedBuf<double>& scratch = mInChannels.Get(i)->mScratchBuf;
    ZeroFill(scratch.Get(), scratch.GetSize());
  }
  for (int i = 0; i < NOutChannels(); ++i) {
    WDL_TypedBuf<double>& scratch = mOutChannels.Get(i)->mScratchBuf;
    ZeroFill(scratch.Get(), scratch.GetSize());
  }
}

void IPlugBase::SetBlockSize(int blockSize) {
  if (blockSize < 0) blockSize = 0;
  if (blockSize == mBlockSize) return;
  int held = blockSize;
  // Slots that pointed at a scratch buffer follow it when it moves.
  for (int i = 0; i < NInChannels(); ++i) {
    InChannel* ch = mInChannels.Get(i);
    const bool atScratch = !*ch->mSrc || *ch->mSrc == ch->mScratchBuf.Get();
    held = std::min(held, ResizeScratch(ch->mScratchBuf, blockSize));
    if (atScratch) *ch->mSrc = ch->mScratchBuf.Get();
  }
  for (int i = 0; i < NOutChannels(); ++i) {
    OutChannel* ch = mOutChannels.Get(i);
    const bool atScratch = !*ch->mDest || *ch->mDest == ch->mScratchBuf.Get();
    held = std::min(held, ResizeScratch(ch->mScratchBuf, blockSize));
    if (atScratch) *ch->mDest = ch->mScratchBuf.Get();
  }
  mBlockSize = held;
}

void IPlugBase::SetLatency(int samples) {
  mLatency = samples;
  if (mLatencyDelayLine) mLatencyDelayLine->SetDelay(samples);
}

void IPlugBase::CreateLatencyDelayLine() {
  if (NInChannels() < 1) return;
  LatencyDelayLine* line = new (std::nothrow) LatencyDelayLine(NInChannels(), NOutChannels(), mLatency);
  if (!line) return;
  delete mLatencyDelayLine;
  mLatencyDelayLine = line;
}
