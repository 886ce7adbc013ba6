#include "framework/imidi_msg.h"

#include <cmath>
#include <cstdio>

namespace {

// Low 8 bits of the truncated value, as an integer conversion would give, but
// defined for every double (values beyond int range, infinities, NaN -> 0).
uint8_t LowByteOfTruncated(double value) {
  if (!std::isfinite(value)) return 0;
  double wrapped = std::fmod(std::trunc(value), 256.0);
  if (wrapped < 0.0) wrapped += 256.0;
  return static_cast<uint8_t>(wrapped);
}

uint8_t StatusByte(int kind, int channel) {
  return static_cast<uint8_t>((kind << 4) | channel);
}

}  // namespace

void IMidiMsg::MakeNoteOnMsg(int noteNumber, int velocity, int offset, int channel) {
  Clear();
  mStatus = StatusByte(kNoteOn, channel);
  mData1 = static_cast<uint8_t>(noteNumber);
  mData2 = static_cast<uint8_t>(velocity);
  mOffset = offset;
}

void IMidiMsg::MakeNoteOffMsg(int noteNumber, int offset, int channel) {
  Clear();
  mStatus = StatusByte(kNoteOff, channel);
  mData1 = static_cast<uint8_t>(noteNumber);
  mOffset = offset;
}

void IMidiMsg::MakePitchWheelMsg(double value, int channel) {
  Clear();
  mStatus = StatusByte(kPitchWheel, channel);
  // Limit in double first so no out-of-range conversion can happen; NaN
  // centres the wheel.
  const double scaled = std::trunc(value * 8192.0);
  int wheel = 8192;
  if (scaled < -8192.0) {
    wheel = 0;
  } else if (scaled > 8191.0) {
    wheel = 16383;
  } else if (scaled == scaled) {
    wheel = static_cast<int>(scaled) + 8192;
  }
  mData1 = static_cast<uint8_t>(wheel & 0x7F);
  mData2 = static_cast<uint8_t>((wheel >> 7) & 0x7F);
}

void IMidiMsg::MakeControlChangeMsg(EControlChangeMsg idx, double value, int channel) {
  Clear();
  mStatus = StatusByte(kControlChange, channel);
  mData1 = static_cast<uint8_t>(idx);
  mData2 = LowByteOfTruncated(value * 127.0);
}

void IMidiMsg::Clear() {
  mOffset = 0;
  mStatus = mData1 = mData2 = 0;
}

int IMidiMsg::Channel() const { return mStatus & 0x0F; }

IMidiMsg::EStatusMsg IMidiMsg::StatusMsg() const {
  // System messages (0xF0 and up) and stray data bytes are not channel kinds.
  if (mStatus < 0x80 || mStatus >= 0xF0) return kNone;
  return static_cast<EStatusMsg>(mStatus >> 4);
}

int IMidiMsg::NoteNumber() const {
  switch (StatusMsg()) {
    case kNoteOn:
    case kNoteOff:
    case kPolyAftertouch:
      return mData1;
    default:
      return -1;
  }
}

int IMidiMsg::Velocity() const {
  switch (StatusMsg()) {
    case kNoteOn:
    case kNoteOff:
      return mData2;
    default:
      return -1;
  }
}

int IMidiMsg::PolyAfterTouch() const {
  return (mStatus >> 4) == kPolyAftertouch ? mData2 : -1;
}

int IMidiMsg::ChannelAfterTouch() const {
  return (mStatus >> 4) == kChannelAftertouch ? mData1 : -1;
}

int IMidiMsg::Program() const {
  return (mStatus >> 4) == kProgramChange ? mData1 : -1;
}

double IMidiMsg::PitchWheel() const {
  if ((mStatus >> 4) != kPitchWheel) return 0.0;
  const int wheel = (mData2 & 0x7F) * 128 + mData1;
  return static_cast<double>(wheel - 8192) / 8192.0;
}

IMidiMsg::EControlChangeMsg IMidiMsg::ControlChangeIdx() const {
  return static_cast<EControlChangeMsg>(mData1);
}

double IMidiMsg::ControlChange(EControlChangeMsg idx) const {
  if ((mStatus >> 4) == kControlChange && mData1 == idx) return mData2 / 127.0;
  return -1.0;
}

void IMidiMsg::LogMsg() const {}

void ISysEx::Clear() {
  mOffset = 0;
  mSize = 0;
  mData = nullptr;
}

void ISysEx::LogMsg() const {}

const char* StatusMsgStr(IMidiMsg::EStatusMsg msg) {
  switch (msg) {
    case IMidiMsg::kNone: return "none";
    case IMidiMsg::kNoteOff: return "noteoff";
    case IMidiMsg::kNoteOn: return "noteon";
    case IMidiMsg::kPolyAftertouch: return "aftertouch";
    case IMidiMsg::kControlChange: return "controlchange";
    case IMidiMsg::kProgramChange: return "programchange";
    case IMidiMsg::kChannelAftertouch: return "channelaftertouch";
    case IMidiMsg::kPitchWheel: return "pitchwheel";
  }
  return "unknown";
}

char* SysExStr(char* str, int maxLen, const unsigned char* pData, int size) {
  if (!str || maxLen <= 0) return str;
  str[0] = '\0';
  if (!pData || size <= 0) return str;
  // Each byte takes three characters: two digits and a space, or the NUL
  // after the last one.
  const int count = size < maxLen / 3 ? size : maxLen / 3;
  static const char kHexDigits[] = "0123456789ABCDEF";
  char* out = str;
  for (int i = 0; i < count; ++i) {
    if (i > 0) *out++ = ' ';
    *out++ = kHexDigits[pData[i] >> 4];
    *out++ = kHexDigits[pData[i] & 0x0F];
  }
  *out = '\0';
  return str;
}
