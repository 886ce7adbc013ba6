#include "graphics/icontrol.h"

#include <cstring>

#include "framework/iparam.h"
#include "framework/iplug_base.h"
#include "graphics/controls/itext_control.h"
#include "graphics/igraphics.h"

namespace {
// Each part of the value display text is cut to this many characters.
constexpr int kDisplayPartLen = 32;
}  // namespace

IControl::IControl(IPlugBase* plug, IRECT rect, int paramIdx, IChannelBlend::EBlendMethod blendMethod)
    : mPlug(plug), mRECT(rect), mTargetRECT(rect), mParamIdx(paramIdx), mBlend(blendMethod, 1.0f) {}

IControl::~IControl() = default;

IGraphics* IControl::GetGUI() const { return mPlug ? mPlug->GetGUI() : nullptr; }

IParam* IControl::GetParam() const { return mPlug ? mPlug->GetParam(mParamIdx) : nullptr; }

void IControl::OnMouseDown(int, int, IMouseMod* mod) {
  if (mod && mod->R) PromptUserInput();
}

void IControl::OnMouseDblClick(int, int, IMouseMod*) {
  const double def = GetDefaultValue();
  if (def >= 0.0) {
    SetValue(def);
    SetDirty(true);
  }
}

void IControl::SetValueFromPlug(double value) {
  if (GetDefaultValue() < 0.0) {
    SetDefaultValue(value);
    SetValue(value);
  }
  if (value == GetValue()) return;
  SetValue(value);
  MarkChanged(false);
}

void IControl::SetValueFromUserInput(double value) {
  if (value == GetValue()) return;
  SetValue(value);
  MarkChanged(true);
}

void IControl::Hide(bool hide) {
  mHide = hide;
  mRedraw.store(true, std::memory_order_release);
  SetDirty(false);
}

void IControl::GrayOut(bool gray) {
  mGrayed = gray;
  mBlend.mWeight = gray ? 0.25f : 1.0f;
  SetDirty(false);
}

bool IControl::IsHit(int x, int y) { return !mTargetRECT.Empty() && mTargetRECT.Contains(x, y); }

void IControl::MarkChanged(bool pushParamToPlug) {
  // Redraw before dirty: an editor that sees dirty cleared by its own
  // SetClean then still finds redraw set, so no change is lost.
  mRedraw.store(true, std::memory_order_release);
  SetDirty(pushParamToPlug);
}

void IControl::SetDirty(bool pushParamToPlug) {
  const double v = GetValue();
  const double lo = GetClampLo();
  const double hi = GetClampHi();
  const double clamped = v < lo ? lo : (v < hi ? v : hi);
  if (clamped != v) SetValue(clamped);
  mDirty.store(true, std::memory_order_release);

  if (!pushParamToPlug || !mPlug || mParamIdx < 0) return;
  mPlug->SetParameterFromGUI(mParamIdx, clamped);
  UpdateDisplayControls();
}

void IControl::UpdateDisplayControls() {
  const IParam* param = GetParam();
  if (!param) return;
  if (mValDisplayControl) {
    char display[PARAM_DISPLAY_BUFFER_SIZE];
    param->GetDisplayForHost(display, true);
    WDL_String text;
    text.Set(display, kDisplayPartLen);
    text.Append(" ");
    text.Append(param->GetLabelForHost(), kDisplayPartLen);
    mValDisplayControl->SetTextFromPlug(text.Get());
  }
  if (mNameDisplayControl) mNameDisplayControl->SetTextFromPlug(param->GetNameForHost());
}

void IControl::SetClean() {
  // Exchanges, not plain stores: a writer's release of dirty or redraw
  // between these steps must survive (see the class comment).
  mDirty.exchange(false, std::memory_order_acquire);
  if (mRedraw.exchange(false, std::memory_order_acquire)) mDirty.store(true, std::memory_order_relaxed);
}

bool IControl::IsDirty() { return mDirty.load(std::memory_order_acquire); }

void IControl::SetAuxParamValueFromPlug(int auxParamIdx, double value) {
  AuxParam* aux = GetAuxParam(auxParamIdx);
  if (!aux || aux->mValue.load(std::memory_order_relaxed) == value) return;
  aux->mValue.store(value, std::memory_order_relaxed);
  MarkChanged(false);
}

void IControl::Clamp(double lo, double hi) {
  mClampLo.store(lo, std::memory_order_relaxed);
  mClampHi.store(hi, std::memory_order_relaxed);
}

void IControl::PromptUserInput() {
  if (mParamIdx < 0 || mDisablePrompt) return;
  IParam* param = GetParam();
  IGraphics* gui = GetGUI();
  if (!param || !gui) return;
  if (param->GetNDisplayTexts() > 0) {
    gui->PromptUserInput(this, param, &mRECT);
  } else {
    const int cx = static_cast<int>(mRECT.MW());
    const int cy = static_cast<int>(mRECT.MH());
    IRECT textRect(cx - 20, cy - 8, cx + 20, cy + 8);
    gui->PromptUserInput(this, param, &textRect);
  }
  mRedraw.store(true, std::memory_order_release);
}

void IControl::PromptUserInput(IRECT* textRect) {
  if (mParamIdx < 0 || mDisablePrompt) return;
  IGraphics* gui = GetGUI();
  if (!gui) return;
  gui->PromptUserInput(this, GetParam(), textRect);
  mRedraw.store(true, std::memory_order_release);
}

void IControl::AddAuxParam(int paramIdx) { mAuxParams.emplace_back(paramIdx); }

int IControl::AuxParamIdx(int paramIdx) const {
  for (int i = 0; i < NAuxParams(); ++i)
    if (mAuxParams[static_cast<size_t>(i)].mParamIdx == paramIdx) return i;
  return -1;
}

IControl::AuxParam* IControl::GetAuxParam(int idx) {
  return idx >= 0 && idx < NAuxParams() ? &mAuxParams[static_cast<size_t>(idx)] : nullptr;
}

void IControl::SetAllAuxParamsFromGUI() {
  if (!mPlug) return;
  for (const AuxParam& aux : mAuxParams)
    mPlug->SetParameterFromGUI(aux.mParamIdx, aux.mValue.load(std::memory_order_relaxed));
}
