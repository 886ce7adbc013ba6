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

// The pixels and sizes of a blit's destination and source bitmaps.
struct LICE_BlitSurfaces {
  LICE_pixel* destBits = nullptr;
  const LICE_pixel* srcBits = nullptr;
  int destW = 0, destH = 0, destSpan = 0;
  int srcW = 0, srcH = 0, srcSpan = 0;
};

// Reads both bitmaps' pixels and sizes into *out; false when either has no
// pixels, no area or rows shorter than its width, and nothing can be drawn.
bool LICE_ReadBlitSurfaces(LICE_IBitmap* dest, LICE_IBitmap* src, LICE_BlitSurfaces* out);

// Memory a blit draws through, freed with it.
class LICE_BlitScratch {
public:
  LICE_BlitScratch() = default;
  LICE_BlitScratch(const LICE_BlitScratch&) = delete;
  LICE_BlitScratch& operator=(const LICE_BlitScratch&) = delete;
  ~LICE_BlitScratch();

  // A blit that reads the bitmap it writes (readsDest) reads a packed copy of
  // the w x h source pixels at *bits instead, so that every read sees the
  // source as it was: *bits and *span are pointed at the copy. False when
  // the copy cannot be made.
  bool KeepSource(bool readsDest, const LICE_pixel** bits, int* span, int w, int h);
  // A buffer of n pixels for resampled rows; null when out of memory.
  LICE_pixel* RowBuffer(int n);

private:
  LICE_pixel* m_source = nullptr;
  LICE_pixel* m_row = nullptr;
};
