// Host identification, packed versions, build stamps and the diagnostic hook.
#pragma once

#include <ctime>

#include "wdl_string.h"

// The host application that loaded the plug-in.
enum EHost {
  kHostUninit = -1,
  kHostUnknown = 0,
  kHostReaper,
  kHostProTools,
  kHostCubase,
  kHostNuendo,
  kHostSonar,
  kHostVegas,
  kHostFL,
  kHostSamplitude,
  kHostAbletonLive,
  kHostTracktion,
  kHostNTracks,
  kHostMelodyneStudio,
  kHostVSTScanner,
  kHostAULab,
  kHostForte,
  kHostChainer,
  kHostAudition,
  kHostOrion,
  kHostBias,
  kHostSAWStudio,
  kHostLogic,
  kHostGarageBand,
  kHostDigitalPerformer,
  kHostStandalone,
  kHostAudioMulch,
  kHostStudioOne,
  kHostVST3TestHost,
  kHostArdour,
  kHostRenoise,
  kHostOpenMPT,
};

// Packed versions: major in bits 16 and up, minor in bits 8-15, bug-fix in
// bits 0-7 (0x20000 is 2.0.0).
void GetVersionParts(int version, int* pMaj, int* pMin, int* pBug);
int GetDecimalVersion(int version);
// Writes "v%d.%d.%d"; str must hold at least 32 bytes.
void GetVersionStr(int version, char* str);

// Maps a host application name onto EHost by case-insensitive substring
// tests; names longer than 263 characters are judged on their first 263.
EHost LookUpHost(const char* host);
// Writes the host's display name; name must hold at least 19 bytes.
void GetHostNameStr(EHost host, char* name);

// Lower-cases src into dst with the C library's rules. dst must hold
// strlen(src) + 1 bytes; dst may equal src. A null src gives "".
void ToLower(char* dst, const char* src);
bool IsWhitespace(char c);

// Local date and time with UTC offset, "20170302 14:05 +0100", in a static
// buffer that the next call overwrites.
const char* CurrentTime();
// Minutes local time is ahead of UTC, given the same instant broken down both
// ways; the day-of-year difference settles offsets across midnight and the
// year boundary.
int UtcOffsetMinutes(const struct tm& local, const struct tm& utc);
// The text CurrentTime returns, for the given broken-down instant; str must
// hold at least 32 bytes.
void FormatTimeWithUtcOffset(const struct tm& local, const struct tm& utc, char* str, int maxLen);
// Short build stamp "[Mar02 14:05]" from __DATE__ and __TIME__ style texts.
// Shorter or null texts give a shorter stamp, never a read past their end.
void CompileTimestamp(const char* date, const char* time, WDL_String* str);
// cStr, a space and the build stamp, in a static string that the next call
// overwrites. Never null.
const char* AppendTimestamp(const char* date, const char* time, const char* cStr);

// Diagnostic hook, called at fixed points; it records nothing.
void Trace(const char* funcName, int line, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;
#define TRACE_POINT(...) Trace(__func__, __LINE__, __VA_ARGS__)

const char* VSTOpcodeStr(int opcode);
const char* AUSelectStr(int select);
const char* AUPropertyStr(int propID);
const char* AUScopeStr(int scope);
