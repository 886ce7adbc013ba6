#include <gtest/gtest.h>

#include <climits>

#include "lice/lice_blit.h"
#include "lice/lice_combine.h"
#include "lice/lice_fill.h"
#include "lice_test_util.h"

TEST(Blit, WholeSourceAtAlphaOneCopiesEveryBitIncludingAlpha) {
  LICE_MemBitmap src(5, 4), dst(8, 8);
  FillCoordinates(&src, 0x12);
  LICE_Clear(&dst, 0xffabcdef);
  LICE_Blit(&dst, &src, 2, 3, nullptr, 1.0f, LICE_BLIT_MODE_COPY);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool inside = x >= 2 && x < 7 && y >= 3 && y < 7;
      EXPECT_EQ(LICE_GetPixel(&dst, x, y), inside ? Coord(x - 2, y - 3, 0x12) : 0xffabcdefu) << x << "," << y;
    }
}

TEST(Blit, HalfAlphaCopyIsTheWordAverage) {
  LICE_MemBitmap src(1, 1), dst(1, 1);
  LICE_Clear(&src, 0xffffffff);
  LICE_Clear(&dst, 0x00000000);
  LICE_Blit(&dst, &src, 0, 0, nullptr, 0.5f, LICE_BLIT_MODE_COPY);
  EXPECT_EQ(LICE_GetPixel(&dst, 0, 0), 0x7F7F7F7Fu);
  LICE_Clear(&src, 0x03050709);
  LICE_Clear(&dst, 0x01030507);
  LICE_Blit(&dst, &src, 0, 0, nullptr, 0.5f, LICE_BLIT_MODE_COPY);
  EXPECT_EQ(LICE_GetPixel(&dst, 0, 0), 0x01030507u);
}

TEST(Blit, WithAFilterFlagHalfAlphaUsesTheGeneralRule) {
  LICE_MemBitmap src(1, 1), dst(1, 1);
  LICE_Clear(&src, 0xffffffff);
  LICE_Clear(&dst, 0x00000000);
  LICE_Blit(&dst, &src, 0, 0, nullptr, 0.5f, LICE_BLIT_MODE_COPY | LICE_BLIT_FILTER_BILINEAR);
  EXPECT_EQ(LICE_GetPixel(&dst, 0, 0), 0x80808080u);
}

TEST(Blit, OtherAlphaUsesTheGeneralCopyRule) {
  LICE_MemBitmap src(1, 1), dst(1, 1);
  LICE_Clear(&src, 0xffffffff);
  LICE_Clear(&dst, 0);
  LICE_Blit(&dst, &src, 0, 0, nullptr, 0.25f, LICE_BLIT_MODE_COPY);
  EXPECT_EQ(LICE_GetPixel(&dst, 0, 0), 0x40404040u);
  LICE_Blit(&dst, &src, 0, 0, nullptr, 0.003f, LICE_BLIT_MODE_COPY);  // weight 0
  EXPECT_EQ(LICE_GetPixel(&dst, 0, 0), 0x40404040u);
  LICE_Blit(&dst, &src, 0, 0, nullptr, -1.0f, LICE_BLIT_MODE_COPY);
  EXPECT_EQ(LICE_GetPixel(&dst, 0, 0), 0x40404040u);
}

TEST(Blit, SourceAlphaSkipsTransparentAndMakesOpaqueOpaque) {
  LICE_MemBitmap src(2, 1), dst(2, 1);
  src.getBits()[0] = 0x00ff0000;
  src.getBits()[1] = 0xff00ff00;
  LICE_Clear(&dst, 0x20304050);
  LICE_Blit(&dst, &src, 0, 0, nullptr, 1.0f, LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA);
  EXPECT_EQ(LICE_GetPixel(&dst, 0, 0), 0x20304050u);
  EXPECT_EQ(LICE_GetPixel(&dst, 1, 0), 0xff00ff00u);
}

TEST(Blit, NegativeSourceRectangleDrawsOnlyThePartInsideTheSource) {
  LICE_MemBitmap src(4, 4), dst(10, 10);
  FillCoordinates(&src);
  LICE_Clear(&dst, 0);
  const RECT r = {-2, -1, 3, 2};
  LICE_Blit(&dst, &src, 5, 5, &r, 1.0f, LICE_BLIT_MODE_COPY);
  // Source (0,0)..(2,1) lands shifted by the two columns and one row cut.
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      const bool inside = x >= 7 && x < 10 && y >= 6 && y < 8;
      EXPECT_EQ(LICE_GetPixel(&dst, x, y), inside ? Coord(x - 7, y - 6) : 0u) << x << "," << y;
    }
}

TEST(Blit, ClipsToTheDestinationOnEverySide) {
  LICE_MemBitmap src(6, 6), dst(4, 4);
  FillCoordinates(&src);
  LICE_Clear(&dst, 0);
  LICE_Blit(&dst, &src, -3, -2, nullptr, 1.0f, LICE_BLIT_MODE_COPY);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(LICE_GetPixel(&dst, x, y), x < 3 ? Coord(x + 3, y + 2) : 0u);
  LICE_Clear(&dst, 0);
  LICE_Blit(&dst, &src, 3, 3, nullptr, 1.0f, LICE_BLIT_MODE_ADD);
  EXPECT_EQ(LICE_GetPixel(&dst, 3, 3), Coord(0, 0));
  EXPECT_EQ(CountNot(&dst, 0), 1);
}

