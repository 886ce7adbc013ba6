// Mouse and key routing: the topmost control under the pointer, or the one
// holding the capture, gets the event; parameter gestures are reported to the
// plug-in.
#include "framework/iplug_base.h"
#include "graphics/icontrol.h"
#include "graphics/igraphics.h"

int IGraphics::FindTarget(int x, int y, bool mouseOver) const {
  for (int i = mControls.GetSize() - 1; i >= 0; --i) {
    IControl* control = mControls.Get(i);
    if (control->IsHidden()) continue;
    if (control->IsGrayed() && !(mouseOver && control->GetMOWhenGrayed())) continue;
    if (control->IsHit(x, y)) return i;
  }
  return -1;
}

int IGraphics::GetMouseControlIdx(int x, int y, bool mouseOver) {
  if (mMouseCapture >= 0) return mMouseCapture;
  return FindTarget(x, y, mouseOver);
}

void IGraphics::ReleaseMouseCapture() {
  mMouseCapture = -1;
  mMouseX = mMouseY = -1;
}

void IGraphics::CaptureMouse(int idx, int x, int y) {
  mMouseCapture = idx;
  mMouseX = x;
  mMouseY = y;
}

void IGraphics::BeginMouseGesture(int paramIdx) {
  EndMouseGesture();
  if (!mPlug || paramIdx < 0) return;
  mPlug->BeginInformHostOfParamChange(paramIdx);
  mGestureParamIdx = paramIdx;
}

void IGraphics::EndMouseGesture() {
  if (mGestureParamIdx < 0) return;
  const int paramIdx = mGestureParamIdx;
  mGestureParamIdx = -1;
  if (mPlug) mPlug->EndInformHostOfParamChange(paramIdx);
}

void IGraphics::OnMouseDown(int x, int y, IMouseMod* mod) {
  ReleaseMouseCapture();
  // A press whose release never came (taken by a grab elsewhere) has ended.
  EndMouseGesture();
  const int idx = FindTarget(x, y, false);
  // The secondary button where no control but the background is.
  if (mod && mod->R && (idx < 0 || (mBackground && mControls.Get(idx) == mBackground))) {
    OnBackgroundMenu(x, y);
    return;
  }
  if (idx < 0) return;
  IControl* control = mControls.Get(idx);
  CaptureMouse(idx, x, y);
  const int paramIdx = control->ParamIdx();
  if (mPlug && paramIdx >= 0 && mod && mod->R && mPlug->HostOffersParamContextMenu()) {
    ReleaseMouseCapture();
    mPlug->PopupHostContextMenuForParam(paramIdx, x, y);
    return;
  }
  BeginMouseGesture(paramIdx);
  control->OnMouseDown(x, y, mod);
}

void IGraphics::OnMouseUp(int x, int y, IMouseMod* mod) {
  const int idx = GetMouseControlIdx(x, y);
  ReleaseMouseCapture();
  if (IControl* control = mControls.Get(idx)) control->OnMouseUp(x, y, mod);
  // The gesture of the press, not one of the control the release is over.
  EndMouseGesture();
}

void IGraphics::OnMouseDrag(int x, int y, IMouseMod* mod) {
  IControl* control = mControls.Get(mMouseCapture);
  if (!control || (x == mMouseX && y == mMouseY)) return;
  const int dX = x - mMouseX;
  const int dY = y - mMouseY;
  mMouseX = x;
  mMouseY = y;
  control->OnMouseDrag(x, y, dX, dY, mod);
}

bool IGraphics::OnMouseDblClick(int x, int y, IMouseMod* mod) {
  ReleaseMouseCapture();
  const int idx = FindTarget(x, y, false);
  IControl* control = mControls.Get(idx);
  if (!control) return false;
  // Either way the edit is a gesture of its own, ended by the release.
  BeginMouseGesture(control->ParamIdx());
  if (control->GetDblAsSingleClick()) {
    CaptureMouse(idx, x, y);
    control->OnMouseDown(x, y, mod);
    return true;
  }
  control->OnMouseDblClick(x, y, mod);
  return false;
}

// A wheel step outside a press is an edit gesture of its own, so that a
// recording host hears a beginEdit and an endEdit around its change.
void IGraphics::OnMouseWheel(int x, int y, IMouseMod* mod, int delta) {
  IControl* control = mControls.Get(GetMouseControlIdx(x, y));
  if (!control) return;
  const int paramIdx = control->ParamIdx();
  const bool ownGesture = mGestureParamIdx < 0 && mPlug && paramIdx >= 0;
  if (ownGesture) mPlug->BeginInformHostOfParamChange(paramIdx);
  control->OnMouseWheel(x, y, mod, delta);
  if (ownGesture) mPlug->EndInformHostOfParamChange(paramIdx);
}

bool IGraphics::OnMouseOver(int x, int y, IMouseMod* mod) {
  if (!mHandleMouseOver) return false;
  const int idx = GetMouseControlIdx(x, y, true);
  IControl* control = mControls.Get(idx);
  if (!control) return mHandleMouseOver;
  mMouseX = x;
  mMouseY = y;
  control->OnMouseOver(x, y, mod);
  if (mMouseOver >= 0 && mMouseOver != idx) {
    if (IControl* previous = mControls.Get(mMouseOver)) previous->OnMouseOut();
  }
  mMouseOver = idx;
  return mHandleMouseOver;
}

void IGraphics::OnMouseOut() {
  for (int i = 0; i < mControls.GetSize(); ++i) mControls.Get(i)->OnMouseOut();
  mMouseOver = -1;
}

bool IGraphics::OnKeyDown(int x, int y, int key) {
  int idx = GetMouseControlIdx(x, y);
  if (idx < 0) idx = 0;
  if (idx > 0) return mControls.Get(idx)->OnKeyDown(x, y, key);
  return mKeyCatcher ? mKeyCatcher->OnKeyDown(x, y, key) : false;
}
