#include <gtest/gtest.h>

#include "graphics/bitmap_storage.h"
#include "graphics/controls/ibitmap_control.h"
#include "graphics/igraphics_headless.h"
#include "lice/lice_bitmap.h"
#include "tests/graphics/graphics_test_support.h"

namespace {
// A 4 x (4 * frames) filmstrip: frame f (from 1) is filled with blue = f.
LICE_MemBitmap* MakeStrip(int frames, int frameW = 4, int frameH = 4) {
  auto* bitmap = new LICE_MemBitmap(frameW, frameH * frames);
  for (int y = 0; y < frameH * frames; ++y)
    for (int x = 0; x < frameW; ++x)
      bitmap->getBits()[y * bitmap->getRowSpan() + x] = 0xFF000000u | static_cast<unsigned>(y / frameH + 1);
  return bitmap;
}

// Engine whose "files" are made in memory: the name is ignored and the
// loader counts its calls.
class CountingLoader : public IGraphicsHeadless {
public:
  explicit CountingLoader(IPlugBase* plug) : IGraphicsHeadless(plug, 64, 64) {}
  LICE_IBitmap* OSLoadBitmap(int, const char*) override {
    ++loads;
    return MakeStrip(2);
  }
  int loads = 0;
};
}  // namespace

TEST(IBitmapControlFrames, FrameFromValueWithSixtyOneFrames) {
  EXPECT_EQ(IBitmapControl::FrameForValue(0.0, 61), 1);
  EXPECT_EQ(IBitmapControl::FrameForValue(0.5, 61), 31);
  EXPECT_EQ(IBitmapControl::FrameForValue(1.0, 61), 61);
  EXPECT_EQ(IBitmapControl::FrameForValue(0.991, 61), 60);
  // Frame f covers [(f - 1.5) / 60, (f - 0.5) / 60).
  EXPECT_EQ(IBitmapControl::FrameForValue(0.5 / 60.0, 61), 2);
  EXPECT_EQ(IBitmapControl::FrameForValue(0.49 / 60.0, 61), 1);
  EXPECT_EQ(IBitmapControl::FrameForValue(-3.0, 61), 1);
  EXPECT_EQ(IBitmapControl::FrameForValue(7.0, 61), 61);
  EXPECT_EQ(IBitmapControl::FrameForValue(0.9, 1), 1);
  EXPECT_EQ(IBitmapControl::FrameForValue(0.0 / 0.0, 61), 1);
}

TEST(IGraphicsBitmaps, FrameDrawingPicksTheSourceOffset) {
  GraphicsTestPlug plug;
  IGraphicsHeadless gui(&plug, 64, 64);
  gui.PrepDraw();
  LICE_MemBitmap* pixels = MakeStrip(61, 4, 60);
  IBitmap strip(pixels, 4, 3660, 61);
  IRECT all(0, 0, 64, 64);
  IRECT dest(10, 0, 14, 60);
  gui.AttachControl(new RecordingControl(&plug, all));
  gui.Draw(&all);  // sets the draw rectangle

  gui.DrawBitmap(&strip, &dest, 61);
  EXPECT_EQ(gui.GetPoint(10, 0).B, 61);
  EXPECT_EQ(gui.GetPoint(13, 59).B, 61);
  gui.DrawBitmap(&strip, &dest, 0);
  EXPECT_EQ(gui.GetPoint(10, 0).B, 1);
  gui.DrawBitmap(&strip, &dest, 31);
  EXPECT_EQ(gui.GetPoint(10, 0).B, 31);

  // With one frame the frame number is ignored.
  IBitmap single(pixels, 4, 3660, 1);
  gui.DrawBitmap(&single, &dest, 5);
  EXPECT_EQ(gui.GetPoint(10, 0).B, 1);
  delete pixels;
}

TEST(IGraphicsBitmaps, BlitsAreClippedToTheDrawRectangle) {
  GraphicsTestPlug plug;
  IGraphicsHeadless gui(&plug, 64, 64);
  gui.PrepDraw();
  AttachRecording(gui, &plug, IRECT(0, 0, 64, 64));
  LICE_MemBitmap* pixels = MakeStrip(3, 8, 8);  // rows 0-7 blue 1, 8-15 blue 2
  IBitmap image(pixels, 8, 24, 1);
  IRECT clip(4, 4, 20, 12);
  gui.Draw(&clip);
  IRECT dest(0, 0, 8, 24);
  gui.DrawBitmap(&image, &dest, 0, 0);
  EXPECT_EQ(gui.GetPoint(3, 5).A, 0);  // left of the clip
  EXPECT_EQ(gui.GetPoint(4, 4).B, 1);
  EXPECT_EQ(gui.GetPoint(7, 11).B, 2);  // the source follows the clipped origin
  EXPECT_EQ(gui.GetPoint(7, 12).A, 0);  // below the clip
  // Entirely outside: nothing, and no failure.
  IRECT away(40, 40, 48, 64);
  EXPECT_TRUE(gui.DrawBitmap(&image, &away, 0, 0));
  EXPECT_EQ(gui.GetPoint(40, 40).A, 0);
  delete pixels;
}

