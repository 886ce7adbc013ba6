#include "lice/lice_resource.h"

#include <dlfcn.h>

#include <cstring>
#include <mutex>

namespace {

constexpr size_t kMaxResourceName = 400;

std::mutex& FolderLock() {
  static std::mutex lock;
  return lock;
}

std::string& FolderOverride() {
  static std::string folder;
  return folder;
}

std::string WithSlash(std::string dir) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

std::string Parent(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return std::string();
  return path.substr(0, slash);
}

// The bundle holds this code as <bundle>/Contents/x86_64-linux/<name>.so, so
// its resources sit two folders up, in Contents/Resources.
std::string BundleResourceFolder() {
  Dl_info info;
  std::memset(&info, 0, sizeof(info));
  if (!dladdr(reinterpret_cast<void*>(&LICE_SetResourceFolder), &info) || !info.dli_fname) return std::string();
  const std::string bundle = Parent(Parent(Parent(info.dli_fname)));
  if (bundle.empty()) return std::string();
  return bundle + "/Contents/Resources/";
}

// Resource names come from the image table, but a name must never lead out
// of the resources folder.
bool HasParentComponent(const char* name) {
  const char* p = name;
  while (*p) {
    const char* end = p;
    while (*end && *end != '/' && *end != '\\') ++end;
    if (end - p == 2 && p[0] == '.' && p[1] == '.') return true;
    p = *end ? end + 1 : end;
  }
  return false;
}

}  // namespace

void LICE_SetResourceFolder(const char* dir) {
  std::lock_guard<std::mutex> guard(FolderLock());
  FolderOverride() = dir ? WithSlash(dir) : std::string();
}

std::string LICE_ResourcePath(const char* name) {
  if (!name || !*name || std::strlen(name) > kMaxResourceName || HasParentComponent(name)) return std::string();
  std::string folder;
  {
    std::lock_guard<std::mutex> guard(FolderLock());
    folder = FolderOverride();
  }
  if (folder.empty()) {
    static const std::string bundleFolder = BundleResourceFolder();
    folder = bundleFolder;
  }
  if (folder.empty()) return std::string();
  return folder + name;
}
