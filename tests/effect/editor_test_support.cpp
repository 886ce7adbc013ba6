#include "tests/effect/editor_test_support.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstring>

#include "graphics/controls/ibitmap_control.h"
#include "graphics/controls/iknob_control.h"
#include "lice/lice_blit.h"
#include "lice/lice_png.h"
#include "lice/lice_resource.h"
#include "lice/lice_sysbitmap.h"

namespace {

std::string& FolderStorage() {
  static std::string folder;
  return folder;
}

bool FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

std::string FileNameOf(const char* resource) {
  const char* slash = std::strrchr(resource, '/');
  return slash ? slash + 1 : resource;
}

// Stand-in artwork until the build generates the real images: every frame a
// distinct opaque colour with a transparent border, at sizes that fit the
// layout.
void FrameSize(EMorvanteControlKind kind, int paramIdx, int* w, int* h) {
  if (kind == kControlKnob) {
    *w = 60;
    *h = 60;
  } else if (kind == kControlMeter) {
    *w = 150;
    *h = 40;
  } else if (paramIdx == kBypass) {
    *w = 80;
    *h = 60;
  } else {
    *w = 140;
    *h = 26;
  }
}

bool WriteStrip(const std::string& path, int w, int h, int frames, int seed) {
  LICE_MemBitmap strip(w, h * frames);
  for (int f = 0; f < frames; ++f)
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const bool border = x < 3 || y < 3 || x >= w - 3 || y >= h - 3;
        strip.getBits()[(f * h + y) * strip.getRowSpan() + x] =
            border ? 0u : LICE_RGBA(40 + seed % 200, 4 * f, 200, 255);
      }
  return LICE_WritePNG(path.c_str(), &strip);
}

bool WriteStandIns(const std::string& folder) {
  LICE_MemBitmap bg(kEditorWidth, kEditorHeight);
  for (int y = 0; y < kEditorHeight; ++y)
    for (int x = 0; x < kEditorWidth; ++x)
      bg.getBits()[y * bg.getRowSpan() + x] = LICE_RGBA(20 + x % 16, 22 + y % 16, 28, 255);
  if (!LICE_WritePNG((folder + "/BG.png").c_str(), &bg)) return false;
  for (const MorvanteControlPlace& place : kMorvanteControlPlaces) {
    int w = 0, h = 0;
    FrameSize(place.kind, place.paramIdx, &w, &h);
    if (!WriteStrip(folder + "/" + FileNameOf(place.image.file), w, h, place.image.frames, place.image.id))
      return false;
  }
  return true;
}

}  // namespace

void EditorImagesEnvironment::SetUp() {
  std::string folder = MORVANTE_BUNDLE_RESOURCES;
  if (!FileExists(folder + "/BG.png")) {
    std::string pattern = ::testing::TempDir() + "morvante_images_XXXXXX";
    ASSERT_NE(mkdtemp(&pattern[0]), nullptr);
    folder = pattern;
    ASSERT_TRUE(WriteStandIns(folder));
  }
  FolderStorage() = folder;
  LICE_SetResourceFolder(folder.c_str());
}

void EditorImagesEnvironment::TearDown() { LICE_SetResourceFolder(nullptr); }

const std::string& EditorImagesEnvironment::Folder() { return FolderStorage(); }

testing::Environment* const kEditorImages = testing::AddGlobalTestEnvironment(new EditorImagesEnvironment);

IBitmap* ImageOf(IControl* control) {
  if (auto* knob = dynamic_cast<IKnobMultiControl*>(control)) return knob->GetBitmap();
  if (auto* bitmapControl = dynamic_cast<IBitmapControl*>(control)) return bitmapControl->GetBitmap();
  return nullptr;
}

IGraphicsLinux* EditorOf(TestMorvante& plug) { return dynamic_cast<IGraphicsLinux*>(plug.GetGUI()); }

int DrawUntilClean(IGraphics* gui) {
  int passes = 0;
  for (int i = 0; i < 4; ++i) {
    IRECT dirty;
    if (!gui->IsDirty(&dirty)) break;
    gui->Draw(&dirty);
    ++passes;
  }
  return passes;
}

void CopyDrawnArea(IGraphics* gui, const IRECT& area, LICE_MemBitmap* out) {
  out->resize(area.W(), area.H());
  LICE_Blit(out, gui->GetDrawBitmap(), 0, 0, area.L, area.T, area.W(), area.H(), 1.0f, 0);
}

void ComposeFrameOverBackground(IGraphics* gui, int controlIdx, int frame, LICE_MemBitmap* out) {
  auto* background = static_cast<IBitmapControl*>(gui->GetControl(0));
  IControl* control = gui->GetControl(controlIdx);
  IBitmap* image = ImageOf(control);
  const IRECT& r = *control->GetRECT();
  out->resize(r.W(), r.H());
  LICE_Blit(out, background->GetBitmap()->mData, 0, 0, r.L, r.T, r.W(), r.H(), 1.0f, 0);
  LICE_Blit(out, image->mData, 0, 0, 0, image->FrameOffset(frame), r.W(), r.H(), 1.0f,
            IChannelBlend::RasterMode(control->GetBlend()));
}

int CountDifferentPixels(LICE_IBitmap* a, LICE_IBitmap* b) {
  if (a->getWidth() != b->getWidth() || a->getHeight() != b->getHeight()) return -1;
  int n = 0;
  for (int y = 0; y < a->getHeight(); ++y)
    for (int x = 0; x < a->getWidth(); ++x)
      if (a->getBits()[y * a->getRowSpan() + x] != b->getBits()[y * b->getRowSpan() + x]) ++n;
  return n;
}

int FrameShown(IGraphics* gui, int controlIdx) {
  IControl* control = gui->GetControl(controlIdx);
  return IBitmapControl::FrameForValue(control->GetValue(), ImageOf(control)->N);
}

void ControlCentre(IGraphics* gui, int controlIdx, int* x, int* y) {
  const IRECT& r = *gui->GetControl(controlIdx)->GetRECT();
  *x = (r.L + r.R) / 2;
  *y = (r.T + r.B) / 2;
}
