// Counts the allocations made through operator new on the calling thread
// while an AllocationCounter exists there. Linking allocation_counter.cpp
// replaces the global operator new and delete of the test program.
#pragma once

class AllocationCounter {
public:
  AllocationCounter();
  ~AllocationCounter();
  AllocationCounter(const AllocationCounter&) = delete;
  AllocationCounter& operator=(const AllocationCounter&) = delete;

  // Allocations on this thread since construction.
  long Count() const;

private:
  long mStart;
};
