#include "graphics/controls/iswitch_frames_control.h"

namespace {
// Edges in single precision, as the artwork's positions were laid out.
int Edge(int start, int i, int size, int n) {
  return static_cast<int>(static_cast<float>(start) + static_cast<float>(i) * static_cast<float>(size) /
                                                          static_cast<float>(n));
}
}  // namespace

ISwitchFramesControl::ISwitchFramesControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap& bitmap,
                                           bool imageMapped, IChannelBlend::EBlendMethod blendMethod)
    : ISwitchControl(plug, x, y, paramIdx, bitmap, blendMethod) {
  mDisablePrompt = false;
  const int n = mBitmap.N;
  for (int i = 0; i < n; ++i) {
    IRECT r = mRECT;
    if (imageMapped) {
      r.L = Edge(mRECT.L, i, mRECT.W(), n);
      r.R = Edge(mRECT.L, i + 1, mRECT.W(), n);
    } else {
      r.T = Edge(mRECT.T, i, mRECT.H(), n);
      r.B = Edge(mRECT.T, i + 1, mRECT.H(), n);
    }
    mHitRects.Add(r);
  }
}

ISwitchFramesControl::~ISwitchFramesControl() = default;

const IRECT* ISwitchFramesControl::GetHitRect(int idx) const {
  return idx >= 0 && idx < mHitRects.GetSize() ? mHitRects.Get() + idx : nullptr;
}

void ISwitchFramesControl::OnMouseDown(int x, int y, IMouseMod* mod) {
  if (mod && mod->R) {
    PromptUserInput();
    return;
  }
  const int n = mHitRects.GetSize();
  for (int j = 0; j < n; ++j) {
    if (!mHitRects.Get()[j].Contains(x, y)) continue;
    // A single position has nowhere to go but 0 (j / (N - 1) would be 0/0).
    SetValue(n >= 2 ? static_cast<double>(j) / static_cast<double>(n - 1) : 0.0);
    SetDirty(true);
    return;
  }
}
