// Ordered lists of borrowed or owned pointers.
#pragma once

#include "wdl_heapbuf.h"

template <class T>
class WDL_PtrList {
public:
  explicit WDL_PtrList(int granularityBytes = 128) : mItems(granularityBytes) {}
  ~WDL_PtrList() = default;

  WDL_PtrList(const WDL_PtrList&) = delete;
  WDL_PtrList& operator=(const WDL_PtrList&) = delete;

  int GetSize() const { return mItems.GetSize(); }
  // An index outside the list reads as null.
  T* Get(int index) const { return index >= 0 && index < GetSize() ? mItems.Get()[index] : nullptr; }
  T* const* GetList() const { return mItems.Get(); }

  // Appends item and returns it, or null (item not listed) if the list cannot
  // grow.
  T* Add(T* item) { return mItems.Add(item) ? item : nullptr; }

  // Inserts item at index (appended when index is past the end).
  T* Insert(int index, T* item) {
    const int n = GetSize();
    if (index < 0) index = 0;
    if (index >= n) return Add(item);
    if (!mItems.Add(nullptr)) return nullptr;
    T** list = mItems.Get();
    for (int i = n; i > index; --i) list[i] = list[i - 1];
    list[index] = item;
    return item;
  }

  int Find(const T* item) const {
    for (int i = 0; i < GetSize(); ++i)
      if (mItems.Get()[i] == item) return i;
    return -1;
  }

  // Removes the entry at index, deleting the element when wantDelete is set.
  void Delete(int index, bool wantDelete = false) {
    const int n = GetSize();
    if (index < 0 || index >= n) return;
    T** list = mItems.Get();
    T* item = list[index];
    std::memmove(list + index, list + index + 1, sizeof(T*) * static_cast<size_t>(n - index - 1));
    mItems.Resize(n - 1, false);
    if (wantDelete) delete item;
  }

  void Empty(bool wantDelete = false) {
    if (wantDelete)
      for (int i = GetSize() - 1; i >= 0; --i) delete mItems.Get()[i];
    mItems.Resize(0);
  }

private:
  WDL_TypedBuf<T*> mItems;
};

// A list that owns its elements and deletes them when it is destroyed.
template <class T>
class WDL_OwnedPtrList : public WDL_PtrList<T> {
public:
  using WDL_PtrList<T>::WDL_PtrList;
  ~WDL_OwnedPtrList() { this->Empty(true); }
};
