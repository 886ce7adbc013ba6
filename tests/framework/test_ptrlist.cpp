#include <gtest/gtest.h>

#include "framework/wdl_ptrlist.h"

namespace {

struct Counted {
  explicit Counted(int* counter) : deletions(counter) {}
  ~Counted() { ++*deletions; }
  int* deletions;
};

TEST(PtrList, OutOfRangeIndexReadsAsNull) {
  WDL_PtrList<int> list;
  int a = 1, b = 2;
  list.Add(&a);
  list.Add(&b);
  EXPECT_EQ(list.Get(0), &a);
  EXPECT_EQ(list.Get(1), &b);
  EXPECT_EQ(list.Get(2), nullptr);
  EXPECT_EQ(list.Get(-1), nullptr);
}

TEST(PtrList, InsertKeepsOrderAndAppendsPastTheEnd) {
  WDL_PtrList<int> list;
  int a = 1, b = 2, c = 3, d = 4;
  list.Add(&a);
  list.Add(&c);
  list.Insert(1, &b);
  list.Insert(99, &d);
  ASSERT_EQ(list.GetSize(), 4);
  EXPECT_EQ(list.Get(0), &a);
  EXPECT_EQ(list.Get(1), &b);
  EXPECT_EQ(list.Get(2), &c);
  EXPECT_EQ(list.Get(3), &d);
  list.Delete(1);
  EXPECT_EQ(list.Get(1), &c);
  EXPECT_EQ(list.Find(&b), -1);
}

TEST(PtrList, OwnedListDeletesItsElements) {
  int deletions = 0;
  {
    WDL_OwnedPtrList<Counted> list;
    for (int i = 0; i < 100; ++i) list.Add(new Counted(&deletions));
    list.Delete(0, true);
    EXPECT_EQ(deletions, 1);
  }
  EXPECT_EQ(deletions, 100);
}

}  // namespace
