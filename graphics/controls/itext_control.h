// A line of text in a style: the readouts that show a parameter's name and
// value.
#pragma once

#include "framework/wdl_string.h"
#include "graphics/icontrol.h"

class ITextControl : public IControl {
public:
  ITextControl(IPlugBase* plug, IRECT rect, const IText* text, const char* str = "");
  ~ITextControl() override;

  // An equal text changes nothing, so nothing is redrawn.
  void SetTextFromPlug(const char* str);
  void ClearTextFromPlug() { SetTextFromPlug(""); }
  const char* GetTextForPlug() const { return mStr.Get(); }

  bool Draw(IGraphics* graphics) override;

protected:
  WDL_String mStr;
};
