#include "tests/graphics/linux/swell_test_helpers.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <set>

namespace {

class SwellDrawText : public ::testing::Test {
protected:
  void Use(HFONT font) {
    ASSERT_NE(font, nullptr);
    SelectObject(ctx.get(), font);
    SetTextColor(ctx.get(), RGB(255, 255, 255));
    TEXTMETRIC tm;
    ASSERT_TRUE(GetTextMetrics(ctx.get(), &tm));
    lineHeight = tm.tmHeight;
  }
  int Draw(const char* text, RECT r, int flags = 0, int len = -1) {
    return SWELL_DrawText(ctx.get(), text, len, &r, flags);
  }

  ScopedContext ctx{200, 100};
  ScopedFont sans{20, "DejaVu Sans"};
  int lineHeight = 0;
};

TEST_F(SwellDrawText, PositiveHeightIsTheLineHeight) {
  for (int h = 2; h <= 120; h += 3) {
    ScopedFont font(h, "Helvetica");
    ASSERT_NE(font.get(), nullptr) << h;
    SelectObject(ctx.get(), font.get());
    TEXTMETRIC tm;
    ASSERT_TRUE(GetTextMetrics(ctx.get(), &tm));
    EXPECT_EQ(tm.tmHeight, h);
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
    EXPECT_EQ(Measure(ctx.get(), "Ag").height, h);
  }
}

TEST_F(SwellDrawText, NegativeHeightIsTheEmSize) {
  for (int em = 6; em <= 60; em += 6) {
    ScopedFont font(-em, "Helvetica");
    SelectObject(ctx.get(), font.get());
    TEXTMETRIC tm;
    ASSERT_TRUE(GetTextMetrics(ctx.get(), &tm));
    EXPECT_GE(tm.tmHeight, em);
    EXPECT_LE(tm.tmHeight, em * 13 / 10 + 1);
    EXPECT_EQ(tm.tmInternalLeading, tm.tmHeight - em);
  }
}

TEST_F(SwellDrawText, InkStaysInsideTheLineBox) {
  Use(sans.get());
  Draw("\xC3\x89gjy|", {0, 0, 200, 100});
  Ink ink = FindInk(ctx, 0);
  ASSERT_FALSE(ink.empty());
  EXPECT_GE(ink.top, 0);
  EXPECT_LE(ink.bottom, lineHeight + 1);
  EXPECT_GT(ink.bottom - ink.top, lineHeight * 2 / 3);
}

TEST_F(SwellDrawText, MeasuringDrawsNothingAndStoresTheRect) {
  Use(sans.get());
  Extent e = Measure(ctx.get(), "Hello");
  EXPECT_GT(e.width, 20);
  EXPECT_EQ(e.height, lineHeight);
  EXPECT_EQ(e.returned, lineHeight);
  EXPECT_TRUE(FindInk(ctx, 0).empty());
}

TEST_F(SwellDrawText, LineFeedsMakeLinesUnlessSingleLine) {
  Use(sans.get());
  EXPECT_EQ(Measure(ctx.get(), "ab\ncd").height, 2 * lineHeight);
  EXPECT_EQ(Measure(ctx.get(), "ab\ncd").width, Measure(ctx.get(), "ab").width);
  EXPECT_EQ(Measure(ctx.get(), "ab\ncd", DT_SINGLELINE).height, lineHeight);
  EXPECT_EQ(Measure(ctx.get(), "ab\ncd", DT_SINGLELINE).width, Measure(ctx.get(), "ab cd").width);
  EXPECT_EQ(Measure(ctx.get(), "ab\n").height, 2 * lineHeight);
}

TEST_F(SwellDrawText, CarriageReturnsAreSkipped) {
  Use(sans.get());
  EXPECT_EQ(Measure(ctx.get(), "ab\r").width, Measure(ctx.get(), "ab").width);
  EXPECT_EQ(Measure(ctx.get(), "a\r\nb").height, 2 * lineHeight);
  EXPECT_EQ(Measure(ctx.get(), "a\r\rb").width, Measure(ctx.get(), "ab").width);
}

TEST_F(SwellDrawText, AmpersandIsAPrefixUnlessNoPrefix) {
  Use(sans.get());
  const int x = Measure(ctx.get(), "x").width;
  const int amp = Measure(ctx.get(), "&", DT_NOPREFIX).width;
  EXPECT_EQ(Measure(ctx.get(), "&x").width, x);
  EXPECT_EQ(Measure(ctx.get(), "&&").width, amp);
  EXPECT_EQ(Measure(ctx.get(), "&&x").width, amp + x);
  EXPECT_EQ(Measure(ctx.get(), "x&").width, x);
  EXPECT_EQ(Measure(ctx.get(), "&x", DT_NOPREFIX).width, amp + x);
  EXPECT_EQ(Measure(ctx.get(), "&&", DT_NOPREFIX).width, 2 * amp);
}

TEST_F(SwellDrawText, EmptyTextsMeasureZeroAndDrawNothing) {
  Use(sans.get());
  Extent e = Measure(ctx.get(), "");
  EXPECT_EQ(e.returned, 0);
  EXPECT_EQ(e.width, 0);
  EXPECT_EQ(e.height, 0);
  EXPECT_EQ(Draw("Hello", {0, 0, 200, 100}, 0, 0), 0);
  EXPECT_EQ(Draw("", {0, 0, 200, 100}), 0);
  EXPECT_TRUE(FindInk(ctx, 0).empty());
  RECT r = {0, 0, 10, 10};
  EXPECT_EQ(SWELL_DrawText(ctx.get(), nullptr, -1, &r, 0), 0);
  EXPECT_EQ(SWELL_DrawText(ctx.get(), "x", -1, nullptr, 0), 0);
}

TEST_F(SwellDrawText, LengthStopsTheTextAndSoDoesANul) {
  Use(sans.get());
  const char text[] = "ab\0WWWW";
  RECT r = {0, 0, 0, 0};
  SWELL_DrawText(ctx.get(), text, 7, &r, DT_CALCRECT);
  EXPECT_EQ(r.right, Measure(ctx.get(), "ab").width);
  r = {0, 0, 0, 0};
  SWELL_DrawText(ctx.get(), "abWW", 2, &r, DT_CALCRECT);
  EXPECT_EQ(r.right, Measure(ctx.get(), "ab").width);
  r = {0, 0, 0, 0};
  SWELL_DrawText(ctx.get(), "abWW", -1, &r, DT_CALCRECT);
  EXPECT_EQ(r.right, Measure(ctx.get(), "abWW").width);
}

TEST_F(SwellDrawText, CutShortUtf8IsReadByteByByte) {
  Use(sans.get());
  // U+00E9 as two bytes, then the same lead byte cut short at the end.
  EXPECT_EQ(Measure(ctx.get(), "\xC3\xA9").width, Measure(ctx.get(), "\xC3\xA9").width);
  EXPECT_GT(Measure(ctx.get(), "\xC3").width, 0);
  EXPECT_EQ(Measure(ctx.get(), "\xE9x").width, Measure(ctx.get(), "\xC3\xA9x").width);
  RECT r = {0, 0, 0, 0};
  // The length ends inside the sequence: nothing past it is read.
  SWELL_DrawText(ctx.get(), "\xE2\x82\xAC", 2, &r, DT_CALCRECT);
  EXPECT_EQ(r.right, Measure(ctx.get(), "\xC3\xA2\xC2\x82").width);
}

TEST_F(SwellDrawText, HorizontalAlignment) {
  Use(sans.get());
  Draw("X", {0, 0, 100, 40}, DT_CENTER);
  Ink centred = FindInk(ctx, 0);
  EXPECT_NEAR((centred.left + centred.right) / 2.0, 50.0, 2.0);

  ctx.Fill(0);
  Draw("X", {0, 0, 100, 40}, DT_RIGHT);
  Ink right = FindInk(ctx, 0);
  EXPECT_LE(right.right, 100);
  EXPECT_GE(right.right, 96);

  ctx.Fill(0);
  Draw("X", {30, 0, 100, 40});
  EXPECT_NEAR(FindInk(ctx, 0).left, 30, 2);
}

TEST_F(SwellDrawText, EachLineIsAlignedOnItsOwn) {
  Use(sans.get());
  Draw("WWWWW\ni", {0, 0, 200, 100}, DT_RIGHT);
  Ink ink = FindInk(ctx, 0);
  // The short second line ends at the right edge too.
  int lastInkX = -1;
  for (int y = lineHeight; y < 2 * lineHeight; ++y)
    for (int x = 0; x < 200; ++x)
      if (ctx.at(x, y) != 0 && x > lastInkX) lastInkX = x;
  EXPECT_GE(lastInkX, 195);
  EXPECT_LE(ink.right, 200);
}

TEST_F(SwellDrawText, VerticalAlignment) {
  Use(sans.get());
  Draw("H", {0, 0, 200, 100}, DT_VCENTER | DT_SINGLELINE);
  Ink centred = FindInk(ctx, 0);
  EXPECT_NEAR((centred.top + centred.bottom) / 2.0, 50.0, lineHeight / 3.0);

  ctx.Fill(0);
  Draw("H", {0, 0, 200, 100}, DT_BOTTOM | DT_SINGLELINE);
  Ink bottom = FindInk(ctx, 0);
  EXPECT_LE(bottom.bottom, 100);
  EXPECT_GE(bottom.top, 100 - lineHeight);
}

TEST_F(SwellDrawText, ClipsToTheRectUnlessNoClip) {
  Use(sans.get());
  Draw("WWWWWW", {10, 10, 30, 10 + lineHeight});
  Ink clipped = FindInk(ctx, 0);
  ASSERT_FALSE(clipped.empty());
  EXPECT_GE(clipped.left, 10);
  EXPECT_LE(clipped.right, 30);

  ctx.Fill(0);
  Draw("WWWWWW", {10, 10, 30, 12}, DT_NOCLIP);
  Ink free = FindInk(ctx, 0);
  EXPECT_GT(free.right, 60);
  EXPECT_GT(free.bottom, 12 + lineHeight / 2);
}

TEST_F(SwellDrawText, RectsFarOutsideTheContextAreSafe) {
  Use(sans.get());
  const RECT rects[] = {
      {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {INT_MAX - 3, INT_MAX - 3, INT_MAX, INT_MAX},
      {INT_MIN, INT_MIN, INT_MIN + 5, INT_MIN + 5}, {-100000, -100000, -99000, -99000},
      {150, 90, 400, 400}, {-10, -10, 5, 5}, {100, 50, 0, 0},
  };
  const int flagSets[] = {0, DT_NOCLIP, DT_CENTER | DT_VCENTER, DT_RIGHT | DT_BOTTOM | DT_NOCLIP};
  for (const RECT& r : rects)
    for (int flags : flagSets) Draw("Wide text\nand more", r, flags);
  // The huge centred rect puts the text around the middle of the int range:
  // nothing on the context. What matters is that nothing was written outside.
  SUCCEED();
}

TEST_F(SwellDrawText, TextIsCompositedWithTheTextColour) {
  Use(sans.get());
  ctx.Fill(0xff000000u);
  SetTextColor(ctx.get(), RGB(255, 0, 0));
  Draw("I", {0, 0, 200, 100});
  bool sawFull = false, sawPartial = false;
  for (int i = 0; i < 200 * 100; ++i) {
    const uint32_t p = ctx.pixels()[i];
    EXPECT_EQ(p >> 24, 0xffu);           // opaque stays opaque
    EXPECT_EQ(p & 0x0000ffffu, 0u);      // only red is drawn
    if (p == 0xffff0000u) sawFull = true;
    if (p != 0xff000000u && p != 0xffff0000u) sawPartial = true;
  }
  EXPECT_TRUE(sawFull);
  EXPECT_TRUE(sawPartial);
}

TEST_F(SwellDrawText, OpaqueBackgroundFillsTheLineBox) {
  Use(sans.get());
  SetBkMode(ctx.get(), OPAQUE);
  SetBkColor(ctx.get(), RGB(0, 0, 255));
  Draw("ab", {10, 10, 200, 100});
  const int width = Measure(ctx.get(), "ab").width;
  EXPECT_EQ(ctx.at(10, 10), 0xff0000ffu);
  EXPECT_EQ(ctx.at(10 + width - 1, 10 + lineHeight - 1) & 0xffu, 0xffu);
  EXPECT_EQ(ctx.at(10 + width, 10), 0u);
  EXPECT_EQ(ctx.at(10, 10 + lineHeight), 0u);
}

TEST_F(SwellDrawText, NonAntialiasedQualityGivesOnOffCoverage) {
  ScopedFont mono(-15, "Helvetica", FW_NORMAL, false, NONANTIALIASED_QUALITY);
  Use(mono.get());
  Draw("Quality 3: Agy&", {0, 0, 200, 100}, DT_NOPREFIX);
  ASSERT_FALSE(FindInk(ctx, 0).empty());
  for (int i = 0; i < 200 * 100; ++i) {
    const uint32_t p = ctx.pixels()[i];
    EXPECT_TRUE(p == 0 || p == 0xffffffffu) << std::hex << p;
  }

  ScopedFont smooth(-15, "Helvetica", FW_NORMAL, false, ANTIALIASED_QUALITY);
  Use(smooth.get());
  ctx.Fill(0);
  Draw("Quality 4: Agy", {0, 0, 200, 100});
  std::set<uint32_t> levels;
  for (int i = 0; i < 200 * 100; ++i) levels.insert(ctx.pixels()[i] & 0xff);
  EXPECT_GT(levels.size(), 10u);
}

TEST_F(SwellDrawText, BoldInksMoreThanRegular) {
  ScopedFont bold(20, "Helvetica", FW_BOLD);
  Use(sans.get());
  ScopedFont regular(20, "Helvetica");
  Use(regular.get());
  Draw("Bold text", {0, 0, 200, 100});
  const long long regularInk = FindInk(ctx, 0).coverage;
  ctx.Fill(0);
  Use(bold.get());
  Draw("Bold text", {0, 0, 200, 100});
  EXPECT_GT(FindInk(ctx, 0).coverage, regularInk * 6 / 5);
}

TEST_F(SwellDrawText, ItalicLeansToTheRight) {
  ScopedFont upright(40, "Helvetica");
  ScopedFont italic(40, "Helvetica", FW_NORMAL, true);
  Use(upright.get());
  Draw("l", {10, 0, 200, 100});
  const Ink a = FindInk(ctx, 0);
  ctx.Fill(0);
  Use(italic.get());
  Draw("l", {10, 0, 200, 100});
  const Ink b = FindInk(ctx, 0);
  EXPECT_GT(b.right - b.left, (a.right - a.left) + 3);
}

}  // namespace
