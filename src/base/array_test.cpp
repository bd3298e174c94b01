#include "base/array.h"

#include <gtest/gtest.h>

namespace {

struct Keyed {
  int key = 0;
  int tag = 0;
};
bool SortLess(const Keyed& a, const Keyed& b) { return a.key < b.key; }
bool SortEqual(const Keyed& a, const Keyed& b) { return a.key == b.key; }

std::vector<int> Tags(const CSortedArray<Keyed>& a) {
  std::vector<int> out;
  for (const auto& k : a) out.push_back(k.tag);
  return out;
}

TEST(SortedArray, EqualElementsKeepTheirArrivalOrder) {
  CSortedArray<Keyed> a;
  EXPECT_EQ(a.Add({5, 1}), 0);
  EXPECT_EQ(a.Add({3, 2}), 0);   // smaller goes first even when added last
  EXPECT_EQ(a.Add({5, 3}), 2);   // behind the equal one
  EXPECT_EQ(a.Add({4, 4}), 1);
  EXPECT_EQ(a.Add({5, 5}), 4);
  EXPECT_EQ(a.Add({9, 6}), 5);
  EXPECT_EQ(Tags(a), (std::vector<int>{2, 4, 1, 3, 5, 6}));
}

TEST(SortedArray, FindReportsThePositionBehindTheRunOrTheInsertionPoint) {
  CSortedArray<Keyed> a;
  for (int k : {1, 2, 2, 2, 7}) a.Add({k, 0});
  int pos = -1;
  EXPECT_TRUE(a.Find({2, 0}, pos));
  EXPECT_EQ(pos, 4);
  EXPECT_FALSE(a.Find({5, 0}, pos));
  EXPECT_EQ(pos, 4);
  EXPECT_FALSE(a.Find({9, 0}, pos));
  EXPECT_EQ(pos, 5);
  EXPECT_FALSE(a.Find({0, 0}, pos));
  EXPECT_EQ(pos, 0);
  CSortedArray<Keyed> empty;
  EXPECT_THROW(empty.Find({1, 0}, pos), std::invalid_argument);
}

TEST(Array, InsertRemoveAndRangeChecks) {
  CArray<int> a;
  a.Add(1);
  a.Add(3);
  a.InsertAt(1, 2);
  EXPECT_EQ(a.Data(), (std::vector<int>{1, 2, 3}));
  a.RemoveAt(0);
  EXPECT_EQ(a.GetSize(), 2);
  EXPECT_THROW(a.RemoveAt(5), std::out_of_range);
  EXPECT_THROW(a.GetAt(2), std::out_of_range);
  a.RemoveAll();
  EXPECT_TRUE(a.IsEmpty());
}

}  // namespace
