// FreeType faces shared by every font made from the same file.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <mutex>
#include <string>

struct SWELL_SharedFace {
  FT_Face face = nullptr;
  // FreeType faces are not thread-safe: hold this around every use of the
  // face, including creating and freeing sizes on it.
  std::mutex lock;
  // Fonts holding the face; guarded by the cache.
  int users = 0;
};

// The face of (path, index), loaded on first use, with a reference for the
// caller; null if FreeType cannot open it or it has no outlines.
SWELL_SharedFace* SWELL_GetSharedFace(const std::string& path, int index);
// Gives back a reference. The last one frees the face, and the last face
// the FreeType library, so that nothing is left once the fonts are gone
// (when the module is unloaded); the next face starts it all again.
void SWELL_ReleaseSharedFace(SWELL_SharedFace* face);
// Faces held by fonts now, for tests.
int SWELL_NumSharedFaces();
