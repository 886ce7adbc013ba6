// morvante-artwork OUTPUT_DIR
//
// Draws the editor's 48 images (background, knob, meter and switch
// filmstrips) into OUTPUT_DIR under the last path component of their
// resource names, and each again at twice the size from the same drawing
// code, as NAME@2x.png, for scaled editors. The build runs it into the
// bundle's Contents/Resources.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "effect/morvante_layout.h"
#include "framework/iparam.h"
#include "lice/lice_png.h"
#include "tools/artwork/knob_art.h"
#include "tools/artwork/meter_art.h"
#include "tools/artwork/panel_art.h"
#include "tools/artwork/switch_art.h"

namespace {

// "resources/img/BG.png" at 2x is "BG@2x.png".
std::string FileNameOf(const char* resource, int pixelScale) {
  const char* slash = std::strrchr(resource, '/');
  std::string name = slash ? slash + 1 : resource;
  if (pixelScale == 1) return name;
  const size_t dot = name.rfind('.');
  return name.substr(0, dot) + "@" + std::to_string(pixelScale) + "x" + name.substr(dot);
}

bool Write(const std::string& dir, const char* resource, int pixelScale, LICE_IBitmap* bm) {
  const std::string path = dir + "/" + FileNameOf(resource, pixelScale);
  if (!LICE_WritePNG(path.c_str(), bm)) {
    std::fprintf(stderr, "morvante-artwork: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

// Knobs of one size and polarity share one strip.
struct StripKey {
  int width, height;
  bool bipolar;
  bool operator<(const StripKey& o) const {
    return width != o.width ? width < o.width : height != o.height ? height < o.height : bipolar < o.bipolar;
  }
};

std::unique_ptr<LICE_MemBitmap> DrawControl(const MorvanteControlPlace& place, const IParam* params, int k,
                                            std::map<StripKey, std::unique_ptr<LICE_MemBitmap>>& knobs,
                                            LICE_IBitmap** out) {
  const MorvanteFrameSize size = FrameSizeOf(place);
  std::unique_ptr<LICE_MemBitmap> drawn;
  switch (place.kind) {
    case kControlKnob: {
      const IParam& p = params[place.paramIdx];
      const StripKey key{size.width, size.height, KnobIsBipolar(p)};
      auto& strip = knobs[key];
      if (!strip) strip = DrawKnobStrip(KnobGeometryFor(size.width, size.height, k), key.bipolar, place.image.frames);
      *out = strip.get();
      return nullptr;
    }
    case kControlMeter:
      drawn = DrawMeterStrip(MeterGeometryFor(size.width, size.height, k), place.image.frames);
      break;
    case kControlSwitch:
      drawn = place.paramIdx == kBypass ? DrawBypassStrip(size.width, size.height, k)
                                        : DrawModeSwitchStrip(size.width, size.height, k);
      break;
  }
  *out = drawn.get();
  return drawn;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: morvante-artwork OUTPUT_DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  if (mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) {
    std::fprintf(stderr, "morvante-artwork: cannot create %s: %s\n", dir.c_str(), std::strerror(errno));
    return 1;
  }

  IParam params[kNumMorvanteParams];
  for (int i = 0; i < kNumMorvanteParams; ++i) InitMorvanteParam(i, &params[i]);

  for (int k : {1, 2}) {
    auto background = DrawBackground(params, k);
    if (!Write(dir, kBackgroundImageFile, k, background.get())) return 1;

    std::map<StripKey, std::unique_ptr<LICE_MemBitmap>> knobs;
    for (const MorvanteControlPlace& place : kMorvanteControlPlaces) {
      LICE_IBitmap* image = nullptr;
      auto owned = DrawControl(place, params, k, knobs, &image);
      if (!image || !Write(dir, place.image.file, k, image)) return 1;
    }
  }
  return 0;
}
