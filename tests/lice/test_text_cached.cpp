// The cached (coverage mask) path of LICE_CachedFont.
#include "lice/lice_fill.h"
#include "lice/lice_text.h"
#include "tests/lice/test_text_util.h"
#include "tests/lice/wide_glyph_font.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>

namespace {

// Exposes the glyph entries to check when they are rendered.
class InspectableFont : public LICE_CachedFont {
public:
  int StoreOffsetOf(unsigned short c) {
    const charEnt* ent = FindGlyph(c);
    return ent ? ent->base_offset : 0;
  }
  bool HasEntry(unsigned short c) { return FindGlyph(c) != nullptr; }
};

HFONT MakeNative(int height, int quality = ANTIALIASED_QUALITY, const char* face = "DejaVu Sans") {
  return CreateFont(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, quality, 0, face);
}

class CachedText : public ::testing::Test {
protected:
  void SetUp() override {
    font = MakeTextFont(18, "DejaVu Sans", 0);
    ASSERT_NE(font, nullptr);
    lh = font->GetLineHeight();
    font->SetTextColor(0xffffffffu);
    LICE_Clear(&bm, 0xff000000u);
  }
  int Width(const char* text, unsigned int flags = 0, int len = -1) {
    RECT r = {5, 7, 5, 7};
    font->DrawText(nullptr, text, len, &r, flags | DT_CALCRECT);
    return r.right - r.left;
  }
  int Draw(const char* text, RECT r, unsigned int flags = 0, int len = -1) {
    return font->DrawText(&bm, text, len, &r, flags);
  }
  TextInk Ink() { return FindTextInk(&bm, 0xff000000u); }

  std::unique_ptr<LICE_CachedFont> font;
  LICE_MemBitmap bm{200, 100};
  int lh = 0;
};

TEST_F(CachedText, LineHeightMatchesTheRequestedSize) {
  for (int size = 2; size <= 80; size += 3) {
    auto f = MakeTextFont(size, "Helvetica", 0);
    ASSERT_NE(f, nullptr);
    EXPECT_NEAR(f->GetLineHeight(), size, 1) << size;
    RECT r = {0, 0, 0, 0};
    EXPECT_EQ(f->DrawText(nullptr, "Ag", -1, &r, DT_CALCRECT), f->GetLineHeight());
  }
}

TEST_F(CachedText, MeasuringEmptyTextGivesNothing) {
  RECT r = {5, 7, 50, 70};
  EXPECT_EQ(font->DrawText(nullptr, "", -1, &r, DT_CALCRECT), 0);
  EXPECT_EQ(r.right, 5);
  EXPECT_EQ(r.bottom, 7);
}

TEST_F(CachedText, MeasuringLines) {
  RECT r = {5, 7, 5, 7};
  EXPECT_EQ(font->DrawText(nullptr, "ab\ncd", -1, &r, DT_CALCRECT), 2 * lh);
  EXPECT_EQ(r.bottom - r.top, 2 * lh);
  EXPECT_EQ(r.right - r.left, Width("ab"));
  r = {5, 7, 5, 7};
  EXPECT_EQ(font->DrawText(nullptr, "ab\ncd", -1, &r, DT_CALCRECT | DT_SINGLELINE), lh);
  EXPECT_EQ(r.right - r.left, Width("ab cd"));
  EXPECT_EQ(Width("a\rb"), Width("ab"));
}

TEST_F(CachedText, FullCoverageWritesTheTextColourAndRaisesAlpha) {
  LICE_Clear(&bm, 0);
  // On/off pixels, so full coverage is certain.
  font = MakeTextFont(18, "DejaVu Sans", 0, 0, 1);
  font->SetTextColor(LICE_RGBA(255, 0, 0, 255));
  Draw("IH", {0, 0, 200, 100});
  int full = 0;
  for (int i = 0; i < 200 * 100; ++i) {
    const LICE_pixel p = bm.getBits()[i];
    if (p == 0) continue;
    EXPECT_EQ(p & 0xffffu, 0u);
    EXPECT_GE(LICE_GETA(p), LICE_GETR(p));  // alpha rises with the coverage
    full += p == LICE_RGBA(255, 0, 0, 255);
  }
  EXPECT_GT(full, 10);
}

TEST_F(CachedText, NonAntialiasedFontsGiveOnlyOnOrOffPixels) {
  auto mono = MakeTextFont(15, "Helvetica", 0, 0, 1);
  ASSERT_NE(mono, nullptr);
  mono->SetTextColor(0xffffffffu);
  RECT r = {0, 0, 200, 100};
  mono->DrawText(&bm, "Quality 3: Agy", -1, &r, 0);
  ASSERT_FALSE(Ink().empty());
  for (int i = 0; i < 200 * 100; ++i) {
    const LICE_pixel p = bm.getBits()[i];
    EXPECT_TRUE(p == 0xff000000u || p == 0xffffffffu) << std::hex << p;
  }
}

TEST_F(CachedText, TextColourWithoutAlphaDrawsNothingWhenAsked) {
  font->SetTextColor(LICE_RGBA(255, 255, 255, 0));
  EXPECT_EQ(Draw("Hello", {0, 0, 200, 100}, LICE_DT_USEFGALPHA), 0);
  EXPECT_TRUE(Ink().empty());
  // Without the flag the colour's alpha does not matter.
  EXPECT_EQ(Draw("Hello", {0, 0, 200, 100}), lh);
  EXPECT_FALSE(Ink().empty());
}

TEST_F(CachedText, Alignment) {
  const int w = Width("X");
  Draw("X", {0, 0, 100, 60}, DT_CENTER | DT_VCENTER);
  TextInk ink = Ink();
  EXPECT_NEAR((ink.left + ink.right) / 2.0, 50.0, 2.0);
  EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 30.0, lh / 3.0);

