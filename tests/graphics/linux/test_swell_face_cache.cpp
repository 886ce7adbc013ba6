// The FreeType faces behind fonts are shared while fonts use them and freed
// with the last one, so that a module unloaded once its fonts are gone
// leaves nothing behind.
#include "tests/graphics/linux/swell_test_helpers.h"

#include <gtest/gtest.h>

#include "graphics/linux/swell_face_cache.h"

namespace {

HFONT Serif(int height) {
  return CreateFont(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, ANTIALIASED_QUALITY, 0, "DejaVu Serif");
}

TEST(SwellFaceCache, TheLastFontOfAFaceFreesItAndTheNextLoadsItAgain) {
  const int before = SWELL_NumSharedFaces();
  HFONT small = Serif(-12);
  HFONT large = Serif(-30);
  ASSERT_NE(small, nullptr);
  ASSERT_NE(large, nullptr);
  const int held = SWELL_NumSharedFaces();
  // One face for both sizes; no other font of this program uses it.
  ASSERT_EQ(held, before + 1);
  EXPECT_TRUE(DeleteObject(small));
  EXPECT_EQ(SWELL_NumSharedFaces(), held);
  EXPECT_TRUE(DeleteObject(large));
  EXPECT_EQ(SWELL_NumSharedFaces(), before);

  // A context holding a deleted font keeps its face until it lets go.
  {
    ScopedContext ctx(64, 40);
    HFONT font = Serif(-24);
    ASSERT_NE(font, nullptr);
    SelectObject(ctx.get(), font);
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_EQ(SWELL_NumSharedFaces(), held);
    RECT r = {0, 0, 64, 40};
    SetTextColor(ctx.get(), RGB(255, 255, 255));
    EXPECT_GT(SWELL_DrawText(ctx.get(), "Ag", -1, &r, 0), 0);
    EXPECT_FALSE(FindInk(ctx, 0).empty());
  }
  EXPECT_EQ(SWELL_NumSharedFaces(), before);
}

TEST(SwellFaceCache, AFaceThatCannotBeOpenedLeavesNothing) {
  const int before = SWELL_NumSharedFaces();
  EXPECT_EQ(SWELL_GetSharedFace("/nonexistent/font.ttf", 0), nullptr);
  EXPECT_EQ(SWELL_NumSharedFaces(), before);
  SWELL_ReleaseSharedFace(nullptr);
  EXPECT_EQ(SWELL_NumSharedFaces(), before);
}

}  // namespace
