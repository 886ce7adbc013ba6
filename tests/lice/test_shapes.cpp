#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "lice/lice_combine.h"
#include "lice/lice_curve.h"
#include "lice/lice_fill.h"
#include "lice/lice_line.h"
#include "lice/lice_polygon.h"
#include "lice_test_util.h"

namespace {

constexpr LICE_pixel kWhite = 0xffffffff;
// Added once per plot: a pixel above 1 was combined twice.
constexpr LICE_pixel kOne = 0x01010101;

bool SameImage(LICE_IBitmap* a, LICE_IBitmap* b) {
  for (int y = 0; y < a->getHeight(); ++y)
    for (int x = 0; x < a->getWidth(); ++x)
      if (LICE_GetPixel(a, x, y) != LICE_GetPixel(b, x, y)) return false;
  return true;
}

int MaxBlue(LICE_IBitmap* bm) {
  int worst = 0;
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x)
      if (static_cast<int>(LICE_GETB(LICE_GetPixel(bm, x, y))) > worst) worst = LICE_GETB(LICE_GetPixel(bm, x, y));
  return worst;
}

}  // namespace

TEST(Line, BothEndPointsAreDrawnAtFullColour) {
  for (bool aa : {false, true}) {
    LICE_MemBitmap bm(12, 12);
    LICE_Clear(&bm, 0);
    LICE_Line(&bm, 1, 2, 9, 7, kWhite, 1.0f, 0, aa);
    EXPECT_EQ(LICE_GetPixel(&bm, 1, 2), kWhite) << aa;
    EXPECT_EQ(LICE_GetPixel(&bm, 9, 7), kWhite) << aa;
    EXPECT_EQ(LICE_GetPixel(&bm, 0, 2), 0u);
    EXPECT_EQ(LICE_GetPixel(&bm, 10, 7), 0u);
  }
}

TEST(Line, NonAntialiasedDrawsOnePixelPerMajorStep) {
  LICE_MemBitmap bm(12, 12);
  LICE_Clear(&bm, 0);
  LICE_Line(&bm, 1, 2, 9, 7, kOne, 1.0f, LICE_BLIT_MODE_ADD, false);
  EXPECT_EQ(CountNot(&bm, 0), 9);
  EXPECT_EQ(MaxBlue(&bm), 1);
  for (int x = 1; x <= 9; ++x) {
    int n = 0;
    for (int y = 0; y < 12; ++y) n += LICE_GetPixel(&bm, x, y) != 0;
    EXPECT_EQ(n, 1) << x;
  }
}

TEST(Line, AxisAlignedAntialiasedEqualsAliased) {
  LICE_MemBitmap a(10, 10), b(10, 10);
  LICE_Clear(&a, 0);
  LICE_Clear(&b, 0);
  LICE_Line(&a, 2, 3, 8, 3, kWhite, 1.0f, 0, true);
  LICE_Line(&a, 5, 0, 5, 9, kWhite, 1.0f, 0, true);
  LICE_Line(&b, 2, 3, 8, 3, kWhite, 1.0f, 0, false);
  LICE_Line(&b, 5, 0, 5, 9, kWhite, 1.0f, 0, false);
  EXPECT_TRUE(SameImage(&a, &b));
  EXPECT_EQ(CountNot(&a, 0), 7 + 10 - 1);
}

TEST(Line, AntialiasedCoverageOfEachColumnSumsToOne) {
  LICE_MemBitmap bm(20, 10);
  LICE_Clear(&bm, 0);
  LICE_Line(&bm, 0, 1, 19, 8, 0xff0000ff, 1.0f, LICE_BLIT_MODE_ADD, true);
  for (int x = 0; x < 20; ++x) {
    int sum = 0, lit = 0;
    for (int y = 0; y < 10; ++y) {
      sum += LICE_GETB(LICE_GetPixel(&bm, x, y));
      lit += LICE_GetPixel(&bm, x, y) != 0;
    }
    EXPECT_NEAR(sum, 255, 2) << x;
    EXPECT_LE(lit, 2);
  }
}

