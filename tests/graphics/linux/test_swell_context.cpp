#include "tests/graphics/linux/swell_test_helpers.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(SwellContext, MemoryContextIsAZeroedBufferOfTheGivenSize) {
  ScopedContext ctx(7, 3);
  ASSERT_NE(ctx.get(), nullptr);
  ASSERT_NE(ctx.pixels(), nullptr);
  for (int i = 0; i < 21; ++i) EXPECT_EQ(ctx.pixels()[i], 0u);
  ctx.pixels()[20] = 0xffffffffu;  // the last pixel is ours to write
}

TEST(SwellContext, ImpossibleSizesGiveNoContext) {
  EXPECT_EQ(SWELL_CreateMemContext(nullptr, 0, 10), nullptr);
  EXPECT_EQ(SWELL_CreateMemContext(nullptr, 10, -1), nullptr);
  EXPECT_EQ(SWELL_CreateMemContext(nullptr, INT_MAX, INT_MAX), nullptr);
  EXPECT_EQ(SWELL_GetCtxFrameBuffer(nullptr), nullptr);
  SWELL_DeleteGfxContext(nullptr);
}

TEST(SwellContext, SettersReturnThePreviousValue) {
  ScopedContext ctx(4, 4);
  SetTextColor(ctx.get(), RGB(1, 2, 3));
  EXPECT_EQ(SetTextColor(ctx.get(), RGB(4, 5, 6)), RGB(1, 2, 3));
  SetBkColor(ctx.get(), RGB(7, 8, 9));
  EXPECT_EQ(SetBkColor(ctx.get(), 0), RGB(7, 8, 9));
  EXPECT_EQ(SetBkMode(ctx.get(), OPAQUE), TRANSPARENT);
  EXPECT_EQ(SetBkMode(ctx.get(), TRANSPARENT), OPAQUE);
}

TEST(SwellContext, SelectObjectReturnsThePreviousFont) {
  ScopedContext ctx(4, 4);
  ScopedFont a(-12, "Helvetica");
  ScopedFont b(-14, "Helvetica");
  ASSERT_NE(a.get(), nullptr);
  ASSERT_NE(b.get(), nullptr);
  EXPECT_EQ(SelectObject(ctx.get(), a.get()), nullptr);
  EXPECT_EQ(SelectObject(ctx.get(), b.get()), a.get());
  EXPECT_EQ(SelectObject(ctx.get(), a.get()), b.get());
}

TEST(SwellContext, AFontDeletedWhileSelectedKeepsWorkingUntilReplaced) {
  ScopedContext ctx(64, 32);
  HFONT font = CreateFont(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, ANTIALIASED_QUALITY, 0, "Helvetica");
  ASSERT_NE(font, nullptr);
  SelectObject(ctx.get(), font);
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_FALSE(DeleteObject(font));  // a second delete is refused

  RECT r = {0, 0, 64, 32};
  SetTextColor(ctx.get(), RGB(255, 255, 255));
  EXPECT_GT(SWELL_DrawText(ctx.get(), "Hi", -1, &r, 0), 0);
  EXPECT_FALSE(FindInk(ctx, 0).empty());

  ScopedFont other(-12, "Helvetica");
  // The deleted font is gone now; its handle is not handed back.
  EXPECT_EQ(SelectObject(ctx.get(), other.get()), nullptr);
}

TEST(SwellContext, ObjectsThatAreNotFontsAreRefused) {
  ScopedContext ctx(4, 4);
  int notAFont = 0;
  auto* bogus = reinterpret_cast<HGDIOBJ>(&notAFont);
  EXPECT_EQ(SelectObject(ctx.get(), bogus), nullptr);
  EXPECT_FALSE(DeleteObject(bogus));
  EXPECT_FALSE(DeleteObject(nullptr));
  EXPECT_EQ(notAFont, 0);
}

TEST(SwellContext, ClipStackRestoresWhatWasPushed) {
  ScopedContext ctx(60, 30);
  ScopedFont font(-20, "Helvetica");
  SelectObject(ctx.get(), font.get());
  SetTextColor(ctx.get(), RGB(255, 255, 255));
  RECT r = {0, 0, 60, 30};

  SWELL_PushClipRegion(ctx.get());
  RECT clip = {0, 0, 15, 30};
  SWELL_SetClipRegion(ctx.get(), &clip);
  SWELL_DrawText(ctx.get(), "WWW", -1, &r, 0);
  Ink clipped = FindInk(ctx, 0);
  ASSERT_FALSE(clipped.empty());
  EXPECT_LE(clipped.right, 15);

  // A second Set narrows the first.
  SWELL_PushClipRegion(ctx.get());
  RECT narrower = {5, 0, 40, 30};
  SWELL_SetClipRegion(ctx.get(), &narrower);
  ctx.Fill(0);
  SWELL_DrawText(ctx.get(), "WWW", -1, &r, 0);
  Ink both = FindInk(ctx, 0);
  ASSERT_FALSE(both.empty());
  EXPECT_GE(both.left, 5);
  EXPECT_LE(both.right, 15);

  SWELL_PopClipRegion(ctx.get());
  ctx.Fill(0);
  SWELL_DrawText(ctx.get(), "WWW", -1, &r, 0);
  EXPECT_LE(FindInk(ctx, 0).right, 15);

  SWELL_PopClipRegion(ctx.get());
  ctx.Fill(0);
  SWELL_DrawText(ctx.get(), "WWW", -1, &r, 0);
  EXPECT_GT(FindInk(ctx, 0).right, 30);

  SWELL_PopClipRegion(ctx.get());  // more pops than pushes change nothing
  ctx.Fill(0);
  SWELL_DrawText(ctx.get(), "WWW", -1, &r, 0);
  EXPECT_GT(FindInk(ctx, 0).right, 30);
}

TEST(SwellContext, ClipOutsideTheContextDrawsNothing) {
  ScopedContext ctx(40, 20);
  ScopedFont font(-16, "Helvetica");
  SelectObject(ctx.get(), font.get());
  SetTextColor(ctx.get(), RGB(255, 255, 255));
  RECT clip = {1000, 1000, 2000, 2000};
  SWELL_SetClipRegion(ctx.get(), &clip);
  RECT r = {0, 0, 40, 20};
  SWELL_DrawText(ctx.get(), "Hello", -1, &r, DT_NOCLIP);
  EXPECT_TRUE(FindInk(ctx, 0).empty());
}

}  // namespace
