#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "lice/lice_bitmap.h"
#include "lice/lice_fill.h"
#include "lice/lice_png.h"
#include "lice/lice_resource.h"
#include "lice_test_util.h"
#include "png_fixture.h"

namespace {

std::unique_ptr<LICE_IBitmap> Load(const std::vector<uint8_t>& bytes) {
  return std::unique_ptr<LICE_IBitmap>(
      LICE_LoadPNGFromMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr));
}

// 3 x 2 RGB: every pixel distinct.
PngFixture Rgb8() {
  PngFixture f;
  f.width = 3;
  f.height = 2;
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) f.rows.insert(f.rows.end(), {png_byte(10 * x), png_byte(100 + y), png_byte(200 + x)});
  return f;
}

// A one-row image of the given format.
PngFixture OneRow(int width, int colorType, int bitDepth, std::vector<png_byte> rows) {
  PngFixture f;
  f.width = width;
  f.colorType = colorType;
  f.bitDepth = bitDepth;
  f.rows = std::move(rows);
  return f;
}

// Decodes f and checks the first row pixel by pixel.
void ExpectFirstRow(const PngFixture& f, const std::vector<LICE_pixel>& want) {
  auto bm = Load(f.Encode());
  ASSERT_TRUE(bm);
  for (size_t x = 0; x < want.size(); ++x) {
    EXPECT_EQ(LICE_GetPixel(bm.get(), static_cast<int>(x), 0), want[x]) << "x " << x;
  }
}

}  // namespace

TEST(LoadPNG, RgbGetsOpaqueAlpha) {
  auto bm = Load(Rgb8().Encode());
  ASSERT_TRUE(bm);
  ASSERT_EQ(bm->getWidth(), 3);
  ASSERT_EQ(bm->getHeight(), 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(LICE_GetPixel(bm.get(), x, y), LICE_RGBA(10 * x, 100 + y, 200 + x, 255));
}

TEST(LoadPNG, NewBitmapsAlignRowsToFourPixels) {
  auto bm = Load(Rgb8().Encode());
  ASSERT_TRUE(bm);
  EXPECT_EQ(bm->getRowSpan(), 4);
  EXPECT_NE(dynamic_cast<LICE_MemBitmap*>(bm.get()), nullptr);
}

TEST(LoadPNG, RgbaKeepsAlpha) {
  ExpectFirstRow(OneRow(2, PNG_COLOR_TYPE_RGB_ALPHA, 8, {1, 2, 3, 0, 250, 251, 252, 128}),
                 {LICE_RGBA(1, 2, 3, 0), LICE_RGBA(250, 251, 252, 128)});
}

TEST(LoadPNG, PaletteWithTransparencyChunk) {
  PngFixture f = OneRow(4, PNG_COLOR_TYPE_PALETTE, 2, {0x1B});  // indices 0, 1, 2, 3
  f.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 8, 7}};
  f.paletteAlpha = {0, 77};  // entries 2 and 3 stay opaque
  ExpectFirstRow(f, {LICE_RGBA(255, 0, 0, 0), LICE_RGBA(0, 255, 0, 77), LICE_RGBA(0, 0, 255, 255),
                     LICE_RGBA(9, 8, 7, 255)});
}

TEST(LoadPNG, PaletteWithoutTransparencyIsOpaque) {
  PngFixture f = OneRow(2, PNG_COLOR_TYPE_PALETTE, 8, {1, 0});
  f.palette = {{1, 2, 3}, {4, 5, 6}};
  ExpectFirstRow(f, {LICE_RGBA(4, 5, 6, 255), LICE_RGBA(1, 2, 3, 255)});
}

TEST(LoadPNG, LowDepthGreyExpandsToEqualChannels) {
  const int bits[9] = {1, 0, 1, 0, 0, 1, 0, 1, 1};  // 1010 0101 1
  std::vector<LICE_pixel> want1;
  for (int bit : bits) want1.push_back(bit ? LICE_RGBA(255, 255, 255, 255) : LICE_RGBA(0, 0, 0, 255));
  ExpectFirstRow(OneRow(9, PNG_COLOR_TYPE_GRAY, 1, {0xA5, 0x80}), want1);
  ExpectFirstRow(OneRow(3, PNG_COLOR_TYPE_GRAY, 4, {0x3F, 0x70}),
                 {LICE_RGBA(0x33, 0x33, 0x33, 255), LICE_RGBA(0xFF, 0xFF, 0xFF, 255),
                  LICE_RGBA(0x77, 0x77, 0x77, 255)});
}

