#include "tests/support/allocation_counter.h"

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <new>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define MORVANTE_SANITIZER_OWNS_MALLOC 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define MORVANTE_SANITIZER_OWNS_MALLOC 1
#endif
#endif

namespace {
// Plain thread-locals: no constructor runs, so the allocation functions may
// touch them at any time, even before main.
thread_local bool tArmed = false;
thread_local long tNewCalls = 0;
thread_local long tHeapAllocations = 0;

inline void NoteNew() {
  if (tArmed) ++tNewCalls;
}
inline void NoteHeapAllocation() {
  if (tArmed) ++tHeapAllocations;
}

void* AlignedOrNull(std::size_t size, std::size_t alignment) {
  // aligned_alloc wants a size that is a multiple of the alignment.
  const std::size_t rounded = (size + alignment - 1) / alignment * alignment;
  return std::aligned_alloc(alignment, rounded ? rounded : alignment);
}
}  // namespace

#ifdef MORVANTE_SANITIZER_OWNS_MALLOC
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void*, std::size_t),
                                                         void (*freeHook)(const volatile void*));
namespace {
void SanitizerMallocHook(const volatile void*, std::size_t) { NoteHeapAllocation(); }
void SanitizerFreeHook(const volatile void*) {}
const int kHooksInstalled = __sanitizer_install_malloc_and_free_hooks(SanitizerMallocHook, SanitizerFreeHook);
}  // namespace
#else
// glibc's own allocator under its exported second names.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* ptr, std::size_t size);
void __libc_free(void* ptr);
void* __libc_memalign(std::size_t alignment, std::size_t size);

void* malloc(std::size_t size) noexcept {
  NoteHeapAllocation();
  return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) noexcept {
  NoteHeapAllocation();
  return __libc_calloc(count, size);
}
void* realloc(void* ptr, std::size_t size) noexcept {
  NoteHeapAllocation();
  return __libc_realloc(ptr, size);
}
void free(void* ptr) noexcept { __libc_free(ptr); }
void* memalign(std::size_t alignment, std::size_t size) noexcept {
  NoteHeapAllocation();
  return __libc_memalign(alignment, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept {
  NoteHeapAllocation();
  return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, std::size_t alignment, std::size_t size) noexcept {
  if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return EINVAL;
  NoteHeapAllocation();
  void* ptr = __libc_memalign(alignment, size);
  if (!ptr) return ENOMEM;
  *out = ptr;
  return 0;
}
}
#endif

AllocationCounter::AllocationCounter()
    : mNewAtStart(tNewCalls), mHeapAtStart(tHeapAllocations), mWasArmed(tArmed) {
  tArmed = true;
}

AllocationCounter::~AllocationCounter() { tArmed = mWasArmed; }

long AllocationCounter::NewCalls() const { return tNewCalls - mNewAtStart; }

long AllocationCounter::HeapAllocations() const { return tHeapAllocations - mHeapAtStart; }

const char* AllocationCounter::Method() {
#ifdef MORVANTE_SANITIZER_OWNS_MALLOC
  return kHooksInstalled ? "sanitizer hook" : "sanitizer hook (not installed)";
#else
  return "replaced malloc";
#endif
}

// The replaceable operator new and delete, every form.
void* operator new(std::size_t size) {
  NoteNew();
  if (void* ptr = std::malloc(size ? size : 1)) return ptr;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  NoteNew();
  if (void* ptr = std::malloc(size ? size : 1)) return ptr;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  NoteNew();
  return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  NoteNew();
  return std::malloc(size ? size : 1);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
  NoteNew();
  if (void* ptr = AlignedOrNull(size, static_cast<std::size_t>(alignment))) return ptr;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
  NoteNew();
  if (void* ptr = AlignedOrNull(size, static_cast<std::size_t>(alignment))) return ptr;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  NoteNew();
  return AlignedOrNull(size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  NoteNew();
  return AlignedOrNull(size, static_cast<std::size_t>(alignment));
}
void operator delete(void* ptr) noexcept { std::free(ptr); }
void operator delete[](void* ptr) noexcept { std::free(ptr); }
void operator delete(void* ptr, std::size_t) noexcept { std::free(ptr); }
void operator delete[](void* ptr, std::size_t) noexcept { std::free(ptr); }
void operator delete(void* ptr, const std::nothrow_t&) noexcept { std::free(ptr); }
void operator delete[](void* ptr, const std::nothrow_t&) noexcept { std::free(ptr); }
void operator delete(void* ptr, std::align_val_t) noexcept { std::free(ptr); }
void operator delete[](void* ptr, std::align_val_t) noexcept { std::free(ptr); }
void operator delete(void* ptr, std::size_t, std::align_val_t) noexcept { std::free(ptr); }
void operator delete[](void* ptr, std::size_t, std::align_val_t) noexcept { std::free(ptr); }
void operator delete(void* ptr, std::align_val_t, const std::nothrow_t&) noexcept { std::free(ptr); }
void operator delete[](void* ptr, std::align_val_t, const std::nothrow_t&) noexcept { std::free(ptr); }
