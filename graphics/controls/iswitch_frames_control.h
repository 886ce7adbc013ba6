// A switch whose image shows all its positions at once: the rectangle is cut
// into one hit area per frame, and a press picks the position under the
// pointer.
#pragma once

#include "framework/wdl_heapbuf.h"
#include "graphics/controls/iswitch_control.h"

class ISwitchFramesControl : public ISwitchControl {
public:
  // imageMapped: the positions lie side by side (columns); otherwise they
  // are stacked (rows). Prompts start enabled.
  ISwitchFramesControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap& bitmap, bool imageMapped = false,
                       IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendAlpha);
  ~ISwitchFramesControl() override;

  // The secondary button prompts; any other press inside position j sets
  // j / (N - 1).
  void OnMouseDown(int x, int y, IMouseMod* mod) override;

  int NHitRects() const { return mHitRects.GetSize(); }
  // Null outside the list.
  const IRECT* GetHitRect(int idx) const;

private:
  WDL_TypedBuf<IRECT> mHitRects{256};
};
