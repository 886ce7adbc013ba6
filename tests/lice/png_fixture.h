// Builds PNG files with libpng for the loader tests.
#pragma once

#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

struct PngFixture {
  int width = 1;
  int height = 1;
  int colorType = PNG_COLOR_TYPE_RGB;
  int bitDepth = 8;
  bool interlaced = false;
  std::vector<png_color> palette;
  std::vector<png_byte> paletteAlpha;  // tRNS of a palette image
  bool hasTransparentColor = false;
  png_color_16 transparentColor{};     // tRNS of a grey or RGB image
  std::vector<png_byte> rows;          // height rows of packed samples

  std::vector<uint8_t> Encode() const;
};

// Bytes of a file (empty when unreadable); writes bytes to a file.
std::vector<uint8_t> ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// A fresh directory under the test temporary folder.
std::string MakeTempDir();

// Replaces the CRC of the chunk starting at offset (its length field).
void FixChunkCrc(std::vector<uint8_t>& png, size_t offset);
