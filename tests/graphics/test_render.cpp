#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

#include "graphics/controls/ibitmap_control.h"
#include "graphics/controls/ipanel_control.h"
#include "graphics/controls/itext_control.h"
#include "graphics/igraphics_headless.h"
#include "lice/lice_bitmap.h"
#include "lice/lice_png.h"
#include "tests/graphics/graphics_test_support.h"

namespace {
constexpr int kW = 160;
constexpr int kH = 100;
constexpr int kKnobFrames = 11;
constexpr int kKnobSize = 30;

// Background: red rises left to right, green top to bottom, opaque.
LICE_pixel BackgroundAt(int x, int y) { return LICE_RGBA(x * 255 / (kW - 1), y * 255 / (kH - 1), 40, 255); }

std::string WriteBackgroundPNG(const std::string& folder) {
  LICE_MemBitmap bg(kW, kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) bg.getBits()[y * bg.getRowSpan() + x] = BackgroundAt(x, y);
  const std::string path = folder + "/bg.png";
  return LICE_WritePNG(path.c_str(), &bg) ? path : "";
}

// A knob filmstrip: frame f is a square of grey level 20 f with a transparent
// corner, so blending with the background shows there.
LICE_MemBitmap* MakeKnobStrip() {
  auto* strip = new LICE_MemBitmap(kKnobSize, kKnobSize * kKnobFrames);
  for (int f = 0; f < kKnobFrames; ++f)
    for (int y = 0; y < kKnobSize; ++y)
      for (int x = 0; x < kKnobSize; ++x) {
        const unsigned grey = static_cast<unsigned>(20 * f);
        const bool corner = x < 5 && y < 5;
        strip->getBits()[(f * kKnobSize + y) * strip->getRowSpan() + x] =
            corner ? 0u : LICE_RGBA(grey, grey, grey, 255);
      }
  return strip;
}
}  // namespace

TEST(IGraphicsRender, SmallEditorRendersHeadlesslyToPNG) {
  char folderTemplate[] = "/tmp/morvante_gfx_XXXXXX";
  ASSERT_NE(mkdtemp(folderTemplate), nullptr);
  const std::string folder = folderTemplate;
  ASSERT_FALSE(WriteBackgroundPNG(folder).empty());

  GraphicsTestPlug plug;
  plug.GetParam(0)->InitDouble("Low Gain", 6.0, -12.0, 12.0, 0.1, "dB");  // normalised 0.75
  auto* gui = new IGraphicsHeadless(&plug, kW, kH, 0, folder.c_str());
  gui->AttachBackground(9101, "resources/img/bg.png");
  ASSERT_EQ(gui->NControls(), 1);
  LICE_MemBitmap* stripPixels = MakeKnobStrip();
  IBitmap strip(stripPixels, kKnobSize, kKnobSize * kKnobFrames, kKnobFrames);
  gui->RetainBitmap(&strip);  // the cache frees it at unload
  auto* knob = new IBitmapControl(&plug, 20, 20, 0, strip);
  gui->AttachControl(knob);
  IColor panelColour(255, 0, 0, 200);
  gui->AttachControl(new IPanelControl(&plug, IRECT(70, 20, 90, 50), &panelColour));
  IText style(16, COLOR_WHITE, "DejaVu Sans", IText::kStyleBold, IText::kAlignNear);
  auto* readout = new ITextControl(&plug, IRECT(100, 60, 158, 80), &style, "6.0");
  gui->AttachControl(readout);
  plug.AttachGraphics(gui);  // shows the parameter, makes the draw bitmap

  IRECT dirty;
  ASSERT_TRUE(gui->IsDirty(&dirty));
  EXPECT_EQ(dirty, IRECT(0, 0, kW, kH));
  ASSERT_TRUE(gui->Draw(&dirty));
  EXPECT_EQ(gui->NumPresented(), 1);
  const std::string out = folder + "/editor.png";
  ASSERT_TRUE(gui->WriteDrawBitmapPNG(out.c_str()));
  ASSERT_TRUE(gui->WriteDrawBitmapPNG("/tmp/morvante_editor.png"));

  // Read back what was written, not the draw bitmap.
  LICE_IBitmap* png = LICE_LoadPNG(out.c_str());
  ASSERT_NE(png, nullptr);
  auto at = [&](int x, int y) { return png->getBits()[y * png->getRowSpan() + x] | 0xFF000000u; };
  EXPECT_EQ(at(5, 5), BackgroundAt(5, 5));
  EXPECT_EQ(at(150, 10), BackgroundAt(150, 10));
  // Knob at 0.75: frame trunc(10 * 0.75 + 0.5) + 1 = 9, the ninth grey (160).
  EXPECT_EQ(at(35, 35), LICE_RGBA(160, 160, 160, 255));
  EXPECT_EQ(at(49, 49), LICE_RGBA(160, 160, 160, 255));
  // Its transparent corner shows the background.
  EXPECT_EQ(at(21, 21), BackgroundAt(21, 21));
  EXPECT_EQ(at(50, 50), BackgroundAt(50, 50));
  EXPECT_EQ(at(70, 20), LICE_RGBA(0, 0, 200, 255));
  EXPECT_EQ(at(89, 49), LICE_RGBA(0, 0, 200, 255));
  EXPECT_EQ(at(90, 49), BackgroundAt(90, 49));
  // The readout's text is white ink inside its rectangle, nothing outside.
  int white = 0;
  for (int y = 60; y < 80; ++y)
    for (int x = 100; x < 158; ++x) white += at(x, y) == 0xFFFFFFFFu;
  EXPECT_GT(white, 15);
  for (int x = 100; x < 158; ++x) EXPECT_EQ(at(x, 59), BackgroundAt(x, 59));
  delete png;

  // A new value redraws only the knob, in two passes, with the new frame.
  gui->SetParameterFromPlug(0, 0.0, true);
  IRECT knobDirty;
  ASSERT_TRUE(gui->IsDirty(&knobDirty));
  EXPECT_EQ(knobDirty, IRECT(20, 20, 50, 50));
  gui->Draw(&knobDirty);
  EXPECT_EQ(gui->GetPoint(35, 35), IColor(255, 0, 0, 0));
  EXPECT_EQ(gui->GetPoint(21, 21).R, static_cast<int>(LICE_GETR(BackgroundAt(21, 21))));
  ASSERT_TRUE(gui->IsDirty(&knobDirty));
  gui->Draw(&knobDirty);
  EXPECT_FALSE(gui->IsDirty(&knobDirty));

  unlink(out.c_str());
  unlink((folder + "/bg.png").c_str());
  rmdir(folder.c_str());
}