TEST(Line, DirectionAndMirroringDoNotChangeThePixels) {
  for (bool aa : {false, true}) {
    LICE_MemBitmap forward(16, 16), backward(16, 16), mirrored(16, 16);
    LICE_Clear(&forward, 0);
    LICE_Clear(&backward, 0);
    LICE_Clear(&mirrored, 0);
    LICE_Line(&forward, 2, 3, 13, 9, kWhite, 1.0f, 0, aa);
    LICE_Line(&backward, 13, 9, 2, 3, kWhite, 1.0f, 0, aa);
    LICE_Line(&mirrored, 15 - 2, 3, 15 - 13, 9, kWhite, 1.0f, 0, aa);
    EXPECT_TRUE(SameImage(&forward, &backward)) << aa;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        EXPECT_EQ(LICE_GetPixel(&forward, x, y), LICE_GetPixel(&mirrored, 15 - x, y)) << aa << " " << x << "," << y;
  }
}

TEST(Line, HugeCoordinatesAreClippedQuickly) {
  LICE_MemBitmap bm(8, 8);
  LICE_Clear(&bm, 0);
  LICE_Line(&bm, INT_MIN, 4, INT_MAX, 4, kOne, 1.0f, LICE_BLIT_MODE_ADD, true);
  for (int x = 0; x < 8; ++x) EXPECT_EQ(LICE_GetPixel(&bm, x, 4), kOne);
  EXPECT_EQ(CountNot(&bm, 0), 8);
  LICE_Clear(&bm, 0);
  LICE_Line(&bm, INT_MIN, INT_MIN, INT_MAX, INT_MAX, kWhite, 1.0f, 0, false);
  LICE_FLine(&bm, -1e30f, -1e30f, 1e30f, 1e30f, kWhite, 1.0f, 0, true);
  LICE_Line(&bm, 100, 100, 200, 200, kWhite, 1.0f, 0, true);
  LICE_Line(nullptr, 0, 0, 5, 5, kWhite, 1.0f, 0, true);
}

TEST(FLine, NonFiniteEndPointsDrawNothing) {
  LICE_MemBitmap bm(8, 8);
  LICE_Clear(&bm, 0);
  LICE_FLine(&bm, NAN, 1, 5, 5, kWhite, 1.0f, 0, true);
  LICE_FLine(&bm, 1, 1, INFINITY, 5, kWhite, 1.0f, 0, false);
  LICE_FLine(&bm, 1, -INFINITY, 5, 5, kWhite, 1.0f, 0, true);
  LICE_FLine(&bm, 1, 1, 5, 5, kWhite, 0.0f, 0, true);
  EXPECT_EQ(CountNot(&bm, 0), 0);
}

TEST(FLine, HalfPixelOffsetSplitsCoverageEvenly) {
  LICE_MemBitmap bm(8, 8);
  LICE_Clear(&bm, 0);
  LICE_FLine(&bm, 1.0f, 3.5f, 6.0f, 3.5f, 0xff0000ff, 1.0f, LICE_BLIT_MODE_ADD, true);
  for (int x = 1; x <= 6; ++x) {
    // Coverage 128 adds 255 * 128 / 256.
    EXPECT_EQ(LICE_GETB(LICE_GetPixel(&bm, x, 3)), 127u) << x;
    EXPECT_EQ(LICE_GETB(LICE_GetPixel(&bm, x, 4)), 127u) << x;
  }
}

