// Turning a prompt into a menu or a text field, and the pick or the typed
// text into a value.
#include <cstdlib>
#include <cstring>

#include "framework/iparam.h"
#include "graphics/icontrol.h"
#include "graphics/igraphics.h"
#include "graphics/ipopup_menu.h"

void IGraphics::PromptUserInput(IControl* control, IParam* param, IRECT* rect) {
  if (!control || !param || !rect) return;
  const EParamKind kind = param->Type();
  const bool wantsMenu = kind == kParamEnum || (kind == kParamBool && param->GetNDisplayTexts() > 0);
  if (wantsMenu) {
    PromptFromMenu(control, param, rect);
    return;
  }
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

void IGraphics::PromptFromMenu(IControl* control, IParam* param, IRECT* rect) {
  char current[PARAM_DISPLAY_BUFFER_SIZE];
  param->GetDisplayForHost(current, true);
  const int n = param->GetNDisplayTexts();
  IPopupMenu menu;
  // Items stand for the values 0..n-1, looked up by value.
  for (int i = 0; i < n; ++i) {
    const char* text = param->GetDisplayText(i);
    menu.AddItem(text, -1, std::strcmp(text, current) == 0 ? IPopupMenuItem::kChecked : IPopupMenuItem::kNoFlags);
  }
  IPopupMenu* picked = CreateIPopupMenu(&menu, rect);
  if (!picked) return;
  // A menu handed back without a pick in range is a dismissal, not value 0.
  const int chosen = picked->GetChosenItemIdx();
  if (chosen < 0 || chosen >= picked->GetNItems()) return;
  control->SetValueFromUserInput(param->GetNormalized(static_cast<double>(chosen)));
}
