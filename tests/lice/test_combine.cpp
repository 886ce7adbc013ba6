#include <gtest/gtest.h>

#include <cmath>

#include "lice/lice_combine.h"

namespace {

// Expected values worked out by hand from the integer rules, destination
// 0x80402010 (A 0x80, R 0x40, G 0x20, B 0x10).
constexpr LICE_pixel kDest = 0x80402010;
constexpr LICE_pixel kSrc = 0xC0FF8040;    // opaque enough to matter
constexpr LICE_pixel kHalfA = 0x80FF8040;  // source alpha 128

LICE_pixel Combine(LICE_pixel d, LICE_pixel s, int w, int mode) {
  LICE_CombinePixel(&d, s, w, mode);
  return d;
}

}  // namespace

TEST(Combine, AlphaToWeightTruncatesAndCaps) {
  EXPECT_EQ(LICE_AlphaToWeight(1.0f), 256);
  EXPECT_EQ(LICE_AlphaToWeight(0.5f), 128);
  EXPECT_EQ(LICE_AlphaToWeight(0.999f), 255);
  EXPECT_EQ(LICE_AlphaToWeight(0.001f), 0);
  EXPECT_EQ(LICE_AlphaToWeight(-0.25f), -64);
  EXPECT_EQ(LICE_AlphaToWeight(3.0f), 256);
  EXPECT_EQ(LICE_AlphaToWeight(-1e30f), -256);
  EXPECT_EQ(LICE_AlphaToWeight(std::nanf("")), 0);
  EXPECT_EQ(LICE_AlphaToWeight(INFINITY), 256);
}

TEST(Combine, CopyWithoutSourceAlpha) {
  EXPECT_EQ(Combine(kDest, kSrc, 256, LICE_BLIT_MODE_COPY), kSrc);
  EXPECT_EQ(Combine(kDest, kSrc, 100, LICE_BLIT_MODE_COPY), 0x998b4623u);
  // Truncation toward zero of a negative difference rounds toward the source.
  EXPECT_EQ(Combine(0, 0xffffffff, 128, LICE_BLIT_MODE_COPY), 0x80808080u);
  EXPECT_EQ(Combine(kDest, kSrc, 0, LICE_BLIT_MODE_COPY), kDest);
  EXPECT_EQ(Combine(kDest, kSrc, -100, LICE_BLIT_MODE_COPY), kDest);
}

TEST(Combine, CopyWithSourceAlpha) {
  const int mode = LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA;
  EXPECT_EQ(Combine(kDest, kHalfA, 256, mode), 0xffa15129u);
  EXPECT_EQ(Combine(kDest, kHalfA, 100, mode), 0xb266331au);
  EXPECT_EQ(Combine(kDest, 0x00ffffff, 256, mode), kDest);
  EXPECT_EQ(Combine(kDest, 0xff123456, 256, mode), 0xff123456u);
  // Opaque source below full weight: k = w.
  const LICE_pixel plain = Combine(kDest, 0xff123456, 100, LICE_BLIT_MODE_COPY);
  EXPECT_EQ(Combine(kDest, 0xff123456, 100, mode), (plain & 0x00ffffffu) | ((0x80u + 100u) << 24));
}

TEST(Combine, AddClampsAtBothEnds) {
  EXPECT_EQ(Combine(kDest, kSrc, 256, LICE_BLIT_MODE_ADD), 0xffffa050u);
  EXPECT_EQ(Combine(kDest, kSrc, 100, LICE_BLIT_MODE_ADD), 0xcba35229u);
  EXPECT_EQ(Combine(0xFF808080, 0xFF808080, 256, LICE_BLIT_MODE_ADD), 0xFFFFFFFFu);
  // A negative weight subtracts and stops at zero.
  EXPECT_EQ(Combine(0x10204080, 0x40404040, -256, LICE_BLIT_MODE_ADD), 0x00000040u);
}

TEST(Combine, AddWithSourceAlpha) {
  const int mode = LICE_BLIT_MODE_ADD | LICE_BLIT_USE_ALPHA;
  EXPECT_EQ(Combine(kDest, kHalfA, 256, mode), 0xc0c06030u);
  EXPECT_EQ(Combine(kDest, kHalfA, 100, mode), 0x9971391cu);
  EXPECT_EQ(Combine(kDest, 0x00ffffff, 256, mode), kDest);
}

