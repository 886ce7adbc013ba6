// Turning a prompt into a text field, and typed text into a value.
#include <cstdlib>

#include "framework/iparam.h"
#include "graphics/icontrol.h"
#include "graphics/igraphics.h"

void IGraphics::PromptUserInput(IControl* control, IParam* param, IRECT* rect) {
  if (!control || !param || !rect) return;
  const EParamKind kind = param->Type();
  const bool wantsMenu = kind == kParamEnum || (kind == kParamBool && param->GetNDisplayTexts() > 0);
  // Menus are built with IPopupMenu; until it exists they are not offered.
  if (wantsMenu) return;
  char text[PARAM_DISPLAY_BUFFER_SIZE];
  param->GetDisplayForHost(text, false);
  CreateTextEntry(control, control->GetText(), rect, text, param);
}

void IGraphics::SetFromStringAfterPrompt(IControl* control, IParam* param, const char* txt) {
  if (!control || !param) return;
  double value = 0.0;
  const EParamKind kind = param->Type();
  if (kind == kParamBool || kind == kParamEnum) {
    int mapped = 0;
    param->MapDisplayText(txt ? txt : "", &mapped);
    value = mapped;
  } else {
    value = txt ? std::atof(txt) : 0.0;
    if (param->GetNegateDisplay()) value = -value;
  }
  control->SetValueFromUserInput(param->GetNormalized(value));
}
