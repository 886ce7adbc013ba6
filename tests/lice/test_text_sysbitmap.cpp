#include "lice/lice_gdi.h"
#include "lice/lice_sysbitmap.h"
#include "lice/lice_text.h"

#include <gtest/gtest.h>

namespace {

TEST(LiceSysBitmap, RowsAreRoundedUpToFourPixelsOverAContext) {
  LICE_SysBitmap bm(10, 5);
  EXPECT_EQ(bm.getWidth(), 10);
  EXPECT_EQ(bm.getHeight(), 5);
  EXPECT_EQ(bm.getRowSpan(), 12);
  ASSERT_NE(bm.getDC(), nullptr);
  EXPECT_EQ(static_cast<void*>(bm.getBits()), SWELL_GetCtxFrameBuffer(bm.getDC()));
  bm.getBits()[4 * 12 + 11] = 1;  // the whole span of the last row is ours
}

TEST(LiceSysBitmap, ResizeKeepsTheContextWhileTheSizeFits) {
  LICE_SysBitmap bm(10, 5);
  HDC dc = bm.getDC();
  EXPECT_FALSE(bm.resize(10, 5));
  EXPECT_TRUE(bm.resize(12, 3));
  EXPECT_EQ(bm.getDC(), dc);
  EXPECT_EQ(bm.getRowSpan(), 12);
  EXPECT_EQ(bm.getWidth(), 12);
  EXPECT_EQ(bm.getHeight(), 3);

  EXPECT_TRUE(bm.resize(13, 3));
  EXPECT_EQ(bm.getRowSpan(), 16);
  EXPECT_NE(bm.getDC(), nullptr);
  EXPECT_TRUE(bm.resize(13, 40));
  EXPECT_EQ(bm.getHeight(), 40);
  bm.getBits()[39 * 16 + 15] = 1;
}

TEST(LiceSysBitmap, SizesWithoutPixelsLeaveNoContextAndReportZero) {
  LICE_SysBitmap empty;
  EXPECT_EQ(empty.getDC(), nullptr);
  EXPECT_EQ(empty.getBits(), nullptr);

  const int sizes[][2] = {{0, 5}, {5, 0}, {-3, 2}, {4, -1}};
  for (const auto& size : sizes) {
    LICE_SysBitmap bm(8, 8);
    bm.resize(size[0], size[1]);
    EXPECT_EQ(bm.getDC(), nullptr);
    EXPECT_EQ(bm.getBits(), nullptr);
    EXPECT_EQ(bm.getWidth(), 0);
    EXPECT_EQ(bm.getHeight(), 0);
    EXPECT_TRUE(bm.resize(3, 3));
    EXPECT_NE(bm.getDC(), nullptr);
  }
}

TEST(LiceSysBitmap, NativeTextIsClippedToTheBitmapNotTheLargerContext) {
  LICE_SysBitmap bm(40, 40);
  bm.resize(10, 40);  // the context stays 40 wide
  for (int i = 0; i < 40 * 40; ++i) bm.getBits()[i] = 0;
  HFONT hf = CreateFont(20, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, ANTIALIASED_QUALITY, 0, "Helvetica");
  LICE_CachedFont font;
  font.SetFromHFont(hf, LICE_FONT_FLAG_OWNS_HFONT | LICE_FONT_FLAG_FORCE_NATIVE);
  font.SetTextColor(0xffffffffu);
  RECT r = {0, 0, 40, 40};
  font.DrawText(&bm, "WWWW", -1, &r, DT_NOCLIP);
  int inside = 0, outside = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) (x < 10 ? inside : outside) += bm.getBits()[y * 40 + x] != 0;
  EXPECT_GT(inside, 0);
  EXPECT_EQ(outside, 0);
}

}  // namespace
