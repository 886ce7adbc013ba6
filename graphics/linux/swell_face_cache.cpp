#include "graphics/linux/swell_face_cache.h"

#include <map>
#include <utility>

namespace {

struct FaceCache {
  std::mutex lock;  // guards the library (face creation) and the map
  FT_Library library = nullptr;
  bool libraryFailed = false;
  std::map<std::pair<std::string, int>, SWELL_SharedFace*> faces;
};

// Never destroyed: fonts may outlive static destruction order, and the
// faces stay reachable so they are not reported as leaks.
FaceCache& Cache() {
  static auto* cache = new FaceCache();
  return *cache;
}

}  // namespace

SWELL_SharedFace* SWELL_GetSharedFace(const std::string& path, int index) {
  FaceCache& cache = Cache();
  std::lock_guard<std::mutex> guard(cache.lock);
  const auto key = std::make_pair(path, index);
  auto found = cache.faces.find(key);
  if (found != cache.faces.end()) return found->second;

  if (!cache.library) {
    if (cache.libraryFailed) return nullptr;
    if (FT_Init_FreeType(&cache.library) != 0) {
      cache.library = nullptr;
      cache.libraryFailed = true;
      return nullptr;
    }
  }
  FT_Face face = nullptr;
  if (FT_New_Face(cache.library, path.c_str(), index, &face) != 0) return nullptr;
  if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) {
    FT_Done_Face(face);
    return nullptr;
  }
  FT_Select_Charmap(face, FT_ENCODING_UNICODE);
  auto* shared = new SWELL_SharedFace();
  shared->face = face;
  cache.faces.emplace(key, shared);
  return shared;
}
