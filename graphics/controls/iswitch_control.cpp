#include "graphics/controls/iswitch_control.h"

#include "graphics/igraphics.h"

namespace {
// Accumulated steps of 1/(N - 1) may land just above 1.
constexpr double kWrapAbove = 1.001;
}  // namespace

ISwitchControl::ISwitchControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap& bitmap,
                               IChannelBlend::EBlendMethod blendMethod)
    : IBitmapControl(plug, x, y, paramIdx, bitmap, blendMethod) {}

ISwitchControl::~ISwitchControl() = default;

double ISwitchControl::NextValue() const {
  const double step = mBitmap.N >= 2 ? 1.0 / static_cast<double>(mBitmap.N - 1) : 1.0;
  const double next = GetValue() + step;
  return next > kWrapAbove ? 0.0 : next;
}

void ISwitchControl::OnMouseDown(int, int, IMouseMod*) {
  SetValue(NextValue());
  SetDirty(true);
}

// The press of whichever switch this is: subclasses pick, prompt or step.
void ISwitchControl::OnMouseDblClick(int x, int y, IMouseMod* mod) { OnMouseDown(x, y, mod); }

ISwitchPopUpControl::ISwitchPopUpControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap& bitmap,
                                         IChannelBlend::EBlendMethod blendMethod)
    : ISwitchControl(plug, x, y, paramIdx, bitmap, blendMethod) {}

ISwitchPopUpControl::~ISwitchPopUpControl() = default;

void ISwitchPopUpControl::OnMouseDown(int, int, IMouseMod*) {
  PromptUserInput();
  SetDirty(true);
}

IContactControl::IContactControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap& bitmap,
                                 IChannelBlend::EBlendMethod blendMethod)
    : ISwitchControl(plug, x, y, paramIdx, bitmap, blendMethod) {}

IContactControl::~IContactControl() = default;

void IContactControl::OnMouseUp(int, int, IMouseMod*) {
  SetValue(0.0);
  SetDirty(true);
}

IBitmapOverlayControl::IBitmapOverlayControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap& bitmap,
                                             IRECT targetArea, IChannelBlend::EBlendMethod blendMethod)
    : ISwitchControl(plug, x, y, paramIdx, bitmap, blendMethod), mTargetArea(targetArea) {}

IBitmapOverlayControl::~IBitmapOverlayControl() = default;

bool IBitmapOverlayControl::Draw(IGraphics* graphics) {
  if (GetValue() < 0.5) {
    mTargetRECT = mTargetArea;
    return true;
  }
  mTargetRECT = mRECT;
  return IBitmapControl::Draw(graphics);
}
