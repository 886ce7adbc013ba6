#include "graphics/controls/ipanel_control.h"

#include "graphics/igraphics.h"

IPanelControl::IPanelControl(IPlugBase* plug, IRECT rect, const IColor* color)
    : IControl(plug, rect), mColor(color ? *color : COLOR_BLACK) {}

IPanelControl::~IPanelControl() = default;

bool IPanelControl::Draw(IGraphics* graphics) { return graphics->FillIRect(&mColor, &mRECT, &mBlend); }
