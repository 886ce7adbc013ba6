// Block transfers between bitmaps at one-to-one scale.
#pragma once

#include "lice/lice_bitmap.h"

// Copies srcrect of src (all of it when null) to (dstx, dsty) in dest,
// combining by the mode word at the opacity alpha.
void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, const RECT* srcrect, float alpha, int mode);
void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw, int srch,
               float alpha, int mode);

// Resizes dest to the size of src and copies all of it.
void LICE_Copy(LICE_IBitmap* dest, LICE_IBitmap* src);

// Writes rows of source pixels into a destination with the rules of LICE_Blit:
// channel copies, the whole-word forms of the plain copy at alpha 1.0 and 0.5,
// otherwise the combine rule at alpha's weight. Scaled and rotated blits
// combine their resampled rows through it.
class LICE_BlitRowCombiner {
public:
  LICE_BlitRowCombiner(float alpha, int mode);
  bool DrawsNothing() const { return m_kind == Kind::Nothing; }
  void Apply(LICE_pixel* dest, const LICE_pixel* src, int n) const;

private:
  enum class Kind { Nothing, Move, HalfMix, Combine };
  Kind m_kind;
  int m_weight;
  int m_mode;
};