TEST(Blit, HostileCoordinatesNeitherCrashNorDraw) {
  LICE_MemBitmap src(4, 4), dst(4, 4), empty(0, 0);
  FillCoordinates(&src);
  LICE_Clear(&dst, 0);
  LICE_Blit(&dst, &src, INT_MAX, INT_MAX, nullptr, 1.0f, 0);
  LICE_Blit(&dst, &src, INT_MIN, INT_MIN, nullptr, 1.0f, 0);
  LICE_Blit(&dst, &src, 0, 0, INT_MAX, INT_MAX, INT_MAX, INT_MAX, 1.0f, 0);
  LICE_Blit(&dst, &src, 0, 0, INT_MIN, INT_MIN, -5, -5, 1.0f, 0);
  LICE_Blit(&dst, &src, 0, 0, 3, 3, -2, -2, 1.0f, 0);
  const RECT inverted = {3, 3, 1, 1};
  LICE_Blit(&dst, &src, 0, 0, &inverted, 1.0f, 0);
  LICE_Blit(&dst, &empty, 0, 0, nullptr, 1.0f, 0);
  LICE_Blit(&empty, &src, 0, 0, nullptr, 1.0f, 0);
  LICE_Blit(nullptr, &src, 0, 0, nullptr, 1.0f, 0);
  LICE_Blit(&dst, nullptr, 0, 0, nullptr, 1.0f, 0);
  EXPECT_EQ(CountNot(&dst, 0), 0);
  // A width overflowing int still reaches the right edge of the source.
  LICE_Blit(&dst, &src, 0, 0, 2, 0, INT_MAX, 1, 1.0f, 0);
  EXPECT_EQ(LICE_GetPixel(&dst, 1, 0), Coord(3, 0));
  EXPECT_EQ(LICE_GetPixel(&dst, 2, 0), 0u);
}

TEST(Blit, OntoItselfReadsTheSourceAsItWas) {
  LICE_MemBitmap bm(6, 6);
  FillCoordinates(&bm);
  LICE_Blit(&bm, &bm, 1, 1, 0, 0, 5, 5, 1.0f, 0);
  for (int y = 1; y < 6; ++y)
    for (int x = 1; x < 6; ++x) EXPECT_EQ(LICE_GetPixel(&bm, x, y), Coord(x - 1, y - 1));
  FillCoordinates(&bm);
  LICE_Blit(&bm, &bm, 0, 0, 1, 1, 5, 5, 1.0f, LICE_BLIT_MODE_ADD);
  EXPECT_EQ(LICE_GetPixel(&bm, 0, 0), LICE_RGBA(0x22, 1, 1, 255));
  EXPECT_EQ(LICE_GetPixel(&bm, 3, 2), LICE_RGBA(0x22, 2 + 3, 3 + 4, 255));
}

TEST(Blit, ChannelCopyIgnoresOpacityAndChangesOnlyOneByte) {
  LICE_MemBitmap src(1, 1), dst(1, 1);
  LICE_Clear(&src, 0xaabbccdd);
  LICE_Clear(&dst, 0x11223344);
  LICE_Blit(&dst, &src, 0, 0, nullptr, 0.0f, LICE_BLIT_MODE_CHANCOPY + 4 * 0 + 3);
  EXPECT_EQ(LICE_GetPixel(&dst, 0, 0), 0x112233aau);
}

TEST(Blit, FilterBitsAreIgnored) {
  LICE_MemBitmap src(3, 1), a(3, 1), b(3, 1);
  FillCoordinates(&src, 0x90);
  LICE_Clear(&a, 0x80808080);
  LICE_Clear(&b, 0x80808080);
  LICE_Blit(&a, &src, 0, 0, nullptr, 0.7f, LICE_BLIT_MODE_OVERLAY);
  LICE_Blit(&b, &src, 0, 0, nullptr, 0.7f, LICE_BLIT_MODE_OVERLAY | LICE_BLIT_FILTER_BILINEAR);
  for (int x = 0; x < 3; ++x) EXPECT_EQ(LICE_GetPixel(&a, x, 0), LICE_GetPixel(&b, x, 0));
  EXPECT_NE(LICE_GetPixel(&a, 0, 0), 0x80808080u);
}

TEST(Copy, ResizesAndCopiesExactly) {
  LICE_MemBitmap src(7, 3, 0), dst(1, 1);
  FillCoordinates(&src, 0x33);
  LICE_Copy(&dst, &src);
  ASSERT_EQ(dst.getWidth(), 7);
  ASSERT_EQ(dst.getHeight(), 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 7; ++x) EXPECT_EQ(LICE_GetPixel(&dst, x, y), Coord(x, y, 0x33));
  LICE_Copy(nullptr, &src);
  LICE_Copy(&dst, nullptr);
}
