#include "graphics/controls/control_support.h"

#include "graphics/icontrol.h"

void PickAreaValue(IControl* control, const IRECT* areas, int n, int x, int y, IMouseMod* mod) {
  if (mod && mod->R) {
    control->PromptUserInput();
    return;
  }
  for (int j = 0; j < n; ++j) {
    if (!areas[j].Contains(x, y)) continue;
    control->SetValue(n >= 2 ? static_cast<double>(j) / static_cast<double>(n - 1) : 0.0);
    control->SetDirty(true);
    return;
  }
}
