// A readout of its parameter's display text that prompts for a new value
// when pressed.
#pragma once

#include "graphics/controls/itext_control.h"

class ICaptionControl : public ITextControl {
public:
  // showLabel: the label follows the value after a space.
  ICaptionControl(IPlugBase* plug, IRECT rect, int paramIdx, const IText* text, bool showLabel = true);
  ~ICaptionControl() override;

  // Either button, and a double-click, prompt (once prompts are enabled).
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override;
  // Shows the parameter as it is now; without a parameter, the stored text.
  bool Draw(IGraphics* graphics) override;

private:
  bool mShowParamLabel;
};
