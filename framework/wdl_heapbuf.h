// Growable heap buffers: the storage under every framework container.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <functional>

// A byte buffer with a used size and an allocated size that grows in steps of
// the granularity. Resize never loses data: when memory cannot be had, the old
// buffer and its size stay as they were.
class WDL_HeapBuf {
public:
  explicit WDL_HeapBuf(int granularity = 4096) : mGranularity(granularity > 0 ? granularity : 1) {}
  ~WDL_HeapBuf() { std::free(mBuf); }

  WDL_HeapBuf(const WDL_HeapBuf&) = delete;
  WDL_HeapBuf& operator=(const WDL_HeapBuf&) = delete;

  void* Get() const { return mSize > 0 ? mBuf : nullptr; }
  int GetSize() const { return mSize; }
  int GetAllocated() const { return mAlloc; }
  int GetGranularity() const { return mGranularity; }

  // Changes the used size to newSize bytes (negative sizes count as 0) and
  // returns the buffer, or null when the buffer is empty. With resizeDown, a
  // shrink also gives memory back. Returns the unchanged buffer if growing
  // fails; callers compare GetSize() with the size they asked for.
  void* Resize(int newSize, bool resizeDown = true) {
    if (newSize < 0) newSize = 0;
    if (newSize > mAlloc || (resizeDown && newSize < mAlloc / 2)) {
      const long long rounded = ((static_cast<long long>(newSize) + mGranularity - 1) / mGranularity) * mGranularity;
      const int newAlloc = newSize == 0 ? 0 : static_cast<int>(rounded > 0x7fffffff ? newSize : rounded);
      if (newAlloc == 0) {
        std::free(mBuf);
        mBuf = nullptr;
        mAlloc = 0;
      } else if (newAlloc != mAlloc) {
        void* moved = std::realloc(mBuf, static_cast<size_t>(newAlloc));
        if (moved) {
          mBuf = moved;
          mAlloc = newAlloc;
        } else if (newSize > mAlloc) {
          return Get();
        }
        // else a failed give-back: the old, larger block still holds newSize.
      }
    }
    mSize = newSize;
    return Get();
  }

  // Copies the contents of another buffer; false (and unchanged) if memory
  // cannot be had.
  bool CopyFrom(const WDL_HeapBuf& other) {
    if (&other == this) return true;
    Resize(other.mSize, false);
    if (mSize != other.mSize) return false;
    if (mSize > 0) std::memcpy(mBuf, other.mBuf, static_cast<size_t>(mSize));
    return true;
  }

private:
  void* mBuf = nullptr;
  int mAlloc = 0;
  int mSize = 0;
  int mGranularity;
};

// A WDL_HeapBuf seen as an array of T. T must be trivially copyable.
template <class T>
class WDL_TypedBuf {
public:
  explicit WDL_TypedBuf(int granularityBytes = 4096) : mHeap(granularityBytes) {}

  T* Get() const { return static_cast<T*>(mHeap.Get()); }
  int GetSize() const { return mHeap.GetSize() / static_cast<int>(sizeof(T)); }

  // Resizes to n elements; on allocation failure the old contents stay and
  // GetSize() still reports the old count.
  T* Resize(int n, bool resizeDown = true) {
    if (n < 0) n = 0;
    if (static_cast<long long>(n) * sizeof(T) > 0x7fffffffLL) return Get();
    mHeap.Resize(n * static_cast<int>(sizeof(T)), resizeDown);
    return Get();
  }

  // Appends n elements (copied from data when it is not null) and returns a
  // pointer to the first new element, or null if memory cannot be had.
  T* Add(const T* data, int n) {
    const int old = GetSize();
    if (n <= 0 || n > 0x7fffffff - old) return nullptr;
    // data may point at our own elements, which the resize can move.
    const T* begin = Get();
    const bool ownElements = data && begin && std::less_equal<const T*>()(begin, data) &&
                             std::less<const T*>()(data, begin + old);
    const ptrdiff_t ownIndex = ownElements ? data - begin : 0;
    Resize(old + n, false);
    if (GetSize() != old + n) return nullptr;
    if (ownElements) data = Get() + ownIndex;
    T* dst = Get() + old;
    if (data) std::memmove(static_cast<void*>(dst), data, sizeof(T) * static_cast<size_t>(n));
    return dst;
  }
  T* Add(const T& value) { return Add(&value, 1); }

  bool CopyFrom(const WDL_TypedBuf& other) { return mHeap.CopyFrom(other.mHeap); }

private:
  WDL_HeapBuf mHeap;
};
