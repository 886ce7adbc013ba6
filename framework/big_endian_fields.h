// Big-endian 32-bit fields of VST 2 program and bank files, read and written
// through a ByteChunk with the chunk's position conventions.
#pragma once

#include <cstdint>

#include "framework/byte_chunk.h"

// Append: the new size, or 0 if memory cannot be had.
int AppendBE32(ByteChunk* chunk, uint32_t value);
int AppendBEFloat(ByteChunk* chunk, float value);
// Four ASCII characters in file order, e.g. "CcnK".
int AppendTag(ByteChunk* chunk, const char* tag);

// Read: the position after the field, or -1 (value untouched) when it does
// not fit.
int ReadBE32At(const ByteChunk& chunk, uint32_t* value, int pos);
int ReadBEFloatAt(const ByteChunk& chunk, float* value, int pos);
// True when the four bytes at pos are there and equal tag.
bool TagAt(const ByteChunk& chunk, const char* tag, int pos);
