// Counts the heap allocations the calling thread makes while a counter is
// alive: every form of operator new, and every malloc, calloc, realloc and
// aligned allocation. Linking this replaces the program's allocation
// functions, so it belongs in test programs of their own. Under a sanitizer,
// which owns malloc, its allocation hook does the counting instead; both
// counts are exact either way.
#pragma once

class AllocationCounter {
public:
  AllocationCounter();
  ~AllocationCounter();
  AllocationCounter(const AllocationCounter&) = delete;
  AllocationCounter& operator=(const AllocationCounter&) = delete;

  // Calls of operator new in any of its forms.
  long NewCalls() const;
  // Every heap allocation, those of operator new included.
  long HeapAllocations() const;

  // How heap allocations are seen: "replaced malloc" or "sanitizer hook".
  static const char* Method();

private:
  long mNewAtStart;
  long mHeapAtStart;
  bool mWasArmed;
};
