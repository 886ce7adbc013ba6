// MIDI channel and system-exclusive messages stamped with their frame offset.
#pragma once

#include <cstdint>

// Records are stored back to back in typed buffers, so this stays a plain,
// trivially copyable struct with exactly these four fields.
struct IMidiMsg {
  int mOffset;
  uint8_t mStatus, mData1, mData2;

  // Message kind: the high four bits of the status byte.
  enum EStatusMsg : int {
    kNone = 0,
    kNoteOff = 8,
    kNoteOn = 9,
    kPolyAftertouch = 10,
    kControlChange = 11,
    kProgramChange = 12,
    kChannelAftertouch = 13,
    kPitchWheel = 14,
  };

  // Controller numbers; any value from 0 to 127 is a valid controller.
  enum EControlChangeMsg : int {
    kBankSelect = 0,
    kModWheel = 1,
    kBreathController = 2,
    kFootController = 4,
    kPortamentoTime = 5,
    kDataEntry = 6,
    kChannelVolume = 7,
    kBalance = 8,
    kPan = 10,
    kExpressionController = 11,
    kSustainOnOff = 64,
    kPortamentoOnOff = 65,
    kSostenutoOnOff = 66,
    kSoftPedalOnOff = 67,
    kAllSoundOff = 120,
    kResetAllControllers = 121,
    kLocalControlOnOff = 122,
    kAllNotesOff = 123,
    kOmniModeOff = 124,
    kOmniModeOn = 125,
    kMonoModeOn = 126,
    kPolyModeOn = 127,
  };

  IMidiMsg() : mOffset(0), mStatus(0), mData1(0), mData2(0) {}
  IMidiMsg(int offset, uint8_t status, uint8_t data1 = 0, uint8_t data2 = 0)
      : mOffset(offset), mStatus(status), mData1(data1), mData2(data2) {}

  // The channel is or-ed into the status unmasked: callers pass 0 to 15.
  void MakeNoteOnMsg(int noteNumber, int velocity, int offset, int channel = 0);
  void MakeNoteOffMsg(int noteNumber, int offset, int channel = 0);
  // value from -1 to 1; out-of-range values are limited to the 14-bit range.
  void MakePitchWheelMsg(double value, int channel = 0);
  // value × 127 truncated and kept to its low 8 bits, without clamping.
  void MakeControlChangeMsg(EControlChangeMsg idx, double value, int channel = 0);

  void Clear();

  int Channel() const;
  EStatusMsg StatusMsg() const;
  int NoteNumber() const;
  int Velocity() const;
  int PolyAfterTouch() const;
  int ChannelAfterTouch() const;
  int Program() const;
  double PitchWheel() const;
  EControlChangeMsg ControlChangeIdx() const;
  double ControlChange(EControlChangeMsg idx) const;

  void LogMsg() const;
};

// A system-exclusive message; the bytes belong to the caller.
struct ISysEx {
  int mOffset;
  int mSize;
  const uint8_t* mData;

  ISysEx() : mOffset(0), mSize(0), mData(nullptr) {}
  ISysEx(int offset, const uint8_t* data, int size) : mOffset(offset), mSize(size), mData(data) {}

  void Clear();
  void LogMsg() const;
};

const char* StatusMsgStr(IMidiMsg::EStatusMsg msg);

// Writes the bytes as "%02X" separated by single spaces into str, never more
// than maxLen bytes including the terminating NUL (maxLen / 3 bytes of data at
// most). An empty string for null data or size <= 0. Returns str.
char* SysExStr(char* str, int maxLen, const unsigned char* pData, int size);
