#include "graphics/controls/itext_control.h"

#include <cstring>

#include "graphics/igraphics.h"

ITextControl::ITextControl(IPlugBase* plug, IRECT rect, const IText* text, const char* str)
    : IControl(plug, rect), mStr(str) {
  if (text) mText = *text;
}

ITextControl::~ITextControl() = default;

void ITextControl::SetTextFromPlug(const char* str) {
  if (std::strcmp(mStr.Get(), str ? str : "") == 0) return;
  SetDirty(false);
  mStr.Set(str);
}

bool ITextControl::Draw(IGraphics* graphics) {
  if (mStr.GetLength() > 0) graphics->DrawIText(&mText, mStr.Get(), &mRECT);
  return true;
}
