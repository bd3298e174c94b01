#include "engine/usi_list.h"

#include <algorithm>

const std::vector<CUsi>& CUsiList::Sorted() const {
  if (m_nSorted == m_data.size()) return m_data;
  auto less = [](const CUsi& a, const CUsi& b) { return SortLess(a, b); };
  auto middle = m_data.begin() + static_cast<std::ptrdiff_t>(m_nSorted);
  std::stable_sort(middle, m_data.end(), less);
  // Records already in the list come before equal records added after them.
  std::inplace_merge(m_data.begin(), middle, m_data.end(), less);
  m_nSorted = m_data.size();
  return m_data;
}