TEST(IGraphicsBitmaps, OneImagePerIdForTheWholeProcess) {
  GraphicsTestPlug plug;
  CountingLoader first(&plug);
  CountingLoader second(&plug);
  const int before = s_bitmapCache.Size();
  IBitmap a = first.LoadIBitmap(7001, "a.png", 2);
  IBitmap b = first.LoadIBitmap(7001, "other.png");
  IBitmap c = second.LoadIBitmap(7001, "a.png", 2);
  EXPECT_EQ(first.loads, 1);
  EXPECT_EQ(second.loads, 0);
  EXPECT_EQ(a.mData, b.mData);
  EXPECT_EQ(a.mData, c.mData);
  EXPECT_EQ(a.W, 4);
  EXPECT_EQ(a.H, 8);
  EXPECT_EQ(a.N, 2);
  EXPECT_EQ(b.N, 1);
  EXPECT_EQ(s_bitmapCache.Size(), before + 1);
}

TEST(IGraphicsBitmaps, MissingImagesLoadAsNothingAndDrawNothing) {
  GraphicsTestPlug plug;
  IGraphicsHeadless gui(&plug, 32, 32, 0, "/nonexistent-folder");
  gui.PrepDraw();
  IBitmap missing = gui.LoadIBitmap(7002, "nothing.png");
  EXPECT_EQ(missing.mData, nullptr);
  EXPECT_EQ(gui.OSLoadBitmap(0, "image.jpg"), nullptr);
  EXPECT_EQ(gui.OSLoadBitmap(0, nullptr), nullptr);
  IRECT dest(0, 0, 10, 10);
  EXPECT_FALSE(gui.DrawBitmap(&missing, &dest, 1));
}

TEST(IGraphicsBitmaps, BackgroundGoesToTheFrontAsACopy) {
  GraphicsTestPlug plug;
  CountingLoader gui(&plug);
  gui.AttachControl(new RecordingControl(&plug, IRECT(0, 0, 4, 4)));
  gui.AttachBackground(7003, "bg.png");
  ASSERT_EQ(gui.NControls(), 2);
  auto* background = static_cast<IBitmapControl*>(gui.GetControl(0));
  EXPECT_EQ(*background->GetRECT(), IRECT(0, 0, 4, 8));
  EXPECT_EQ(background->ParamIdx(), -1);
  EXPECT_EQ(background->GetBlend()->mMethod, IChannelBlend::kBlendCopy);
  gui.AttachPanelBackground(COLOR_RED);
  EXPECT_EQ(*gui.GetControl(0)->GetRECT(), IRECT(0, 0, 64, 64));
  EXPECT_EQ(gui.NControls(), 3);
}

TEST(IGraphicsBitmaps, ScaledCroppedRetainedAndReleasedImages) {
  GraphicsTestPlug plug;
  IGraphicsHeadless gui(&plug, 32, 32);
  LICE_MemBitmap* pixels = MakeStrip(4, 4, 4);
  IBitmap source(pixels, 4, 16, 4, true);
  const int before = s_bitmapCache.Size();

  IBitmap scaled = gui.ScaleBitmap(&source, 8, 32);
  ASSERT_NE(scaled.mData, nullptr);
  EXPECT_EQ(scaled.W, 8);
  EXPECT_EQ(scaled.N, 4);
  EXPECT_FALSE(scaled.mFramesAreHorizontal);
  EXPECT_EQ(scaled.mData->getBits()[31 * scaled.mData->getRowSpan() + 7] & 0xFFu, 4u);

  IRECT area(1, 4, 3, 12);
  IBitmap cropped = gui.CropBitmap(&source, &area);
  ASSERT_NE(cropped.mData, nullptr);
  EXPECT_EQ(cropped.W, 2);
  EXPECT_EQ(cropped.H, 8);
  EXPECT_EQ(cropped.mData->getBits()[0] & 0xFFu, 2u);
  EXPECT_EQ(s_bitmapCache.Size(), before + 2);

  gui.RetainBitmap(&source);
  gui.RetainBitmap(&source);  // once is enough
  EXPECT_EQ(s_bitmapCache.Size(), before + 3);
  gui.ReleaseBitmap(&source);  // deletes pixels
  EXPECT_EQ(source.mData, nullptr);
  gui.ReleaseBitmap(&scaled);
  gui.ReleaseBitmap(&cropped);
  EXPECT_EQ(s_bitmapCache.Size(), before);
  // Anonymous images are never found by id.
  EXPECT_EQ(s_bitmapCache.Find(BitmapStorage::kAnonymousId), nullptr);
}
