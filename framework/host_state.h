// The state a host keeps for an instance, the same bytes in every plug-in
// format: the effect's SerializeState, then the bypass flag as a
// little-endian 32-bit integer (1 bypassed). MORVANTE's is 348 bytes.
#pragma once

class ByteChunk;
class IPlugBase;

// Bytes of a complete state; 0 when the instance's state cannot be had.
int HostStateSize(IPlugBase& plug);
// Appends the state to chunk under the instance lock; false (chunk as it
// was or partly written) when memory runs out.
bool WriteHostState(IPlugBase& plug, ByteChunk* chunk);
// Restores the effect's state and the bypass under the instance lock, all
// or nothing. The bytes after the effect's state may stop short of the full
// flag: the missing bytes count as zero (a stream that ends right after the
// parameters clears the bypass). Refused, with nothing changed, when the
// effect's state is incomplete or does not read. Values are taken as the
// effect's Set takes them: clamped into range, a NaN giving the default.
bool ReadHostState(IPlugBase& plug, const unsigned char* data, int size);
