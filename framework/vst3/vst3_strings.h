// Conversions between the framework's 8-bit (UTF-8) texts and VST3's UTF-16.
#pragma once

#include "pluginterfaces/vst/vsttypes.h"

// Writes at most capacity - 1 code units and a terminating NUL; a null src
// gives "". Invalid UTF-8 bytes become U+FFFD.
void Utf8ToUtf16(const char* src, Steinberg::Vst::TChar* dst, int capacity);
// Writes at most capacity - 1 bytes, never a partial character, and a
// terminating NUL; a null src gives "". Unpaired surrogates become U+FFFD.
void Utf16ToUtf8(const Steinberg::Vst::TChar* src, char* dst, int capacity);
