#include "graphics/linux/x11_text_field.h"

#include <X11/keysym.h>

#include "graphics/igraphics.h"
#include "graphics/text_entry_rules.h"

X11TextField::X11TextField(IControl* control, IParam* param, const IText& style, const IRECT& rect, const char* text)
    : mControl(control), mParam(param), mStyle(style), mRect(rect), mText(text ? text : "") {
  mStyle.mSize = TextEntryFontSize(style);
  mStyle.mColor = style.mTextEntryFGColor;
  mStyle.mOrientation = 0;
  // A style of another size needs a font of its own.
  mStyle.mCached = nullptr;
}

void X11TextField::Key(unsigned long keysym, const char* chars, int nChars) {
  switch (keysym) {
    case XK_Return:
    case XK_KP_Enter: mOutcome = Outcome::kApply; return;
    case XK_Escape: mOutcome = Outcome::kCancel; return;
    case XK_BackSpace:
      if (!mText.empty()) {
        // Whole UTF-8 characters go.
        size_t end = mText.size() - 1;
        while (end > 0 && (static_cast<unsigned char>(mText[end]) & 0xC0) == 0x80) --end;
        TryEdit(mText.substr(0, end));
      }
      return;
    default: break;
  }
  if (!chars || nChars <= 0) return;
  // Control characters (Tab, Delete, ...) are not text.
  for (int i = 0; i < nChars; ++i)
    if (static_cast<unsigned char>(chars[i]) < 0x20 || chars[i] == 0x7F) return;
  TryEdit(mText + std::string(chars, static_cast<size_t>(nChars)));
}

void X11TextField::TryEdit(std::string edited) {
  if (TextEntryAccepts(mControl, mParam, edited.c_str())) mText = std::move(edited);
}

X11TextField::Outcome X11TextField::TakeOutcome() {
  const Outcome outcome = mOutcome;
  mOutcome = Outcome::kEditing;
  return outcome;
}

void X11TextField::Draw(IGraphics* graphics) {
  IRECT r = mRect;
  graphics->FillIRect(&mStyle.mTextEntryBGColor, &r);
  IRECT textRect(r.L + 2, r.T, r.R - 2, r.B);
  if (!mText.empty()) graphics->DrawIText(&mStyle, mText.c_str(), &textRect);
  // The caret after the text.
  IRECT measured = textRect;
  int caretX = textRect.L;
  if (!mText.empty() && graphics->DrawIText(&mStyle, mText.c_str(), &measured, true)) {
    const int width = measured.W();
    switch (mStyle.mAlign) {
      case IText::kAlignNear: caretX = textRect.L + width; break;
      case IText::kAlignCenter: caretX = textRect.L + (textRect.W() + width) / 2; break;
      case IText::kAlignFar: caretX = textRect.R; break;
    }
  } else if (mStyle.mAlign == IText::kAlignCenter) {
    caretX = textRect.L + textRect.W() / 2;
  } else if (mStyle.mAlign == IText::kAlignFar) {
    caretX = textRect.R;
  }
  if (caretX >= r.R) caretX = r.R - 1;
  graphics->DrawVerticalLine(&mStyle.mTextEntryFGColor, caretX, r.T + 2, r.B - 3);
}