TEST(LoadPNG, GreyWithTransparentColour) {
  PngFixture f = OneRow(3, PNG_COLOR_TYPE_GRAY, 8, {40, 41, 200});
  f.hasTransparentColor = true;
  f.transparentColor.gray = 40;
  ExpectFirstRow(f, {LICE_RGBA(40, 40, 40, 0), LICE_RGBA(41, 41, 41, 255),
                     LICE_RGBA(200, 200, 200, 255)});
}

TEST(LoadPNG, GreyWithAlpha) {
  ExpectFirstRow(OneRow(2, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {17, 0, 230, 99}),
                 {LICE_RGBA(17, 17, 17, 0), LICE_RGBA(230, 230, 230, 99)});
}

TEST(LoadPNG, SixteenBitSamplesKeepTheirHighByte) {
  ExpectFirstRow(OneRow(1, PNG_COLOR_TYPE_RGB, 16, {0x12, 0x34, 0xAB, 0xCD, 0xFF, 0x01}),
                 {LICE_RGBA(0x12, 0xAB, 0xFF, 255)});
  ExpectFirstRow(
      OneRow(1, PNG_COLOR_TYPE_RGB_ALPHA, 16, {0x12, 0x34, 0xAB, 0xCD, 0xFF, 0x01, 0x80, 0x7F}),
      {LICE_RGBA(0x12, 0xAB, 0xFF, 0x80)});
  ExpectFirstRow(OneRow(1, PNG_COLOR_TYPE_GRAY_ALPHA, 16, {0x9A, 0xBC, 0x40, 0x00}),
                 {LICE_RGBA(0x9A, 0x9A, 0x9A, 0x40)});
}

TEST(LoadPNG, RgbWithTransparentColour) {
  PngFixture f = Rgb8();
  f.hasTransparentColor = true;
  f.transparentColor.red = 10;
  f.transparentColor.green = 100;
  f.transparentColor.blue = 201;
  auto bm = Load(f.Encode());
  ASSERT_TRUE(bm);
  EXPECT_EQ(LICE_GetPixel(bm.get(), 1, 0), LICE_RGBA(10, 100, 201, 0));
  EXPECT_EQ(LICE_GetPixel(bm.get(), 0, 0), LICE_RGBA(0, 100, 200, 255));
}

TEST(LoadPNG, InterlacedMatchesProgressive) {
  PngFixture f;
  f.width = 11;
  f.height = 9;
  f.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
  for (int y = 0; y < f.height; ++y)
    for (int x = 0; x < f.width; ++x)
      f.rows.insert(f.rows.end(), {png_byte(x * 20), png_byte(y * 25), png_byte(x ^ y), png_byte(255 - x - y)});
  PngFixture adam7 = f;
  adam7.interlaced = true;
  const std::vector<uint8_t> progressiveBytes = f.Encode(), interlacedBytes = adam7.Encode();
  ASSERT_NE(progressiveBytes, interlacedBytes);
  auto a = Load(progressiveBytes), b = Load(interlacedBytes);
  ASSERT_TRUE(a);
  ASSERT_TRUE(b);
  for (int y = 0; y < f.height; ++y)
    for (int x = 0; x < f.width; ++x) {
      EXPECT_EQ(LICE_GetPixel(b.get(), x, y), LICE_RGBA(x * 20, y * 25, x ^ y, 255 - x - y));
      EXPECT_EQ(LICE_GetPixel(a.get(), x, y), LICE_GetPixel(b.get(), x, y));
    }
}

TEST(LoadPNG, IntoAGivenBitmapResizesItAndHonoursItsRowSpan) {
  LICE_MemBitmap target(50, 50, 16);
  const std::vector<uint8_t> bytes = Rgb8().Encode();
  EXPECT_EQ(LICE_LoadPNGFromMemory(bytes.data(), static_cast<int>(bytes.size()), &target), &target);
  EXPECT_EQ(target.getWidth(), 3);
  EXPECT_EQ(target.getRowSpan(), 16);
  EXPECT_EQ(LICE_GetPixel(&target, 2, 1), LICE_RGBA(20, 101, 202, 255));
}

TEST(LoadPNG, RefusesBadSignaturesAndShortData) {
  std::vector<uint8_t> bytes = Rgb8().Encode();
  EXPECT_EQ(LICE_LoadPNGFromMemory(nullptr, 100, nullptr), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromMemory(bytes.data(), 0, nullptr), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromMemory(bytes.data(), 7, nullptr), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromMemory(bytes.data(), -1, nullptr), nullptr);
  bytes[1] = 'Q';
  EXPECT_EQ(Load(bytes), nullptr);
}

