#include "framework/host_info.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

void GetVersionParts(int version, int* pMaj, int* pMin, int* pBug) {
  if (pMaj) *pMaj = (version & 0xFFFF0000) >> 16;
  if (pMin) *pMin = (version >> 8) & 0xFF;
  if (pBug) *pBug = version & 0xFF;
}

int GetDecimalVersion(int version) {
  int major = 0, minor = 0, bug = 0;
  GetVersionParts(version, &major, &minor, &bug);
  return major * 10000 + minor * 100 + bug;
}

void GetVersionStr(int version, char* str) {
  if (!str) return;
  int major = 0, minor = 0, bug = 0;
  GetVersionParts(version, &major, &minor, &bug);
  std::snprintf(str, 32, "v%d.%d.%d", major, minor, bug);
}

namespace {

struct HostPattern {
  const char* substring;
  EHost host;
};

// Order matters: the first substring found wins, so names that contain more
// than one (a "Cubase ... Live" bundle) resolve the same way every time.
const HostPattern kHostPatterns[] = {
    {"cubase", kHostCubase},
    {"reaper", kHostReaper},
    {"nuendo", kHostNuendo},
    {"cakewalk", kHostSonar},
    {"samplitude", kHostSamplitude},
    {"fruity", kHostFL},
    {"live", kHostAbletonLive},
    {"melodyne", kHostMelodyneStudio},
    {"vstmanlib", kHostVSTScanner},
    {"aulab", kHostAULab},
    {"garageband", kHostGarageBand},
    {"forte", kHostForte},
    {"chainer", kHostChainer},
    {"audition", kHostAudition},
    {"orion", kHostOrion},
    {"sawstudio", kHostSAWStudio},
    {"logic", kHostLogic},
    {"digital", kHostDigitalPerformer},
    {"audiomulch", kHostAudioMulch},
    {"presonus", kHostStudioOne},
    {"vst3plugintesthost", kHostVST3TestHost},
    {"protools", kHostProTools},
    {"ardour", kHostArdour},
    {"openmpt", kHostOpenMPT},
    {"renoise", kHostRenoise},
    {"standalone", kHostStandalone},
};

// Display names indexed by EHost value; the values without a known name
// (including melodyne's) read "Unknown".
const char* const kHostNames[] = {
    "Unknown", "Reaper", "ProTools", "Cubase", "Nuendo", "Sonar", "Vegas", "FLStudio",
    "Samplitude", "Live", "Unknown", "Unknown", "Unknown", "VSTScanner", "AULab", "Forte",
    "Chainer", "Audition", "Orion", "Unknown", "SAWStudio", "Logic", "GarageBand",
    "DigitalPerformer", "Standalone", "AudioMulch", "StudioOne", "VST3PluginTestHost",
    "Ardour", "Renoise", "OpenMPT",
};
constexpr int kHostNameCount = static_cast<int>(sizeof(kHostNames) / sizeof(kHostNames[0]));
static_assert(kHostNameCount == kHostOpenMPT + 1, "one display name per host");

}  // namespace

EHost LookUpHost(const char* host) {
  // The name comes from the host, so it is cut to the buffer rather than
  // trusted to fit.
  char lower[264];
  CopyCut(lower, host);
  ToLower(lower, lower);
  for (const HostPattern& pattern : kHostPatterns) {
    if (std::strstr(lower, pattern.substring)) return pattern.host;
  }
  return kHostUnknown;
}

void GetHostNameStr(EHost host, char* name) {
  if (!name) return;
  const int index = static_cast<int>(host);
  const char* text = index >= 0 && index < kHostNameCount ? kHostNames[index] : "Unknown";
  std::strcpy(name, text);
}

void ToLower(char* dst, const char* src) {
  if (!dst) return;
  if (!src) {
    dst[0] = '\0';
    return;
  }
  size_t i = 0;
  for (; src[i]; ++i) {
    // tolower is only defined for unsigned char values and EOF.
    dst[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(src[i])));
  }
  dst[i] = '\0';
}

bool IsWhitespace(char c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; }

int UtcOffsetMinutes(const struct tm& local, const struct tm& utc) {
  int offset = (local.tm_min - utc.tm_min) + 60 * (local.tm_hour - utc.tm_hour);
  const int dayDiff = local.tm_yday - utc.tm_yday;
  if (dayDiff == 1) {
    offset += 1440;
  } else if (dayDiff == -1) {
    offset -= 1440;
  } else if (dayDiff >= 2) {
    // Local is still on 31 December while UTC has reached 1 January.
    offset -= 1440;
  } else if (dayDiff <= -2) {
    // Local has reached 1 January while UTC is still on 31 December.
    offset += 1440;
  }
  return offset;
}

void FormatTimeWithUtcOffset(const struct tm& local, const struct tm& utc, char* str, int maxLen) {
  if (!str || maxLen <= 0) return;
  char stamp[32];
  if (std::strftime(stamp, sizeof(stamp), "%Y%m%d %H:%M ", &local) == 0) stamp[0] = '\0';
  const int offset = UtcOffsetMinutes(local, utc);
  const int magnitude = std::abs(offset);
  std::snprintf(str, static_cast<size_t>(maxLen), "%s%c%02d%02d", stamp, offset < 0 ? '-' : '+',
                magnitude / 60, magnitude % 60);
}

const char* CurrentTime() {
  static char text[64];
  const time_t now = std::time(nullptr);
  struct tm local;
  struct tm utc;
  if (!localtime_r(&now, &local) || !gmtime_r(&now, &utc)) {
    text[0] = '\0';
    return text;
  }
  FormatTimeWithUtcOffset(local, utc, text, static_cast<int>(sizeof(text)));
  return text;
}

void CompileTimestamp(const char* date, const char* time, WDL_String* str) {
  if (!str) return;
  // The string operations clamp every position, so short texts simply give a
  // short stamp.
  str->Set("[");
  str->Append(date);
  str->SetLen(7);
  str->DeleteSub(4, 1);
  str->Append(" ");
  str->Append(time);
  str->SetLen(12);
  str->Append("]");
}

const char* AppendTimestamp(const char* date, const char* time, const char* cStr) {
  static WDL_String text;
  WDL_String stamp;
  CompileTimestamp(date, time, &stamp);
  text.Set(cStr);
  text.Append(" ");
  text.Append(stamp.Get());
  return text.Get();
}

void Trace(const char*, int, const char*, ...) {}

const char* VSTOpcodeStr(int) { return ""; }
const char* AUSelectStr(int) { return ""; }
const char* AUPropertyStr(int) { return ""; }
const char* AUScopeStr(int) { return ""; }
