#include <gtest/gtest.h>

#include <string>

#include "graphics/igraphics_types.h"

TEST(IRECT, IntersectsIsInclusiveOnlyOnTheRightAndBottom) {
  const IRECT a(0, 0, 10, 10);
  const IRECT b(10, 0, 20, 10);
  EXPECT_TRUE(a.Intersects(b));
  EXPECT_FALSE(b.Intersects(a));
  const IRECT below(0, 10, 10, 20);
  EXPECT_TRUE(a.Intersects(below));
  EXPECT_FALSE(below.Intersects(a));
}

TEST(IRECT, TheAllZeroRectangleIntersectsNothing) {
  const IRECT empty;
  const IRECT r(-5, -5, 5, 5);  // contains the origin
  EXPECT_FALSE(empty.Intersects(r));
  EXPECT_FALSE(r.Intersects(empty));
  EXPECT_FALSE(empty.Intersects(empty));
  EXPECT_EQ(r.Intersect(empty), IRECT());
  EXPECT_EQ(empty.Intersect(r), IRECT());
}

TEST(IRECT, ZeroHeightElsewhereIsNotEmpty) {
  const IRECT line(10, 30, 60, 30);
  EXPECT_FALSE(line.Empty());
  const IRECT above(10, 10, 60, 30);
  // The line lies on above's bottom edge, which counts only from above's side.
  EXPECT_TRUE(above.Intersects(line));
  EXPECT_FALSE(line.Intersects(above));
  EXPECT_EQ(above.Intersect(line), IRECT(10, 30, 60, 30));
}

TEST(IRECT, IntersectTakesTheOverlapOrNothing) {
  EXPECT_EQ(IRECT(0, 0, 10, 10).Intersect(IRECT(5, 2, 20, 8)), IRECT(5, 2, 10, 8));
  // Touching on the inclusive side gives a zero-width overlap, not empty.
  EXPECT_EQ(IRECT(0, 0, 10, 10).Intersect(IRECT(10, 0, 20, 10)), IRECT(10, 0, 10, 10));
  EXPECT_EQ(IRECT(10, 0, 20, 10).Intersect(IRECT(0, 0, 10, 10)), IRECT());
  EXPECT_EQ(IRECT(0, 0, 10, 10).Intersect(IRECT(30, 30, 40, 40)), IRECT());
}

TEST(IRECT, UnionWithEmptyGivesTheOther) {
  const IRECT r(3, 4, 9, 12);
  EXPECT_EQ(IRECT().Union(r), r);
  EXPECT_EQ(r.Union(IRECT()), r);
  EXPECT_EQ(r.Union(IRECT(-1, 6, 5, 20)), IRECT(-1, 4, 9, 20));
  // A rectangle at the origin that is not all zero still counts.
  EXPECT_EQ(IRECT(0, 0, 0, 5).Union(r), IRECT(0, 0, 9, 12));
}

TEST(IRECT, MiddlesAreSinglePrecisionHalves) {
  const IRECT r(1, 2, 4, 7);
  EXPECT_FLOAT_EQ(r.MW(), 2.5f);
  EXPECT_FLOAT_EQ(r.MH(), 4.5f);
  EXPECT_EQ(r.W(), 3);
  EXPECT_EQ(r.H(), 5);
}

TEST(IColor, PacksAsARGBAndMasksEachComponent) {
  EXPECT_EQ(IColor(255, 1, 2, 3).Packed(), 0xFF010203u);
  EXPECT_EQ(COLOR_ORANGE.Packed(), 0xFFFF7F00u);
  EXPECT_EQ(COLOR_TRANSPARENT.Packed(), 0u);
  // An out-of-range red must not change green or alpha.
  EXPECT_EQ(IColor(255, 256 + 5, 7, 9).Packed(), 0xFF050709u);
  EXPECT_EQ(IColor::FromPacked(0x80112233u), IColor(0x80, 0x11, 0x22, 0x33));
}

TEST(IChannelBlend, MapsMethodsToRasterModes) {
  const IChannelBlend alpha(IChannelBlend::kBlendAlpha, 0.5f);
  const IChannelBlend copy(IChannelBlend::kBlendCopy);
  const IChannelBlend add(IChannelBlend::kBlendAdd);
  const IChannelBlend dodge(IChannelBlend::kBlendDodge);
  const IChannelBlend odd(static_cast<IChannelBlend::EBlendMethod>(9), 0.75f);
  EXPECT_EQ(IChannelBlend::RasterMode(&alpha), 0x10000);
  EXPECT_EQ(IChannelBlend::RasterMode(&copy), 0);
  EXPECT_EQ(IChannelBlend::RasterMode(&add), 0x10001);
  EXPECT_EQ(IChannelBlend::RasterMode(&dodge), 0x10002);
  EXPECT_EQ(IChannelBlend::RasterMode(&odd), 0x10000);
  EXPECT_EQ(IChannelBlend::RasterMode(nullptr), 0x10000);
  EXPECT_FLOAT_EQ(IChannelBlend::RasterAlpha(&alpha), 0.5f);
  EXPECT_FLOAT_EQ(IChannelBlend::RasterAlpha(&odd), 0.75f);
  EXPECT_FLOAT_EQ(IChannelBlend::RasterAlpha(nullptr), 1.0f);
}

TEST(IText, DefaultStyleAndFaceCutting) {
  const IText text;
  EXPECT_STREQ(text.mFont, "Monaco");
  EXPECT_EQ(text.mSize, 10);
  EXPECT_EQ(text.mColor, DEFAULT_TEXT_COLOR);
  EXPECT_EQ(text.mAlign, IText::kAlignCenter);
  EXPECT_EQ(text.mCached, nullptr);
  const IText longFace(12, COLOR_RED, "A face name well beyond thirty-one characters");
  EXPECT_EQ(std::string(longFace.mFont).size(), 31u);
}

TEST(IBitmap, FrameSizesAndOffsets) {
  const IBitmap strip(nullptr, 40, 3660, 61);
  EXPECT_EQ(strip.FrameWidth(), 40);
  EXPECT_EQ(strip.FrameHeight(), 60);
  EXPECT_EQ(strip.FrameOffset(1), 0);
  EXPECT_EQ(strip.FrameOffset(61), 3600);
  // Rounded, not truncated: 100 / 3 per frame.
  const IBitmap thirds(nullptr, 100, 10, 3, true);
  EXPECT_EQ(thirds.FrameWidth(), 33);
  EXPECT_EQ(thirds.FrameOffset(2), 33);
  EXPECT_EQ(thirds.FrameOffset(3), 67);
  // No frames would divide by zero.
  const IBitmap none(nullptr, 10, 10, 0);
  EXPECT_EQ(none.N, 1);
  EXPECT_EQ(none.FrameHeight(), 10);
}
