#include <gtest/gtest.h>

#include <cmath>

#include "graphics/igraphics_headless.h"
#include "tests/graphics/graphics_test_support.h"

namespace {
struct Canvas {
  GraphicsTestPlug plug;
  IGraphicsHeadless gui{&plug, 120, 80};
  Canvas() { gui.PrepDraw(); }
  bool Ink(int x, int y) { return gui.GetPoint(x, y).A != 0; }
  int CountInk() {
    int n = 0;
    for (int y = 0; y < gui.Height(); ++y)
      for (int x = 0; x < gui.Width(); ++x) n += Ink(x, y);
    return n;
  }
};
}  // namespace

TEST(IGraphicsPrimitives, NothingIsDrawnBeforePrepDraw) {
  GraphicsTestPlug plug;
  IGraphicsHeadless gui(&plug, 10, 10);
  IRECT r(0, 0, 5, 5);
  EXPECT_FALSE(gui.FillIRect(&COLOR_RED, &r));
  EXPECT_FALSE(gui.DrawLine(&COLOR_RED, 0, 0, 5, 5));
  EXPECT_EQ(gui.GetBits(), nullptr);
  EXPECT_EQ(gui.GetPoint(1, 1), COLOR_TRANSPARENT);
}

TEST(IGraphicsPrimitives, VerticalAndHorizontalLinesAtAFraction) {
  Canvas c;
  IRECT r(0, 0, 100, 50);
  c.gui.DrawVerticalLine(&COLOR_WHITE, &r, 1.5f);
  EXPECT_TRUE(c.Ink(100, 0));
  EXPECT_TRUE(c.Ink(100, 50));
  EXPECT_FALSE(c.Ink(99, 25));
  c.gui.DrawVerticalLine(&COLOR_WHITE, &r, -1.0f);
  EXPECT_TRUE(c.Ink(0, 25));
  EXPECT_FALSE(c.Ink(1, 25));
  c.gui.DrawHorizontalLine(&COLOR_WHITE, &r, 0.5f);
  EXPECT_TRUE(c.Ink(50, 25));
  EXPECT_FALSE(c.Ink(50, 24));
  EXPECT_FALSE(c.Ink(50, 26));
  // NaN is read as 0, not converted blindly.
  c.gui.DrawHorizontalLine(&COLOR_WHITE, &r, std::nanf(""));
  EXPECT_TRUE(c.Ink(50, 50));
}

TEST(IGraphicsPrimitives, FillsPackTheColourAndHonourTheBlend) {
  Canvas c;
  IRECT r(10, 10, 20, 15);
  IColor colour(255, 10, 20, 30);
  c.gui.FillIRect(&colour, &r);
  EXPECT_EQ(c.gui.GetPoint(10, 10), colour);
  EXPECT_EQ(c.gui.GetPoint(19, 14), colour);
  EXPECT_FALSE(c.Ink(20, 14));
  EXPECT_FALSE(c.Ink(19, 15));

  IChannelBlend half(IChannelBlend::kBlendCopy, 0.5f);
  IRECT over(10, 10, 11, 11);
  c.gui.FillIRect(&COLOR_WHITE, &over, &half);
  const IColor mixed = c.gui.GetPoint(10, 10);
  EXPECT_NEAR(mixed.R, (10 + 255) / 2, 2);
  EXPECT_NEAR(mixed.B, (30 + 255) / 2, 2);
}

TEST(IGraphicsPrimitives, ForcePixelWritesExactlyAndIgnoresOutsidePoints) {
  Canvas c;
  IColor seeThrough(17, 1, 2, 3);
  EXPECT_TRUE(c.gui.ForcePixel(&seeThrough, 5, 6));
  EXPECT_EQ(c.gui.GetPoint(5, 6), seeThrough);
  EXPECT_FALSE(c.gui.ForcePixel(&seeThrough, -1, 0));
  EXPECT_FALSE(c.gui.ForcePixel(&seeThrough, 120, 0));
  EXPECT_FALSE(c.gui.ForcePixel(&seeThrough, 0, 80));
  EXPECT_EQ(c.CountInk(), 1);
}

TEST(IGraphicsPrimitives, RectOutlineAndPoint) {
  Canvas c;
  IRECT r(10, 10, 30, 20);
  c.gui.DrawRect(&COLOR_GREEN, &r);
  EXPECT_TRUE(c.Ink(10, 10));
  EXPECT_TRUE(c.Ink(30, 20));
  EXPECT_TRUE(c.Ink(20, 20));
  EXPECT_TRUE(c.Ink(30, 15));
  EXPECT_FALSE(c.Ink(20, 15));
  EXPECT_EQ(c.CountInk(), 2 * 21 + 2 * 9);
  c.gui.DrawPoint(&COLOR_RED, 50.4f, 60.6f);
  EXPECT_EQ(c.gui.GetPoint(50, 61), COLOR_RED);
}

TEST(IGraphicsPrimitives, RadialLineRunsFromTheInnerToTheOuterRadius) {
  Canvas c;
  // Straight up from the centre (60, 40): inner radius 10, outer 30.
  c.gui.DrawRadialLine(&COLOR_WHITE, 60.0f, 40.0f, 0.0f, 10.0f, 30.0f);
  EXPECT_TRUE(c.Ink(60, 30));
  EXPECT_TRUE(c.Ink(60, 10));
  EXPECT_FALSE(c.Ink(60, 31));
  EXPECT_FALSE(c.Ink(60, 9));
  // A quarter turn clockwise points right.
  c.gui.DrawRadialLine(&COLOR_WHITE, 60.0f, 40.0f, static_cast<float>(M_PI / 2), 10.0f, 20.0f);
  EXPECT_TRUE(c.Ink(75, 40));
  EXPECT_FALSE(c.Ink(45, 40));
}

TEST(IGraphicsPrimitives, FilledRoundRectLeavesTheCornersOut) {
  Canvas c;
  IRECT r(10, 10, 50, 40);
  c.gui.FillRoundRect(&COLOR_BLUE, &r, nullptr, 8, false);
  EXPECT_TRUE(c.Ink(30, 25));
  EXPECT_TRUE(c.Ink(30, 10));
  EXPECT_TRUE(c.Ink(10, 25));
  EXPECT_TRUE(c.Ink(49, 25));
  EXPECT_FALSE(c.Ink(10, 10));
  EXPECT_FALSE(c.Ink(49, 39));
  EXPECT_FALSE(c.Ink(50, 25));
}

TEST(IGraphicsPrimitives, PolygonsNeedTheirPoints) {
  Canvas c;
  const int xs[] = {10, 30, 20};
  const int ys[] = {10, 10, 30};
  EXPECT_FALSE(c.gui.FillIConvexPolygon(&COLOR_RED, nullptr, ys, 3));
  EXPECT_TRUE(c.gui.FillIConvexPolygon(&COLOR_RED, xs, ys, 3));
  EXPECT_TRUE(c.Ink(20, 15));
  EXPECT_FALSE(c.Ink(12, 25));
  c.gui.FillTriangle(&COLOR_GREEN, 60, 10, 80, 10, 70, 30);
  EXPECT_EQ(c.gui.GetPoint(70, 15), COLOR_GREEN);
}
