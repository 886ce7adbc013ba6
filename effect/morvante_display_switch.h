// The "DISPLAY" switch: a small drawn button in the panel's free left strip
// that opens and closes the display under the panel. It drives no
// parameter: what it does is the editor's business, not the plug-in's state.
#pragma once

#include <functional>

#include "graphics/icontrol.h"

class MorvanteDisplaySwitch : public IControl {
public:
  // onPress runs at every press (a double-click being two presses).
  MorvanteDisplaySwitch(IPlugBase* plug, IRECT rect, std::function<void()> onPress);
  ~MorvanteDisplaySwitch() override;

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics* graphics) override;

  bool IsLit() const { return GetValue() > 0.5; }
  void SetLit(bool lit);

private:
  std::function<void()> mOnPress;
};
