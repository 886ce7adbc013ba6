// Base of every editor control: a rectangle with a normalised value, maybe
// bound to a plug-in parameter, that the engine draws and sends input to.
#pragma once

#include <atomic>
#include <deque>

#include "framework/wdl_heapbuf.h"
#include "framework/wdl_string.h"
#include "graphics/igraphics_types.h"

class IGraphics;
class IParam;
class IPlugBase;
class ITextControl;

// Characters a text field opened for a control accepts unless it says
// otherwise.
constexpr int DEFAULT_TEXT_ENTRY_LEN = 7;

// Value, default, clamp range, the auxiliary parameters' values and the dirty
// and redraw flags may be written by the audio thread (SetValueFromPlug,
// SetAuxParamValueFromPlug) while the editor thread reads them, so they are
// atomics. A writer stores the value, then redraw, then dirty with
// release; the editor acquires dirty before it reads the rest. Everything else
// belongs to the editor thread.
class IControl {
public:
  struct AuxParam {
    explicit AuxParam(int paramIdx) : mParamIdx(paramIdx) {}
    std::atomic<double> mValue{0.0};
    const int mParamIdx;
  };

  IControl(IPlugBase* plug, IRECT rect, int paramIdx = -1,
           IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendAlpha);
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  // ---- Virtual operations ----
  virtual ~IControl();
  // The secondary button prompts for a value.
  virtual void OnMouseDown(int x, int y, IMouseMod* mod);
  virtual void OnMouseUp(int, int, IMouseMod*) {}
  virtual void OnMouseDrag(int, int, int, int, IMouseMod*) {}
  // Restores the default value and sends it.
  virtual void OnMouseDblClick(int x, int y, IMouseMod* mod);
  virtual void OnMouseWheel(int, int, IMouseMod*, int) {}
  virtual bool OnKeyDown(int, int, int) { return false; }
  virtual void OnMouseOver(int, int, IMouseMod*) {}
  virtual void OnMouseOut() {}
  virtual bool Draw(IGraphics* graphics) = 0;
  // The first value from the plug-in also becomes the default.
  virtual void SetValueFromPlug(double value);
  virtual void SetValueFromUserInput(double value);
  virtual void TextFromTextEntry(const char*) {}
  virtual void Hide(bool hide);
  virtual void GrayOut(bool gray);
  virtual bool IsHit(int x, int y);
  // Clamps the value and marks the control dirty; with pushParamToPlug also
  // sends the value to the plug-in and updates the display controls.
  virtual void SetDirty(bool pushParamToPlug = true);
  // Called after drawing: stays dirty for one more pass when a redraw was
  // asked for since the last one.
  virtual void SetClean();
  virtual bool IsDirty();
  virtual void OnGUIIdle() {}
  virtual void SetAuxParamValueFromPlug(int auxParamIdx, double value);
  // Everything Draw may paint. The engine redraws and reports this area for
  // a dirty control, so a control that paints past its rectangle (text that
  // runs on below or beside it) is repainted whole and leaves nothing behind.
  virtual IRECT GetPaintRECT() { return mRECT; }

  // ---- Prompts ----
  void PromptUserInput();
  void PromptUserInput(IRECT* textRect);

  // ---- Auxiliary parameters ----
  void AddAuxParam(int paramIdx);
  int AuxParamIdx(int paramIdx) const;
  // Null outside the list.
  AuxParam* GetAuxParam(int idx);
  int NAuxParams() const { return static_cast<int>(mAuxParams.size()); }
  void SetAllAuxParamsFromGUI();

  // ---- Accessors ----
  IPlugBase* GetPlug() const { return mPlug; }
  // The plug-in's engine, or null.
  IGraphics* GetGUI() const;
  // The bound parameter, or null.
  IParam* GetParam() const;
  int ParamIdx() const { return mParamIdx; }
  void SetParamIdx(int paramIdx) { mParamIdx = paramIdx; }

  IRECT* GetRECT() { return &mRECT; }
  IRECT* GetTargetRECT() { return &mTargetRECT; }
  void SetTargetArea(IRECT rect) { mTargetRECT = rect; }

  double GetValue() const { return mValue.load(std::memory_order_relaxed); }
  // Stores the value only; callers mark the control themselves.
  void SetValue(double value) { mValue.store(value, std::memory_order_relaxed); }
  double GetDefaultValue() const { return mDefaultValue.load(std::memory_order_relaxed); }
  void SetDefaultValue(double value) { mDefaultValue.store(value, std::memory_order_relaxed); }
  // Bounds applied by SetDirty.
  void Clamp(double lo, double hi);
  double GetClampLo() const { return mClampLo.load(std::memory_order_relaxed); }
  double GetClampHi() const { return mClampHi.load(std::memory_order_relaxed); }

  bool IsHidden() const { return mHide; }
  bool IsGrayed() const { return mGrayed; }
  bool NeedsRedraw() const { return mRedraw.load(std::memory_order_relaxed); }
  bool GetMOWhenGrayed() const { return mMOWhenGrayed; }
  void SetMOWhenGrayed(bool enable) { mMOWhenGrayed = enable; }
  bool GetDblAsSingleClick() const { return mDblAsSingleClick; }
  void SetDblAsSingleClick(bool enable) { mDblAsSingleClick = enable; }
  bool IsPromptDisabled() const { return mDisablePrompt; }
  void DisablePrompt(bool disable) { mDisablePrompt = disable; }

  IChannelBlend* GetBlend() { return &mBlend; }
  IText* GetText() { return &mText; }
  void SetText(const IText& text) { mText = text; }
  int GetTextEntryLength() const { return mTextEntryLength; }
  void SetTextEntryLength(int len) { mTextEntryLength = len; }

  ITextControl* GetValDisplayControl() const { return mValDisplayControl; }
  void SetValDisplayControl(ITextControl* control) { mValDisplayControl = control; }
  ITextControl* GetNameDisplayControl() const { return mNameDisplayControl; }
  void SetNameDisplayControl(ITextControl* control) { mNameDisplayControl = control; }

  const char* GetTooltip() const { return mTooltip.Get(); }
  void SetTooltip(const char* tooltip) { mTooltip.Set(tooltip); }

protected:
  // Marks a change for two drawing passes, in the order the editor relies on.
  void MarkChanged(bool pushParamToPlug);
  void UpdateDisplayControls();

  int mTextEntryLength = DEFAULT_TEXT_ENTRY_LEN;
  IText mText;
  IPlugBase* mPlug;
  IRECT mRECT;
  IRECT mTargetRECT;
  int mParamIdx;
  // A deque never moves its elements, which hold atomics.
  std::deque<AuxParam> mAuxParams;
  std::atomic<double> mValue{0.0};
  std::atomic<double> mDefaultValue{-1.0};
  std::atomic<double> mClampLo{0.0};
  std::atomic<double> mClampHi{1.0};
  std::atomic<bool> mDirty{true};
  bool mHide = false;
  bool mGrayed = false;
  std::atomic<bool> mRedraw{false};
  bool mDisablePrompt = true;
  bool mDblAsSingleClick = false;
  bool mMOWhenGrayed = false;
  IChannelBlend mBlend;
  ITextControl* mValDisplayControl = nullptr;
  ITextControl* mNameDisplayControl = nullptr;
  WDL_String mTooltip;
};
