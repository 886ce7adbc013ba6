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
};

// The face of (path, index), loaded on first use and kept for the life of
// the process; null if FreeType cannot open it or it has no outlines.
SWELL_SharedFace* SWELL_GetSharedFace(const std::string& path, int index);
