#include <gtest/gtest.h>

#include <cstdint>

#include "lice/lice_bitmap.h"

TEST(MemBitmap, RowSpanFollowsLowestSetBitOfAlignment) {
  EXPECT_EQ(LICE_MemBitmap(5, 1, 0).getRowSpan(), 5);
  EXPECT_EQ(LICE_MemBitmap(5, 1, 1).getRowSpan(), 5);
  EXPECT_EQ(LICE_MemBitmap(5, 1, 4).getRowSpan(), 8);
  EXPECT_EQ(LICE_MemBitmap(8, 1, 4).getRowSpan(), 8);
  EXPECT_EQ(LICE_MemBitmap(9, 1, 4).getRowSpan(), 12);
  EXPECT_EQ(LICE_MemBitmap(5, 1, 6).getRowSpan(), 6);  // lowest bit 2
  EXPECT_EQ(LICE_MemBitmap(5, 1, 3).getRowSpan(), 5);  // lowest bit 1
}

TEST(MemBitmap, AlignmentIsCappedAtSixteenPixels) {
  EXPECT_EQ(LICE_MemBitmap(17, 1, 16).getRowSpan(), 32);
  EXPECT_EQ(LICE_MemBitmap(17, 1, 64).getRowSpan(), 32);
  EXPECT_EQ(LICE_MemBitmap(33, 1, 0x80000000u).getRowSpan(), 48);
}

TEST(MemBitmap, PixelsStartOnA64ByteBoundaryAndAreWritable) {
  for (int w = 1; w < 40; w += 7) {
    LICE_MemBitmap bm(w, 3, 4);
    ASSERT_NE(bm.getBits(), nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(bm.getBits()) % 64, 0u);
    EXPECT_GE(bm.getAllocSize(), 4 * 3 * bm.getRowSpan());
    for (int i = 0; i < 3 * bm.getRowSpan(); ++i) bm.getBits()[i] = 0xdeadbeef;
  }
}

TEST(MemBitmap, ResizeReportsChangeOnly) {
  LICE_MemBitmap bm(4, 4);
  EXPECT_FALSE(bm.resize(4, 4));
  EXPECT_TRUE(bm.resize(5, 4));
  EXPECT_EQ(bm.getWidth(), 5);
  EXPECT_TRUE(bm.resize(0, 0));
  EXPECT_EQ(bm.getBits(), nullptr);
  EXPECT_FALSE(bm.resize(0, 0));
}

TEST(MemBitmap, NegativeSizesHoldNoPixels) {
  LICE_MemBitmap bm(4, 4);
  EXPECT_TRUE(bm.resize(-3, -5));
  EXPECT_EQ(bm.getWidth(), 0);
  EXPECT_EQ(bm.getHeight(), 0);
  EXPECT_EQ(bm.getBits(), nullptr);
}

TEST(MemBitmap, ImpossibleSizeLeavesAnEmptyBitmap) {
  LICE_MemBitmap bm(4, 4);
  EXPECT_TRUE(bm.resize(100000, 100000));
  EXPECT_EQ(bm.getWidth(), 0);
  EXPECT_EQ(bm.getHeight(), 0);
  EXPECT_EQ(bm.getBits(), nullptr);
  EXPECT_TRUE(bm.resize(0x7fffffff, 1));
  EXPECT_EQ(bm.getWidth(), 0);
}
