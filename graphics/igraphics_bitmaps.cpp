// Images derived from loaded ones, and explicit cache ownership. The results
// live in the bitmap cache under the anonymous id until released.
#include "graphics/bitmap_storage.h"
#include "graphics/igraphics.h"
#include "lice/lice_blit.h"
#include "lice/lice_scaled_blit.h"

bool IGraphics::NewCachedBitmap(int w, int h, LICE_MemBitmap** dest) {
  *dest = nullptr;
  if (w <= 0 || h <= 0) return false;
  auto* bitmap = new LICE_MemBitmap(w, h);
  if (bitmap->getWidth() != w || bitmap->getHeight() != h || !s_bitmapCache.Add(bitmap)) {
    delete bitmap;
    return false;
  }
  *dest = bitmap;
  return true;
}

IBitmap IGraphics::ScaleBitmap(IBitmap* src, int destW, int destH) {
  LICE_MemBitmap* dest = nullptr;
  if (!src || !src->mData || !NewCachedBitmap(destW, destH, &dest)) return IBitmap();
  LICE_ScaledBlit(dest, src->mData, 0, 0, destW, destH, 0.0f, 0.0f, static_cast<float>(src->W),
                  static_cast<float>(src->H), 1.0f, 0);
  return IBitmap(dest, destW, destH, src->N, false);
}

IBitmap IGraphics::CropBitmap(IBitmap* src, IRECT* rect) {
  LICE_MemBitmap* dest = nullptr;
  if (!src || !src->mData || !rect || !NewCachedBitmap(rect->W(), rect->H(), &dest)) return IBitmap();
  LICE_Blit(dest, src->mData, 0, 0, rect->L, rect->T, rect->W(), rect->H(), 1.0f, 0);
  return IBitmap(dest, rect->W(), rect->H(), src->N, false);
}

void IGraphics::RetainBitmap(IBitmap* bitmap) {
  // Adding an image twice would delete it twice at unload.
  if (bitmap && bitmap->mData && !s_bitmapCache.Contains(bitmap->mData)) s_bitmapCache.Add(bitmap->mData);
}

void IGraphics::ReleaseBitmap(IBitmap* bitmap) {
  if (bitmap && s_bitmapCache.Remove(bitmap->mData)) bitmap->mData = nullptr;
}
