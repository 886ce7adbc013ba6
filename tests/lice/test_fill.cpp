#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>

#include "lice/lice_combine.h"
#include "lice/lice_fill.h"
#include "lice_test_util.h"

namespace {

LICE_pixel FillOne(LICE_pixel dest, LICE_pixel color, float alpha, int mode) {
  LICE_MemBitmap bm(1, 1);
  LICE_Clear(&bm, dest);
  LICE_FillRect(&bm, 0, 0, 1, 1, color, alpha, mode);
  return LICE_GetPixel(&bm, 0, 0);
}

int MaxChannelDifference(LICE_pixel a, LICE_pixel b) {
  int worst = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const int d = std::abs(static_cast<int>((a >> shift) & 255) - static_cast<int>((b >> shift) & 255));
    if (d > worst) worst = d;
  }
  return worst;
}

}  // namespace

TEST(FillRect, HalfCopyOfWhiteOnBlackIs7F) {
  EXPECT_EQ(FillOne(0, 0xFFFFFFFF, 0.5f, LICE_BLIT_MODE_COPY), 0x7F7F7F7Fu);
  EXPECT_EQ(FillOne(0, 0xFFFFFFFF, 1.0f, LICE_BLIT_MODE_COPY), 0xFFFFFFFFu);
  EXPECT_EQ(FillOne(0x12345678, 0x00abcdef, 1.0f, LICE_BLIT_MODE_COPY), 0x00abcdefu);
}

TEST(FillRect, QuarterStepsUseTheWordForms) {
  EXPECT_EQ(FillOne(0, 0xFFFFFFFF, 0.25f, 0), 0x3F3F3F3Fu);
  EXPECT_EQ(FillOne(0, 0xFFFFFFFF, 0.75f, 0), 0xBEBEBEBEu);
  EXPECT_EQ(FillOne(0xFFFFFFFF, 0, 0.25f, 0), 0xBEBEBEBEu);
  EXPECT_EQ(FillOne(0xFFFFFFFF, 0, 0.75f, 0), 0x3F3F3F3Fu);
}

TEST(FillRect, WordFormsStayWithinTwoOfTheGeneralRule) {
  const LICE_pixel samples[] = {0, 0xFFFFFFFF, 0x01020304, 0x80808080, 0x7F7F7F7F, 0xFEFDFCFB, 0x13579BDF, 0xC0A08060};
  for (int w : {64, 128, 192}) {
    for (LICE_pixel d : samples) {
      for (LICE_pixel c : samples) {
        LICE_pixel general = d;
        LICE_CombineCopy::Blend(&general, c, w);
        EXPECT_LE(MaxChannelDifference(FillOne(d, c, w / 256.0f, 0), general), 2) << w;
      }
    }
  }
}

TEST(FillRect, OtherWeightsUseTheGeneralRuleExactly) {
  LICE_pixel general = 0x10203040;
  LICE_CombineCopy::Blend(&general, 0xF0E0D0C0, 100);
  EXPECT_EQ(FillOne(0x10203040, 0xF0E0D0C0, 100 / 256.0f, 0), general);
}

TEST(FillRect, SourceAlphaFlagScalesTheOpacity) {
  // 0x80 / 255 of 1.0 is weight 128: the half-mix word form.
  EXPECT_EQ(FillOne(0, 0x80FFFFFF, 1.0f, LICE_BLIT_USE_ALPHA), 0x407F7F7Fu);
  EXPECT_EQ(FillOne(0x11223344, 0x00FFFFFF, 1.0f, LICE_BLIT_USE_ALPHA), 0x11223344u);
  EXPECT_EQ(FillOne(0x11223344, 0xFF000000, 1.0f, LICE_BLIT_USE_ALPHA), 0xFF000000u);
}

TEST(FillRect, OtherRulesCombineWithTheColour) {
  EXPECT_EQ(FillOne(0xFF808080, 0xFF808080, 1.0f, LICE_BLIT_MODE_ADD), 0xFFFFFFFFu);
  EXPECT_EQ(FillOne(0x00805001, 0xFFFFFFFF, 1.0f, LICE_BLIT_MODE_DODGE), 0x00FFFFFFu);
  EXPECT_EQ(FillOne(0x11223344, 0xaabbccdd, 1.0f, LICE_BLIT_MODE_CHANCOPY + 4 * 2 + 0), 0x11dd3344u);
}

