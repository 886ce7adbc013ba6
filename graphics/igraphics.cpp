#include "graphics/igraphics.h"

#include "framework/iparam.h"
#include "framework/iplug_base.h"
#include "framework/wdl_mutex.h"
#include "graphics/bitmap_storage.h"
#include "graphics/controls/ibitmap_control.h"
#include "graphics/controls/ipanel_control.h"
#include "graphics/editor_scale.h"
#include "graphics/icontrol.h"
#include "lice/lice_sysbitmap.h"

IGraphics::IGraphics(IPlugBase* plug, int w, int h, int fps)
    : mPlug(plug), mWidth(w), mHeight(h), mFPS(fps > 0 ? fps : DEFAULT_FPS) {}

IGraphics::~IGraphics() {
  delete mKeyCatcher;
  mKeyCatcher = nullptr;
  DeleteControlsAndBitmaps();
}

void IGraphics::DeleteControlsAndBitmaps() {
  for (int i = mControls.GetSize() - 1; i >= 0; --i) mControls.Delete(i, true);
  delete mDrawBitmap;
  mDrawBitmap = nullptr;
  delete mTmpBitmap;
  mTmpBitmap = nullptr;
}

void IGraphics::PrepDraw() {
  // A second call (the plug-in attaching the same engine again) must not
  // leak the first pair.
  delete mDrawBitmap;
  delete mTmpBitmap;
  mDrawBitmap = new LICE_SysBitmap(ScaleEdge(mWidth, mScalePercent), ScaleEdge(mHeight, mScalePercent));
  mTmpBitmap = new LICE_MemBitmap(0, 0);
}

bool IGraphics::OpenWindowOnRunLoop(void* parent, std::unique_ptr<EditorRunLoop>) {
  OpenWindow(parent);
  return true;
}

WDL_Mutex* IGraphics::ControlListMutex() const { return mPlug ? mPlug->GetMutex() : nullptr; }

bool IGraphics::Resize(int w, int h) {
  EndMouseGesture();
  ReleaseMouseCapture();
  mMouseOver = -1;
  const int oldW = mWidth, oldH = mHeight;
  SetSize(w, h);
  if (!mPlug || mPlug->ResizeGraphics(ViewWidth(), ViewHeight())) return true;
  // The host's window keeps its size, and so does the picture.
  SetSize(oldW, oldH);
  return false;
}

void IGraphics::SetSize(int w, int h) {
  mWidth = w;
  mHeight = h;
  // The controls and the layout's indices stay; only the pictures change.
  PrepDraw();
  SetAllControlsDirty();
}

IBitmap IGraphics::LoadIBitmap(int id, const char* name, int nStates, bool framesAreHorizontal) {
  LICE_IBitmap* bitmap = s_bitmapCache.Find(id);
  if (!bitmap) {
    bitmap = OSLoadBitmap(id, name);
    // An image the cache cannot hold would be leaked by every caller.
    if (bitmap && !s_bitmapCache.Add(bitmap, id)) {
      delete bitmap;
      bitmap = nullptr;
    }
  }
  if (!bitmap) return IBitmap(nullptr, 0, 0, nStates, framesAreHorizontal);
  if (name) mImageNames[bitmap] = name;
  return IBitmap(bitmap, bitmap->getWidth(), bitmap->getHeight(), nStates, framesAreHorizontal);
}

void IGraphics::AttachBackground(int id, const char* name) {
  IBitmap bitmap = LoadIBitmap(id, name, 1);
  IControl* background = new IBitmapControl(mPlug, 0, 0, -1, bitmap, IChannelBlend::kBlendCopy);
  WDL_MutexLock lock(ControlListMutex());
  if (mControls.Insert(0, background))
    mBackground = background;
  else
    delete background;
}

void IGraphics::AttachPanelBackground(const IColor& color) {
  IControl* background = new IPanelControl(mPlug, IRECT(0, 0, mWidth, mHeight), &color);
  WDL_MutexLock lock(ControlListMutex());
  if (mControls.Insert(0, background))
    mBackground = background;
  else
    delete background;
}

int IGraphics::AttachControl(IControl* control) {
  // Growing the list may move it while the audio thread walks it.
  WDL_MutexLock lock(ControlListMutex());
  if (control && !mControls.Add(control)) delete control;
  return mControls.GetSize() - 1;
}

void IGraphics::AttachKeyCatcher(IControl* control) {
  if (mKeyCatcher == control) return;
  delete mKeyCatcher;
  mKeyCatcher = control;
}

void IGraphics::SetParameterFromPlug(int paramIdx, double value, bool normalized) {
  if (!normalized) {
    const IParam* param = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    if (!param) return;
    value = param->GetNormalized(value);
  }
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* control = mControls.Get(i);
    if (control->ParamIdx() == paramIdx) control->SetValueFromPlug(value);
    const int aux = control->AuxParamIdx(paramIdx);
    if (aux >= 0) control->SetAuxParamValueFromPlug(aux, value);
  }
}

void IGraphics::SetControlFromPlug(int controlIdx, double normalizedValue) {
  if (controlIdx >= 0 && controlIdx < mControls.GetSize())
    mControls.Get(controlIdx)->SetValueFromPlug(normalizedValue);
}

void IGraphics::SetParameterFromGUI(int paramIdx, double normalizedValue) {
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* control = mControls.Get(i);
    if (control->ParamIdx() == paramIdx) control->SetValueFromUserInput(normalizedValue);
  }
}

void IGraphics::ClampControl(int paramIdx, double lo, double hi, bool normalized) {
  if (!normalized) {
    const IParam* param = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    if (!param) return;
    lo = param->GetNormalized(lo);
    hi = param->GetNormalized(hi);
  }
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* control = mControls.Get(i);
    if (control->ParamIdx() == paramIdx) control->Clamp(lo, hi);
  }
}

void IGraphics::HideControl(int paramIdx, bool hide) {
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* control = mControls.Get(i);
    if (control->ParamIdx() == paramIdx) control->Hide(hide);
  }
}

void IGraphics::GrayOutControl(int paramIdx, bool gray) {
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* control = mControls.Get(i);
    if (control->ParamIdx() == paramIdx) control->GrayOut(gray);
  }
}

void IGraphics::SetAllControlsDirty() {
  for (int i = 0; i < mControls.GetSize(); ++i) mControls.Get(i)->SetDirty(false);
}

void IGraphics::SetStrictDrawing(bool strict) {
  mStrict = strict;
  SetAllControlsDirty();
}

void IGraphics::AssignParamNameToolTips() {
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* control = mControls.Get(i);
    if (const IParam* param = control->GetParam()) control->SetTooltip(param->GetNameForHost());
  }
}

void IGraphics::OnGUIIdle() {
  PullMeterValues();
  for (int i = 0; i < mControls.GetSize(); ++i) mControls.Get(i)->OnGUIIdle();
}
