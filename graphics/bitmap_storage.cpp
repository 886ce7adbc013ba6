#include "graphics/bitmap_storage.h"

#include <new>

#include "lice/lice_bitmap.h"

BitmapStorage s_bitmapCache;

BitmapStorage::Entry::~Entry() { delete bitmap; }

LICE_IBitmap* BitmapStorage::Find(int id) {
  if (id == kAnonymousId) return nullptr;
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < mEntries.GetSize(); ++i) {
    const Entry* entry = mEntries.Get(i);
    if (entry->id == id) return entry->bitmap;
  }
  return nullptr;
}

bool BitmapStorage::Add(LICE_IBitmap* bitmap, int id) {
  if (!bitmap) return false;
  Entry* entry = new (std::nothrow) Entry{id, bitmap};
  if (!entry) return false;
  WDL_MutexLock lock(&mMutex);
  if (!mEntries.Add(entry)) {
    entry->bitmap = nullptr;  // not taken: the caller keeps it
    delete entry;
    return false;
  }
  return true;
}

bool BitmapStorage::Remove(LICE_IBitmap* bitmap) {
  if (!bitmap) return false;
  Entry* found = nullptr;
  {
    WDL_MutexLock lock(&mMutex);
    for (int i = 0; i < mEntries.GetSize(); ++i) {
      if (mEntries.Get(i)->bitmap == bitmap) {
        found = mEntries.Get(i);
        mEntries.Delete(i);
        break;
      }
    }
  }
  if (!found) return false;
  delete found;
  return true;
}

bool BitmapStorage::Contains(LICE_IBitmap* bitmap) {
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < mEntries.GetSize(); ++i)
    if (mEntries.Get(i)->bitmap == bitmap) return true;
  return false;
}

int BitmapStorage::Size() {
  WDL_MutexLock lock(&mMutex);
  return mEntries.GetSize();
}
