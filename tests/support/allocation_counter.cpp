#include "tests/support/allocation_counter.h"

#include <cstdlib>
#include <new>

namespace {

thread_local int tArmed = 0;
thread_local long tAllocations = 0;

void* Allocate(std::size_t size) {
  if (tArmed) ++tAllocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment) {
  if (tArmed) ++tAllocations;
  const std::size_t a = static_cast<std::size_t>(alignment);
  if (void* p = std::aligned_alloc(a, (size + a - 1) / a * a)) return p;
  throw std::bad_alloc();
}

}  // namespace

AllocationCounter::AllocationCounter() : mStart(tAllocations) { ++tArmed; }
AllocationCounter::~AllocationCounter() { --tArmed; }
long AllocationCounter::Count() const { return tAllocations - mStart; }

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (tArmed) ++tAllocations;
  return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  if (tArmed) ++tAllocations;
  return std::malloc(size ? size : 1);
}
void* operator new(std::size_t size, std::align_val_t alignment) { return AllocateAligned(size, alignment); }
void* operator new[](std::size_t size, std::align_val_t alignment) { return AllocateAligned(size, alignment); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
