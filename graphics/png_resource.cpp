#include "graphics/png_resource.h"

#include <cstring>
#include <strings.h>

#include "lice/lice_png.h"
#include "lice/lice_resource.h"

std::string PNGResourceFileName(const char* name) {
  if (!name) return std::string();
  const char* dot = std::strrchr(name, '.');
  const char* ext = dot ? dot + 1 : name;
  if (strcasecmp(ext, "png") != 0) return std::string();
  // A bundle keeps its resources in one folder, so the folders an image
  // name carries are not part of the file's name.
  const char* slash = std::strrchr(name, '/');
  const char* base = slash ? slash + 1 : name;
  // A name without a dot is its own extension: only "png" itself gets here.
  const std::string stem = dot && dot > base ? std::string(base, static_cast<size_t>(dot - base))
                                             : std::string(dot ? "" : base);
  if (stem.empty()) return std::string();
  return stem + ".png";
}

LICE_IBitmap* LoadPNGResource(const char* name) {
  const std::string file = PNGResourceFileName(name);
  if (file.empty()) return nullptr;
  const std::string path = LICE_ResourcePath(file.c_str());
  if (path.empty()) return nullptr;
  return LICE_LoadPNG(path.c_str());
}
