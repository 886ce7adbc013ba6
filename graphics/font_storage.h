// The process-wide font cache, keyed by size, orientation, style and face:
// colour, alignment and quality are not part of the key, so styles that
// differ only in those share a font. Fonts live until the module is
// unloaded, when the static s_fontCache is destroyed and deletes them.
#pragma once

#include "framework/wdl_mutex.h"
#include "framework/wdl_ptrlist.h"
#include "graphics/igraphics_types.h"

class LICE_CachedFont;

class FontStorage {
public:
  FontStorage() = default;
  FontStorage(const FontStorage&) = delete;
  FontStorage& operator=(const FontStorage&) = delete;

  // The first font stored for the style's key, or null.
  LICE_CachedFont* Find(const IText* text);
  // Takes ownership under the style's key; false (font not taken) when the
  // list cannot grow.
  bool Add(LICE_CachedFont* font, const IText* text);
  int Size();

private:
  struct Entry {
    int size;
    int orientation;
    int style;
    char face[FONT_FACE_SIZE];
    LICE_CachedFont* font;
    ~Entry();  // an entry owns its font
  };

  WDL_Mutex mMutex;
  WDL_OwnedPtrList<Entry> mEntries;
};

extern FontStorage s_fontCache;