TEST(LoadPNG, RefusesEveryTruncation) {
  PngFixture f;
  f.width = 16;
  f.height = 16;
  f.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
  for (int i = 0; i < 16 * 16 * 4; ++i) f.rows.push_back(static_cast<png_byte>(i * 37));
  const std::vector<uint8_t> bytes = f.Encode();
  // Up to the end of the image data every cut must fail; only the IEND chunk
  // (last 12 bytes) is not needed for the pixels.
  for (size_t len = 0; len + 12 < bytes.size(); ++len) {
    LICE_MemBitmap target(1, 1);
    EXPECT_EQ(LICE_LoadPNGFromMemory(bytes.data(), static_cast<int>(len), nullptr), nullptr) << len;
    EXPECT_EQ(LICE_LoadPNGFromMemory(bytes.data(), static_cast<int>(len), &target), nullptr) << len;
  }
}

TEST(LoadPNG, RefusesCorruptImageData) {
  const std::vector<uint8_t> good = Rgb8().Encode();
  // IHDR is 8 + 25 bytes after the signature; the next chunk is IDAT.
  const size_t idat = 8 + 25;
  ASSERT_EQ(std::string(good.begin() + idat + 4, good.begin() + idat + 8), "IDAT");
  std::vector<uint8_t> badCrc = good;
  badCrc[idat + 10] ^= 0x55;
  EXPECT_EQ(Load(badCrc), nullptr);
  std::vector<uint8_t> badData = good;
  for (size_t i = idat + 8; i < idat + 14; ++i) badData[i] = 0xFF;
  FixChunkCrc(badData, idat);
  EXPECT_EQ(Load(badData), nullptr);
}

TEST(LoadPNG, RefusesHugeDeclaredSizesBeforeAllocating) {
  for (uint32_t side : {100000u, 60000u, 65535u}) {
    std::vector<uint8_t> bytes = Rgb8().Encode();
    for (int i = 0; i < 4; ++i) {
      bytes[16 + i] = static_cast<uint8_t>(side >> (24 - 8 * i));
      bytes[20 + i] = static_cast<uint8_t>(side >> (24 - 8 * i));
    }
    FixChunkCrc(bytes, 8);
    LICE_MemBitmap target(2, 2);
    EXPECT_EQ(Load(bytes), nullptr) << side;
    EXPECT_EQ(LICE_LoadPNGFromMemory(bytes.data(), static_cast<int>(bytes.size()), &target), nullptr);
    EXPECT_EQ(target.getWidth(), 2);  // refused before the target was touched
  }
}

class PngFiles : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = MakeTempDir();
    ASSERT_FALSE(dir_.empty());
  }
  void TearDown() override { LICE_SetResourceFolder(nullptr); }
  std::string dir_;
};

TEST_F(PngFiles, LoadsFromAFileAndRefusesBadFiles) {
  const std::string good = dir_ + "/good.png", empty = dir_ + "/empty.png", text = dir_ + "/text.png";
  const std::string cut = dir_ + "/cut.png";
  const std::vector<uint8_t> bytes = Rgb8().Encode();
  ASSERT_TRUE(WriteFileBytes(good, bytes));
  ASSERT_TRUE(WriteFileBytes(empty, {}));
  ASSERT_TRUE(WriteFileBytes(text, std::vector<uint8_t>(100, 'x')));
  ASSERT_TRUE(WriteFileBytes(cut, std::vector<uint8_t>(bytes.begin(), bytes.begin() + bytes.size() / 2)));
  std::unique_ptr<LICE_IBitmap> bm(LICE_LoadPNG(good.c_str()));
  ASSERT_TRUE(bm);
  EXPECT_EQ(LICE_GetPixel(bm.get(), 2, 1), LICE_RGBA(20, 101, 202, 255));
  EXPECT_EQ(LICE_LoadPNG(empty.c_str()), nullptr);
  EXPECT_EQ(LICE_LoadPNG(text.c_str()), nullptr);
  EXPECT_EQ(LICE_LoadPNG(cut.c_str()), nullptr);
  EXPECT_EQ(LICE_LoadPNG((dir_ + "/missing.png").c_str()), nullptr);
  EXPECT_EQ(LICE_LoadPNG(dir_.c_str()), nullptr);
  EXPECT_EQ(LICE_LoadPNG(nullptr), nullptr);
}

