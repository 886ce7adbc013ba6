#include "graphics/linux/swell_font_match.h"
#include "tests/graphics/linux/swell_test_helpers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

bool HasWord(const std::string& s, const char* word) { return s.find(word) != std::string::npos; }

TEST(SwellFontMatch, KnownFacesFallBackToTheirGenericFamily) {
  EXPECT_STREQ(SWELL_GenericFamilyFor("Helvetica"), "sans-serif");
  EXPECT_STREQ(SWELL_GenericFamilyFor("Arial"), "sans-serif");
  EXPECT_STREQ(SWELL_GenericFamilyFor("Monaco"), "monospace");
  EXPECT_STREQ(SWELL_GenericFamilyFor("Courier New"), "monospace");
  EXPECT_STREQ(SWELL_GenericFamilyFor("menlo"), "monospace");
  EXPECT_STREQ(SWELL_GenericFamilyFor("DejaVu Sans Mono"), "monospace");
  EXPECT_STREQ(SWELL_GenericFamilyFor("Times New Roman"), "serif");
  EXPECT_STREQ(SWELL_GenericFamilyFor("DejaVu Sans"), "sans-serif");
  EXPECT_STREQ(SWELL_GenericFamilyFor("No Such Face"), "sans-serif");
  EXPECT_STREQ(SWELL_GenericFamilyFor(nullptr), "sans-serif");
}

TEST(SwellFontMatch, HelveticaGivesAProportionalSansFace) {
  SWELL_FontFile file;
  ASSERT_TRUE(SWELL_FindFontFile("Helvetica", false, false, &file));
  EXPECT_EQ(access(file.path.c_str(), R_OK), 0) << file.path;
  EXPECT_FALSE(file.monospace) << file.family;
  EXPECT_FALSE(HasWord(file.family, "Mono")) << file.family;
  EXPECT_FALSE(HasWord(file.family, "Serif")) << file.family;
  EXPECT_FALSE(file.embolden);
  EXPECT_FALSE(file.oblique);

  ScopedContext ctx(10, 10);
  ScopedFont font(-20, "Helvetica");
  ASSERT_NE(font.get(), nullptr);
  SelectObject(ctx.get(), font.get());
  EXPECT_LT(Measure(ctx.get(), "i").width * 2, Measure(ctx.get(), "W").width);
}

TEST(SwellFontMatch, MonacoGivesAMonospaceFaceWithEqualAdvances) {
  SWELL_FontFile file;
  ASSERT_TRUE(SWELL_FindFontFile("Monaco", false, false, &file));
  EXPECT_TRUE(file.monospace) << file.family;

  ScopedContext ctx(10, 10);
  ScopedFont font(-13, "Monaco");
  ASSERT_NE(font.get(), nullptr);
  SelectObject(ctx.get(), font.get());
  const int first = Measure(ctx.get(), " ").width;
  EXPECT_GT(first, 0);
  for (char c = '!'; c <= '~'; ++c) {
    const std::string s(1, c);
    // '&' alone is a prefix character; measure it literally.
    EXPECT_EQ(Measure(ctx.get(), s, DT_NOPREFIX).width, first) << "character " << c;
  }
  EXPECT_EQ(Measure(ctx.get(), "iiiiiiiiii").width, Measure(ctx.get(), "WWWWWWWWWW").width);
}

TEST(SwellFontMatch, BoldAndItalicFindStyledFacesOrSynthesiseThem) {
  SWELL_FontFile regular, bold, italic;
  ASSERT_TRUE(SWELL_FindFontFile("Helvetica", false, false, &regular));
  ASSERT_TRUE(SWELL_FindFontFile("Helvetica", true, false, &bold));
  ASSERT_TRUE(SWELL_FindFontFile("Helvetica", false, true, &italic));
  EXPECT_TRUE(bold.path != regular.path || bold.embolden);
  EXPECT_TRUE(italic.path != regular.path || italic.oblique);
}

TEST(SwellFontMatch, NamesAreMatchedWithoutRegardToCase) {
  SWELL_FontFile a, b;
  ASSERT_TRUE(SWELL_FindFontFile("DejaVu Sans", false, false, &a));
  ASSERT_TRUE(SWELL_FindFontFile("dejavu sans", false, false, &b));
  EXPECT_EQ(a.path, b.path);
  EXPECT_EQ(a.family, "DejaVu Sans");
}

TEST(SwellFontMatch, FontsCanBeCreatedOnTwoThreadsAtOnce) {
  const char* faces[] = {"Helvetica", "Monaco", "Times", "Arial", "Courier"};
  std::vector<std::thread> threads;
  int failures[2] = {0, 0};
  for (int t = 0; t < 2; ++t) {
    threads.emplace_back([t, &faces, &failures] {
      ScopedContext ctx(64, 32);
      for (int i = 0; i < 40; ++i) {
        HFONT font = CreateFont(-(8 + (i + t) % 20), 0, 0, 0, (i & 1) ? FW_BOLD : FW_NORMAL, (i & 2) != 0, 0,
                                0, 0, 0, 0, (i & 4) ? NONANTIALIASED_QUALITY : ANTIALIASED_QUALITY, 0,
                                faces[(i + t) % 5]);
        if (!font) {
          ++failures[t];
          continue;
        }
        SelectObject(ctx.get(), font);
        RECT r = {0, 0, 64, 32};
        if (SWELL_DrawText(ctx.get(), "Ag", -1, &r, 0) <= 0) ++failures[t];
        DeleteObject(font);
      }
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(failures[0], 0);
  EXPECT_EQ(failures[1], 0);
}

}  // namespace
