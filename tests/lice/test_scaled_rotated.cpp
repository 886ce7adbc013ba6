#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "lice/lice_blit.h"
#include "lice/lice_combine.h"
#include "lice/lice_fill.h"
#include "lice/lice_rotated_blit.h"
#include "lice/lice_scaled_blit.h"
#include "lice_test_util.h"

namespace {

const float kHalfPi = 1.57079632679f;

void Checkerboard(LICE_IBitmap* bm) {
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x)
      bm->getBits()[y * bm->getRowSpan() + x] = ((x + y) & 1) ? 0xffffffff : 0xff000000;
}

}  // namespace

TEST(ScaledBlit, NearestDoublesEveryPixel) {
  LICE_MemBitmap src(3, 2), dst(6, 4);
  FillCoordinates(&src);
  LICE_ScaledBlit(&dst, &src, 0, 0, 6, 4, 0, 0, 3, 2, 1.0f, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(LICE_GetPixel(&dst, x, y), Coord(x / 2, y / 2)) << x << "," << y;
}

TEST(ScaledBlit, NearestHalvingTakesEveryOtherPixel) {
  LICE_MemBitmap src(8, 8), dst(4, 4);
  FillCoordinates(&src);
  LICE_ScaledBlit(&dst, &src, 0, 0, 4, 4, 0, 0, 8, 8, 1.0f, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(LICE_GetPixel(&dst, x, y), Coord(2 * x, 2 * y));
}

TEST(ScaledBlit, BilinearInterpolatesAndHoldsTheLastColumn) {
  LICE_MemBitmap src(2, 1), dst(4, 1);
  src.getBits()[0] = 0xff000000;
  src.getBits()[1] = 0xff0000c8;
  LICE_ScaledBlit(&dst, &src, 0, 0, 4, 1, 0, 0, 2, 1, 1.0f, LICE_BLIT_FILTER_BILINEAR);
  EXPECT_EQ(LICE_GetPixel(&dst, 0, 0), 0xff000000u);
  EXPECT_EQ(LICE_GetPixel(&dst, 1, 0), 0xff000064u);
  EXPECT_EQ(LICE_GetPixel(&dst, 2, 0), 0xff0000c8u);
  EXPECT_EQ(LICE_GetPixel(&dst, 3, 0), 0xff0000c8u);
}

TEST(ScaledBlit, BilinearMixesFourNeighbours) {
  LICE_MemBitmap src(2, 2), dst(4, 4);
  src.getBits()[0] = 0x00000000;
  src.getBits()[1] = 0x00000040;
  src.getBits()[src.getRowSpan()] = 0x00000080;
  src.getBits()[src.getRowSpan() + 1] = 0x000000c0;
  LICE_ScaledBlit(&dst, &src, 0, 0, 4, 4, 0, 0, 2, 2, 1.0f, LICE_BLIT_FILTER_BILINEAR);
  EXPECT_EQ(LICE_GetPixel(&dst, 1, 1), 0x00000060u);  // centre of the four: (0+64+128+192)/4
  EXPECT_EQ(LICE_GetPixel(&dst, 1, 0), 0x00000020u);
  EXPECT_EQ(LICE_GetPixel(&dst, 0, 1), 0x00000040u);
}

TEST(ScaledBlit, ShrinkingWithTheFilterAveragesFinePatterns) {
  for (int factor : {2, 4}) {
    LICE_MemBitmap src(8 * factor, 8 * factor), nearest(8, 8), filtered(8, 8);
    Checkerboard(&src);
    LICE_ScaledBlit(&nearest, &src, 0, 0, 8, 8, 0, 0, 8.0f * factor, 8.0f * factor, 1.0f, 0);
    LICE_ScaledBlit(&filtered, &src, 0, 0, 8, 8, 0, 0, 8.0f * factor, 8.0f * factor, 1.0f, LICE_BLIT_FILTER_BILINEAR);
    EXPECT_EQ(LICE_GetPixel(&nearest, 3, 3), 0xff000000u);
    for (int y = 1; y < 7; ++y)
      for (int x = 1; x < 7; ++x) EXPECT_EQ(LICE_GetPixel(&filtered, x, y), 0xff7f7f7fu) << factor;
  }
}

TEST(ScaledBlit, BelowTheShrinkThresholdStaysBilinear) {
  LICE_MemBitmap src(24, 24), dst(16, 16);
  Checkerboard(&src);
  LICE_ScaledBlit(&dst, &src, 0, 0, 16, 16, 0, 0, 24, 24, 1.0f, LICE_BLIT_FILTER_BILINEAR);
  // Position 1.5, 1.5 straddles four pixels equally; position 3, 3 hits one.
  EXPECT_EQ(LICE_GetPixel(&dst, 1, 1), 0xff7f7f7fu);
  EXPECT_EQ(LICE_GetPixel(&dst, 2, 2), 0xff000000u);
}

TEST(ScaledBlit, SameSizeAtWholePositionIsAPlainBlit) {
  LICE_MemBitmap src(4, 4), a(4, 4), b(4, 4);
  FillCoordinates(&src, 0x90);
  for (int mode : {LICE_BLIT_MODE_COPY, LICE_BLIT_MODE_COPY | LICE_BLIT_FILTER_BILINEAR}) {
    LICE_Clear(&a, 0xff808080);
    LICE_Clear(&b, 0xff808080);
    LICE_ScaledBlit(&a, &src, 1, 0, 3, 3, 1.0002f, 0.0f, 3.0002f, 3.0f, 0.5f, mode);
    LICE_Blit(&b, &src, 1, 0, 1, 0, 3, 3, 0.5f, mode);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) EXPECT_EQ(LICE_GetPixel(&a, x, y), LICE_GetPixel(&b, x, y));
  }
  // Without filtering, alpha 0.5 is the whole-word average.
  LICE_ScaledBlit(&a, &src, 1, 0, 3, 3, 1.0f, 0.0f, 3.0f, 3.0f, 0.5f, 0);
  EXPECT_EQ(LICE_GetPixel(&a, 1, 0), LICE_HalfMix(LICE_HalfMix(0xff808080, Coord(1, 0, 0x90)), Coord(1, 0, 0x90)));
}

TEST(ScaledBlit, SamplesOutsideTheSourceLeaveTheDestination) {
  LICE_MemBitmap src(2, 2), dst(4, 4);
  FillCoordinates(&src);
  LICE_Clear(&dst, 0);
  LICE_ScaledBlit(&dst, &src, 0, 0, 4, 4, -1.0f, -1.0f, 2.0f, 2.0f, 1.0f, 0);
  EXPECT_EQ(LICE_GetPixel(&dst, 0, 0), 0u);
  EXPECT_EQ(LICE_GetPixel(&dst, 1, 1), 0u);
  EXPECT_EQ(LICE_GetPixel(&dst, 2, 2), Coord(0, 0));
  EXPECT_EQ(LICE_GetPixel(&dst, 3, 3), Coord(0, 0));
  EXPECT_EQ(CountNot(&dst, 0), 4);
}

TEST(ScaledBlit, HostileArgumentsDrawNothing) {
  LICE_MemBitmap src(4, 4), dst(4, 4), empty;
  FillCoordinates(&src);
  LICE_Clear(&dst, 0);
  const float bad[] = {NAN, INFINITY, -INFINITY, 1e30f, -1e30f};
  for (float v : bad) {
    LICE_ScaledBlit(&dst, &src, 0, 0, 4, 4, v, 0, 4, 4, 1.0f, LICE_BLIT_FILTER_BILINEAR);
    LICE_ScaledBlit(&dst, &src, 0, 0, 4, 4, 0, v, 4, 4, 1.0f, 0);
    LICE_ScaledBlit(&dst, &src, 0, 0, 4, 4, 0, 0, v, 4, 1.0f, LICE_BLIT_FILTER_BILINEAR);
    LICE_ScaledBlit(&dst, &src, 0, 0, 4, 4, 0, 0, 4, v, 1.0f, 0);
  }
  LICE_ScaledBlit(&dst, &src, 0, 0, 0, 4, 0, 0, 4, 4, 1.0f, 0);
  LICE_ScaledBlit(&dst, &src, 0, 0, -4, -4, 0, 0, 4, 4, 1.0f, 0);
  LICE_ScaledBlit(&dst, &src, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0, 4, 4, 1.0f, 0);
  LICE_ScaledBlit(&dst, &empty, 0, 0, 4, 4, 0, 0, 4, 4, 1.0f, 0);
  LICE_ScaledBlit(&empty, &src, 0, 0, 4, 4, 0, 0, 4, 4, 1.0f, 0);
  LICE_ScaledBlit(nullptr, &src, 0, 0, 4, 4, 0, 0, 4, 4, 1.0f, 0);
  EXPECT_EQ(CountNot(&dst, 0), 0);
}

TEST(ScaledBlit, OntoItselfReadsTheSourceAsItWas) {
  LICE_MemBitmap bm(4, 4);
  FillCoordinates(&bm);
  LICE_ScaledBlit(&bm, &bm, 0, 0, 4, 4, 0, 0, 2, 2, 1.0f, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(LICE_GetPixel(&bm, x, y), Coord(x / 2, y / 2));
}

TEST(RotatedBlit, QuarterTurnMovesTheTopEdgeToTheRight) {
  LICE_MemBitmap src(4, 4), dst(4, 4);
  FillCoordinates(&src);
  LICE_RotatedBlit(&dst, &src, 0, 0, 4, 4, 0, 0, 4, 4, kHalfPi, false, 1.0f, 0, 0, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(LICE_GetPixel(&dst, x, y), Coord(y, 3 - x)) << x << "," << y;
}

TEST(RotatedBlit, NoTurnIsAnExactCopyNearestAndBilinear) {
  LICE_MemBitmap src(5, 3), a(5, 3), b(5, 3);
  FillCoordinates(&src, 0x44);
  LICE_RotatedBlit(&a, &src, 0, 0, 5, 3, 0, 0, 5, 3, 0.0f, true, 1.0f, 0, 0, 0);
  LICE_RotatedBlit(&b, &src, 0, 0, 5, 3, 0, 0, 5, 3, 0.0f, true, 1.0f, LICE_BLIT_FILTER_BILINEAR, 0, 0);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) {
      EXPECT_EQ(LICE_GetPixel(&a, x, y), Coord(x, y, 0x44));
      EXPECT_EQ(LICE_GetPixel(&b, x, y), Coord(x, y, 0x44));
    }
}

TEST(RotatedBlit, NegativeWidthMirrors) {
  LICE_MemBitmap src(4, 2), dst(4, 2);
  FillCoordinates(&src);
  LICE_RotatedBlit(&dst, &src, 4, 0, -4, 2, 0, 0, 4, 2, 0.0f, false, 1.0f, 0, 0, 0);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(LICE_GetPixel(&dst, x, y), Coord(3 - x, y));
}

TEST(RotatedBlit, ClipToSourceRectLeavesOutsideSamplesAlone) {
  LICE_MemBitmap src(8, 8), clipped(4, 4), open(4, 4);
  FillCoordinates(&src);
  LICE_Clear(&clipped, 0);
  LICE_Clear(&open, 0);
  LICE_RotatedBlit(&clipped, &src, 0, 0, 4, 4, 2, 2, 4, 4, kHalfPi / 2, true, 1.0f, 0, 0, 0);
  LICE_RotatedBlit(&open, &src, 0, 0, 4, 4, 2, 2, 4, 4, kHalfPi / 2, false, 1.0f, 0, 0, 0);
  EXPECT_EQ(LICE_GetPixel(&clipped, 0, 0), 0u);
  EXPECT_NE(LICE_GetPixel(&open, 0, 0), 0u);
  EXPECT_EQ(LICE_GetPixel(&clipped, 1, 1), LICE_GetPixel(&open, 1, 1));
  EXPECT_NE(LICE_GetPixel(&clipped, 1, 1), 0u);
}

TEST(RotatedBlit, BilinearBlendsOnlyAvailableNeighboursAtTheEdge) {
  LICE_MemBitmap src(2, 1), dst(4, 1);
  src.getBits()[0] = 0xff000000;
  src.getBits()[1] = 0xff0000c8;
  LICE_RotatedBlit(&dst, &src, 0, 0, 4, 1, 0, 0, 2, 1, 0.0f, true, 1.0f, LICE_BLIT_FILTER_BILINEAR, 0, 0);
  EXPECT_EQ(LICE_GetPixel(&dst, 0, 0), 0xff000000u);
  EXPECT_EQ(LICE_GetPixel(&dst, 1, 0), 0xff000032u);
  EXPECT_EQ(LICE_GetPixel(&dst, 2, 0), 0xff000096u);
  EXPECT_EQ(LICE_GetPixel(&dst, 3, 0), 0xff0000c8u);
}

TEST(RotatedBlit, CentreOffsetShiftsThePivot) {
  LICE_MemBitmap src(4, 4), dst(4, 4);
  FillCoordinates(&src);
  LICE_Clear(&dst, 0);
  // Unrotated, moving the pivot one pixel right samples one column further.
  LICE_RotatedBlit(&dst, &src, 0, 0, 4, 4, 0, 0, 4, 4, 0.0f, false, 1.0f, 0, 1.0f, 0.0f);
  EXPECT_EQ(LICE_GetPixel(&dst, 0, 2), Coord(1, 2));
  EXPECT_EQ(LICE_GetPixel(&dst, 3, 2), 0u);
}

TEST(RotatedBlit, HostileArgumentsAreSafe) {
  LICE_MemBitmap src(4, 4), dst(4, 4), empty;
  FillCoordinates(&src);
  LICE_Clear(&dst, 0);
  const float bad[] = {NAN, INFINITY, -INFINITY};
  for (float v : bad) {
    LICE_RotatedBlit(&dst, &src, 0, 0, 4, 4, v, 0, 4, 4, 0.5f, false, 1.0f, 0x100, 0, 0);
    LICE_RotatedBlit(&dst, &src, 0, 0, 4, 4, 0, 0, 4, v, 0.5f, false, 1.0f, 0, 0, 0);
    LICE_RotatedBlit(&dst, &src, 0, 0, 4, 4, 0, 0, 4, 4, v, false, 1.0f, 0x100, 0, 0);
    LICE_RotatedBlit(&dst, &src, 0, 0, 4, 4, 0, 0, 4, 4, 0.5f, false, 1.0f, 0, v, 0);
  }
  EXPECT_EQ(CountNot(&dst, 0), 0);
  LICE_RotatedBlit(&dst, &src, 0, 0, 4, 4, 1e30f, 0, 4, 4, 0.5f, false, 1.0f, 0x100, 0, 0);
  LICE_RotatedBlit(&dst, &src, 0, 0, 4, 4, 0, 0, 1e30f, 4, 0.5f, false, 1.0f, 0x100, 0, 0);
  LICE_RotatedBlit(&dst, &src, 0, 0, 4, 4, 0, 0, 4, 4, 1e30f, true, 1.0f, 0x100, 0, 0);
  LICE_RotatedBlit(&dst, &src, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0, 4, 4, 1.0f, false, 1.0f, 0x100, 0, 0);
  LICE_RotatedBlit(&dst, &src, INT_MAX, INT_MAX, INT_MIN, INT_MIN, 0, 0, 4, 4, 1.0f, false, 1.0f, 0, 0, 0);
  LICE_RotatedBlit(&dst, &src, 0, 0, 4, 4, 0, 0, 0, 0, 1.0f, true, 1.0f, 0x100, 0, 0);
  LICE_RotatedBlit(&dst, &empty, 0, 0, 4, 4, 0, 0, 4, 4, 1.0f, false, 1.0f, 0, 0, 0);
  LICE_RotatedBlit(&empty, &src, 0, 0, 4, 4, 0, 0, 4, 4, 1.0f, false, 1.0f, 0, 0, 0);
  LICE_RotatedBlit(nullptr, &src, 0, 0, 4, 4, 0, 0, 4, 4, 1.0f, false, 1.0f, 0, 0, 0);
  LICE_RotatedBlit(&dst, &dst, 0, 0, 4, 4, 0, 0, 4, 4, 1.0f, false, 1.0f, 0x100, 0, 0);
}
