#include "engine/usi_list.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

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

// The tags of a list of records, in its order.
template <typename List>
std::vector<int> Tags(const List& ops) {
  std::vector<int> tags;
  for (std::size_t i = 0; i < ops.size(); ++i) tags.push_back(ops[i].m_nCode);
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
  CUsi a = Op('D', 5, 1, 5), b = Op('D', 5, 1, 5, 9);
  b.m_nUnit = 3;
  EXPECT_TRUE(SortEqual(a, b) && !SortLess(a, b) && !SortLess(b, a));
}

// The fast list must give exactly the order of sorted insertion, however
// the additions and reads interleave, whatever the block size of its sort,
// for operations in random order and for operations almost in order as the
// bar walk makes them (which only merge where blocks overlap).
TEST(UsiList, SameOrderAsSortedInsertion) {
  std::mt19937 rng(20261205);
  for (int round = 0; round < 400; ++round) {
    const std::size_t blocks[] = {1, 2, 3, 5, 16, CUsiList::kSortBlock};
    CSortedArray<CUsi> literal;
    CUsiList fast(blocks[round % 6]);
    const bool almost_in_order = round / 6 % 2 == 1;
    int n = std::uniform_int_distribution<int>(0, round % 6 == 5 ? 1500 : 300)(rng);
    // Few distinct values so that ties are common.
    std::uniform_int_distribution<int> small(0, 4);
    const char kinds[] = {'C', 'D', 'M'};
    for (int i = 0; i < n; ++i) {
      double x = small(rng) * 10.0 + (almost_in_order ? i / 4 * 10.0 : 0.0);
      CUsi u = Op(kinds[small(rng) % 3], x, small(rng) % 3, small(rng) * 0.5, i);
      if (small(rng) == 0) u.m_dZMachine = 1;
      CUsi::SetText(u.m_szPceNam, "P" + std::to_string(i / 7));
      literal.Add(u);
      fast.Add(u);
      if (small(rng) == 0 && i % 8 == 0) (void)fast.Sorted();  // reads in between
    }
    const std::vector<CUsi>& view = fast.Sorted();
    ASSERT_EQ(Tags(view), Tags(literal.Data())) << "round " << round;
    for (std::size_t i = 0; i < view.size(); ++i)  // the names travel with their record
      ASSERT_STREQ(view[i].m_szPceNam, literal[static_cast<int>(i)].m_szPceNam);
    ASSERT_EQ(Tags(fast.TakeSorted()), Tags(literal.Data()));
    ASSERT_TRUE(fast.IsEmpty());
  }
}

// Records stay where they were put across the chunks of the storage.
TEST(UsiRecords, ManyChunks) {
  UsiRecords records;
  for (int i = 0; i < 40000; ++i) records.push_back(Op('D', i, 1, 0, i));
  ASSERT_EQ(records.size(), 40000u);
  for (int i = 0; i < 40000; ++i) ASSERT_EQ(records[static_cast<std::size_t>(i)].m_nCode, i);
  records.clear();
  EXPECT_TRUE(records.empty());
}

}  // namespace
