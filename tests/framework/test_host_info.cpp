#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <string>

#include "framework/host_info.h"

namespace {

TEST(HostLookUp, NamesInAnyCase) {
  EXPECT_EQ(LookUpHost("REAPER64"), kHostReaper);
  EXPECT_EQ(LookUpHost("Steinberg Cubase 10"), kHostCubase);
  EXPECT_EQ(LookUpHost("PreSonus Studio One"), kHostStudioOne);
  EXPECT_EQ(LookUpHost("Ableton Live 11"), kHostAbletonLive);
  EXPECT_EQ(LookUpHost("VST3PluginTestHost"), kHostVST3TestHost);
  EXPECT_EQ(LookUpHost("Pro Tools"), kHostUnknown);  // only "protools" matches
  EXPECT_EQ(LookUpHost("ProTools"), kHostProTools);
}

TEST(HostLookUp, EarlierSubstringWins) {
  EXPECT_EQ(LookUpHost("Live Cubase Bundle"), kHostCubase);
  EXPECT_EQ(LookUpHost("Cubase Live"), kHostCubase);
  // "live" inside another word still counts, and precedes "garageband".
  EXPECT_EQ(LookUpHost("Deliverance GarageBand"), kHostAbletonLive);
  EXPECT_EQ(LookUpHost("Digital Performer Standalone"), kHostDigitalPerformer);
  EXPECT_EQ(LookUpHost("Renoise OpenMPT"), kHostOpenMPT);
}

TEST(HostLookUp, NothingMatches) {
  EXPECT_EQ(LookUpHost(""), kHostUnknown);
  EXPECT_EQ(LookUpHost(nullptr), kHostUnknown);
  EXPECT_EQ(LookUpHost("Bitwig Studio"), kHostUnknown);
}

TEST(HostLookUp, HostileLengthIsCutNotOverrun) {
  std::string name(1000, 'x');
  name.replace(10, 6, "REAPER");
  EXPECT_EQ(LookUpHost(name.c_str()), kHostReaper);
  // A match that starts within the first 263 characters but ends beyond them
  // is cut off with the rest.
  std::string late(1000, 'y');
  late.replace(260, 6, "cubase");
  EXPECT_EQ(LookUpHost(late.c_str()), kHostUnknown);
  late.replace(257, 6, "cubase");
  EXPECT_EQ(LookUpHost(late.c_str()), kHostCubase);
}

std::string HostName(int value) {
  char name[19];
  std::memset(name, '#', sizeof(name));
  GetHostNameStr(static_cast<EHost>(value), name);
  return name;
}

TEST(HostName, TableQuirksAndOutOfRange) {
  EXPECT_EQ(HostName(12), "Unknown");
  EXPECT_EQ(HostName(6), "Vegas");
  EXPECT_EQ(HostName(-1), "Unknown");
  EXPECT_EQ(HostName(31), "Unknown");
  EXPECT_EQ(HostName(0), "Unknown");
  EXPECT_EQ(HostName(1), "Reaper");
  EXPECT_EQ(HostName(23), "DigitalPerformer");
  EXPECT_EQ(HostName(27), "VST3PluginTestHost");  // the longest, fills 19 bytes
  EXPECT_EQ(HostName(30), "OpenMPT");
}

TEST(HostName, EveryMatchedHostHasItsOwnNameBack) {
  const char* names[] = {"Reaper", "Cubase", "Nuendo", "Samplitude", "Live", "AULab", "Forte",
                         "Chainer", "Audition", "Orion", "SAWStudio", "Logic", "GarageBand",
                         "Standalone", "AudioMulch", "Ardour", "Renoise", "OpenMPT", "ProTools"};
  for (const char* name : names) EXPECT_EQ(HostName(LookUpHost(name)), name);
}

TEST(Version, PartsDecimalAndText) {
  int major = -1, minor = -1, bug = -1;
  GetVersionParts(0x10203, &major, &minor, &bug);
  EXPECT_EQ(major, 1);
  EXPECT_EQ(minor, 2);
  EXPECT_EQ(bug, 3);
  EXPECT_EQ(GetDecimalVersion(0x10203), 10203);
  EXPECT_EQ(GetDecimalVersion(0x20000), 20000);
  EXPECT_EQ(GetDecimalVersion(0xFF00), 25500);
  EXPECT_EQ(GetDecimalVersion(0x1FFFF), 10000 + 25500 + 255);

  char text[32];
  GetVersionStr(0x10203, text);
  EXPECT_STREQ(text, "v1.2.3");
  GetVersionStr(0x20000, text);
  EXPECT_STREQ(text, "v2.0.0");
  GetVersionStr(0, text);
  EXPECT_STREQ(text, "v0.0.0");
}

TEST(Version, PartsAcceptNullOutputs) {
  int minor = 0;
  GetVersionParts(0x30405, nullptr, &minor, nullptr);
  EXPECT_EQ(minor, 4);
}

TEST(TextHelpers, ToLowerCopiesAndTerminates) {
  char out[16];
  std::memset(out, '#', sizeof(out));
  ToLower(out, "MiXeD 42\xC9");
  EXPECT_STREQ(out, "mixed 42\xC9");  // high bytes pass through the C locale
  char inPlace[] = "ABC";
  ToLower(inPlace, inPlace);
  EXPECT_STREQ(inPlace, "abc");
  ToLower(out, nullptr);
  EXPECT_STREQ(out, "");
}

TEST(TextHelpers, IsWhitespaceExactSet) {
  for (int c = -128; c < 128; ++c) {
    const bool expected = c == 9 || c == 10 || c == 13 || c == 32;
    EXPECT_EQ(IsWhitespace(static_cast<char>(c)), expected) << c;
  }
}

struct tm At(int yday, int hour, int minute) {
  struct tm t;
  std::memset(&t, 0, sizeof(t));
  t.tm_yday = yday;
  t.tm_hour = hour;
  t.tm_min = minute;
  return t;
}

TEST(UtcOffset, SameDay) {
  EXPECT_EQ(UtcOffsetMinutes(At(60, 14, 5), At(60, 13, 5)), 60);
  EXPECT_EQ(UtcOffsetMinutes(At(60, 8, 0), At(60, 13, 30)), -330);
  EXPECT_EQ(UtcOffsetMinutes(At(60, 13, 5), At(60, 13, 5)), 0);
}

TEST(UtcOffset, AcrossMidnight) {
  // 01:30 local on day 61 while UTC is 20:00 on day 60: 5.5 hours ahead.
  EXPECT_EQ(UtcOffsetMinutes(At(61, 1, 30), At(60, 20, 0)), 330);
  // 20:00 local on day 60 while UTC is 03:00 on day 61: 7 hours behind.
  EXPECT_EQ(UtcOffsetMinutes(At(60, 20, 0), At(61, 3, 0)), -420);
}

TEST(UtcOffset, AcrossTheYearBoundary) {
  // Local 1 January 00:30 (+1), UTC still 31 December 23:30.
  EXPECT_EQ(UtcOffsetMinutes(At(0, 0, 30), At(364, 23, 30)), 60);
  EXPECT_EQ(UtcOffsetMinutes(At(0, 0, 30), At(365, 23, 30)), 60);  // leap year
  // Local 31 December 19:00 (-5), UTC already 1 January 00:00.
  EXPECT_EQ(UtcOffsetMinutes(At(364, 19, 0), At(0, 0, 0)), -300);
  EXPECT_EQ(UtcOffsetMinutes(At(365, 19, 0), At(0, 0, 0)), -300);
}

struct tm Date(int year, int month, int day, int yday, int hour, int minute) {
  struct tm t = At(yday, hour, minute);
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  return t;
}

TEST(CurrentTimeText, FormatWithOffset) {
  char text[32];
  FormatTimeWithUtcOffset(Date(2017, 3, 2, 60, 14, 5), Date(2017, 3, 2, 60, 13, 5), text, 32);
  EXPECT_STREQ(text, "20170302 14:05 +0100");
  FormatTimeWithUtcOffset(Date(2017, 3, 2, 60, 14, 5), Date(2017, 3, 2, 60, 14, 5), text, 32);
  EXPECT_STREQ(text, "20170302 14:05 +0000");
  FormatTimeWithUtcOffset(Date(2016, 12, 31, 365, 19, 0), Date(2017, 1, 1, 0, 0, 45), text, 32);
  EXPECT_STREQ(text, "20161231 19:00 -0545");
}

TEST(CurrentTimeText, FormatRespectsMaxLen) {
  char text[12];
  std::memset(text, '#', sizeof(text));
  FormatTimeWithUtcOffset(Date(2017, 3, 2, 60, 14, 5), Date(2017, 3, 2, 60, 13, 5), text, 10);
  EXPECT_STREQ(text, "20170302 ");
  EXPECT_EQ(text[10], '#');
}

TEST(CurrentTimeText, LiveClockHasTheFixedShape) {
  const std::string text = CurrentTime();
  ASSERT_EQ(text.size(), 20u) << text;
  EXPECT_EQ(text[8], ' ');
  EXPECT_EQ(text[11], ':');
  EXPECT_EQ(text[14], ' ');
  EXPECT_TRUE(text[15] == '+' || text[15] == '-');
}

TEST(BuildStamp, CompilerStyleTexts) {
  WDL_String stamp("old contents");
  CompileTimestamp("Mar 02 2017", "14:05:33", &stamp);
  EXPECT_STREQ(stamp.Get(), "[Mar02 14:05]");
  CompileTimestamp("Dec  7 2023", "09:00:00", &stamp);
  EXPECT_STREQ(stamp.Get(), "[Dec 7 09:00]");
}

TEST(BuildStamp, ShortAndMissingTextsStayInBounds) {
  WDL_String stamp;
  CompileTimestamp("Mar", "14", &stamp);
  EXPECT_STREQ(stamp.Get(), "[Mar 14]");
  CompileTimestamp("", "", &stamp);
  EXPECT_STREQ(stamp.Get(), "[ ]");
  CompileTimestamp(nullptr, nullptr, &stamp);
  EXPECT_STREQ(stamp.Get(), "[ ]");
  CompileTimestamp("Mar 0", "1", &stamp);
  EXPECT_STREQ(stamp.Get(), "[Mar0 1]");
  CompileTimestamp("Mar 02 2017", "14:05:33", nullptr);
}

TEST(BuildStamp, AppendedToText) {
  EXPECT_STREQ(AppendTimestamp("Mar 02 2017", "14:05:33", "MORVANTE"), "MORVANTE [Mar02 14:05]");
  // The previous result may be fed back in.
  const char* first = AppendTimestamp("Mar 02 2017", "14:05:33", "A");
  EXPECT_STREQ(AppendTimestamp("Apr 10 2018", "08:01:02", first), "A [Mar02 14:05] [Apr10 08:01]");
  EXPECT_STREQ(AppendTimestamp(nullptr, nullptr, nullptr), " [ ]");
}

TEST(Diagnostics, LookUpsAreEmpty) {
  Trace("f", 1, "%d %s", 3, "x");
  for (int v : {-1, 0, 1, 1000}) {
    EXPECT_STREQ(VSTOpcodeStr(v), "");
    EXPECT_STREQ(AUSelectStr(v), "");
    EXPECT_STREQ(AUPropertyStr(v), "");
    EXPECT_STREQ(AUScopeStr(v), "");
  }
}

}  // namespace
