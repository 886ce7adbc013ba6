// A rectangle filled with one colour.
#pragma once

#include "graphics/icontrol.h"

class IPanelControl : public IControl {
public:
  IPanelControl(IPlugBase* plug, IRECT rect, const IColor* color);
  ~IPanelControl() override;

  bool Draw(IGraphics* graphics) override;

protected:
  IColor mColor;
};
