// The one-line text field for typing a value, drawn into the editor over
// the control that asked for it. Edits that the field's rules refuse leave
// the text as it was; Return applies, Escape cancels.
#pragma once

#include <string>

#include "graphics/igraphics_types.h"

class IControl;
class IGraphics;
class IParam;

class X11TextField {
public:
  enum class Outcome { kEditing, kApply, kCancel };

  X11TextField(IControl* control, IParam* param, const IText& style, const IRECT& rect, const char* text);

  // One key press: its key symbol and the characters it types (may be none).
  void Key(unsigned long keysym, const char* chars, int nChars);
  // What the last keys asked for; reading it resets it to editing.
  Outcome TakeOutcome();
  // Draws the field into the engine's draw bitmap.
  void Draw(IGraphics* graphics);

  bool Contains(int x, int y) const { return x >= mRect.L && x < mRect.R && y >= mRect.T && y < mRect.B; }
  const IRECT& Rect() const { return mRect; }
  const std::string& Text() const { return mText; }
  IControl* Control() const { return mControl; }
  IParam* Param() const { return mParam; }

private:
  // Replaces the text when the rules allow the result.
  void TryEdit(std::string edited);

  IControl* mControl;
  IParam* mParam;
  IText mStyle;
  IRECT mRect;
  std::string mText;
  Outcome mOutcome = Outcome::kEditing;
};
