// One automatable plug-in parameter: range, step, curve, value and texts.
#pragma once

#include <atomic>

#include "framework/wdl_heapbuf.h"

// Size of the buffers the framework formats parameter displays into; every
// caller of GetDisplayForHost sizes its buffer with it unless it passes its
// own size.
constexpr int PARAM_DISPLAY_BUFFER_SIZE = 128;
// Capacity of the name, label, group and display-text fields, NUL included.
constexpr int PARAM_TEXT_SIZE = 32;

enum EParamKind {
  kParamNone = 0,
  kParamBool = 1,
  kParamInt = 2,
  kParamEnum = 3,
  kParamDouble = 4,
};

// IParam does no locking and sends no notifications: whoever changes a value
// tells the host and the editor. The value alone is atomic because the host's
// controller thread writes it while the audio thread reads it.
class IParam {
public:
  struct DisplayTextEntry {
    int mValue;
    char mText[PARAM_TEXT_SIZE];
  };

  IParam() = default;
  IParam(const IParam&) = delete;
  IParam& operator=(const IParam&) = delete;

  // The first Init call fixes the kind; later ones reset range and value only.
  // Texts longer than 31 characters are cut.
  void InitBool(const char* name, bool defaultVal, const char* label = "", const char* group = "");
  void InitEnum(const char* name, int defaultVal, int nEnums, const char* label = "", const char* group = "");
  void InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label = "",
               const char* group = "");
  void InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                  const char* label = "", const char* group = "", double shape = 1.0);

  void SetDisplayText(int value, const char* text);
  // A shape of exactly 0 is ignored.
  void SetShape(double shape);

  // Sets the value in own units, clamped into min..max and not rounded. NaN
  // gives the default.
  void Set(double value);
  // Non-double kinds round to multiples of the step counted from zero; only
  // the upper bound is enforced.
  void SetNormalized(double normalizedValue);
  double GetNormalized() const;
  double GetNormalized(double nonNormalizedValue) const;
  double GetNonNormalized(double normalizedValue) const;
  // The value read as decibels, as a linear gain.
  double DBToAmp() const;

  // Writes the text shown for a value into out, which holds outSize bytes
  // (the result is cut to fit).
  void GetDisplayForHost(double value, bool normalized, char* out, bool withDisplayText = true,
                         int outSize = PARAM_DISPLAY_BUFFER_SIZE) const;
  void GetDisplayForHost(char* out, bool withDisplayText = true, int outSize = PARAM_DISPLAY_BUFFER_SIZE) const {
    GetDisplayForHost(Value(), false, out, withDisplayText, outSize);
  }

  const char* GetNameForHost() const { return mName; }
  // Empty when the current value shows a display text instead of a number.
  const char* GetLabelForHost() const;
  const char* GetParamGroupForHost() const { return mParamGroup; }

  // "" when no entry has the value.
  const char* GetDisplayText(int value) const;
  int GetNDisplayTexts() const { return mDisplayTexts.GetSize(); }
  // "" for an index outside the list (valueOut is then untouched).
  const char* GetDisplayTextAtIdx(int idx, int* valueOut = nullptr) const;
  // Exact, case-sensitive match on the whole text; valueOut is untouched on
  // failure.
  bool MapDisplayText(const char* text, int* valueOut) const;

  void GetBounds(double* lo, double* hi) const;

  EParamKind Type() const { return mType; }
  double Value() const { return mValue.load(std::memory_order_relaxed); }
  bool Bool() const { return Value() >= 0.5; }
  int Int() const;
  double Min() const { return mMin; }
  double Max() const { return mMax; }
  double Default() const { return mDefault; }
  double Step() const { return mStep; }
  double Shape() const { return mShape; }
  int GetDisplayPrecision() const { return mDisplayPrecision; }
  void SetDisplayPrecision(int precision) { mDisplayPrecision = precision; }
  bool GetNegateDisplay() const { return mNegateDisplay; }
  void SetNegateDisplay(bool negate) { mNegateDisplay = negate; }
  bool GetCanAutomate() const { return mCanAutomate; }
  void SetCanAutomate(bool canAutomate) { mCanAutomate = canAutomate; }

  // Decimals shown for a step: how often it is multiplied by 10 until it is
  // integral, at most 6.
  static int PrecisionForStep(double step);

private:
  void InitTexts(const char* name, const char* label, const char* group);
  void StoreValue(double value) { mValue.store(value, std::memory_order_relaxed); }

  EParamKind mType = kParamNone;
  std::atomic<double> mValue{0.0};
  double mMin = 0.0;
  double mMax = 1.0;
  double mStep = 1.0;
  double mShape = 1.0;
  double mDefault = 0.0;
  int mDisplayPrecision = 0;
  char mName[PARAM_TEXT_SIZE] = {};
  char mLabel[PARAM_TEXT_SIZE] = {};
  char mParamGroup[PARAM_TEXT_SIZE] = {};
  bool mNegateDisplay = false;
  bool mCanAutomate = true;
  WDL_TypedBuf<DisplayTextEntry> mDisplayTexts{4096};
};
