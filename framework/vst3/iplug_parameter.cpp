#include "framework/vst3/iplug_parameter.h"

#include <cmath>
#include <cstdlib>

#include "framework/iparam.h"
#include "framework/vst3/vst3_strings.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

IPlugParameter::IPlugParameter(IParam* param, ParamID tag, UnitID unit, const char* hostTitle, bool hidden)
    : mParam(param) {
  info.id = tag;
  Utf8ToUtf16(hostTitle ? hostTitle : param->GetNameForHost(), info.title, 128);
  info.shortTitle[0] = 0;
  Utf8ToUtf16(param->GetLabelForHost(), info.units, 128);
  info.stepCount = param->Type() == kParamDouble ? 0 : static_cast<int32>(param->Max() - param->Min());
  // Not clamped: a default outside the range is reported as it is. An empty
  // range has only position 0; dividing by it would hand the host a NaN.
  const double range = param->Max() - param->Min();
  info.defaultNormalizedValue =
      range > 0.0 ? std::pow((param->Default() - param->Min()) / range, 1.0 / param->Shape()) : 0.0;
  info.unitId = unit;
  if (hidden)
    info.flags = ParameterInfo::kIsHidden | ParameterInfo::kIsReadOnly;
  else
    info.flags = param->GetCanAutomate() ? ParameterInfo::kCanAutomate : 0;
  valueNormalized = info.defaultNormalizedValue;
  precision = param->GetDisplayPrecision();
}

void IPlugParameter::toString(ParamValue valueNormalized, String128 string) const {
  char display[PARAM_DISPLAY_BUFFER_SIZE];
  mParam->GetDisplayForHost(valueNormalized, true, display, true);
  Utf8ToUtf16(display, string, 128);
}

bool IPlugParameter::fromString(const TChar* string, ParamValue& valueNormalized) const {
  char text[128 * 3 + 1];
  Utf16ToUtf8(string, text, sizeof text);
  valueNormalized = mParam->GetNormalized(std::atof(text));
  return true;
}

ParamValue IPlugParameter::toPlain(ParamValue valueNormalized) const {
  return mParam->Min() + (mParam->Max() - mParam->Min()) * std::pow(valueNormalized, mParam->Shape());
}

ParamValue IPlugParameter::toNormalized(ParamValue plainValue) const { return mParam->GetNormalized(plainValue); }