TEST(Combine, ColourDodge) {
  EXPECT_EQ(Combine(kDest, kSrc, 256, LICE_BLIT_MODE_DODGE), 0xffff4015u);
  EXPECT_EQ(Combine(kDest, kSrc, 100, LICE_BLIT_MODE_DODGE), 0xb5682711u);
  // A full source channel drives any non-zero channel to 255, keeps 0 at 0.
  EXPECT_EQ(Combine(0x00805001, 0xFFFFFFFF, 256, LICE_BLIT_MODE_DODGE), 0x00FFFFFFu);
  EXPECT_EQ(Combine(kDest, kHalfA, 256, LICE_BLIT_MODE_DODGE | LICE_BLIT_USE_ALPHA), 0xaa802a12u);
  EXPECT_EQ(Combine(kDest, kHalfA, 100, LICE_BLIT_MODE_DODGE | LICE_BLIT_USE_ALPHA), 0x8d4f2310u);
}

TEST(Combine, Multiply) {
  EXPECT_EQ(Combine(kDest, kSrc, 256, LICE_BLIT_MODE_MUL), 0x603f1004u);
  EXPECT_EQ(Combine(kDest, kSrc, 100, LICE_BLIT_MODE_MUL), 0x733f190bu);
  EXPECT_EQ(Combine(kDest, kHalfA, 256, LICE_BLIT_MODE_MUL | LICE_BLIT_USE_ALPHA), 0x5f3f1709u);
  EXPECT_EQ(Combine(kDest, kHalfA, 100, LICE_BLIT_MODE_MUL | LICE_BLIT_USE_ALPHA), 0x733f1c0du);
  EXPECT_EQ(Combine(0xffffffff, 0xffffffff, 256, LICE_BLIT_MODE_MUL), 0xfefefefeu);
  // Negative weights brighten but never wrap.
  EXPECT_EQ(Combine(0xf0f0f0f0, 0, -256, LICE_BLIT_MODE_MUL), 0xffffffffu);
}

TEST(Combine, Overlay) {
  EXPECT_EQ(Combine(kDest, kSrc, 256, LICE_BLIT_MODE_OVERLAY), 0xa06f2008u);
  EXPECT_EQ(Combine(kDest, kSrc, 100, LICE_BLIT_MODE_OVERLAY), 0x8c52200du);
  EXPECT_EQ(Combine(kDest, kHalfA, 256, LICE_BLIT_MODE_OVERLAY | LICE_BLIT_USE_ALPHA), 0x8058200cu);
  EXPECT_EQ(Combine(kDest, kHalfA, 100, LICE_BLIT_MODE_OVERLAY | LICE_BLIT_USE_ALPHA), 0x8049200eu);
  EXPECT_EQ(Combine(0xffffffff, 0xffffffff, 256, LICE_BLIT_MODE_OVERLAY), 0xffffffffu);
  EXPECT_EQ(Combine(0xffffffff, 0xffffffff, -256, LICE_BLIT_MODE_OVERLAY), 0xfefefefeu);
}

TEST(Combine, ChannelCopyMovesOneByte) {
  // Source red (byte 2) into destination alpha (byte 3).
  EXPECT_EQ(Combine(0x11223344, 0xaabbccdd, 0, LICE_BLIT_MODE_CHANCOPY + 4 * 3 + 2), 0xbb223344u);
  // Source blue into destination green.
  EXPECT_EQ(Combine(0x11223344, 0xaabbccdd, 256, LICE_BLIT_MODE_CHANCOPY + 4 * 1 + 0), 0x1122dd44u);
}

TEST(Combine, HSVAdjustNeutralSourceKeepsColour) {
  const LICE_pixel neutral = LICE_RGBA(128, 128, 128, 255);
  for (LICE_pixel d : {0xff000000u, 0xffffffffu, 0x80ff0000u, 0xff00ff00u, 0xff0000ffu, 0x12808080u}) {
    const LICE_pixel out = Combine(d, neutral, 256, LICE_BLIT_MODE_HSVADJ);
    for (int shift = 0; shift < 32; shift += 8)
      EXPECT_NEAR(static_cast<int>((out >> shift) & 255), static_cast<int>((d >> shift) & 255), 1) << std::hex << d;
  }
  // Zero saturation scale greys out, zero value scale blackens; alpha stays.
  EXPECT_EQ(Combine(0x40ff0000, LICE_RGBA(128, 0, 128, 255), 256, LICE_BLIT_MODE_HSVADJ), 0x40ffffffu);
  EXPECT_EQ(Combine(0x40ff0000, LICE_RGBA(128, 128, 0, 255), 256, LICE_BLIT_MODE_HSVADJ), 0x40000000u);
  // Half a turn of hue takes red to cyan.
  EXPECT_EQ(Combine(0xffff0000, LICE_RGBA(0, 128, 128, 255), 256, LICE_BLIT_MODE_HSVADJ), 0xff00ffffu);
}
