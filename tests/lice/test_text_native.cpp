// Native rendering of LICE_CachedFont, and how it compares with the cache.
#include "lice/lice_fill.h"
#include "lice/lice_sysbitmap.h"
#include "lice/lice_text.h"
#include "tests/lice/test_text_util.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

const int kEngineFlags = LICE_FONT_FLAG_OWNS_HFONT | LICE_FONT_FLAG_FORCE_NATIVE;

TEST(NativeText, EngineFontsMatchTheRequestedLineHeight) {
  for (int size = 1; size <= 72; size += 1) {
    auto font = MakeTextFont(size, "Helvetica", kEngineFlags);
    ASSERT_NE(font, nullptr);
    EXPECT_NEAR(font->GetLineHeight(), size < 2 ? 2 : size, 1) << size;
    RECT r = {0, 0, 0, 0};
    LICE_SysBitmap bm(10, 10);
    font->DrawText(&bm, "Ag\nAg", -1, &r, DT_CALCRECT);
    EXPECT_EQ(r.bottom, 2 * font->GetLineHeight());
  }
}

TEST(NativeText, MeasuresWithoutABitmap) {
  auto font = MakeTextFont(16, "Helvetica", kEngineFlags);
  RECT r = {3, 4, 3, 4};
  EXPECT_EQ(font->DrawText(nullptr, "Hello", -1, &r, DT_CALCRECT), font->GetLineHeight());
  EXPECT_GT(r.right, 3 + 20);
  EXPECT_EQ(r.bottom, 4 + font->GetLineHeight());
  r = {0, 0, 100, 100};
  EXPECT_EQ(font->DrawText(nullptr, "Hello", -1, &r, 0), 0);
}

TEST(NativeText, PlatformPrefixesAreNotApplied) {
  auto font = MakeTextFont(16, "Helvetica", kEngineFlags);
  auto cached = MakeTextFont(16, "Helvetica", LICE_FONT_FLAG_OWNS_HFONT);
  RECT a = {0, 0, 0, 0}, b = {0, 0, 0, 0};
  font->DrawText(nullptr, "R&D", -1, &a, DT_CALCRECT);
  cached->DrawText(nullptr, "R&D", -1, &b, DT_CALCRECT);
  EXPECT_EQ(a.right, b.right);
}

// The same text through the cache and natively, on a bitmap with a context
// and on one without: all four must put the same ink in the same place.
TEST(NativeText, CachedAndNativePathsAgree) {
  for (int quality : {1, 2}) {
    auto native = MakeTextFont(20, "DejaVu Sans", kEngineFlags, 0, quality);
    auto cached = MakeTextFont(20, "DejaVu Sans", LICE_FONT_FLAG_OWNS_HFONT, 0, quality);
    ASSERT_NE(native, nullptr);
    ASSERT_NE(cached, nullptr);
    LICE_SysBitmap sys(220, 60);
    LICE_MemBitmap mem(220, 60);
    TextInk inks[4];
    int i = 0;
    for (LICE_CachedFont* font : {native.get(), cached.get()}) {
      for (LICE_IBitmap* bm : {static_cast<LICE_IBitmap*>(&sys), static_cast<LICE_IBitmap*>(&mem)}) {
        LICE_Clear(bm, 0xff000000u);
        font->SetTextColor(0xffffffffu);
        RECT r = {5, 5, 215, 55};
        EXPECT_EQ(font->DrawText(bm, "Gain -3.5 dB", -1, &r, DT_CENTER | DT_VCENTER), font->GetLineHeight());
        inks[i++] = FindTextInk(bm, 0xff000000u);
      }
    }
    for (int k = 1; k < 4; ++k) {
      EXPECT_NEAR(inks[k].left, inks[0].left, 1) << k;
      EXPECT_NEAR(inks[k].right, inks[0].right, 1) << k;
      EXPECT_NEAR(inks[k].top, inks[0].top, 1) << k;
      EXPECT_NEAR(inks[k].bottom, inks[0].bottom, 1) << k;
      EXPECT_NEAR(static_cast<double>(inks[k].coverage), static_cast<double>(inks[0].coverage),
                  inks[0].coverage * 0.03)
          << k;
    }
  }
}

TEST(NativeText, MemoryBitmapAreaOutsideTheTextIsUntouched) {
  auto font = MakeTextFont(16, "Helvetica", kEngineFlags);
  LICE_MemBitmap bm(100, 40);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 100; ++x) bm.getBits()[y * bm.getRowSpan() + x] = LICE_RGBA(x, y, 7, 255);
  font->SetTextColor(0xffffffffu);
  RECT r = {20, 10, 60, 30};
  font->DrawText(&bm, "WWWWWWWW", -1, &r, 0);
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 100; ++x) {
      if (x >= 20 && x < 60 && y >= 10 && y < 30) continue;
      ASSERT_EQ(bm.getBits()[y * bm.getRowSpan() + x], LICE_RGBA(x, y, 7, 255)) << x << "," << y;
    }
  }
}

