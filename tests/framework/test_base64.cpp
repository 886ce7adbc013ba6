// Base64 used by preset blobs.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/base64.h"

namespace {

std::string Encode(const std::string& bytes) {
  WDL_String out("stale");
  EXPECT_TRUE(Base64Encode(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int>(bytes.size()), &out));
  return out.Get();
}

TEST(Base64, PadsTheLastGroup) {
  EXPECT_EQ(Encode(""), "");
  EXPECT_EQ(Encode("M"), "TQ==");
  EXPECT_EQ(Encode("Ma"), "TWE=");
  EXPECT_EQ(Encode("Man"), "TWFu");
  EXPECT_EQ(Encode("\xfb\xff\xbf"), "+/+/");
}

TEST(Base64, RoundTripsEveryLengthAcrossTheOldBufferLimit) {
  std::vector<uint8_t> data(3000);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 37 + (i >> 8));
  for (int size : {0, 1, 2, 3, 4, 1534, 1535, 1536, 1537, 3000}) {
    WDL_String text;
    ASSERT_TRUE(Base64Encode(data.data(), size, &text));
    EXPECT_EQ(text.GetLength(), (size + 2) / 3 * 4);
    std::vector<uint8_t> decoded(static_cast<size_t>(size) + 4, 0xee);
    EXPECT_EQ(Base64Decode(text.Get(), decoded.data(), size), size);
    EXPECT_EQ(std::memcmp(decoded.data(), data.data(), static_cast<size_t>(size)), 0);
    EXPECT_EQ(decoded[static_cast<size_t>(size)], 0xee);  // nothing past the room
  }
}

TEST(Base64, DecodeStopsAtRoomPaddingOrForeignCharacters) {
  uint8_t out[4] = {0xee, 0xee, 0xee, 0xee};
  EXPECT_EQ(Base64Decode("TWFuTWFu", out, 2), 2);
  EXPECT_EQ(out[2], 0xee);
  EXPECT_EQ(Base64Decode("TQ==TWFu", out, 4), 1);
  EXPECT_EQ(out[0], 'M');
  EXPECT_EQ(Base64Decode("TW\nFu", out, 4), 1);
  EXPECT_EQ(Base64Decode(nullptr, out, 4), 0);
  EXPECT_EQ(Base64Decode("TWFu", nullptr, 4), 0);
  EXPECT_EQ(Base64Decode("TWFu", out, -1), 0);
}

}  // namespace
