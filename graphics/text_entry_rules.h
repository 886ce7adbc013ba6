// What a text field opened for a prompt accepts and how it looks: the rules
// every platform's field follows, kept here so they are the same everywhere.
#pragma once

#include "graphics/igraphics_types.h"

class IControl;
class IParam;

// The characters a field for this parameter accepts; null when there is no
// parameter (a control's own text entry: anything goes). Kinds without a
// number form accept nothing.
const char* TextEntryAcceptedChars(const IParam* param);

// Whether an edit may leave text in the field: only accepted characters and,
// with a parameter, at most the control's text-entry length.
bool TextEntryAccepts(const IControl* control, const IParam* param, const char* text);

// The field's font size: 0.9 of the style's, truncated.
int TextEntryFontSize(const IText& text);
