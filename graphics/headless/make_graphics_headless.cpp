// The engine of an instance whose editor is never shown, such as an LV2
// processing instance, which a host keeps apart from its user interface. Its
// controls and meters follow the effect as in any editor, but no image is
// loaded and no window ever opens.
#include "graphics/igraphics_headless.h"
#include "graphics/make_graphics.h"

namespace {
class UnshownGraphics : public IGraphicsHeadless {
public:
  using IGraphicsHeadless::IGraphicsHeadless;
  LICE_IBitmap* OSLoadBitmap(int, const char*) override { return nullptr; }
};
}  // namespace

std::unique_ptr<IGraphics> MakeGraphics(IPlugBase* plug, int w, int h, int fps) {
  return std::make_unique<UnshownGraphics>(plug, w, h, fps);
}
