// Anti-aliased wide shapes, gradients and un-premultiplying.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "lice/lice_combine.h"
#include "lice/lice_fill.h"
#include "lice/lice_soft_shapes.h"
#include "lice_test_util.h"

namespace {

constexpr LICE_pixel kWhite = 0xffffffffu;
constexpr int kCopy = LICE_BLIT_MODE_COPY;

unsigned AlphaAt(LICE_IBitmap* bm, int x, int y) { return LICE_GETA(LICE_GetPixel(bm, x, y)); }

}  // namespace

TEST(SoftShapes, GradientRectRunsFromTopToBottomRowAndClips) {
  LICE_MemBitmap bm(8, 8);
  LICE_Clear(&bm, 0);
  LICE_GradientRect(&bm, 2, -2, 4, 9, 0xff000000u, 0xff0000ffu, 1.0f, kCopy);
  // Rows -2..6: row -2 would be pure top, row 6 pure bottom.
  EXPECT_EQ(LICE_GetPixel(&bm, 2, 6), 0xff0000ffu);
  EXPECT_EQ(LICE_GETB(LICE_GetPixel(&bm, 3, 2)), 128u);  // half way
  EXPECT_LT(LICE_GETB(LICE_GetPixel(&bm, 3, 0)), LICE_GETB(LICE_GetPixel(&bm, 3, 1)));
  EXPECT_EQ(LICE_GetPixel(&bm, 1, 3), 0u);
  EXPECT_EQ(LICE_GetPixel(&bm, 6, 3), 0u);
  EXPECT_EQ(LICE_GetPixel(&bm, 3, 7), 0u);
  LICE_GradientRect(&bm, 0, 0, 0, 5, kWhite, kWhite, 1.0f, kCopy);
  LICE_GradientRect(&bm, 20, 20, 5, 5, kWhite, kWhite, 1.0f, kCopy);
  LICE_GradientRect(nullptr, 0, 0, 5, 5, kWhite, kWhite, 1.0f, kCopy);
  EXPECT_EQ(CountNot(&bm, 0), 4 * 7);
}

TEST(SoftShapes, CircleIsSolidInsideFadesAtTheEdgeAndIsSymmetric) {
  LICE_MemBitmap bm(21, 21);
  LICE_Clear(&bm, 0);
  LICE_FillGradientCircle(&bm, 10, 10, 6, kWhite, kWhite, 1.0f, kCopy);
  EXPECT_EQ(LICE_GetPixel(&bm, 10, 10), kWhite);
  EXPECT_EQ(LICE_GetPixel(&bm, 10, 5), kWhite);  // 5 from the centre: inside by 1
  EXPECT_EQ(AlphaAt(&bm, 10, 4), 128u);          // centre exactly on the edge
  EXPECT_EQ(LICE_GetPixel(&bm, 10, 3), 0u);
  EXPECT_EQ(LICE_GetPixel(&bm, 0, 0), 0u);
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 21; ++x) {
      EXPECT_EQ(LICE_GetPixel(&bm, x, y), LICE_GetPixel(&bm, 20 - x, y)) << x << "," << y;
      EXPECT_EQ(LICE_GetPixel(&bm, x, y), LICE_GetPixel(&bm, y, x)) << x << "," << y;
    }
}

TEST(SoftShapes, CircleGradientTakesTopColourAtTopAndBottomColourAtBottom) {
  LICE_MemBitmap bm(21, 21);
  LICE_Clear(&bm, 0);
  LICE_FillGradientCircle(&bm, 10, 10, 8, 0xff0000ffu, 0xffff0000u, 1.0f, kCopy);
  const LICE_pixel up = LICE_GetPixel(&bm, 10, 3), down = LICE_GetPixel(&bm, 10, 17);
  EXPECT_GT(LICE_GETB(up), 200u);
  EXPECT_LT(LICE_GETR(up), 60u);
  EXPECT_GT(LICE_GETR(down), 200u);
  EXPECT_LT(LICE_GETB(down), 60u);
}

TEST(SoftShapes, RoundRectWithoutRadiusCoversExactlyItsPixels) {
  LICE_MemBitmap bm(12, 12);
  LICE_Clear(&bm, 0);
  LICE_FillGradientRoundRect(&bm, 2, 3, 5, 4, 0, kWhite, kWhite, 1.0f, kCopy);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) {
      const bool inside = x >= 2 && x < 7 && y >= 3 && y < 7;
      EXPECT_EQ(LICE_GetPixel(&bm, x, y), inside ? kWhite : 0u) << x << "," << y;
    }
}

