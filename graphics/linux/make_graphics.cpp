#include "graphics/linux/child_process.h"
#include "graphics/linux/igraphics_linux.h"
#include "graphics/make_graphics.h"

namespace {
constexpr const char* kBundleID = "com.Penvarrowsonics.vst3.MORVANTE";
}

std::unique_ptr<IGraphicsLinux> MakeLinuxGraphics(IPlugBase* plug, int w, int h, int fps) {
  auto graphics = std::make_unique<IGraphicsLinux>(plug, w, h, fps);
  graphics->SetBundleID(kBundleID);
  // The desktop's opener picks the browser (or the file's program); it is
  // started without a shell and not waited for.
  graphics->SetURLOpener([](const char* url) { return StartDetached("xdg-open", {url}); });
  return graphics;
}

std::unique_ptr<IGraphics> MakeGraphics(IPlugBase* plug, int w, int h, int fps) {
  return MakeLinuxGraphics(plug, w, h, fps);
}
