#include <gtest/gtest.h>

#include <cstdlib>

#include "graphics/font_storage.h"
#include "graphics/igraphics_headless.h"
#include "lice/lice_text.h"
#include "tests/graphics/graphics_test_support.h"

namespace {
constexpr const char* kFace = "DejaVu Sans";

int TextWidth(IGraphics* gui, IText* style, const char* str) {
  IRECT r(0, 0, 0, 0);
  style->mAlign = IText::kAlignNear;
  gui->MeasureIText(style, str, &r);
  return r.W();
}
}  // namespace

TEST(IGraphicsText, MeasuringAlignsTheMeasuredWidthInTheRectangle) {
  GraphicsTestPlug plug;
  IGraphicsHeadless gui(&plug, 300, 100);
  gui.PrepDraw();
  IText style(14, COLOR_BLACK, kFace);
  const char* str = "Gain 40";
  const int w = TextWidth(&gui, &style, str);
  ASSERT_GT(w, 10);

  style.mAlign = IText::kAlignNear;
  IRECT near(100, 10, 200, 30);
  ASSERT_TRUE(gui.MeasureIText(&style, str, &near));
  EXPECT_EQ(near.L, 100);
  EXPECT_EQ(near.R, 100 + w);
  const int h = near.H();
  EXPECT_GE(h, 14 - 1);
  EXPECT_LE(h, 14 + 1);

  style.mAlign = IText::kAlignCenter;
  IRECT centre(100, 10, 200, 30);
  gui.MeasureIText(&style, str, &centre);
  EXPECT_EQ(centre.L, 150 - w / 2);
  EXPECT_EQ(centre.R, 150 - w / 2 + w);
  EXPECT_EQ(centre.B, 10 + h);

  style.mAlign = IText::kAlignFar;
  IRECT far(100, 10, 200, 30);
  gui.MeasureIText(&style, str, &far);
  EXPECT_EQ(far.L, 200 - w);
  EXPECT_EQ(far.R, 200);
  EXPECT_EQ(far.T, 10);
  EXPECT_EQ(far.B, 10 + h);
}

TEST(IGraphicsText, EmptyTextIsASuccessThatDrawsNothing) {
  GraphicsTestPlug plug;
  IGraphicsHeadless gui(&plug, 50, 50);
  gui.PrepDraw();
  IText style(12, COLOR_BLACK, kFace);
  IRECT r(0, 0, 50, 50);
  EXPECT_TRUE(gui.DrawIText(&style, "", &r));
  EXPECT_TRUE(gui.DrawIText(&style, nullptr, &r));
  EXPECT_EQ(style.mCached, nullptr);
}

TEST(IGraphicsText, StylesDifferingOnlyInColourShareAFontAndKeepTheirColours) {
  GraphicsTestPlug plug;
  IGraphicsHeadless gui(&plug, 120, 60);
  gui.PrepDraw();
  IText red(23, COLOR_RED, kFace, IText::kStyleBold, IText::kAlignNear);
  IText blue(23, COLOR_BLUE, kFace, IText::kStyleBold, IText::kAlignFar, 0, IText::kQualityAntiAliased);
  const int before = s_fontCache.Size();
  IRECT top(0, 0, 120, 30);
  IRECT bottom(0, 30, 120, 60);
  ASSERT_TRUE(gui.DrawIText(&red, "HHHH", &top));
  ASSERT_TRUE(gui.DrawIText(&blue, "HHHH", &bottom));
  ASSERT_NE(red.mCached, nullptr);
  EXPECT_EQ(red.mCached, blue.mCached);
  EXPECT_EQ(s_fontCache.Size(), before + 1);

  int redInk = 0, blueInk = 0, wrongInk = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 120; ++x) {
      const IColor c = gui.GetPoint(x, y);
      if (c.R > 128 && c.B < 64) (y < 30 ? redInk : wrongInk)++;
      if (c.B > 128 && c.R < 64) (y >= 30 ? blueInk : wrongInk)++;
    }
  EXPECT_GT(redInk, 20);
  EXPECT_GT(blueInk, 20);
  EXPECT_EQ(wrongInk, 0);

  // A different size, style or face is a different font.
  IText italic(23, COLOR_RED, kFace, IText::kStyleItalic);
  EXPECT_NE(gui.CacheFont(&italic), red.mCached);
  IText smaller(22, COLOR_RED, kFace, IText::kStyleBold);
  EXPECT_NE(gui.CacheFont(&smaller), red.mCached);
}

TEST(IGraphicsText, CachedFontsHaveTheRequestedLineHeight) {
  GraphicsTestPlug plug;
  IGraphicsHeadless gui(&plug, 10, 10);
  for (const char* face : {"DejaVu Sans", "Liberation Serif", "DejaVu Sans Mono"}) {
    for (int size : {7, 10, 13, 19, 31, 48}) {
      IText style(size, COLOR_BLACK, face);
      LICE_CachedFont* font = gui.CacheFont(&style);
      ASSERT_NE(font, nullptr) << face << " " << size;
      EXPECT_LE(std::abs(font->GetLineHeight() - size), 1) << face << " " << size;
    }
  }
  // Below 2 the font system is asked for 2.
  IText tiny(1, COLOR_BLACK, "DejaVu Sans");
  LICE_CachedFont* font = gui.CacheFont(&tiny);
  ASSERT_NE(font, nullptr);
  EXPECT_LE(font->GetLineHeight(), 3);
  EXPECT_GE(font->GetLineHeight(), 1);
}

TEST(IGraphicsText, AFontThatCannotBeMadeFailsAndIsNotCached) {
  GraphicsTestPlug plug;
  IGraphicsHeadless gui(&plug, 10, 10);
  gui.PrepDraw();
  const int before = s_fontCache.Size();
  IText huge(100000, COLOR_BLACK, "DejaVu Sans");
  IRECT r(0, 0, 10, 10);
  EXPECT_EQ(gui.CacheFont(&huge), nullptr);
  EXPECT_FALSE(gui.DrawIText(&huge, "x", &r));
  EXPECT_EQ(s_fontCache.Size(), before);
}
