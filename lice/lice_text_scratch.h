// The scratch system bitmaps shared by every cached font: one for rendering
// glyphs, one for native text into bitmaps that have no drawing context.
#pragma once

#include "lice/lice_sysbitmap.h"

#include <mutex>

class LICE_TextScratch {
public:
  // Counted by each cached font; the bitmaps go with the last one.
  static void AddUser();
  static void RemoveUser();

  // Held while either bitmap is in use: fonts may be set up on two threads.
  static std::recursive_mutex& Lock();
  // At least w x h, or null if it cannot be had. Call with the lock held.
  static LICE_SysBitmap* Glyphs(int w, int h);
  static LICE_SysBitmap* Native(int w, int h);
};
