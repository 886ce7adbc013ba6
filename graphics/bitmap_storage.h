// The process-wide image cache: every image is decoded once and shared by all
// editors. Entries live until the module is unloaded, when the static
// s_bitmapCache is destroyed and deletes them.
#pragma once

#include "framework/wdl_mutex.h"
#include "framework/wdl_ptrlist.h"

class LICE_IBitmap;

class BitmapStorage {
public:
  // Images made by the engine itself (scaled, cropped, retained) carry this.
  static constexpr int kAnonymousId = -1;

  BitmapStorage() = default;
  BitmapStorage(const BitmapStorage&) = delete;
  BitmapStorage& operator=(const BitmapStorage&) = delete;

  // The first image stored under id, or null. Anonymous images are never
  // found by id.
  LICE_IBitmap* Find(int id);
  // Takes ownership; false (and the bitmap not taken) when the list cannot
  // grow.
  bool Add(LICE_IBitmap* bitmap, int id = kAnonymousId);
  // Removes the entry holding bitmap and deletes the bitmap; false when no
  // entry holds it.
  bool Remove(LICE_IBitmap* bitmap);
  // Whether some entry holds bitmap.
  bool Contains(LICE_IBitmap* bitmap);
  int Size();

private:
  // An entry owns its bitmap.
  struct Entry {
    int id;
    LICE_IBitmap* bitmap;
    ~Entry();
  };

  WDL_Mutex mMutex;
  WDL_OwnedPtrList<Entry> mEntries;
};

extern BitmapStorage s_bitmapCache;
