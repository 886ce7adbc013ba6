// Growable NUL-terminated string.
#pragma once

#include "wdl_heapbuf.h"

class WDL_String {
public:
  explicit WDL_String(const char* initial = nullptr);
  WDL_String(const WDL_String& other);
  WDL_String& operator=(const WDL_String& other);

  // Never null: an empty string reads as "".
  const char* Get() const;
  int GetLength() const;

  // maxLen > 0 takes at most maxLen bytes of str. A null str counts as "".
  // The operations that grow the string leave it unchanged when memory cannot
  // be had.
  void Set(const char* str, int maxLen = 0);
  void Append(const char* str, int maxLen = 0);
  void Insert(const char* str, int position, int maxLen = 0);
  void DeleteSub(int position, int length);
  // Cuts the string to at most length characters.
  void SetLen(int length);

  void SetFormatted(int maxLen, const char* format, ...)
#if defined(__GNUC__)
      __attribute__((format(printf, 3, 4)))
#endif
      ;
  void AppendFormatted(int maxLen, const char* format, ...)
#if defined(__GNUC__)
      __attribute__((format(printf, 3, 4)))
#endif
      ;

private:
  bool Reserve(int length);

  WDL_HeapBuf mBuf{128};
};

// Copies src into a fixed field of capacity bytes, cutting it so that the
// field always ends with a NUL. A null src gives "".
void CopyCut(char* dst, int capacity, const char* src);
template <int N>
void CopyCut(char (&dst)[N], const char* src) {
  CopyCut(dst, N, src);
}
