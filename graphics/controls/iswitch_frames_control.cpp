#include "graphics/controls/iswitch_frames_control.h"

#include "graphics/controls/control_support.h"

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
  PickAreaValue(this, mHitRects.Get(), mHitRects.GetSize(), x, y, mod);
}
