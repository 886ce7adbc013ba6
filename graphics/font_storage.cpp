#include "graphics/font_storage.h"

#include <cstring>
#include <new>

#include "lice/lice_text.h"

FontStorage s_fontCache;

FontStorage::Entry::~Entry() { delete font; }

LICE_CachedFont* FontStorage::Find(const IText* text) {
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < mEntries.GetSize(); ++i) {
    const Entry* e = mEntries.Get(i);
    if (e->size == text->mSize && e->orientation == text->mOrientation && e->style == text->mStyle &&
        std::strncmp(e->face, text->mFont, FONT_FACE_SIZE) == 0)
      return e->font;
  }
  return nullptr;
}

bool FontStorage::Add(LICE_CachedFont* font, const IText* text) {
  if (!font) return false;
  Entry* entry = new (std::nothrow) Entry{text->mSize, text->mOrientation, text->mStyle, {}, font};
  if (!entry) return false;
  std::memcpy(entry->face, text->mFont, FONT_FACE_SIZE);
  entry->face[FONT_FACE_SIZE - 1] = '\0';
  WDL_MutexLock lock(&mMutex);
  if (!mEntries.Add(entry)) {
    entry->font = nullptr;  // not taken: the caller keeps it
    delete entry;
    return false;
  }
  return true;
}

int FontStorage::Size() {
  WDL_MutexLock lock(&mMutex);
  return mEntries.GetSize();
}
