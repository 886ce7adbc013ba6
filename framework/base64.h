// Base64 with the standard alphabet, for preset blobs in source text.
#pragma once

#include <cstdint>

#include "framework/wdl_string.h"

// Decodes into out, at most outSize bytes, stopping at the end of the text
// or at the first character outside the alphabet ('=' included); leftover
// bits are dropped. Bytes of out beyond those produced are not touched.
// Returns the number of bytes produced.
int Base64Decode(const char* text, uint8_t* out, int outSize);

// Encodes the whole input, 3 bytes to 4 characters, padding the last group
// with '='. False (out unchanged) if the text cannot be held.
bool Base64Encode(const uint8_t* data, int size, WDL_String* out);
