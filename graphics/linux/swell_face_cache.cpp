#include "graphics/linux/swell_face_cache.h"

#include <map>
#include <memory>
#include <utility>

namespace {

struct FaceCache {
  FT_Library library = nullptr;
  std::map<std::pair<std::string, int>, std::unique_ptr<SWELL_SharedFace>> faces;
};

// The lock is constant-initialised and has nothing to destroy, so fonts the
// module's static destructors free still find it, in whatever order they
// run. It guards the cache, the library (face creation and freeing) and
// every face's user count.
std::mutex gLock;
FaceCache* gCache = nullptr;  // only while it holds faces
bool gLibraryFailed = false;

void FreeCacheIfEmpty() {
  if (!gCache || !gCache->faces.empty()) return;
  if (gCache->library) FT_Done_FreeType(gCache->library);
  delete gCache;
  gCache = nullptr;
}

}  // namespace

SWELL_SharedFace* SWELL_GetSharedFace(const std::string& path, int index) {
  std::lock_guard<std::mutex> guard(gLock);
  const auto key = std::make_pair(path, index);
  if (gCache) {
    auto found = gCache->faces.find(key);
    if (found != gCache->faces.end()) {
      ++found->second->users;
      return found->second.get();
    }
  }
  if (gLibraryFailed) return nullptr;
  if (!gCache) {
    auto cache = std::make_unique<FaceCache>();
    if (FT_Init_FreeType(&cache->library) != 0) {
      gLibraryFailed = true;
      return nullptr;
    }
    gCache = cache.release();
  }
  FT_Face face = nullptr;
  if (FT_New_Face(gCache->library, path.c_str(), index, &face) != 0) {
    FreeCacheIfEmpty();
    return nullptr;
  }
  if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) {
    FT_Done_Face(face);
    FreeCacheIfEmpty();
    return nullptr;
  }
  FT_Select_Charmap(face, FT_ENCODING_UNICODE);
  auto shared = std::make_unique<SWELL_SharedFace>();
  shared->face = face;
  shared->users = 1;
  SWELL_SharedFace* result = shared.get();
  gCache->faces.emplace(key, std::move(shared));
  return result;
}

void SWELL_ReleaseSharedFace(SWELL_SharedFace* face) {
  if (!face) return;
  std::lock_guard<std::mutex> guard(gLock);
  if (--face->users > 0 || !gCache) return;
  for (auto it = gCache->faces.begin(); it != gCache->faces.end(); ++it) {
    if (it->second.get() != face) continue;
    FT_Done_Face(face->face);
    gCache->faces.erase(it);
    break;
  }
  FreeCacheIfEmpty();
}

int SWELL_NumSharedFaces() {
  std::lock_guard<std::mutex> guard(gLock);
  return gCache ? static_cast<int>(gCache->faces.size()) : 0;
}
