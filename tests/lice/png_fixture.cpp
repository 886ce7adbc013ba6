#include "png_fixture.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdio>

namespace {

void Append(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}
void NoFlush(png_structp) {}

bool EncodeInto(const PngFixture& f, png_structp png, png_infop info, std::vector<uint8_t>* out) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, out, Append, NoFlush);
  png_set_IHDR(png, info, f.width, f.height, f.bitDepth, f.colorType,
               f.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!f.palette.empty()) png_set_PLTE(png, info, f.palette.data(), static_cast<int>(f.palette.size()));
  if (!f.paletteAlpha.empty())
    png_set_tRNS(png, info, f.paletteAlpha.data(), static_cast<int>(f.paletteAlpha.size()), nullptr);
  if (f.hasTransparentColor) {
    png_color_16 c = f.transparentColor;
    png_set_tRNS(png, info, nullptr, 0, &c);
  }
  png_write_info(png, info);
  const size_t rowBytes = f.rows.size() / f.height;
  std::vector<png_bytep> rows;
  for (int y = 0; y < f.height; ++y) rows.push_back(const_cast<png_bytep>(f.rows.data() + y * rowBytes));
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

std::vector<uint8_t> PngFixture::Encode() const {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  const bool ok = EncodeInto(*this, png, info, &out);
  png_destroy_write_struct(&png, &info);
  EXPECT_TRUE(ok);
  return out;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::vector<uint8_t> bytes;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return bytes;
  int c;
  while ((c = std::fgetc(f)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
  std::fclose(f);
  return bytes;
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

std::string MakeTempDir() {
  std::string pattern = ::testing::TempDir() + "lice_png_XXXXXX";
  if (!mkdtemp(&pattern[0])) return std::string();
  return pattern;
}

void FixChunkCrc(std::vector<uint8_t>& png, size_t offset) {
  const uint32_t len = (uint32_t{png[offset]} << 24) | (uint32_t{png[offset + 1]} << 16) |
                       (uint32_t{png[offset + 2]} << 8) | png[offset + 3];
  const uLong crc = crc32(0, png.data() + offset + 4, 4 + len);
  const size_t at = offset + 8 + len;
  png[at] = static_cast<uint8_t>(crc >> 24);
  png[at + 1] = static_cast<uint8_t>(crc >> 16);
  png[at + 2] = static_cast<uint8_t>(crc >> 8);
  png[at + 3] = static_cast<uint8_t>(crc);
}
