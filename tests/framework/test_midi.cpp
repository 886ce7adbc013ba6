#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <limits>
#include <type_traits>

#include "framework/imidi_msg.h"
#include "framework/wdl_heapbuf.h"

namespace {

TEST(MidiMsg, RecordLayoutIsOffsetThenThreeBytes) {
  static_assert(std::is_trivially_copyable<IMidiMsg>::value, "stored in typed buffers");
  EXPECT_EQ(offsetof(IMidiMsg, mOffset), 0u);
  EXPECT_EQ(offsetof(IMidiMsg, mStatus), 4u);
  EXPECT_EQ(offsetof(IMidiMsg, mData1), 5u);
  EXPECT_EQ(offsetof(IMidiMsg, mData2), 6u);
}

TEST(MidiMsg, MessagesSurviveContiguousStorage) {
  WDL_TypedBuf<IMidiMsg> queue;
  for (int i = 0; i < 2000; ++i) {
    IMidiMsg msg;
    msg.MakeNoteOnMsg(i & 0x7F, 1 + (i % 126), i, i & 0x0F);
    ASSERT_NE(queue.Add(msg), nullptr);
  }
  ASSERT_EQ(queue.GetSize(), 2000);
  const IMidiMsg& last = queue.Get()[1999];
  EXPECT_EQ(last.mOffset, 1999);
  EXPECT_EQ(last.NoteNumber(), 1999 & 0x7F);
  EXPECT_EQ(last.Channel(), 1999 & 0x0F);
}

TEST(MidiMsg, NoteOnFillsEveryField) {
  IMidiMsg msg;
  msg.MakeNoteOnMsg(60, 100, 12, 0);
  EXPECT_EQ(msg.mStatus, 0x90);
  EXPECT_EQ(msg.mData1, 60);
  EXPECT_EQ(msg.mData2, 100);
  EXPECT_EQ(msg.mOffset, 12);
  EXPECT_EQ(msg.StatusMsg(), IMidiMsg::kNoteOn);
  EXPECT_EQ(msg.NoteNumber(), 60);
  EXPECT_EQ(msg.Velocity(), 100);
  EXPECT_EQ(msg.Channel(), 0);
  EXPECT_EQ(msg.PolyAfterTouch(), -1);
  EXPECT_EQ(msg.Program(), -1);
  EXPECT_EQ(msg.ChannelAfterTouch(), -1);
  EXPECT_DOUBLE_EQ(msg.PitchWheel(), 0.0);
}

TEST(MidiMsg, NoteOnChannel15) {
  IMidiMsg msg;
  msg.MakeNoteOnMsg(1, 2, 0, 15);
  EXPECT_EQ(msg.mStatus, 0x9F);
  EXPECT_EQ(msg.Channel(), 15);
  EXPECT_EQ(msg.StatusMsg(), IMidiMsg::kNoteOn);
}

TEST(MidiMsg, NoteNumbersAndVelocitiesKeepTheirLowByte) {
  IMidiMsg msg;
  msg.MakeNoteOnMsg(0x1FF, 0x180, 0, 0);
  EXPECT_EQ(msg.mData1, 0xFF);
  EXPECT_EQ(msg.mData2, 0x80);
}

TEST(MidiMsg, ConstructorsClearTheFieldsTheyDoNotSet) {
  IMidiMsg msg(99, 0xFF, 0xFF, 0xFF);
  msg.MakeNoteOffMsg(64, 7, 3);
  EXPECT_EQ(msg.mStatus, 0x83);
  EXPECT_EQ(msg.mData1, 64);
  EXPECT_EQ(msg.mData2, 0);
  EXPECT_EQ(msg.mOffset, 7);
  EXPECT_EQ(msg.Velocity(), 0);

  msg = IMidiMsg(99, 0xFF, 0xFF, 0xFF);
  msg.MakePitchWheelMsg(0.0, 1);
  EXPECT_EQ(msg.mOffset, 0);

  msg = IMidiMsg(99, 0xFF, 0xFF, 0xFF);
  msg.MakeControlChangeMsg(IMidiMsg::kModWheel, 0.0, 1);
  EXPECT_EQ(msg.mOffset, 0);
  EXPECT_EQ(msg.mData2, 0);
}

TEST(MidiMsg, DefaultRecordsAreZero) {
  const IMidiMsg msg = {};
  EXPECT_EQ(msg.mOffset, 0);
  EXPECT_EQ(msg.mStatus, 0);
  EXPECT_EQ(msg.StatusMsg(), IMidiMsg::kNone);
  const ISysEx sysex = {};
  EXPECT_EQ(sysex.mSize, 0);
  EXPECT_EQ(sysex.mData, nullptr);
}

TEST(MidiMsg, ClearZeroesEverything) {
  IMidiMsg msg(5, 0x91, 2, 3);
  msg.Clear();
  EXPECT_EQ(msg.mOffset, 0);
  EXPECT_EQ(msg.mStatus, 0);
  EXPECT_EQ(msg.mData1, 0);
  EXPECT_EQ(msg.mData2, 0);
}

TEST(MidiMsg, ControlChangeValueAndIndexMatch) {
  IMidiMsg msg;
  msg.MakeControlChangeMsg(static_cast<IMidiMsg::EControlChangeMsg>(7), 0.5, 2);
  EXPECT_EQ(msg.mStatus, 0xB2);
  EXPECT_EQ(msg.mData1, 7);
  EXPECT_EQ(msg.mData2, 63);
  EXPECT_EQ(msg.ControlChangeIdx(), IMidiMsg::kChannelVolume);
  EXPECT_DOUBLE_EQ(msg.ControlChange(IMidiMsg::kChannelVolume), 63 / 127.0);
  EXPECT_DOUBLE_EQ(msg.ControlChange(IMidiMsg::kModWheel), -1.0);
  EXPECT_EQ(msg.NoteNumber(), -1);
}

TEST(MidiMsg, ControlChangeValueIsNotClamped) {
  IMidiMsg msg;
  msg.MakeControlChangeMsg(IMidiMsg::kPan, 1.0, 0);
  EXPECT_EQ(msg.mData2, 127);
  msg.MakeControlChangeMsg(IMidiMsg::kPan, 2.0, 0);
  EXPECT_EQ(msg.mData2, 254);
  msg.MakeControlChangeMsg(IMidiMsg::kPan, 3.0, 0);  // 381 & 0xFF
  EXPECT_EQ(msg.mData2, 125);
  msg.MakeControlChangeMsg(IMidiMsg::kPan, -1.0, 0);  // -127 as a byte
  EXPECT_EQ(msg.mData2, 129);
  msg.MakeControlChangeMsg(IMidiMsg::kPan, 0.999, 0);  // truncation, not rounding
  EXPECT_EQ(msg.mData2, 126);
}

TEST(MidiMsg, ControlChangeWithAbsurdValuesStaysDefined) {
  IMidiMsg msg;
  msg.MakeControlChangeMsg(IMidiMsg::kPan, 1e300, 0);
  EXPECT_EQ(msg.mStatus, 0xB0);
  msg.MakeControlChangeMsg(IMidiMsg::kPan, -1e300, 0);
  EXPECT_EQ(msg.mStatus, 0xB0);
  msg.MakeControlChangeMsg(IMidiMsg::kPan, std::numeric_limits<double>::quiet_NaN(), 0);
  EXPECT_EQ(msg.mData2, 0);
}

TEST(MidiMsg, ControlChangeRecognisesKindOnAnyChannel) {
  IMidiMsg msg(0, 0xBF, 64, 127);
  EXPECT_DOUBLE_EQ(msg.ControlChange(IMidiMsg::kSustainOnOff), 1.0);
  msg.mStatus = 0x9F;  // note-on with the same data bytes
  EXPECT_DOUBLE_EQ(msg.ControlChange(IMidiMsg::kSustainOnOff), -1.0);
}

int Wheel14(const IMidiMsg& msg) { return msg.mData2 * 128 + msg.mData1; }

TEST(MidiMsg, PitchWheelEndsAndCentre) {
  IMidiMsg msg;
  msg.MakePitchWheelMsg(-1.0, 0);
  EXPECT_EQ(msg.mData1, 0);
  EXPECT_EQ(msg.mData2, 0);
  EXPECT_DOUBLE_EQ(msg.PitchWheel(), -1.0);
  msg.MakePitchWheelMsg(0.0, 0);
  EXPECT_EQ(msg.mData1, 0);
  EXPECT_EQ(msg.mData2, 64);
  EXPECT_DOUBLE_EQ(msg.PitchWheel(), 0.0);
  msg.MakePitchWheelMsg(1.0, 0);
  EXPECT_EQ(msg.mData1, 127);
  EXPECT_EQ(msg.mData2, 127);
  EXPECT_DOUBLE_EQ(msg.PitchWheel(), 8191.0 / 8192.0);
}

TEST(MidiMsg, PitchWheelOutOfRangeAndFractions) {
  IMidiMsg msg;
  msg.MakePitchWheelMsg(-2.0, 0);
  EXPECT_EQ(Wheel14(msg), 0);
  msg.MakePitchWheelMsg(5.0, 4);
  EXPECT_EQ(Wheel14(msg), 16383);
  EXPECT_EQ(msg.mStatus, 0xE4);
  msg.MakePitchWheelMsg(0.5, 0);
  EXPECT_EQ(Wheel14(msg), 12288);
  EXPECT_EQ(msg.mData1, 0);
  EXPECT_EQ(msg.mData2, 96);
  EXPECT_DOUBLE_EQ(msg.PitchWheel(), 0.5);
  msg.MakePitchWheelMsg(1e300, 0);
  EXPECT_EQ(Wheel14(msg), 16383);
  msg.MakePitchWheelMsg(-1e300, 0);
  EXPECT_EQ(Wheel14(msg), 0);
}

TEST(MidiMsg, PitchWheelAccessorMasksOnlyTheHighByte) {
  IMidiMsg msg(0, 0xE0, 0, 0xC0);  // high bit of the second byte ignored
  EXPECT_DOUBLE_EQ(msg.PitchWheel(), 0.0);
}

TEST(MidiMsg, KindSpecificAccessors) {
  IMidiMsg poly(0, 0xA3, 61, 90);
  EXPECT_EQ(poly.StatusMsg(), IMidiMsg::kPolyAftertouch);
  EXPECT_EQ(poly.NoteNumber(), 61);
  EXPECT_EQ(poly.PolyAfterTouch(), 90);
  EXPECT_EQ(poly.Velocity(), -1);

  IMidiMsg pressure(0, 0xD0, 33, 0);
  EXPECT_EQ(pressure.ChannelAfterTouch(), 33);
  EXPECT_EQ(pressure.NoteNumber(), -1);
  EXPECT_EQ(pressure.PolyAfterTouch(), -1);

  IMidiMsg program(0, 0xC5, 12, 0);
  EXPECT_EQ(program.Program(), 12);
  EXPECT_EQ(program.ChannelAfterTouch(), -1);
  EXPECT_EQ(program.Channel(), 5);
}

TEST(MidiMsg, SystemAndDataBytesAreNotChannelKinds) {
  IMidiMsg clock(0, 0xF8, 60, 100);
  EXPECT_EQ(clock.StatusMsg(), IMidiMsg::kNone);
  EXPECT_EQ(clock.NoteNumber(), -1);
  EXPECT_EQ(clock.Velocity(), -1);

  IMidiMsg running(0, 0x7F, 60, 100);
  EXPECT_EQ(running.StatusMsg(), IMidiMsg::kNone);
  EXPECT_EQ(running.NoteNumber(), -1);

  IMidiMsg lowest(0, 0x80, 1, 2);
  EXPECT_EQ(lowest.StatusMsg(), IMidiMsg::kNoteOff);
  IMidiMsg highest(0, 0xEF, 1, 2);
  EXPECT_EQ(highest.StatusMsg(), IMidiMsg::kPitchWheel);
}

TEST(MidiMsg, StatusTexts) {
  EXPECT_STREQ(StatusMsgStr(IMidiMsg::kNone), "none");
  EXPECT_STREQ(StatusMsgStr(IMidiMsg::kNoteOff), "noteoff");
  EXPECT_STREQ(StatusMsgStr(IMidiMsg::kNoteOn), "noteon");
  EXPECT_STREQ(StatusMsgStr(IMidiMsg::kPolyAftertouch), "aftertouch");
  EXPECT_STREQ(StatusMsgStr(IMidiMsg::kControlChange), "controlchange");
  EXPECT_STREQ(StatusMsgStr(IMidiMsg::kProgramChange), "programchange");
  EXPECT_STREQ(StatusMsgStr(IMidiMsg::kChannelAftertouch), "channelaftertouch");
  EXPECT_STREQ(StatusMsgStr(IMidiMsg::kPitchWheel), "pitchwheel");
  for (int v : {1, 7, 15, 16, 255, -1})
    EXPECT_STREQ(StatusMsgStr(static_cast<IMidiMsg::EStatusMsg>(v)), "unknown") << v;
}

TEST(SysEx, ClearDropsTheBorrowedBytes) {
  const uint8_t bytes[] = {0xF0, 0xF7};
  ISysEx sysex(9, bytes, 2);
  sysex.Clear();
  EXPECT_EQ(sysex.mOffset, 0);
  EXPECT_EQ(sysex.mSize, 0);
  EXPECT_EQ(sysex.mData, nullptr);
}

// A guarded buffer: bytes beyond maxLen must stay untouched.
struct GuardedText {
  char text[32];
  GuardedText() { std::memset(text, '#', sizeof(text)); }
  bool UntouchedFrom(int pos) const {
    for (int i = pos; i < static_cast<int>(sizeof(text)); ++i)
      if (text[i] != '#') return false;
    return true;
  }
};

const unsigned char kFiveBytes[] = {0xF0, 0x7E, 0x00, 0x09, 0x01};

TEST(SysEx, TextStopsAtMaxLenOverThree) {
  GuardedText buf;
  EXPECT_EQ(SysExStr(buf.text, 9, kFiveBytes, 5), buf.text);
  EXPECT_STREQ(buf.text, "F0 7E 00");
  EXPECT_TRUE(buf.UntouchedFrom(9));
}

TEST(SysEx, TextOfAllBytesWhenRoomAllows) {
  GuardedText buf;
  SysExStr(buf.text, 15, kFiveBytes, 5);
  EXPECT_STREQ(buf.text, "F0 7E 00 09 01");
  EXPECT_TRUE(buf.UntouchedFrom(15));
  const unsigned char lower[] = {0xab, 0x0c};
  SysExStr(buf.text, 32, lower, 2);
  EXPECT_STREQ(buf.text, "AB 0C");
}

TEST(SysEx, TextNeverWritesPastMaxLen) {
  for (int maxLen = 1; maxLen < 20; ++maxLen) {
    GuardedText buf;
    SysExStr(buf.text, maxLen, kFiveBytes, 5);
    EXPECT_TRUE(buf.UntouchedFrom(maxLen)) << maxLen;
    EXPECT_LT(static_cast<int>(std::strlen(buf.text)), maxLen);
  }
}

TEST(SysEx, TextOfNothing) {
  GuardedText buf;
  SysExStr(buf.text, 2, kFiveBytes, 5);
  EXPECT_STREQ(buf.text, "");
  EXPECT_TRUE(buf.UntouchedFrom(1));
  SysExStr(buf.text, 32, nullptr, 5);
  EXPECT_STREQ(buf.text, "");
  buf.text[0] = '#';
  SysExStr(buf.text, 32, kFiveBytes, 0);
  EXPECT_STREQ(buf.text, "");
  buf.text[0] = '#';
  SysExStr(buf.text, 32, kFiveBytes, -4);
  EXPECT_STREQ(buf.text, "");

  GuardedText untouched;
  SysExStr(untouched.text, 0, kFiveBytes, 5);
  EXPECT_TRUE(untouched.UntouchedFrom(0));
  SysExStr(untouched.text, -3, kFiveBytes, 5);
  EXPECT_TRUE(untouched.UntouchedFrom(0));
  EXPECT_EQ(SysExStr(nullptr, 10, kFiveBytes, 5), nullptr);
}

}  // namespace
