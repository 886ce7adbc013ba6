#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <cstring>
#include <string>
#include <thread>

#include "framework/byte_chunk.h"
#include "framework/wdl_heapbuf.h"
#include "framework/wdl_mutex.h"
#include "framework/wdl_string.h"

namespace {

// ---- WDL_HeapBuf / WDL_TypedBuf ----

TEST(HeapBuf, AllocatesInWholeGranules) {
  WDL_HeapBuf buf(100);
  EXPECT_EQ(buf.Get(), nullptr);
  buf.Resize(1);
  EXPECT_EQ(buf.GetAllocated(), 100);
  buf.Resize(100);
  EXPECT_EQ(buf.GetAllocated(), 100);
  buf.Resize(101);
  EXPECT_EQ(buf.GetAllocated(), 200);
  EXPECT_EQ(buf.GetSize(), 101);
  buf.Resize(150, false);
  EXPECT_EQ(buf.GetAllocated(), 200);
  buf.Resize(10, false);  // no give-back without resizeDown
  EXPECT_EQ(buf.GetAllocated(), 200);
  buf.Resize(10, true);
  EXPECT_EQ(buf.GetAllocated(), 100);
  buf.Resize(-5);
  EXPECT_EQ(buf.GetSize(), 0);
  EXPECT_EQ(buf.Get(), nullptr);
  EXPECT_EQ(WDL_HeapBuf(0).GetGranularity(), 1);
}

void FillPattern(WDL_HeapBuf& buf, int n) {
  auto* bytes = static_cast<unsigned char*>(buf.Resize(n));
  ASSERT_NE(bytes, nullptr);
  ASSERT_EQ(buf.GetSize(), n);
  for (int i = 0; i < n; ++i) bytes[i] = static_cast<unsigned char>(i * 7 + 1);
}

bool HasPattern(const WDL_HeapBuf& buf, int n) {
  const auto* bytes = static_cast<const unsigned char*>(buf.Get());
  for (int i = 0; i < n; ++i)
    if (bytes[i] != static_cast<unsigned char>(i * 7 + 1)) return false;
  return true;
}

TEST(HeapBuf, ResizeKeepsContentsOnGrowthAndShrink) {
  WDL_HeapBuf buf(16);
  FillPattern(buf, 40);
  buf.Resize(5000);
  EXPECT_TRUE(HasPattern(buf, 40));
  buf.Resize(20, true);
  EXPECT_TRUE(HasPattern(buf, 20));
  buf.Resize(3, false);
  EXPECT_TRUE(HasPattern(buf, 3));
}

TEST(HeapBuf, CopyFromDuplicatesBytes) {
  WDL_HeapBuf a(8), b(64);
  FillPattern(a, 33);
  ASSERT_TRUE(b.CopyFrom(a));
  EXPECT_EQ(b.GetSize(), 33);
  EXPECT_TRUE(HasPattern(b, 33));
  EXPECT_TRUE(a.CopyFrom(a));
  EXPECT_TRUE(HasPattern(a, 33));
}

TEST(TypedBuf, CountsElementsAndAppends) {
  WDL_TypedBuf<double> values(16);
  const double three[] = {1.5, -2.5, 3.25};
  const double* first = values.Add(three, 3);
  EXPECT_EQ(first, values.Get());
  EXPECT_EQ(values.Add(nullptr, 0), nullptr);
  EXPECT_EQ(values.Add(nullptr, -1), nullptr);
  values.Add(4.0);
  ASSERT_EQ(values.GetSize(), 4);
  EXPECT_EQ(values.Get()[1], -2.5);
  EXPECT_EQ(values.Get()[3], 4.0);
  const double* kept = values.Resize(INT_MAX / 4);  // too many bytes: refused
  EXPECT_EQ(kept, values.Get());
  EXPECT_EQ(values.GetSize(), 4);
}

TEST(TypedBuf, AddingItsOwnElementSurvivesReallocation) {
  WDL_TypedBuf<int> values(sizeof(int));  // every add reallocates
  values.Add(11);
  for (int i = 0; i < 50; ++i) values.Add(values.Get()[0]);
  ASSERT_EQ(values.GetSize(), 51);
  for (int i = 0; i < 51; ++i) EXPECT_EQ(values.Get()[i], 11);
  // A whole run of its own elements, too.
  values.Add(values.Get(), values.GetSize());
  ASSERT_EQ(values.GetSize(), 102);
  EXPECT_EQ(values.Get()[101], 11);
}

// ---- WDL_String ----

TEST(String, GetIsNeverNull) {
  WDL_String s;
  ASSERT_NE(s.Get(), nullptr);
  EXPECT_STREQ(s.Get(), "");
  s.Set(nullptr);
  EXPECT_STREQ(s.Get(), "");
  s.Set("x");
  s.SetLen(0);
  EXPECT_STREQ(s.Get(), "");
  EXPECT_EQ(s.GetLength(), 0);
}

TEST(String, SetAndAppendWithMaxLen) {
  WDL_String s;
  s.Set("abcdef", 3);
  EXPECT_STREQ(s.Get(), "abc");
  s.Append("12345", 2);
  EXPECT_STREQ(s.Get(), "abc12");
  s.Append("xy", 10);  // maxLen beyond the text stops at its NUL
  EXPECT_STREQ(s.Get(), "abc12xy");
  s.Append(nullptr);
  EXPECT_STREQ(s.Get(), "abc12xy");
  const char unterminated[4] = {'q', 'r', 's', 't'};
  s.Set(unterminated, 4);
  EXPECT_STREQ(s.Get(), "qrst");
}

TEST(String, GrowsPastGranularity) {
  WDL_String s;
  std::string expected;
  for (int i = 0; i < 300; ++i) {
    s.Append("ab");
    expected += "ab";
  }
  EXPECT_EQ(s.Get(), expected);
  EXPECT_EQ(s.GetLength(), 600);
}

TEST(String, InsertAtClampedPositions) {
  WDL_String s("ace");
  s.Insert("b", 1);
  s.Insert("d", 3);
  EXPECT_STREQ(s.Get(), "abcde");
  s.Insert("<", -10);
  s.Insert(">", 1000);
  EXPECT_STREQ(s.Get(), "<abcde>");
  s.Insert("123", 1, 2);
  EXPECT_STREQ(s.Get(), "<12abcde>");
}

TEST(String, SelfInsertionAndSelfSet) {
  WDL_String s("abc");
  s.Insert(s.Get(), 1);
  EXPECT_STREQ(s.Get(), "aabcbc");
  s.Append(s.Get());
  EXPECT_STREQ(s.Get(), "aabcbcaabcbc");
  // Big enough to force the buffer to move while copying.
  WDL_String big(std::string(200, 'z').c_str());
  big.Append(big.Get());
  EXPECT_EQ(big.Get(), std::string(400, 'z'));
  big.Insert(big.Get() + 390, 0);
  EXPECT_EQ(big.GetLength(), 410);
  s.Set(s.Get() + 6, 3);
  EXPECT_STREQ(s.Get(), "aab");
  s.Set(s.Get());
  EXPECT_STREQ(s.Get(), "aab");
}

TEST(String, DeleteSubBounds) {
  WDL_String s("0123456789");
  s.DeleteSub(2, 3);
  EXPECT_STREQ(s.Get(), "0156789");
  s.DeleteSub(5, 100);
  EXPECT_STREQ(s.Get(), "01567");
  s.DeleteSub(5, 1);
  s.DeleteSub(-1, 2);
  s.DeleteSub(1, 0);
  s.DeleteSub(1, -3);
  EXPECT_STREQ(s.Get(), "01567");
  s.DeleteSub(0, INT_MAX);
  EXPECT_STREQ(s.Get(), "");
}

TEST(String, SetLenOnlyCuts) {
  WDL_String s("hello");
  s.SetLen(10);
  EXPECT_STREQ(s.Get(), "hello");
  s.SetLen(4);
  EXPECT_STREQ(s.Get(), "hell");
  s.SetLen(-2);
  EXPECT_STREQ(s.Get(), "");
  WDL_String empty;
  empty.SetLen(3);
  EXPECT_STREQ(empty.Get(), "");
}

TEST(String, FormattedRespectsMaxLen) {
  WDL_String s;
  s.SetFormatted(5, "%d-%s", 1234, "abc");
  EXPECT_STREQ(s.Get(), "1234-");
  s.AppendFormatted(64, "[%.2f]", 0.5);
  EXPECT_STREQ(s.Get(), "1234-[0.50]");
}

TEST(String, CopiesAreIndependent) {
  WDL_String a("one");
  WDL_String b(a);
  b.Append("two");
  a = b;
  b.Set("three");
  EXPECT_STREQ(a.Get(), "onetwo");
  WDL_String& alias = a;
  a = alias;
  EXPECT_STREQ(a.Get(), "onetwo");
}

// A field followed by guard bytes that must never change.
struct GuardedField {
  char bytes[12];
  GuardedField() { std::memset(bytes, '#', sizeof(bytes)); }
};

TEST(CopyCut, ExactFitOneOverAndNull) {
  GuardedField f;
  CopyCut(f.bytes, 6, "12345");
  EXPECT_STREQ(f.bytes, "12345");
  EXPECT_EQ(f.bytes[6], '#');
  CopyCut(f.bytes, 6, "123456");
  EXPECT_STREQ(f.bytes, "12345");
  EXPECT_EQ(f.bytes[6], '#');
  CopyCut(f.bytes, 6, nullptr);
  EXPECT_STREQ(f.bytes, "");
  EXPECT_EQ(f.bytes[6], '#');
}

TEST(CopyCut, TinyCapacities) {
  GuardedField f;
  CopyCut(f.bytes, 1, "long text");
  EXPECT_EQ(f.bytes[0], '\0');
  EXPECT_EQ(f.bytes[1], '#');
  GuardedField g;
  CopyCut(g.bytes, 0, "x");
  CopyCut(g.bytes, -1, "x");
  EXPECT_EQ(g.bytes[0], '#');
  char fixed[4];
  CopyCut(fixed, "abcdef");
  EXPECT_STREQ(fixed, "abc");
}

// ---- WDL_Mutex ----

TEST(Mutex, SameThreadReEnters) {
  WDL_Mutex mutex;
  WDL_MutexLock outer(&mutex);
  { WDL_MutexLock inner(&mutex); }
  WDL_MutexLock again(&mutex);
  WDL_MutexLock none(nullptr);
}

TEST(Mutex, ExcludesOtherThreadUntilFullyLeft) {
  WDL_Mutex mutex;
  std::atomic<bool> entered{false};
  mutex.Enter();
  mutex.Enter();
  mutex.Leave();  // still held once
  std::thread other([&] {
    WDL_MutexLock lock(&mutex);
    entered = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(entered.load());
  mutex.Leave();
  other.join();
  EXPECT_TRUE(entered.load());
}

TEST(Mutex, SerialisesReadModifyWrite) {
  WDL_Mutex mutex;
  long counter = 0;
  auto work = [&] {
    for (int i = 0; i < 100000; ++i) {
      WDL_MutexLock lock(&mutex);
      WDL_MutexLock nested(&mutex);
      counter = counter + 1;
    }
  };
  std::thread a(work), b(work);
  a.join();
  b.join();
  EXPECT_EQ(counter, 200000);
}

// ---- ByteChunk ----

TEST(ByteChunk, LittleEndianLayout) {
  ByteChunk chunk;
  EXPECT_EQ(chunk.Append(int32_t{0x01020304}), 4);
  EXPECT_EQ(chunk.Append(1.0), 12);
  EXPECT_EQ(chunk.Append(true), 13);
  EXPECT_EQ(chunk.Append(int32_t{-2}), 17);
  const uint8_t expected[] = {0x04, 0x03, 0x02, 0x01,                          //
                              0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F,  //
                              0x01,                                            //
                              0xFE, 0xFF, 0xFF, 0xFF};
  ASSERT_EQ(chunk.Size(), static_cast<int>(sizeof(expected)));
  EXPECT_EQ(std::memcmp(chunk.GetBytes(), expected, sizeof(expected)), 0);

  int32_t i = 0;
  double d = 0;
  bool b = false;
  EXPECT_EQ(chunk.ReadAt(&i, 0), 4);
  EXPECT_EQ(i, 0x01020304);
  EXPECT_EQ(chunk.ReadAt(&d, 4), 12);
  EXPECT_EQ(d, 1.0);
  EXPECT_EQ(chunk.ReadAt(&b, 12), 13);
  EXPECT_TRUE(b);
  EXPECT_EQ(chunk.ReadAt(&i, 13), 17);
  EXPECT_EQ(i, -2);
}

TEST(ByteChunk, ReadsPastTheEndFailAndLeaveValue) {
  ByteChunk chunk;
  chunk.Append(int32_t{7});
  chunk.Append(uint8_t{9});
  double d = 42.0;
  EXPECT_EQ(chunk.ReadAt(&d, 0), -1);
  EXPECT_EQ(d, 42.0);
  int32_t i = 5;
  EXPECT_EQ(chunk.ReadAt(&i, 2), -1);
  EXPECT_EQ(chunk.ReadAt(&i, -1), -1);
  EXPECT_EQ(chunk.ReadAt(&i, INT_MAX - 1), -1);
  EXPECT_EQ(chunk.ReadAt(&i, INT_MAX), -1);
  EXPECT_EQ(i, 5);
  uint8_t last = 0;
  EXPECT_EQ(chunk.ReadAt(&last, 4), 5);
  EXPECT_EQ(last, 9);
  EXPECT_EQ(chunk.ReadAt(&last, 5), -1);
}

TEST(ByteChunk, StringRoundTrip) {
  ByteChunk chunk;
  chunk.AppendStr("Preset A");
  chunk.AppendStr("");
  chunk.AppendStr(nullptr);
  chunk.AppendStr("z");
  ASSERT_EQ(chunk.Size(), 4 + 8 + 4 + 4 + 4 + 1);
  const uint8_t prefix[] = {8, 0, 0, 0, 'P'};
  EXPECT_EQ(std::memcmp(chunk.GetBytes(), prefix, sizeof(prefix)), 0);

  WDL_String s;
  int pos = chunk.ReadStrAt(&s, 0);
  EXPECT_EQ(pos, 12);
  EXPECT_STREQ(s.Get(), "Preset A");
  pos = chunk.ReadStrAt(&s, pos);
  EXPECT_EQ(pos, 16);
  EXPECT_STREQ(s.Get(), "");
  pos = chunk.ReadStrAt(&s, pos);
  s.Set("keep");
  pos = chunk.ReadStrAt(&s, pos);
  EXPECT_EQ(pos, chunk.Size());
  EXPECT_STREQ(s.Get(), "z");
  EXPECT_EQ(chunk.ReadStrAt(&s, pos), -1);
}

TEST(ByteChunk, StringCutAtEmbeddedNul) {
  ByteChunk chunk;
  chunk.Append(int32_t{5});
  chunk.PutBytes("ab\0cd", 5);
  WDL_String s("old");
  EXPECT_EQ(chunk.ReadStrAt(&s, 0), 9);
  EXPECT_STREQ(s.Get(), "ab");
}

TEST(ByteChunk, HostileStringLengths) {
  ByteChunk chunk;
  chunk.Append(int32_t{-1});
  chunk.PutBytes("abcdefgh", 8);
  WDL_String s("untouched");
  EXPECT_EQ(chunk.ReadStrAt(&s, 0), -1);  // negative: corrupt
  EXPECT_STREQ(s.Get(), "untouched");

  ByteChunk huge;
  huge.Append(int32_t{0x7fffffff});
  huge.PutBytes("abc", 3);
  EXPECT_EQ(huge.ReadStrAt(&s, 0), -1);  // end would overflow an int
  EXPECT_STREQ(s.Get(), "untouched");

  ByteChunk truncated;
  truncated.Append(int32_t{10});
  truncated.PutBytes("abc", 3);
  EXPECT_EQ(truncated.ReadStrAt(&s, 0), 14);  // beyond Size(): caller sees the shortfall
  EXPECT_STREQ(s.Get(), "untouched");

  ByteChunk zero;
  zero.Append(int32_t{0});
  EXPECT_EQ(zero.ReadStrAt(&s, 0), 4);
  EXPECT_STREQ(s.Get(), "");

  s.Set("untouched");
  EXPECT_EQ(chunk.ReadStrAt(&s, INT_MAX), -1);
  EXPECT_EQ(chunk.ReadStrAt(&s, INT_MAX - 3), -1);
  EXPECT_EQ(chunk.ReadStrAt(&s, -4), -1);
  ByteChunk tooShortForLength;
  tooShortForLength.PutBytes("\x01\x00\x00", 3);
  EXPECT_EQ(tooShortForLength.ReadStrAt(&s, 0), -1);
  EXPECT_STREQ(s.Get(), "untouched");
}

TEST(ByteChunk, AppendChunkAddsRawBytes) {
  ByteChunk a, b, empty;
  a.Append(int32_t{1});
  b.Append(uint8_t{2});
  b.Append(uint8_t{3});
  EXPECT_EQ(a.AppendChunk(b), 6);
  EXPECT_EQ(a.AppendChunk(empty), 6);
  const uint8_t expected[] = {1, 0, 0, 0, 2, 3};
  EXPECT_EQ(std::memcmp(a.GetBytes(), expected, sizeof(expected)), 0);
  EXPECT_EQ(b.Size(), 2);
}

TEST(ByteChunk, AppendChunkToItselfAcrossReallocation) {
  ByteChunk chunk;
  for (int i = 0; i < 3000; ++i) chunk.Append(static_cast<uint8_t>(i));
  EXPECT_EQ(chunk.AppendChunk(chunk), 6000);  // crosses the 4096 granule
  for (int i = 0; i < 6000; ++i) ASSERT_EQ(chunk.GetBytes()[i], static_cast<uint8_t>(i % 3000)) << i;
}

TEST(ByteChunk, ClearAndResize) {
  ByteChunk chunk;
  chunk.Append(1.0);
  chunk.Resize(3);
  EXPECT_EQ(chunk.Size(), 3);
  chunk.Clear();
  EXPECT_EQ(chunk.Size(), 0);
  int32_t i = 9;
  EXPECT_EQ(chunk.ReadAt(&i, 0), -1);
  EXPECT_EQ(chunk.PutBytes(nullptr, 2), 2);  // null data appends zeros
  EXPECT_EQ(chunk.GetBytes()[1], 0);
}

}  // namespace