TEST(Circle, TouchesTheFourAxisPointsAndIsFourFoldSymmetric) {
  for (bool aa : {false, true}) {
    LICE_MemBitmap bm(21, 21);
    LICE_Clear(&bm, 0);
    LICE_Circle(&bm, 10, 10, 6, kWhite, 1.0f, 0, aa);
    for (auto pt : {std::pair<int, int>{16, 10}, {4, 10}, {10, 4}, {10, 16}})
      EXPECT_EQ(LICE_GetPixel(&bm, pt.first, pt.second), kWhite) << aa;
    EXPECT_EQ(LICE_GetPixel(&bm, 10, 10), 0u);
    EXPECT_EQ(LICE_GetPixel(&bm, 12, 11), 0u);
    EXPECT_EQ(LICE_GetPixel(&bm, 18, 10), 0u);
    for (int y = 0; y < 21; ++y)
      for (int x = 0; x < 21; ++x) EXPECT_EQ(LICE_GetPixel(&bm, x, y), LICE_GetPixel(&bm, 20 - y, x)) << aa;
  }
}

TEST(Circle, EachPixelIsCombinedOnceAndTheRingHasNoGaps) {
  for (float r : {3.0f, 7.5f, 20.5f, 31.25f}) {
    LICE_MemBitmap bm(80, 80);
    LICE_Clear(&bm, 0);
    LICE_Circle(&bm, 40, 40, r, kOne, 1.0f, LICE_BLIT_MODE_ADD, false);
    EXPECT_EQ(MaxBlue(&bm), 1) << r;
    // Every column the circle spans holds a pixel on each half.
    for (int x = static_cast<int>(std::ceil(40 - r + 0.5)); x <= static_cast<int>(40 + r - 0.5); ++x) {
      int top = 0, bottom = 0;
      for (int y = 0; y < 40; ++y) top += LICE_GetPixel(&bm, x, y) != 0;
      for (int y = 41; y < 80; ++y) bottom += LICE_GetPixel(&bm, x, y) != 0;
      EXPECT_GE(top, 1) << r << " " << x;
      EXPECT_GE(bottom, 1) << r << " " << x;
    }
  }
}

TEST(Circle, HostileArgumentsAreSafe) {
  LICE_MemBitmap bm(8, 8), empty;
  LICE_Clear(&bm, 0);
  LICE_Circle(&bm, NAN, 4, 3, kWhite, 1.0f, 0, true);
  LICE_Circle(&bm, 4, 4, INFINITY, kWhite, 1.0f, 0, true);
  LICE_Circle(&bm, 4, 4, -3, kWhite, 1.0f, 0, true);
  LICE_FillCircle(&bm, 4, NAN, 3, kWhite, 1.0f, 0, true);
  LICE_FillCircle(&bm, 4, 4, -1, kWhite, 1.0f, 0, false);
  LICE_Arc(&bm, 4, 4, 3, NAN, 1, kWhite, 1.0f, 0, true);
  EXPECT_EQ(CountNot(&bm, 0), 0);
  LICE_Circle(&bm, 4, 4, 1e30f, kWhite, 1.0f, 0, true);
  LICE_Circle(&bm, -1e9f, 4, 1e9f, kWhite, 1.0f, 0, true);
  LICE_FillCircle(&bm, 4, 4, 1e30f, kWhite, 1.0f, 0, true);
  EXPECT_EQ(CountNot(&bm, kWhite), 0);
  LICE_Arc(&bm, 4, 4, 3, -1e30f, 1e30f, kWhite, 1.0f, 0, true);
  LICE_Circle(&empty, 4, 4, 3, kWhite, 1.0f, 0, true);
  LICE_FillCircle(nullptr, 4, 4, 3, kWhite, 1.0f, 0, true);
}

TEST(Arc, QuarterFromTopToRightStaysInItsQuadrant) {
  LICE_MemBitmap bm(21, 21);
  LICE_Clear(&bm, 0);
  LICE_Arc(&bm, 10, 10, 6, 0.0f, 1.5707964f, kWhite, 1.0f, 0, true);
  EXPECT_EQ(LICE_GetPixel(&bm, 10, 4), kWhite);
  EXPECT_EQ(LICE_GetPixel(&bm, 16, 10), kWhite);
  EXPECT_NE(LICE_GetPixel(&bm, 14, 6), 0u);
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 21; ++x)
      if (x < 10 || y > 10) {
        EXPECT_EQ(LICE_GetPixel(&bm, x, y), 0u) << x << "," << y;
      }
}

