// The editor's two readouts of the parameter being edited. Their rectangles
// are small (the value readout's is zero pixels high) and their text runs on
// past them to the right and below, so each one answers for a fixed text
// area that ends before the first meter: whatever redraws or presents a
// readout then takes its whole text, and the background repainted under it
// clears a longer text it replaces.
#pragma once

#include "graphics/controls/itext_control.h"

class MorvanteReadout : public ITextControl {
public:
  // Room for one line of text: the width every name and value text fits in,
  // and the height of a line of the readout style with its descenders.
  static constexpr int kTextWidth = 130;
  static int TextHeight(const IText& style) { return style.mSize + (style.mSize + 1) / 2; }

  MorvanteReadout(IPlugBase* plug, IRECT rect, const IText* style);
  ~MorvanteReadout() override;

  IRECT GetPaintRECT() override;
};