TEST_F(PngFiles, WriteThenLoadRoundTripsEveryBit) {
  LICE_MemBitmap src(13, 7, 16);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 13; ++x) LICE_PutPixel(&src, x, y, LICE_RGBA(x * 19, y * 36, (x * y) & 255, x * 20), 1.0f, 0);
  const std::string path = dir_ + "/out.png";
  ASSERT_TRUE(LICE_WritePNG(path.c_str(), &src));
  std::unique_ptr<LICE_IBitmap> back(LICE_LoadPNG(path.c_str()));
  ASSERT_TRUE(back);
  ASSERT_EQ(back->getWidth(), 13);
  ASSERT_EQ(back->getHeight(), 7);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 13; ++x) EXPECT_EQ(LICE_GetPixel(back.get(), x, y), LICE_GetPixel(&src, x, y));
}

TEST_F(PngFiles, WriteRefusesWhatCannotBeWritten) {
  LICE_MemBitmap empty, one(1, 1);
  const std::string path = dir_ + "/nothing.png";
  EXPECT_FALSE(LICE_WritePNG(path.c_str(), &empty));
  EXPECT_FALSE(LICE_WritePNG(path.c_str(), nullptr));
  EXPECT_FALSE(LICE_WritePNG(nullptr, &one));
  EXPECT_FALSE(LICE_WritePNG((dir_ + "/no/such/dir.png").c_str(), &one));
  EXPECT_TRUE(ReadFileBytes(path).empty());
}

TEST_F(PngFiles, NamedResourcesComeFromTheResourceFolder) {
  ASSERT_EQ(std::system(("mkdir -p '" + dir_ + "/img'").c_str()), 0);
  ASSERT_TRUE(WriteFileBytes(dir_ + "/img/BG.png", Rgb8().Encode()));
  ASSERT_TRUE(WriteFileBytes(dir_ + "/img/a..b.png", Rgb8().Encode()));
  LICE_SetResourceFolder(dir_.c_str());
  std::unique_ptr<LICE_IBitmap> bm(LICE_LoadPNGFromNamedResource("img/BG.png"));
  ASSERT_TRUE(bm);
  EXPECT_EQ(bm->getWidth(), 3);
  std::unique_ptr<LICE_IBitmap> dotted(LICE_LoadPNGFromNamedResource("img/a..b.png"));
  EXPECT_TRUE(dotted);
  EXPECT_EQ(LICE_LoadPNGFromNamedResource("img/missing.png"), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromNamedResource(nullptr), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromNamedResource(""), nullptr);
}

TEST_F(PngFiles, NamedResourcesCannotLeaveTheFolder) {
  ASSERT_EQ(std::system(("mkdir -p '" + dir_ + "/res/img'").c_str()), 0);
  ASSERT_TRUE(WriteFileBytes(dir_ + "/secret.png", Rgb8().Encode()));
  ASSERT_TRUE(WriteFileBytes(dir_ + "/res/img/BG.png", Rgb8().Encode()));
  LICE_SetResourceFolder((dir_ + "/res/").c_str());
  EXPECT_EQ(LICE_LoadPNGFromNamedResource("../secret.png"), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromNamedResource("img/../../secret.png"), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromNamedResource("img/..\\..\\secret.png"), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromNamedResource("img/../img/BG.png"), nullptr);
  std::unique_ptr<LICE_IBitmap> ok(LICE_LoadPNGFromNamedResource("img/./BG.png"));
  EXPECT_TRUE(ok);
}

TEST_F(PngFiles, NamesOver400CharactersAreRefused) {
  // A name of exactly 400 characters resolves; 401 does not.
  std::string name400 = "img/" + std::string(392, 'a') + ".png";
  ASSERT_EQ(name400.size(), 400u);
  LICE_SetResourceFolder(dir_.c_str());
  EXPECT_EQ(LICE_ResourcePath(name400.c_str()), dir_ + "/" + name400);
  EXPECT_EQ(LICE_ResourcePath(("a" + name400).c_str()), "");
}

TEST_F(PngFiles, DefaultFolderIsTheBundleResourcesBesideTheCode) {
  LICE_SetResourceFolder(nullptr);
  const std::string path = LICE_ResourcePath("img/BG.png");
  const std::string tail = "/Contents/Resources/img/BG.png";
  ASSERT_GE(path.size(), tail.size());
  EXPECT_EQ(path.substr(path.size() - tail.size()), tail);
}