  LICE_Clear(&bm, 0xff000000u);
  Draw("X", {0, 0, 100, 60}, DT_RIGHT | DT_BOTTOM);
  ink = Ink();
  EXPECT_LE(ink.right, 100);
  EXPECT_GE(ink.left, 100 - w - 1);
  EXPECT_LE(ink.bottom, 60);
  EXPECT_GE(ink.top, 60 - lh);
}

TEST_F(CachedText, ClipsToTheRectUnlessNoClip) {
  Draw("WWWWWW", {10, 10, 30, 10 + lh});
  TextInk ink = Ink();
  ASSERT_FALSE(ink.empty());
  EXPECT_GE(ink.left, 10);
  EXPECT_LE(ink.right, 30);

  LICE_Clear(&bm, 0xff000000u);
  Draw("WWWWWW", {10, 10, 30, 12}, DT_NOCLIP);
  ink = Ink();
  EXPECT_GT(ink.right, 60);
  EXPECT_GT(ink.bottom, 12 + lh / 2);
}

TEST_F(CachedText, RectsFarOutsideTheBitmapAreSafe) {
  const RECT rects[] = {
      {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {INT_MAX - 3, INT_MAX - 3, INT_MAX, INT_MAX},
      {INT_MIN, INT_MIN, INT_MIN + 5, INT_MIN + 5}, {-100000, -100000, -99000, -99000},
      {190, 95, 400, 400}, {-10, -10, 5, 5}, {100, 50, 0, 0},
  };
  const unsigned int flagSets[] = {0, DT_NOCLIP, DT_CENTER | DT_VCENTER, DT_RIGHT | DT_BOTTOM | DT_NOCLIP};
  for (const RECT& r : rects)
    for (unsigned int flags : flagSets) Draw("Wide text\nand more", r, flags);
  LICE_Clear(&bm, 0xff000000u);
  EXPECT_EQ(Draw("far", {1000, 1000, 1100, 1100}), 0);
  EXPECT_TRUE(Ink().empty());
}

TEST_F(CachedText, NothingToDrawOrNowhereToDrawIt) {
  RECT r = {0, 0, 200, 100};
  EXPECT_EQ(font->DrawText(nullptr, "Hello", -1, &r, 0), 0);
  EXPECT_EQ(font->DrawText(&bm, nullptr, -1, &r, 0), 0);
  EXPECT_EQ(font->DrawText(&bm, "Hello", -1, nullptr, 0), 0);
  EXPECT_EQ(Draw("", r), 0);
  EXPECT_EQ(Draw("Hello", r, 0, 0), 0);
  EXPECT_TRUE(Ink().empty());
  LICE_MemBitmap none(0, 0);
  EXPECT_EQ(font->DrawText(&none, "Hello", -1, &r, 0), 0);
  EXPECT_FALSE(font->DrawGlyph(nullptr, 'A', 0, 0, nullptr));
}

TEST_F(CachedText, LengthLimitsTheText) {
  EXPECT_EQ(Width("abWW", 0, 2), Width("ab"));
  const char withNul[] = "ab\0WW";
  EXPECT_EQ(Width(withNul, 0, 5), Width("ab"));
  // An unterminated buffer: only strcnt bytes may be read.
  std::unique_ptr<char[]> exact(new char[3]{'a', 'b', '\xC3'});
  EXPECT_EQ(Width(exact.get(), 0, 3), Width("ab\xC3\x83"));
  EXPECT_EQ(Draw(exact.get(), {0, 0, 200, 100}, 0, 3), lh);
}

TEST(TextDecoding, Utf8Sequences) {
  int used = 0;
  EXPECT_EQ(LICE_DecodeTextChar("\xC3\xA9", 2, &used), 0xE9);
  EXPECT_EQ(used, 2);
  EXPECT_EQ(LICE_DecodeTextChar("\xE2\x82\xAC", 3, &used), 0x20AC);
  EXPECT_EQ(used, 3);
  EXPECT_EQ(LICE_DecodeTextChar("\xF0\x9F\x98\x80", 4, &used), ' ');
  EXPECT_EQ(used, 4);
  EXPECT_EQ(LICE_DecodeTextChar("A", 1, &used), 'A');
  EXPECT_EQ(used, 1);
}

TEST(TextDecoding, MalformedAndCutShortSequencesAreSingleBytes) {
  struct Case {
    const char* bytes;
    int avail;
    int code;
  } cases[] = {
      {"\xE9x", 2, 0xE9},           // lead byte followed by ASCII
      {"\xC3", 1, 0xC3},            // cut short by the end
      {"\xC3\xA9", 1, 0xC3},        // cut short by the count
      {"\xE2\x82\xAC", 2, 0xE2},    // three-byte sequence cut short
      {"\xF0\x9F\x98\x80", 3, 0xF0},
      {"\xC0\x80", 2, 0xC0},        // not a lead byte
      {"\xC1\xBF", 2, 0xC1},
      {"\xF5\x80\x80\x80", 4, 0xF5},
      {"\x80", 1, 0x80},            // a stray continuation byte
      {"\xFF", 1, 0xFF},
      {"\xE2\x28\xA1", 3, 0xE2},    // second byte not a continuation
  };
  for (const Case& c : cases) {
    int used = 0;
    EXPECT_EQ(LICE_DecodeTextChar(c.bytes, c.avail, &used), c.code) << std::hex << c.code;
    EXPECT_EQ(used, 1);
  }
  int used = 0;
  EXPECT_EQ(LICE_DecodeTextChar("", 0, &used), 0);
  EXPECT_EQ(used, 1);
}

TEST_F(CachedText, LoneLeadByteIsDrawnAsItsOwnCodePoint) {
  EXPECT_EQ(Width("\xE9x"), Width("\xC3\xA9x"));
  EXPECT_GT(Width("\xE9x"), Width("x"));
}

TEST_F(CachedText, SecondDrawDoesNotRenderAgain) {
  auto f = std::make_unique<InspectableFont>();
  f->SetFromHFont(MakeNative(18), LICE_FONT_FLAG_OWNS_HFONT);
  f->SetTextColor(0xffffffffu);
  RECT r = {0, 0, 200, 100};
  EXPECT_FALSE(f->HasEntry(0xE9));
  f->DrawText(&bm, "\xC3\xA9" "A", -1, &r, 0);
  const int accented = f->StoreOffsetOf(0xE9);
  const int ascii = f->StoreOffsetOf('A');
  EXPECT_GT(accented, 0);
  EXPECT_GT(ascii, 0);
  f->DrawText(&bm, "A\xC3\xA9", -1, &r, 0);
  EXPECT_EQ(f->StoreOffsetOf(0xE9), accented);
  EXPECT_EQ(f->StoreOffsetOf('A'), ascii);
  // A space renders no pixels but still advances.
  f->DrawText(&bm, " ", -1, &r, 0);
  EXPECT_EQ(f->StoreOffsetOf(' '), -1);
}

TEST_F(CachedText, ExtraGlyphsStaySortedForLookUp) {
  auto f = std::make_unique<InspectableFont>();
  f->SetFromHFont(MakeNative(14), LICE_FONT_FLAG_OWNS_HFONT);
  RECT r = {0, 0, 0, 0};
  // Out of order on purpose: each must be found again by binary search.
  f->DrawText(nullptr, "\xE2\x82\xAC\xC3\xBC\xC3\xA9\xCE\xA9\xC3\x9F", -1, &r, DT_CALCRECT);
  for (unsigned short c : {0x20AC, 0xFC, 0xE9, 0x3A9, 0xDF}) EXPECT_TRUE(f->HasEntry(c)) << c;
  EXPECT_FALSE(f->HasEntry(0xE0));
}

TEST_F(CachedText, PrecalculatedFontsNeverDrawBeyondAscii) {
  auto f = std::make_unique<InspectableFont>();
  f->SetFromHFont(MakeNative(18), LICE_FONT_FLAG_OWNS_HFONT | LICE_FONT_FLAG_PRECALCALL);
  EXPECT_GT(f->StoreOffsetOf('A'), 0);  // rendered when the font was set
  f->SetTextColor(0xffffffffu);
  RECT r = {0, 0, 200, 100};
  f->DrawText(&bm, "\xC3\xA9", -1, &r, 0);
  EXPECT_TRUE(Ink().empty());
  EXPECT_FALSE(f->HasEntry(0xE9));
  f->DrawText(&bm, "e", -1, &r, 0);
  EXPECT_FALSE(Ink().empty());
}

TEST_F(CachedText, OpaqueBackgroundFillsEachGlyphBox) {
  font->SetBkMode(1);
  font->SetBkColor(LICE_RGBA(0, 0, 255, 255));
  Draw("ab", {10, 10, 200, 100});
  int blue = 0;
  for (int i = 0; i < 200 * 100; ++i) blue += bm.getBits()[i] == LICE_RGBA(0, 0, 255, 255);
  EXPECT_GT(blue, lh * 4);
  EXPECT_EQ(bm.getBits()[0], 0xff000000u);
}

TEST_F(CachedText, MonoFlagWritesTheTextColourWhereverCovered) {
  auto f = std::make_unique<LICE_CachedFont>();
  f->SetFromHFont(MakeNative(18), LICE_FONT_FLAG_OWNS_HFONT | LICE_FONT_FLAG_FX_MONO);
  f->SetTextColor(LICE_RGBA(10, 200, 30, 255));
  RECT r = {0, 0, 200, 100};
  f->DrawText(&bm, "Mono", -1, &r, 0);
  int drawn = 0;
  for (int i = 0; i < 200 * 100; ++i) {
    const LICE_pixel p = bm.getBits()[i];
    EXPECT_TRUE(p == 0xff000000u || p == LICE_RGBA(10, 200, 30, 255));
    drawn += p != 0xff000000u;
  }
  EXPECT_GT(drawn, 20);
}

TEST_F(CachedText, SettingANewFontClearsTheGlyphs) {
  const int small = Width("Hello");
  font->SetFromHFont(MakeNative(36), LICE_FONT_FLAG_OWNS_HFONT);
  EXPECT_GT(Width("Hello"), small * 3 / 2);
}

TEST(CachedTextOwnership, OwnedFontsAreDeletedWhenReplacedOthersAreNot) {
  HFONT owned = MakeNative(12), kept = MakeNative(12);
  {
    LICE_CachedFont a, b;
    a.SetFromHFont(owned, LICE_FONT_FLAG_OWNS_HFONT);
    b.SetFromHFont(kept, 0);
    a.SetFromHFont(nullptr, 0);
    b.SetFromHFont(nullptr, 0);
  }
  EXPECT_FALSE(DeleteObject(owned));  // already gone
  EXPECT_TRUE(DeleteObject(kept));
}

// A glyph wider than the shared scratch grows it while rendering: the glyph
// must be drawn into the grown scratch, not the context the growth freed.
TEST(CachedTextLimits, GlyphsWiderThanTheScratchRenderWhole) {
  const char* family = RegisterWideGlyphFont();
  ASSERT_NE(family, nullptr);
  LICE_CachedFont f;
  f.SetFromHFont(MakeNative(-100, ANTIALIASED_QUALITY, family), LICE_FONT_FLAG_OWNS_HFONT);
  ASSERT_EQ(f.GetLineHeight(), 100);
  f.SetTextColor(0xffffffffu);
  LICE_MemBitmap bm(500, 150);
  LICE_Clear(&bm, 0xff000000u);
  ASSERT_TRUE(f.DrawGlyph(&bm, 'W', 20, 20, nullptr));
  const TextInk ink = FindTextInk(&bm, 0xff000000u);
  // The bar: 4 ems wide, 0.7 em tall, standing on the baseline 0.8 em down.
  EXPECT_NEAR(ink.left, 20, 1);
  EXPECT_NEAR(ink.right - ink.left, 100 * kWideGlyphAdvanceEms, 2);
  EXPECT_NEAR(ink.bottom - ink.top, 70, 2);
  SaveTextImage(&bm, (::testing::TempDir() + "morvante_wide_glyph.png").c_str());
}

TEST(CachedTextLimits, VeryTallFontsRenderNoCachedGlyphsButDrawNatively) {
  LICE_CachedFont f;
  f.SetFromHFont(MakeNative(1100), LICE_FONT_FLAG_OWNS_HFONT);
  ASSERT_EQ(f.GetLineHeight(), 1100);
  LICE_MemBitmap bm(600, 1200);
  LICE_Clear(&bm, 0xff000000u);
  EXPECT_FALSE(f.DrawGlyph(&bm, 'A', 0, 0, nullptr));
  f.SetTextColor(0xffffffffu);
  RECT r = {0, 0, 600, 1200};
  EXPECT_EQ(f.DrawText(&bm, "A", -1, &r, 0), 1100);  // line height >= 256: native
  EXPECT_FALSE(FindTextInk(&bm, 0xff000000u).empty());
}

}  // namespace

namespace {

TEST(CachedTextVertical, GlyphsAdvanceDownward) {
  LICE_CachedFont f;
  f.SetFromHFont(MakeNative(16), LICE_FONT_FLAG_OWNS_HFONT | LICE_FONT_FLAG_VERTICAL);
  f.SetTextColor(0xffffffffu);
  RECT r = {0, 0, 0, 0};
  f.DrawText(nullptr, "WWWW", -1, &r, DT_CALCRECT);
  EXPECT_EQ(r.right, f.GetLineHeight());
  EXPECT_GT(r.bottom, 2 * f.GetLineHeight());
  LICE_MemBitmap bm(100, 100);
  LICE_Clear(&bm, 0xff000000u);
  r = {10, 10, 100, 100};
  f.DrawText(&bm, "WWWW", -1, &r, 0);
  const TextInk ink = FindTextInk(&bm, 0xff000000u);
  ASSERT_FALSE(ink.empty());
  EXPECT_GT(ink.bottom - ink.top, 2 * (ink.right - ink.left));
  EXPECT_GE(ink.left, 10 - 4);
  EXPECT_GE(ink.top, 10 - 4);
}

}  // namespace