TEST(SoftShapes, RoundRectCornersAreCutAndTheRadiusIsCapped) {
  LICE_MemBitmap bm(20, 20);
  LICE_Clear(&bm, 0);
  LICE_FillGradientRoundRect(&bm, 0, 0, 20, 20, 5, kWhite, kWhite, 1.0f, kCopy);
  EXPECT_EQ(AlphaAt(&bm, 0, 0), 0u);
  EXPECT_EQ(AlphaAt(&bm, 19, 19), 0u);
  EXPECT_EQ(LICE_GetPixel(&bm, 10, 0), kWhite);
  EXPECT_EQ(LICE_GetPixel(&bm, 0, 10), kWhite);
  EXPECT_EQ(LICE_GetPixel(&bm, 2, 2), kWhite);
  // A radius beyond half the shorter side gives the same pill as half of it.
  LICE_MemBitmap half(20, 10), huge(20, 10);
  LICE_Clear(&half, 0);
  LICE_Clear(&huge, 0);
  LICE_FillGradientRoundRect(&half, 0, 0, 20, 10, 5, kWhite, kWhite, 1.0f, kCopy);
  LICE_FillGradientRoundRect(&huge, 0, 0, 20, 10, 50, kWhite, kWhite, 1.0f, kCopy);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) EXPECT_EQ(LICE_GetPixel(&half, x, y), LICE_GetPixel(&huge, x, y));
  EXPECT_EQ(AlphaAt(&huge, 0, 0), 0u);
  EXPECT_EQ(LICE_GetPixel(&huge, 10, 9), kWhite);
}

TEST(SoftShapes, ArcStrokeStaysWithinItsAnglesPlusRoundEnds) {
  LICE_MemBitmap bm(41, 41);
  LICE_Clear(&bm, 0);
  const float pi = 3.14159265f;
  // The right half, from 12 o'clock to 6 o'clock, radius 15, width 4.
  LICE_FillArcStroke(&bm, 20, 20, 15, 4, 0, pi, kWhite, 1.0f, kCopy);
  EXPECT_EQ(LICE_GetPixel(&bm, 35, 20), kWhite);  // 3 o'clock
  EXPECT_EQ(LICE_GetPixel(&bm, 5, 20), 0u);       // 9 o'clock
  EXPECT_EQ(LICE_GetPixel(&bm, 20, 20), 0u);      // centre
  EXPECT_EQ(LICE_GetPixel(&bm, 20, 5), kWhite);   // the start
  EXPECT_EQ(LICE_GetPixel(&bm, 19, 5), kWhite);   // its round end reaches back by half the width
  EXPECT_EQ(LICE_GetPixel(&bm, 16, 5), 0u);
  // A full turn is a closed ring.
  LICE_MemBitmap ring(41, 41);
  LICE_Clear(&ring, 0);
  LICE_FillArcStroke(&ring, 20, 20, 15, 4, -pi, pi, kWhite, 1.0f, kCopy);
  EXPECT_EQ(LICE_GetPixel(&ring, 5, 20), kWhite);
  EXPECT_EQ(LICE_GetPixel(&ring, 20, 35), kWhite);
  EXPECT_EQ(LICE_GetPixel(&ring, 20, 20), 0u);
}

TEST(SoftShapes, LineStrokeHasWidthAndRoundEnds) {
  LICE_MemBitmap bm(30, 30);
  LICE_Clear(&bm, 0);
  LICE_FillLineStroke(&bm, 5, 15, 25, 15, 5, kWhite, 1.0f, kCopy);
  EXPECT_EQ(LICE_GetPixel(&bm, 15, 13), kWhite);
  EXPECT_EQ(LICE_GetPixel(&bm, 15, 17), kWhite);
  EXPECT_EQ(AlphaAt(&bm, 15, 18), 0u);
  EXPECT_EQ(LICE_GetPixel(&bm, 3, 15), kWhite);  // round end, radius 2.5
  EXPECT_EQ(AlphaAt(&bm, 2, 15), 0u);
  EXPECT_LT(AlphaAt(&bm, 3, 13), 64u);  // a square end would cover it fully
  // A zero-length stroke is a dot.
  LICE_MemBitmap dot(10, 10);
  LICE_Clear(&dot, 0);
  LICE_FillLineStroke(&dot, 5, 5, 5, 5, 3, kWhite, 1.0f, kCopy);
  EXPECT_EQ(LICE_GetPixel(&dot, 5, 5), kWhite);
  EXPECT_EQ(LICE_GetPixel(&dot, 8, 5), 0u);
}