TEST(NativeText, FarRectsOnBitmapsWithAndWithoutContext) {
  auto font = MakeTextFont(16, "Helvetica", kEngineFlags);
  LICE_SysBitmap sys(50, 20);
  LICE_MemBitmap mem(50, 20);
  const RECT rects[] = {{INT_MIN, INT_MIN, INT_MAX, INT_MAX},
                        {INT_MAX - 3, INT_MAX - 3, INT_MAX, INT_MAX},
                        {INT_MIN, 0, INT_MIN + 5, 20},
                        {45, 15, 4000, 4000},
                        {-4000, -4000, 5, 5}};
  for (LICE_IBitmap* bm : {static_cast<LICE_IBitmap*>(&sys), static_cast<LICE_IBitmap*>(&mem)})
    for (const RECT& rect : rects)
      for (unsigned int flags : {0u, 0x100u, 0x105u, 0x10Au}) {
        RECT r = rect;
        font->DrawText(bm, "far away\ntext", -1, &r, flags);
      }
  SUCCEED();
}

TEST(NativeText, FontAlphaFlagFallsBackToTheCache) {
  auto font = MakeTextFont(16, "Helvetica", kEngineFlags);
  LICE_SysBitmap bm(100, 30);
  LICE_Clear(&bm, 0xff000000u);
  font->SetTextColor(LICE_RGBA(255, 255, 255, 0));
  RECT r = {0, 0, 100, 30};
  EXPECT_EQ(font->DrawText(&bm, "Hidden", -1, &r, LICE_DT_USEFGALPHA | DT_NOCLIP), 0);
  EXPECT_TRUE(FindTextInk(&bm, 0xff000000u).empty());
  font->SetTextColor(LICE_RGBA(255, 255, 255, 128));
  font->DrawText(&bm, "Half", -1, &r, LICE_DT_USEFGALPHA | DT_NOCLIP);
  const TextInk ink = FindTextInk(&bm, 0xff000000u);
  ASSERT_FALSE(ink.empty());
  for (int i = 0; i < 100 * 30; ++i) EXPECT_LE(LICE_GETR(bm.getBits()[i]), 129u);
}

// A fixed sample in a fixed face, loose enough for other FreeType versions.
TEST(NativeText, SampleMatchesTheStoredExpectation) {
  auto font = MakeTextFont(20, "DejaVu Sans", LICE_FONT_FLAG_OWNS_HFONT);
  LICE_MemBitmap bm(200, 40);
  LICE_Clear(&bm, 0xff000000u);
  font->SetTextColor(0xffffffffu);
  RECT r = {4, 4, 200, 40};
  font->DrawText(&bm, "Morvante 2.0", -1, &r, 0);
  SaveTextImage(&bm, "/tmp/morvante_text_sample.png", 4);
  const TextInk ink = FindTextInk(&bm, 0xff000000u);
  EXPECT_NEAR(ink.left, 5, 2);
  EXPECT_NEAR(ink.top, 7, 2);
  EXPECT_NEAR(ink.right, 115, 2);
  EXPECT_NEAR(ink.bottom, 20, 2);
  EXPECT_NEAR(static_cast<double>(ink.coverage), 101736.0, 101736.0 * 0.05);
}

// Both paths, both qualities, several sizes and styles on one sheet for
// looking at; each line must leave ink inside its own band.
TEST(NativeText, InspectionSheet) {
  LICE_SysBitmap bm(500, 560);
  LICE_Clear(&bm, 0xff1c1c28u);
  const struct {
    int size, style, quality;
    const char* face;
  } styles[] = {{10, 0, 2, "Helvetica"}, {12, 0, 1, "Helvetica"}, {14, 1, 2, "Helvetica"},
                {14, 1, 1, "Helvetica"}, {18, 2, 2, "Helvetica"}, {18, 2, 1, "Helvetica"},
                {16, 0, 2, "Monaco"},    {24, 0, 2, "Times"},     {36, 1, 2, "Helvetica"}};
  int y = 4;
  for (const auto& s : styles) {
    for (int cachedPath = 0; cachedPath < 2; ++cachedPath) {
      auto font = MakeTextFont(s.size, s.face, cachedPath ? LICE_FONT_FLAG_OWNS_HFONT : kEngineFlags, s.style,
                               s.quality);
      ASSERT_NE(font, nullptr);
      font->SetTextColor(cachedPath ? 0xffffd080u : 0xff80d0ffu);
      RECT r = {4, y, 496, y + font->GetLineHeight()};
      font->DrawText(&bm, "Low Mid Gain -12.5 dB \xC3\xA9\xC3\xBC\xC3\x9F Qy", -1, &r, 0);
      long long ink = 0;
      for (int yy = y; yy < y + font->GetLineHeight(); ++yy)
        for (int x = 0; x < 500; ++x) ink += bm.getBits()[yy * bm.getRowSpan() + x] != 0xff1c1c28u;
      EXPECT_GT(ink, font->GetLineHeight()) << s.face << " " << s.size;
      y += font->GetLineHeight() + 3;
    }
  }
  SaveTextImage(&bm, "/tmp/morvante_text_sheet.png", 2);
}

}  // namespace
