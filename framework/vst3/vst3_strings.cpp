#include "framework/vst3/vst3_strings.h"

#include <cstdint>

using Steinberg::Vst::TChar;

namespace {
constexpr char32_t kReplacement = 0xFFFD;

// Decodes one character and advances p; a malformed sequence yields the
// replacement character and consumes one byte.
char32_t DecodeUtf8(const unsigned char*& p) {
  const unsigned char lead = *p++;
  if (lead < 0x80) return lead;
  int extra = 0;
  char32_t cp = 0;
  char32_t min = 0;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1, cp = lead & 0x1F, min = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, cp = lead & 0x0F, min = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, cp = lead & 0x07, min = 0x10000;
  } else {
    return kReplacement;
  }
  const unsigned char* q = p;
  for (int i = 0; i < extra; ++i, ++q) {
    if ((*q & 0xC0) != 0x80) return kReplacement;
    cp = (cp << 6) | (*q & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return kReplacement;
  p = q;
  return cp;
}

int EncodeUtf8(char32_t cp, char* out) {
  if (cp < 0x80) {
    out[0] = static_cast<char>(cp);
    return 1;
  }
  if (cp < 0x800) {
    out[0] = static_cast<char>(0xC0 | (cp >> 6));
    out[1] = static_cast<char>(0x80 | (cp & 0x3F));
    return 2;
  }
  if (cp < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (cp >> 12));
    out[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (cp & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (cp >> 18));
  out[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (cp & 0x3F));
  return 4;
}
}  // namespace

void Utf8ToUtf16(const char* src, TChar* dst, int capacity) {
  if (!dst || capacity <= 0) return;
  int n = 0;
  const auto* p = reinterpret_cast<const unsigned char*>(src ? src : "");
  while (*p) {
    const char32_t cp = DecodeUtf8(p);
    if (cp >= 0x10000) {
      if (n + 2 > capacity - 1) break;
      const char32_t v = cp - 0x10000;
      dst[n++] = static_cast<TChar>(0xD800 + (v >> 10));
      dst[n++] = static_cast<TChar>(0xDC00 + (v & 0x3FF));
    } else {
      if (n + 1 > capacity - 1) break;
      dst[n++] = static_cast<TChar>(cp);
    }
  }
  dst[n] = 0;
}

void Utf16ToUtf8(const TChar* src, char* dst, int capacity) {
  if (!dst || capacity <= 0) return;
  int n = 0;
  for (const TChar* p = src; p && *p; ++p) {
    char32_t cp = static_cast<char16_t>(*p);
    if (cp >= 0xD800 && cp <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<char16_t>(p[1]) - 0xDC00);
      ++p;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = kReplacement;
    }
    char bytes[4];
    const int len = EncodeUtf8(cp, bytes);
    if (n + len > capacity - 1) break;
    for (int i = 0; i < len; ++i) dst[n++] = bytes[i];
  }
  dst[n] = 0;
}
