#include "wdl_string.h"

#include <cstdarg>
#include <cstdio>

namespace {
int BoundedLength(const char* str, int maxLen) {
  if (!str) return 0;
  if (maxLen <= 0) return static_cast<int>(std::strlen(str));
  const void* nul = std::memchr(str, 0, static_cast<size_t>(maxLen));
  return nul ? static_cast<int>(static_cast<const char*>(nul) - str) : maxLen;
}
}  // namespace

WDL_String::WDL_String(const char* initial) { Set(initial); }

WDL_String::WDL_String(const WDL_String& other) { Set(other.Get()); }

WDL_String& WDL_String::operator=(const WDL_String& other) {
  if (this != &other) Set(other.Get());
  return *this;
}

const char* WDL_String::Get() const {
  const char* s = static_cast<const char*>(mBuf.Get());
  return s ? s : "";
}

int WDL_String::GetLength() const { return static_cast<int>(std::strlen(Get())); }

bool WDL_String::Reserve(int length) {
  const int before = mBuf.GetSize();
  mBuf.Resize(length + 1, false);
  if (mBuf.GetSize() != length + 1) {
    mBuf.Resize(before, false);
    return false;
  }
  return true;
}

void WDL_String::Set(const char* str, int maxLen) {
  const int n = BoundedLength(str, maxLen);
  if (str && str >= Get() && str < Get() + GetLength() + 1) {
    // Setting from our own contents: keep a copy first.
    WDL_String copy;
    copy.Set(str, n);
    Set(copy.Get());
    return;
  }
  if (!Reserve(n)) return;
  char* s = static_cast<char*>(mBuf.Get());
  if (n > 0) std::memcpy(s, str, static_cast<size_t>(n));
  s[n] = 0;
}

void WDL_String::Append(const char* str, int maxLen) { Insert(str, GetLength(), maxLen); }

void WDL_String::Insert(const char* str, int position, int maxLen) {
  const int len = GetLength();
  const int n = BoundedLength(str, maxLen);
  if (n == 0) return;
  if (position < 0) position = 0;
  if (position > len) position = len;
  WDL_String source;
  source.Set(str, n);  // str may point into this string
  if (!Reserve(len + n)) return;
  char* s = static_cast<char*>(mBuf.Get());
  std::memmove(s + position + n, s + position, static_cast<size_t>(len - position + 1));
  std::memcpy(s + position, source.Get(), static_cast<size_t>(n));
}

void WDL_String::DeleteSub(int position, int length) {
  const int len = GetLength();
  if (position < 0 || position >= len || length <= 0) return;
  if (length > len - position) length = len - position;
  char* s = static_cast<char*>(mBuf.Get());
  std::memmove(s + position, s + position + length, static_cast<size_t>(len - position - length + 1));
}

void WDL_String::SetLen(int length) {
  if (length < 0) length = 0;
  if (length < GetLength()) static_cast<char*>(mBuf.Get())[length] = 0;
}

namespace {
// Formats into tmp, at most maxLen characters; null if memory cannot be had.
const char* FormatBounded(WDL_HeapBuf& tmp, int maxLen, const char* format, va_list args) {
  if (maxLen <= 0) return nullptr;
  char* out = static_cast<char*>(tmp.Resize(maxLen + 1));
  if (tmp.GetSize() != maxLen + 1) return nullptr;
  std::vsnprintf(out, static_cast<size_t>(maxLen) + 1, format, args);
  return out;
}
}  // namespace

void WDL_String::SetFormatted(int maxLen, const char* format, ...) {
  WDL_HeapBuf tmp(128);
  va_list args;
  va_start(args, format);
  const char* out = FormatBounded(tmp, maxLen, format, args);
  va_end(args);
  if (out) Set(out);
}

void WDL_String::AppendFormatted(int maxLen, const char* format, ...) {
  WDL_HeapBuf tmp(128);
  va_list args;
  va_start(args, format);
  const char* out = FormatBounded(tmp, maxLen, format, args);
  va_end(args);
  if (out) Append(out);
}

void CopyCut(char* dst, int capacity, const char* src) {
  if (!dst || capacity <= 0) return;
  // BoundedLength reads a limit of 0 as "no limit", so a one-byte field must
  // not reach it.
  const int n = src && capacity > 1 ? BoundedLength(src, capacity - 1) : 0;
  if (n > 0) std::memmove(dst, src, static_cast<size_t>(n));
  dst[n] = 0;
}
