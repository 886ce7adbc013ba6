#include "graphics/controls/ifader_control.h"

#include "graphics/igraphics.h"

namespace {
IRECT TrackRect(int x, int y, int len, const IBitmap& handle, EDirection direction) {
  if (direction == kHorizontal) return IRECT(x, y, x + len, y + handle.FrameHeight());
  return IRECT(x, y, x + handle.FrameWidth(), y + len);
}
}  // namespace

IFaderControl::IFaderControl(IPlugBase* plug, int x, int y, int len, int paramIdx, const IBitmap& handle,
                             EDirection direction, bool onlyHandleHits)
    : IControl(plug, TrackRect(x, y, len, handle, direction), paramIdx),
      mLen(len),
      mHandleLen(direction == kHorizontal ? handle.FrameWidth() : handle.FrameHeight()),
      mDirection(direction),
      mOnlyHandleHits(onlyHandleHits),
      mBitmap(handle) {}

IFaderControl::~IFaderControl() = default;

IRECT IFaderControl::GetHandleRECT() const {
  const int travel = mLen - mHandleLen;
  const double v = DrawableValue(GetValue());
  IRECT r = mRECT;
  if (mDirection == kHorizontal) {
    r.L = mRECT.L + static_cast<int>(v * travel);
    r.R = r.L + mHandleLen;
  } else {
    r.T = mRECT.T + static_cast<int>((1.0 - v) * travel);
    r.B = r.T + mHandleLen;
  }
  return r;
}

void IFaderControl::SnapToMouse(int x, int y) {
  const double travel = static_cast<double>(mLen - mHandleLen);
  const double halfHandle = 0.5 * mHandleLen;
  // A handle as long as its track cannot move: the division would be 0/0.
  if (travel <= 0.0)
    SetValue(0.0);
  else if (mDirection == kHorizontal)
    SetValue((x - mRECT.L - halfHandle) / travel);
  else
    SetValue(1.0 - (y - mRECT.T - halfHandle) / travel);
  SetDirty(true);
}

void IFaderControl::OnMouseDown(int x, int y, IMouseMod* mod) {
  if (mod && mod->R) {
    PromptUserInput();
    return;
  }
  SnapToMouse(x, y);
}

void IFaderControl::OnMouseDrag(int x, int y, int, int, IMouseMod* mod) {
  if (mod && mod->R) return;
  SnapToMouse(x, y);
}

void IFaderControl::OnMouseWheel(int, int, IMouseMod* mod, int delta) {
  const bool fine = mod && (mod->C || mod->S);
  SetValue(GetValue() + delta * (fine ? 0.001 : 0.01));
  SetDirty(true);
}

bool IFaderControl::Draw(IGraphics* graphics) {
  IRECT handle = GetHandleRECT();
  return graphics->DrawBitmap(&mBitmap, &handle, 1, &mBlend);
}

bool IFaderControl::IsHit(int x, int y) {
  if (!mOnlyHandleHits) return IControl::IsHit(x, y);
  return GetHandleRECT().Contains(x, y);
}
