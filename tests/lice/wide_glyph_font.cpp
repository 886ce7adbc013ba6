#include "tests/lice/wide_glyph_font.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace {
constexpr int kUnitsPerEm = 1000;
constexpr int kAscent = 800;
constexpr int kDescent = 200;
constexpr int kBarWidth = static_cast<int>(kWideGlyphAdvanceEms * kUnitsPerEm);
constexpr int kBarHeight = 700;
const char kFamily[] = "Morvante Test Wide";

class Bytes {
public:
  Bytes& U16(int v) {
    mData.push_back(static_cast<uint8_t>((v >> 8) & 0xff));
    mData.push_back(static_cast<uint8_t>(v & 0xff));
    return *this;
  }
  Bytes& U32(uint32_t v) { return U16(static_cast<int>(v >> 16)).U16(static_cast<int>(v & 0xffff)); }
  Bytes& Append(const std::vector<uint8_t>& more) {
    mData.insert(mData.end(), more.begin(), more.end());
    return *this;
  }
  void PadTo4() {
    while (mData.size() % 4) mData.push_back(0);
  }
  const std::vector<uint8_t>& Data() const { return mData; }
  size_t Size() const { return mData.size(); }

private:
  std::vector<uint8_t> mData;
};

std::vector<uint8_t> Head() {
  Bytes b;
  b.U32(0x00010000).U32(0x00010000).U32(0).U32(0x5F0F3CF5).U16(0x000B).U16(kUnitsPerEm);
  b.U32(0).U32(0).U32(0).U32(0);  // created, modified
  b.U16(0).U16(0).U16(kBarWidth).U16(kBarHeight);
  b.U16(0).U16(8).U16(2).U16(0).U16(0);  // style, smallest size, direction, short offsets, format
  return b.Data();
}

std::vector<uint8_t> Hhea() {
  Bytes b;
  b.U32(0x00010000).U16(kAscent).U16(-kDescent).U16(0).U16(kBarWidth).U16(0).U16(0).U16(kBarWidth);
  b.U16(1).U16(0).U16(0).U16(0).U16(0).U16(0).U16(0).U16(0).U16(2);
  return b.Data();
}

std::vector<uint8_t> Maxp() {
  Bytes b;
  b.U32(0x00010000).U16(2).U16(4).U16(1);
  for (int i = 0; i < 11; ++i) b.U16(i == 2 ? 2 : 0);  // two zones, nothing else
  return b.Data();
}

std::vector<uint8_t> Hmtx() {
  Bytes b;
  b.U16(kUnitsPerEm / 2).U16(0).U16(kBarWidth).U16(0);
  return b.Data();
}

// Glyph 0 is empty; glyph 1 is the bar, drawn clockwise.
std::vector<uint8_t> Bar() {
  Bytes b;
  b.U16(1).U16(0).U16(0).U16(kBarWidth).U16(kBarHeight).U16(3).U16(0);
  for (int i = 0; i < 4; ++i) b.Append({0x01});
  b.U16(0).U16(0).U16(kBarWidth).U16(0);             // x deltas
  b.U16(0).U16(kBarHeight).U16(0).U16(-kBarHeight);  // y deltas
  b.PadTo4();
  return b.Data();
}

std::vector<uint8_t> Loca(size_t barSize) {
  Bytes b;
  b.U16(0).U16(0).U16(static_cast<int>(barSize / 2));
  return b.Data();
}

// Format 4: 'W' to glyph 1, plus the closing segment.
std::vector<uint8_t> Cmap() {
  Bytes b;
  b.U16(0).U16(1).U16(3).U16(1).U32(12);
  b.U16(4).U16(32).U16(0).U16(4).U16(4).U16(1).U16(0);
  b.U16('W').U16(0xFFFF).U16(0).U16('W').U16(0xFFFF).U16(1 - 'W').U16(1).U16(0).U16(0);
  return b.Data();
}

std::vector<uint8_t> Name() {
  const std::string strings[] = {kFamily, "Regular", kFamily};
  const int ids[] = {1, 2, 4};
  Bytes text;
  Bytes b;
  b.U16(0).U16(3).U16(6 + 3 * 12);
  for (int i = 0; i < 3; ++i) {
    const size_t offset = text.Size();
    for (char c : strings[i]) text.U16(static_cast<unsigned char>(c));
    b.U16(3).U16(1).U16(0x409).U16(ids[i]).U16(static_cast<int>(text.Size() - offset)).U16(static_cast<int>(offset));
  }
  b.Append(text.Data());
  return b.Data();
}

std::vector<uint8_t> Post() {
  Bytes b;
  b.U32(0x00030000).U32(0).U16(-100).U16(50).U32(0).U32(0).U32(0).U32(0).U32(0);
  return b.Data();
}

std::vector<uint8_t> Font() {
  const std::vector<uint8_t> bar = Bar();
  struct Table {
    const char* tag;
    std::vector<uint8_t> data;
  };
  // Sorted by tag, as the directory must be.
  const Table tables[] = {{"cmap", Cmap()}, {"glyf", bar},     {"head", Head()}, {"hhea", Hhea()},
                          {"hmtx", Hmtx()}, {"loca", Loca(bar.size())}, {"maxp", Maxp()},
                          {"name", Name()}, {"post", Post()}};
  const int n = 9;
  Bytes out;
  out.U32(0x00010000).U16(n).U16(128).U16(3).U16(n * 16 - 128);
  size_t offset = 12 + 16 * n;
  for (const Table& t : tables) {
    out.U32(static_cast<uint32_t>(t.tag[0]) << 24 | static_cast<uint32_t>(t.tag[1]) << 16 |
            static_cast<uint32_t>(t.tag[2]) << 8 | static_cast<uint32_t>(t.tag[3]));
    out.U32(0).U32(static_cast<uint32_t>(offset)).U32(static_cast<uint32_t>(t.data.size()));
    offset += (t.data.size() + 3) / 4 * 4;
  }
  for (const Table& t : tables) {
    out.Append(t.data);
    out.PadTo4();
  }
  return out.Data();
}
}  // namespace

const char* RegisterWideGlyphFont() {
  static const bool registered = [] {
    const std::string path = ::testing::TempDir() + "morvante_test_wide.ttf";
    const std::vector<uint8_t> font = Font();
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(font.data()), static_cast<std::streamsize>(font.size()));
    file.close();
    if (!file) return false;
    return FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(path.c_str())) == FcTrue;
  }();
  return registered ? kFamily : nullptr;
}
