// The job's operation list. It gives exactly the order of a CSortedArray<CUsi>
// filled with Add (machine order, a record behind the ones equal to it), but
// without shifting the tail of the array on every insertion. Sorted insertion
// with ties behind is a stable sort of the arrival sequence, so the list
// appends records and sorts them stably:
//  - every block of kSortBlock new records is put in order by sorting its
//    records' keys with their places (ties in arrival order) and moving each
//    record once;
//  - sorted blocks are merged as in a natural merge sort, earlier records
//    ahead of equal later ones. The bar walk makes operations almost in
//    machine order (X grows along each bar and from bar to bar), so a merge
//    only moves the few records where two blocks overlap.
// Records are the lean UsiRecord; X, Y and the piece names are kept apart,
// the names once per piece.
#ifndef BARPOST_ENGINE_USI_LIST_H_
#define BARPOST_ENGINE_USI_LIST_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/usi.h"

class CUsiList {
 public:
  static constexpr std::size_t kSortBlock = 512;

  // block: records sorted at a time (tests use small ones).
  explicit CUsiList(std::size_t block = kSortBlock) : m_nBlock(block < 1 ? 1 : block) {}

  // Whether the list keeps the X, Y and piece names of its operations (it
  // does unless told otherwise); a job that only writes its program needs
  // none of them. Set while the list is empty.
  void KeepDetails(bool keep) { m_bDetails = keep; }
  void Add(const CUsi& usi);
  // A record with its X, Y and names (an index from Names of this list).
  void Add(UsiRecord record, double x, double y, std::uint32_t names) {
    record.m_nArrival = static_cast<std::uint32_t>(m_data.size());
    if (m_bDetails) m_details.push_back(Details{x, y, names});
    m_data.push_back(record);
    if (m_data.size() - m_nSorted >= m_nBlock) SortNewBlock();
  }
  // The index of a piece's names (the name fields of a CUsi) for the
  // records of this list.
  std::uint32_t Names(const char (&com)[32], const char (&pce)[32]);
  // Empties the list; whether it keeps details stays as it was.
  void RemoveAll();
  int GetSize() const { return static_cast<int>(m_data.size()); }
  bool IsEmpty() const { return m_data.empty(); }
  const CUsi& operator[](int i) const { return Sorted()[static_cast<std::size_t>(i)]; }
  // The operations in machine order as whole CUsi records, names included.
  // Made again at each call, for looking at a job; the writer takes the
  // records with TakeSorted.
  const std::vector<CUsi>& Sorted() const;
  // The records in machine order, taken out of the list, which is left empty.
  UsiRecords TakeSorted();

 private:
  struct PieceNames {
    char com[32];
    char pce[32];
  };
  struct Details {
    double x;
    double y;
    std::uint32_t names;
  };
  struct Run {
    std::size_t begin;
    std::size_t size;
  };

  void SortNewBlock() const {
    SortTail();
    Collapse(false);
  }
  // Sorts the records after the last run into a run of their own.
  void SortTail() const;
  // Merges the last two runs while the one before is not longer (all: until
  // one run is left).
  void Collapse(bool all) const;
  void MergeLastRuns() const;
  void SortAll() const {
    SortTail();
    Collapse(true);
  }

  std::size_t m_nBlock;
  mutable UsiRecords m_data;
  mutable std::vector<Run> m_runs;   // sorted runs, one after the other from 0
  mutable std::size_t m_nSorted = 0;  // records covered by the runs
  std::vector<PieceNames> m_names;
  bool m_bDetails = true;
  ChunkedArray<Details> m_details;  // by arrival, while details are kept
  struct SortKey {
    std::uint64_t x;      // machine X in whole-number order
    std::uint32_t index;  // place in the block, that is order of arrival
  };
  // Working storage of the sort, kept between blocks.
  mutable std::vector<SortKey> m_keys;
  mutable std::vector<UsiRecord> m_scratch;
  mutable std::vector<CUsi> m_view;
};

#endif  // BARPOST_ENGINE_USI_LIST_H_
