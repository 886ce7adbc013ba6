#include "framework/iparam.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "framework/wdl_string.h"

namespace {
// Truncation toward zero that stays defined for NaN and values beyond int.
int TruncToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(value);
}
}  // namespace

void IParam::InitTexts(const char* name, const char* label, const char* group) {
  CopyCut(mName, name);
  CopyCut(mLabel, label);
  CopyCut(mParamGroup, group);
}

void IParam::InitBool(const char* name, bool defaultVal, const char* label, const char* group) {
  if (mType == kParamNone) mType = kParamBool;
  InitTexts(name, label, group);
  mMin = 0.0;
  mMax = 1.0;
  mStep = 1.0;
  mShape = 1.0;
  mDisplayPrecision = 0;
  mDefault = defaultVal ? 1.0 : 0.0;
  StoreValue(mDefault);
  SetDisplayText(0, "off");
  SetDisplayText(1, "on");
}

void IParam::InitEnum(const char* name, int defaultVal, int nEnums, const char* label, const char* group) {
  if (mType == kParamNone) mType = kParamEnum;
  InitTexts(name, label, group);
  mMin = 0.0;
  mMax = std::max(1.0, static_cast<double>(nEnums) - 1.0);
  mStep = 1.0;
  mShape = 1.0;
  mDisplayPrecision = 0;
  mDefault = defaultVal;
  StoreValue(mDefault);
}

void IParam::InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label,
                     const char* group) {
  if (mType == kParamNone) mType = kParamInt;
  InitTexts(name, label, group);
  mMin = minVal;
  // In double, so that a min of INT_MAX cannot overflow.
  mMax = std::max(static_cast<double>(minVal) + 1.0, static_cast<double>(maxVal));
  mStep = 1.0;
  mShape = 1.0;
  mDisplayPrecision = 0;
  mDefault = defaultVal;
  StoreValue(mDefault);
}

void IParam::InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                        const char* label, const char* group, double shape) {
  if (mType == kParamNone) mType = kParamDouble;
  InitTexts(name, label, group);
  mMin = minVal;
  mMax = std::max(minVal + step, maxVal);
  mStep = step;
  mDisplayPrecision = PrecisionForStep(step);
  mDefault = defaultVal;
  StoreValue(mDefault);
  SetShape(shape);
}

int IParam::PrecisionForStep(double step) {
  int precision = 0;
  while (precision < 6 && std::floor(step) != step) {
    step *= 10.0;
    ++precision;
  }
  return precision;
}

void IParam::SetDisplayText(int value, const char* text) {
  DisplayTextEntry entry;
  entry.mValue = value;
  CopyCut(entry.mText, text);
  mDisplayTexts.Add(entry);
}

void IParam::SetShape(double shape) {
  if (shape != 0.0) mShape = shape;
}

void IParam::Set(double value) {
  if (std::isnan(value)) value = mDefault;
  StoreValue(std::min(std::max(value, mMin), mMax));
}

void IParam::SetNormalized(double normalizedValue) {
  double value = GetNonNormalized(normalizedValue);
  // A zero step (possible after InitDouble on an integer parameter) would
  // turn the value into NaN.
  if (mType != kParamDouble && mStep > 0.0) value = std::floor(value / mStep + 0.5) * mStep;
  StoreValue(std::min(value, mMax));
}

double IParam::GetNormalized() const { return GetNormalized(Value()); }

double IParam::GetNormalized(double nonNormalizedValue) const {
  double value = nonNormalizedValue;
  if (!(value >= mMin)) value = mMin;  // NaN too
  if (value > mMax) value = mMax;
  // An empty range (zero step with min equal to max) has only position 0.
  if (!(mMax > mMin)) return 0.0;
  return std::pow((value - mMin) / (mMax - mMin), 1.0 / mShape);
}

double IParam::GetNonNormalized(double normalizedValue) const {
  return mMin + (mMax - mMin) * std::pow(normalizedValue, mShape);
}

double IParam::DBToAmp() const { return std::exp(Value() * 0.1151292546497); }

int IParam::Int() const { return TruncToInt(Value()); }

void IParam::GetDisplayForHost(double value, bool normalized, char* out, bool withDisplayText,
                               int outSize) const {
  if (!out || outSize <= 0) return;
  if (normalized) value = GetNonNormalized(value);

  if (withDisplayText && GetNDisplayTexts() > 0) {
    const char* text = GetDisplayText(TruncToInt(value));
    if (text[0]) {
      CopyCut(out, outSize, text);
      return;
    }
  }

  if (mNegateDisplay) value = -value;
  if (mDisplayPrecision == 0)
    std::snprintf(out, static_cast<size_t>(outSize), "%d", TruncToInt(value));
  else
    std::snprintf(out, static_cast<size_t>(outSize), "%.*f", mDisplayPrecision, value);
}

const char* IParam::GetLabelForHost() const {
  const char* text = GetDisplayText(Int());
  return text[0] ? "" : mLabel;
}

const char* IParam::GetDisplayText(int value) const {
  const DisplayTextEntry* entries = mDisplayTexts.Get();
  for (int i = 0; i < GetNDisplayTexts(); ++i)
    if (entries[i].mValue == value) return entries[i].mText;
  return "";
}

const char* IParam::GetDisplayTextAtIdx(int idx, int* valueOut) const {
  if (idx < 0 || idx >= GetNDisplayTexts()) return "";
  const DisplayTextEntry& entry = mDisplayTexts.Get()[idx];
  if (valueOut) *valueOut = entry.mValue;
  return entry.mText;
}

bool IParam::MapDisplayText(const char* text, int* valueOut) const {
  if (!text) return false;
  const DisplayTextEntry* entries = mDisplayTexts.Get();
  for (int i = 0; i < GetNDisplayTexts(); ++i) {
    if (std::strcmp(entries[i].mText, text) == 0) {
      if (valueOut) *valueOut = entries[i].mValue;
      return true;
    }
  }
  return false;
}

void IParam::GetBounds(double* lo, double* hi) const {
  if (lo) *lo = mMin;
  if (hi) *hi = mMax;
}
