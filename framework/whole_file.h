// Whole-file reads and writes for program and bank files.
#pragma once

#include "framework/byte_chunk.h"

// Replaces out with the file's bytes. False (out unspecified) when the file
// cannot be opened or read, or is larger than maxSize: the size is checked
// before anything is read.
bool ReadWholeFile(const char* path, long maxSize, ByteChunk* out);
// Writes data in one go; false when any of it failed to reach the file.
bool WriteWholeFile(const char* path, const ByteChunk& data);
