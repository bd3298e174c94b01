// The job's operation list. It gives exactly the order of a CSortedArray<CUsi>
// filled with Add (machine order, a record behind the ones equal to it), but
// without shifting the tail of the array on every insertion: records are
// appended and the new tail is stably sorted and merged in when the list is
// next read. Sorted insertion with ties behind is a stable sort of the
// arrival sequence, so both give the same list.
#ifndef BARPOST_ENGINE_USI_LIST_H_
#define BARPOST_ENGINE_USI_LIST_H_

#include <vector>

#include "engine/usi.h"

class CUsiList {
 public:
  void Add(const CUsi& usi) { m_data.push_back(usi); }
  void RemoveAll() {
    std::vector<CUsi>().swap(m_data);
    m_nSorted = 0;
  }
  int GetSize() const { return static_cast<int>(m_data.size()); }
  bool IsEmpty() const { return m_data.empty(); }
  const CUsi& operator[](int i) const { return Sorted()[static_cast<std::size_t>(i)]; }
  // The records in machine order.
  const std::vector<CUsi>& Sorted() const;
  // The records in machine order, taken out of the list, which is left empty.
  std::vector<CUsi> TakeSorted() {
    Sorted();
    std::vector<CUsi> out;
    out.swap(m_data);
    m_nSorted = 0;
    return out;
  }

 private:
  mutable std::vector<CUsi> m_data;
  mutable std::size_t m_nSorted = 0;  // m_data[0, m_nSorted) is in order
};

#endif  // BARPOST_ENGINE_USI_LIST_H_
