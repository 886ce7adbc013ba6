#include "graphics/linux/igraphics_linux.h"

#include "graphics/png_resource.h"

IGraphicsLinux::IGraphicsLinux(IPlugBase* plug, int w, int h, int fps) : IGraphics(plug, w, h, fps) {}

IGraphicsLinux::~IGraphicsLinux() { CloseWindow(); }

// The raster library finds the resources folder beside the loaded module
// (<bundle>/Contents/x86_64-linux/<name>.so), so the bundle identifier is not
// needed to find it.
LICE_IBitmap* IGraphicsLinux::OSLoadBitmap(int, const char* name) { return LoadPNGResource(name); }

bool IGraphicsLinux::OpenURL(const char* url, const char*, const char*, const char*) {
  if (!url || !*url || !mURLOpener) return false;
  return mURLOpener(url);
}