TEST(FillRect, ClipsAndIgnoresHostileRectangles) {
  LICE_MemBitmap bm(5, 5);
  LICE_Clear(&bm, 0);
  LICE_FillRect(&bm, -2, -2, 4, 3, 0xffffffff, 1.0f, 0);
  EXPECT_EQ(CountNot(&bm, 0), 2);
  EXPECT_EQ(LICE_GetPixel(&bm, 1, 0), 0xffffffffu);
  EXPECT_EQ(LICE_GetPixel(&bm, 2, 0), 0u);
  LICE_Clear(&bm, 0);
  LICE_FillRect(&bm, INT_MAX, 0, INT_MAX, 5, 0xffffffff, 1.0f, 0);
  LICE_FillRect(&bm, INT_MIN, INT_MIN, -1, -1, 0xffffffff, 1.0f, 0);
  LICE_FillRect(&bm, 0, 0, 5, 5, 0xffffffff, 0.0f, 0);
  LICE_FillRect(&bm, 0, 0, 5, 5, 0xffffffff, std::nanf(""), 0);
  LICE_FillRect(nullptr, 0, 0, 5, 5, 0xffffffff, 1.0f, 0);
  EXPECT_EQ(CountNot(&bm, 0), 0);
  LICE_FillRect(&bm, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0xffffffff, 1.0f, 0);
  EXPECT_EQ(CountNot(&bm, 0), 0);  // ends at -2, -2
  LICE_FillRect(&bm, 3, 3, INT_MAX, INT_MAX, 0xffffffff, 1.0f, 0);
  EXPECT_EQ(CountNot(&bm, 0), 4);
}

TEST(PutPixel, IgnoresTheSourceAlphaFlagAndOutsidePoints) {
  LICE_MemBitmap bm(2, 2);
  LICE_Clear(&bm, 0);
  LICE_PutPixel(&bm, 1, 1, 0x00FFFFFF, 1.0f, LICE_BLIT_USE_ALPHA);
  EXPECT_EQ(LICE_GetPixel(&bm, 1, 1), 0x00FFFFFFu);
  LICE_PutPixel(&bm, 0, 0, 0xFFFFFFFF, 0.5f, 0);
  EXPECT_EQ(LICE_GetPixel(&bm, 0, 0), 0x7F7F7F7Fu);
  LICE_PutPixel(&bm, 2, 0, 0xFFFFFFFF, 1.0f, 0);
  LICE_PutPixel(&bm, -1, 0, 0xFFFFFFFF, 1.0f, 0);
  LICE_PutPixel(&bm, 0, INT_MIN, 0xFFFFFFFF, 1.0f, 0);
  EXPECT_EQ(LICE_GetPixel(&bm, 1, 0), 0u);
  EXPECT_EQ(LICE_GetPixel(&bm, 0, 1), 0u);
}

TEST(GetPixel, ZeroOutsideOrWithoutImage) {
  LICE_MemBitmap bm(2, 2), empty;
  LICE_Clear(&bm, 0xffffffff);
  EXPECT_EQ(LICE_GetPixel(&bm, 1, 1), 0xffffffffu);
  EXPECT_EQ(LICE_GetPixel(&bm, 2, 1), 0u);
  EXPECT_EQ(LICE_GetPixel(&bm, 1, -1), 0u);
  EXPECT_EQ(LICE_GetPixel(&empty, 0, 0), 0u);
  EXPECT_EQ(LICE_GetPixel(nullptr, 0, 0), 0u);
}

TEST(ClearRect, MaskKeepsColourAndDropsAlpha) {
  LICE_MemBitmap bm(3, 2, 0);
  FillCoordinates(&bm, 0xC0);
  LICE_ClearRect(&bm, 0, 0, 3, 2, 0xFFFFFF, 0);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(LICE_GetPixel(&bm, x, y), Coord(x, y, 0));
  LICE_ClearRect(&bm, 1, 1, 10, 10, 0xFF00FFFF, 0x00AA0000);
  EXPECT_EQ(LICE_GetPixel(&bm, 2, 1), LICE_RGBA(0xAA, 1, 2, 0));
  EXPECT_EQ(LICE_GetPixel(&bm, 0, 1), Coord(0, 1, 0));
  LICE_ClearRect(nullptr, 0, 0, 1, 1, 0, 0);
}

TEST(Clear, SetsEveryPixelButNotThePadding) {
  LICE_MemBitmap bm(3, 2, 4);
  ASSERT_EQ(bm.getRowSpan(), 4);
  bm.getBits()[3] = 0x12345678;
  LICE_Clear(&bm, 0xCAFEBABE);
  EXPECT_EQ(CountNot(&bm, 0xCAFEBABE), 0);
  EXPECT_EQ(bm.getBits()[3], 0x12345678u);
}
