#include "framework/base64.h"

#include <climits>
#include <cstring>

#include "framework/wdl_heapbuf.h"

namespace {
const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int SextetOf(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}
}  // namespace

int Base64Decode(const char* text, uint8_t* out, int outSize) {
  if (!text || !out || outSize <= 0) return 0;
  unsigned accumulator = 0;
  int pendingBits = 0;
  int produced = 0;
  for (const char* p = text; *p && produced < outSize; ++p) {
    const int sextet = SextetOf(*p);
    if (sextet < 0) break;
    accumulator = ((accumulator << 6) | static_cast<unsigned>(sextet)) & 0xffffu;
    pendingBits += 6;
    if (pendingBits >= 8) {
      pendingBits -= 8;
      out[produced++] = static_cast<uint8_t>(accumulator >> pendingBits);
    }
  }
  return produced;
}

bool Base64Encode(const uint8_t* data, int size, WDL_String* out) {
  if (!out) return false;
  if (size <= 0 || !data) {
    out->Set("");
    return true;
  }
  const long long length = (static_cast<long long>(size) + 2) / 3 * 4;
  if (length >= INT_MAX) return false;
  WDL_TypedBuf<char> text(4096);
  text.Resize(static_cast<int>(length) + 1);
  if (text.GetSize() != length + 1) return false;
  char* dst = text.Get();
  for (int i = 0; i < size; i += 3) {
    const int n = size - i < 3 ? size - i : 3;
    unsigned group = static_cast<unsigned>(data[i]) << 16;
    if (n > 1) group |= static_cast<unsigned>(data[i + 1]) << 8;
    if (n > 2) group |= data[i + 2];
    *dst++ = kAlphabet[(group >> 18) & 63];
    *dst++ = kAlphabet[(group >> 12) & 63];
    *dst++ = n > 1 ? kAlphabet[(group >> 6) & 63] : '=';
    *dst++ = n > 2 ? kAlphabet[group & 63] : '=';
  }
  *dst = 0;
  out->Set(text.Get());
  // Set leaves the old text when memory runs out.
  return std::strcmp(out->Get(), text.Get()) == 0;
}
