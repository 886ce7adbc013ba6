#include "graphics/linux/igraphics_linux.h"

namespace {
constexpr const char* kBundleID = "com.Penvarrowsonics.vst3.MORVANTE";
}

std::unique_ptr<IGraphicsLinux> MakeGraphics(IPlugBase* plug, int w, int h, int fps) {
  auto graphics = std::make_unique<IGraphicsLinux>(plug, w, h, fps);
  graphics->SetBundleID(kBundleID);
  return graphics;
}