TEST(SoftShapes, HostileArgumentsDrawNothing) {
  LICE_MemBitmap bm(10, 10);
  LICE_Clear(&bm, 0);
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  LICE_FillGradientCircle(&bm, 5, 5, nan, kWhite, kWhite, 1.0f, kCopy);
  LICE_FillGradientCircle(&bm, nan, 5, 3, kWhite, kWhite, 1.0f, kCopy);
  LICE_FillGradientCircle(&bm, 5, 5, -3, kWhite, kWhite, 1.0f, kCopy);
  LICE_FillGradientRoundRect(&bm, 0, 0, inf, 5, 2, kWhite, kWhite, 1.0f, kCopy);
  LICE_FillArcStroke(&bm, 5, 5, 3, 2, 1.0f, 0.5f, kWhite, 1.0f, kCopy);
  LICE_FillArcStroke(&bm, 5, 5, 3, nan, 0, 1, kWhite, 1.0f, kCopy);
  LICE_FillLineStroke(&bm, 0, 0, inf, 9, 2, kWhite, 1.0f, kCopy);
  LICE_FillLineStroke(&bm, 0, 0, 9, 9, 2, kWhite, 0.0f, kCopy);
  LICE_FillLineStroke(nullptr, 0, 0, 9, 9, 2, kWhite, 1.0f, kCopy);
  EXPECT_EQ(CountNot(&bm, 0), 0);
  // Huge shapes are clipped to the image, not walked.
  LICE_FillGradientCircle(&bm, 5, 5, 1e8f, kWhite, kWhite, 1.0f, kCopy);
  EXPECT_EQ(CountNot(&bm, kWhite), 0);
}

TEST(SoftShapes, OpacityScalesCoverage) {
  LICE_MemBitmap bm(10, 10);
  LICE_Clear(&bm, 0);
  LICE_FillGradientCircle(&bm, 5, 5, 4, kWhite, kWhite, 0.5f, kCopy);
  EXPECT_EQ(AlphaAt(&bm, 5, 5), 128u);
  EXPECT_EQ(AlphaAt(&bm, 5, 1), 64u);  // half covered at half opacity
}

TEST(SoftShapes, DemultiplyRestoresTheColourOfEdgePixels) {
  LICE_MemBitmap bm(3, 1);
  bm.getBits()[0] = LICE_RGBA(64, 32, 128, 128);
  bm.getBits()[1] = LICE_RGBA(10, 20, 30, 0);
  bm.getBits()[2] = LICE_RGBA(10, 20, 30, 255);
  LICE_DemultiplyAlpha(&bm);
  EXPECT_EQ(bm.getBits()[0], LICE_RGBA(128, 64, 255, 128));
  EXPECT_EQ(bm.getBits()[1], 0u);
  EXPECT_EQ(bm.getBits()[2], LICE_RGBA(10, 20, 30, 255));

  // An opaque colour drawn onto transparency keeps that colour at every
  // partly covered pixel once demultiplied, so it blends without a dark rim.
  LICE_MemBitmap disc(15, 15);
  LICE_Clear(&disc, 0);
  const LICE_pixel colour = LICE_RGBA(200, 120, 40, 255);
  LICE_FillGradientCircle(&disc, 7, 7, 5.3f, colour, colour, 1.0f, kCopy);
  LICE_DemultiplyAlpha(&disc);
  int edges = 0;
  for (int y = 0; y < 15; ++y)
    for (int x = 0; x < 15; ++x) {
      const LICE_pixel p = LICE_GetPixel(&disc, x, y);
      if (LICE_GETA(p) == 0 || LICE_GETA(p) == 255) continue;
      ++edges;
      // Rounding at the premultiplied step costs up to 255 / alpha.
      const int slack = 1 + 255 / static_cast<int>(LICE_GETA(p));
      EXPECT_NEAR(static_cast<int>(LICE_GETR(p)), 200, slack);
      EXPECT_NEAR(static_cast<int>(LICE_GETG(p)), 120, slack);
      EXPECT_NEAR(static_cast<int>(LICE_GETB(p)), 40, slack);
    }
  EXPECT_GT(edges, 10);
}