TEST(Arc, ReversedAnglesAndFullTurnsMatch) {
  LICE_MemBitmap a(21, 21), b(21, 21), full(21, 21), circle(21, 21);
  for (LICE_MemBitmap* bm : {&a, &b, &full, &circle}) LICE_Clear(bm, 0);
  LICE_Arc(&a, 10, 10, 6, 1.0f, 4.0f, kWhite, 1.0f, 0, true);
  LICE_Arc(&b, 10, 10, 6, 4.0f, 1.0f, kWhite, 1.0f, 0, true);
  LICE_Arc(&full, 10, 10, 6, -3.0f, 7.0f, kWhite, 1.0f, 0, true);
  LICE_Circle(&circle, 10, 10, 6, kWhite, 1.0f, 0, true);
  EXPECT_TRUE(SameImage(&a, &b));
  EXPECT_TRUE(SameImage(&full, &circle));
}

TEST(FillCircle, AliasedFillsPixelsWhoseCentreIsInside) {
  LICE_MemBitmap bm(11, 11);
  LICE_Clear(&bm, 0);
  LICE_FillCircle(&bm, 5, 5, 3, kOne, 1.0f, LICE_BLIT_MODE_ADD, false);
  EXPECT_EQ(CountNot(&bm, 0), 29);  // lattice points within distance 3
  EXPECT_EQ(MaxBlue(&bm), 1);
}

TEST(FillCircle, AntialiasedEdgeFadesAndInteriorIsSolid) {
  LICE_MemBitmap bm(21, 21);
  LICE_Clear(&bm, 0);
  LICE_FillCircle(&bm, 10, 10, 6, 0xff0000ff, 1.0f, LICE_BLIT_MODE_ADD, true);
  EXPECT_EQ(LICE_GETB(LICE_GetPixel(&bm, 10, 10)), 255u);
  EXPECT_EQ(LICE_GETB(LICE_GetPixel(&bm, 15, 10)), 255u);
  EXPECT_EQ(LICE_GETB(LICE_GetPixel(&bm, 16, 10)), 127u);  // centre on the radius: half
  EXPECT_EQ(LICE_GetPixel(&bm, 17, 10), 0u);
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 21; ++x) EXPECT_EQ(LICE_GetPixel(&bm, x, y), LICE_GetPixel(&bm, 20 - y, x));
}

TEST(RoundRect, SquareCornersDrawTheOutlineOnce) {
  LICE_MemBitmap bm(12, 10);
  LICE_Clear(&bm, 0);
  LICE_RoundRect(&bm, 2, 1, 7, 5, 0, kOne, 1.0f, LICE_BLIT_MODE_ADD, true);
  EXPECT_EQ(CountNot(&bm, 0), 2 * 7 + 2 * 5 - 4);
  EXPECT_EQ(MaxBlue(&bm), 1);
  EXPECT_EQ(LICE_GetPixel(&bm, 2, 1), kOne);
  EXPECT_EQ(LICE_GetPixel(&bm, 8, 5), kOne);
  EXPECT_EQ(LICE_GetPixel(&bm, 9, 5), 0u);
  EXPECT_EQ(LICE_GetPixel(&bm, 5, 3), 0u);
}

