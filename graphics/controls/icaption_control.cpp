#include "graphics/controls/icaption_control.h"

#include "framework/iparam.h"

ICaptionControl::ICaptionControl(IPlugBase* plug, IRECT rect, int paramIdx, const IText* text, bool showLabel)
    : ITextControl(plug, rect, text), mShowParamLabel(showLabel) {
  mParamIdx = paramIdx;
}

ICaptionControl::~ICaptionControl() = default;

void ICaptionControl::OnMouseDown(int, int, IMouseMod*) { PromptUserInput(); }

void ICaptionControl::OnMouseDblClick(int, int, IMouseMod*) { PromptUserInput(); }

bool ICaptionControl::Draw(IGraphics* graphics) {
  if (const IParam* param = GetParam()) {
    char display[PARAM_DISPLAY_BUFFER_SIZE];
    param->GetDisplayForHost(display, true);
    mStr.Set(display);
    if (mShowParamLabel) {
      mStr.Append(" ");
      mStr.Append(param->GetLabelForHost());
    }
  }
  return ITextControl::Draw(graphics);
}
