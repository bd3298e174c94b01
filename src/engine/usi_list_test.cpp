#include "engine/usi_list.h"

#include <gtest/gtest.h>

#include <random>

namespace {

CUsi Op(char type, double x, int face, double y, int tag = 0) {
  CUsi u;
  u.m_cType = static_cast<signed char>(type);
  u.m_dXMachine = x;
  u.m_nFace = face;
  u.m_dYMachine = y;
  u.m_nCode = tag;
  return u;
}

std::vector<int> Tags(const std::vector<CUsi>& ops) {
  std::vector<int> tags;
  for (const CUsi& u : ops) tags.push_back(u.m_nCode);
  return tags;
}

TEST(UsiOrder, FaceBeforeKindThenYAndTiesBehind) {
  CSortedArray<CUsi> list;
  list.Add(Op('M', 100, 1, 0, 1));
  list.Add(Op('D', 100, 1, 50, 2));
  list.Add(Op('C', 100, 1, 0, 3));   // a cut before a hole at the same X and face
  list.Add(Op('D', 100, 0, 90, 4));  // face 0 before face 1, whatever the kind
  list.Add(Op('D', 100, 1, 20, 5));  // lower Y first
  list.Add(Op('D', 100, 1, 50, 6));  // equal to 2: behind it
  list.Add(Op('D', 10, 2, 0, 7));    // smallest X to the front, added last
  EXPECT_EQ(Tags(list.Data()), (std::vector<int>{7, 4, 3, 5, 2, 6, 1}));

  // Records differing only outside the five keys are equal for the list.
  CUsi a = Op('D', 5, 1, 5), b = a;
  b.m_nUnit = 3;
  b.m_dValue = 22;
  EXPECT_TRUE(SortEqual(a, b));
  EXPECT_FALSE(SortLess(a, b) || SortLess(b, a));
}

// The fast list must give exactly the order of sorted insertion, however
// the additions and reads interleave.
TEST(UsiList, SameOrderAsSortedInsertion) {
  std::mt19937 rng(20261205);
  for (int round = 0; round < 200; ++round) {
    CSortedArray<CUsi> literal;
    CUsiList fast;
    int n = std::uniform_int_distribution<int>(0, 300)(rng);
    // Few distinct values so that ties are common.
    std::uniform_int_distribution<int> small(0, 4);
    const char kinds[] = {'C', 'D', 'M'};
    for (int i = 0; i < n; ++i) {
      CUsi u = Op(kinds[small(rng) % 3], small(rng) * 10.0, small(rng) % 3, small(rng) * 0.5, i);
      if (small(rng) == 0) u.m_dZMachine = 1;
      literal.Add(u);
      fast.Add(u);
      if (small(rng) == 0) (void)fast.Sorted();  // reads in between
    }
    ASSERT_EQ(Tags(fast.Sorted()), Tags(literal.Data())) << "round " << round;
    ASSERT_EQ(Tags(fast.TakeSorted()), Tags(literal.Data()));
    ASSERT_TRUE(fast.IsEmpty());
  }
}

}  // namespace
