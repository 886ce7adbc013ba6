// The host's view of one framework parameter: texts and conversions read the
// bound IParam, so they always follow its current range and shape.
#pragma once

#include "public.sdk/source/vst/vstparameters.h"

class IParam;

class IPlugParameter : public Steinberg::Vst::Parameter {
public:
  // param is borrowed: the plug-in base owns it and outlives the container.
  // hostTitle, when given, replaces the parameter's own (empty) name in the
  // host's lists; a hidden parameter is neither listed nor automated, and
  // the host does not write it.
  IPlugParameter(IParam* param, Steinberg::Vst::ParamID tag, Steinberg::Vst::UnitID unit,
                 const char* hostTitle = nullptr, bool hidden = false);
  ~IPlugParameter() override = default;

  OBJ_METHODS(IPlugParameter, Parameter)

  void toString(Steinberg::Vst::ParamValue valueNormalized, Steinberg::Vst::String128 string) const override;
  // Reads the text as a number (non-numbers read as 0); display texts such as
  // "on" are not mapped back.
  bool fromString(const Steinberg::Vst::TChar* string, Steinberg::Vst::ParamValue& valueNormalized) const override;
  Steinberg::Vst::ParamValue toPlain(Steinberg::Vst::ParamValue valueNormalized) const override;
  Steinberg::Vst::ParamValue toNormalized(Steinberg::Vst::ParamValue plainValue) const override;

private:
  IParam* mParam;
};
