// morvante-artwork OUTPUT_DIR
//
// Draws the editor's 48 images (background, knob, meter and switch
// filmstrips) into OUTPUT_DIR under the last path component of their
// resource names. The build runs it into the bundle's Contents/Resources.
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

std::string FileNameOf(const char* resource) {
  const char* slash = std::strrchr(resource, '/');
  return slash ? slash + 1 : resource;
}

bool Write(const std::string& dir, const char* resource, LICE_IBitmap* bm) {
  const std::string path = dir + "/" + FileNameOf(resource);
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

std::unique_ptr<LICE_MemBitmap> DrawControl(const MorvanteControlPlace& place, const IParam* params,
                                            std::map<StripKey, std::unique_ptr<LICE_MemBitmap>>& knobs,
                                            LICE_IBitmap** out) {
  const MorvanteFrameSize size = FrameSizeOf(place);
  std::unique_ptr<LICE_MemBitmap> drawn;
  switch (place.kind) {
    case kControlKnob: {
      const IParam& p = params[place.paramIdx];
      const StripKey key{size.width, size.height, KnobIsBipolar(p)};
      auto& strip = knobs[key];
      if (!strip) strip = DrawKnobStrip(KnobGeometryFor(size.width, size.height), key.bipolar, place.image.frames);
      *out = strip.get();
      return nullptr;
    }
    case kControlMeter:
      drawn = DrawMeterStrip(MeterGeometryFor(size.width, size.height), place.image.frames);
      break;
    case kControlSwitch:
      drawn = place.paramIdx == kBypass ? DrawBypassStrip(size.width, size.height)
                                        : DrawModeSwitchStrip(size.width, size.height);
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

  auto background = DrawBackground(params);
  if (!Write(dir, kBackgroundImageFile, background.get())) return 1;

  std::map<StripKey, std::unique_ptr<LICE_MemBitmap>> knobs;
  for (const MorvanteControlPlace& place : kMorvanteControlPlaces) {
    LICE_IBitmap* image = nullptr;
    auto owned = DrawControl(place, params, knobs, &image);
    if (!image || !Write(dir, place.image.file, image)) return 1;
  }
  return 0;
}
