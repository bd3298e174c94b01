#include "engine/usi_list.h"

#include <algorithm>
#include <numeric>

const std::vector<CUsi>& CUsiList::Sorted() const {
  if (m_nSorted == m_data.size()) return m_data;
  auto less = [](const CUsi& a, const CUsi& b) { return SortLess(a, b); };
  // A record is large: sort the positions of the new tail, then move each
  // record once.
  const std::size_t tail = m_data.size() - m_nSorted;
  std::vector<std::size_t> order(tail);
  std::iota(order.begin(), order.end(), m_nSorted);
  std::stable_sort(order.begin(), order.end(),
                   [this](std::size_t a, std::size_t b) { return SortLess(m_data[a], m_data[b]); });
  std::vector<CUsi> sorted;
  sorted.reserve(tail);
  for (std::size_t i : order) sorted.push_back(std::move(m_data[i]));
  std::move(sorted.begin(), sorted.end(), m_data.begin() + static_cast<std::ptrdiff_t>(m_nSorted));
  // Records already in the list come before equal records added after them.
  auto middle = m_data.begin() + static_cast<std::ptrdiff_t>(m_nSorted);
  std::inplace_merge(m_data.begin(), middle, m_data.end(), less);
  m_nSorted = m_data.size();
  return m_data;
}