TEST(RoundRect, RoundedCornersSkipTheCornerPixel) {
  for (bool aa : {false, true}) {
    LICE_MemBitmap bm(30, 30);
    LICE_Clear(&bm, 0);
    LICE_RoundRect(&bm, 2, 2, 20, 16, 5, 0xff0000ff, 1.0f, LICE_BLIT_MODE_ADD, aa);
    EXPECT_EQ(LICE_GetPixel(&bm, 2, 2), 0u);
    EXPECT_EQ(LICE_GetPixel(&bm, 21, 17), 0u);
    EXPECT_EQ(LICE_GETB(LICE_GetPixel(&bm, 12, 2)), 255u);
    EXPECT_EQ(LICE_GETB(LICE_GetPixel(&bm, 21, 10)), 255u);
    EXPECT_EQ(LICE_GETB(LICE_GetPixel(&bm, 7, 2)), 255u);
    EXPECT_EQ(LICE_GETB(LICE_GetPixel(&bm, 2, 7)), 255u);
    EXPECT_EQ(MaxBlue(&bm), 255);  // the add rule would exceed 255 only by clamping
    // Left-right and top-bottom mirror images of each other.
    for (int y = 2; y < 18; ++y)
      for (int x = 2; x < 22; ++x) {
        EXPECT_EQ(LICE_GetPixel(&bm, x, y), LICE_GetPixel(&bm, 23 - x, y)) << aa;
        EXPECT_EQ(LICE_GetPixel(&bm, x, y), LICE_GetPixel(&bm, x, 19 - y)) << aa;
      }
  }
}

TEST(RoundRect, HostileArgumentsAreSafe) {
  LICE_MemBitmap bm(8, 8);
  LICE_Clear(&bm, 0);
  LICE_RoundRect(&bm, NAN, 0, 4, 4, 1, kWhite, 1.0f, 0, true);
  LICE_RoundRect(&bm, 0, 0, -4, 4, 1, kWhite, 1.0f, 0, true);
  LICE_RoundRect(&bm, 0, 0, 4, INFINITY, 1, kWhite, 1.0f, 0, true);
  EXPECT_EQ(CountNot(&bm, 0), 0);
  LICE_RoundRect(&bm, -1e30f, -1e30f, 1e30f, 1e30f, INT_MAX, kWhite, 1.0f, 0, true);
  LICE_RoundRect(&bm, 1, 1, 3, 3, INT_MIN, kWhite, 1.0f, 0, false);
  LICE_RoundRect(&bm, 1, 1, 1, 1, 50, kWhite, 1.0f, 0, true);
  EXPECT_EQ(LICE_GetPixel(&bm, 1, 1), kWhite);
}

TEST(FillTriangle, FillsEdgesInclusivelyAndOnce) {
  LICE_MemBitmap bm(8, 8);
  LICE_Clear(&bm, 0);
  LICE_FillTriangle(&bm, 0, 0, 4, 0, 0, 4, kOne, 1.0f, LICE_BLIT_MODE_ADD);
  EXPECT_EQ(CountNot(&bm, 0), 15);
  EXPECT_EQ(MaxBlue(&bm), 1);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(LICE_GetPixel(&bm, x, y) != 0, x + y <= 4) << x << "," << y;
}

TEST(FillConvexPolygon, CoversTheImageAndSurvivesHostileInput) {
  LICE_MemBitmap bm(6, 6);
  LICE_Clear(&bm, 0);
  const int hx[] = {INT_MIN, INT_MAX, INT_MAX, INT_MIN};
  const int hy[] = {INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  LICE_FillConvexPolygon(&bm, hx, hy, 0, kWhite, 1.0f, 0);
  LICE_FillConvexPolygon(&bm, hx, hy, -5, kWhite, 1.0f, 0);
  LICE_FillConvexPolygon(&bm, nullptr, hy, 4, kWhite, 1.0f, 0);
  LICE_FillConvexPolygon(nullptr, hx, hy, 4, kWhite, 1.0f, 0);
  EXPECT_EQ(CountNot(&bm, 0), 0);
  LICE_FillConvexPolygon(&bm, hx, hy, 4, kWhite, 1.0f, 0);
  EXPECT_EQ(CountNot(&bm, kWhite), 0);
  LICE_Clear(&bm, 0);
  const int px[] = {3}, py[] = {2};
  LICE_FillConvexPolygon(&bm, px, py, 1, kWhite, 1.0f, 0);
  EXPECT_EQ(LICE_GetPixel(&bm, 3, 2), kWhite);
  EXPECT_EQ(CountNot(&bm, 0), 1);
}
