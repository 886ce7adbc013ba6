#include "effect/morvante_readout.h"

MorvanteReadout::MorvanteReadout(IPlugBase* plug, IRECT rect, const IText* style)
    : ITextControl(plug, rect, style, "") {}

MorvanteReadout::~MorvanteReadout() = default;

IRECT MorvanteReadout::GetPaintRECT() {
  const IRECT& rect = *GetRECT();
  return rect.Union(IRECT(rect.L, rect.T, rect.L + kTextWidth, rect.T + TextHeight(*GetText())));
}
