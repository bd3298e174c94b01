#include "engine/usi_list.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

// First position in [lo, hi) of a sorted range whose record is greater than
// x, searched from the back (where it usually is) in growing steps.
std::size_t UpperBoundFromBack(const UsiRecords& d, std::size_t lo, std::size_t hi,
                               const UsiRecord& x) {
  std::size_t step = 1;
  while (hi - lo > step && UsiLess(x, d[hi - step])) {
    hi -= step;
    step *= 2;
  }
  if (hi - lo > step) lo = hi - step + 1;  // d[hi - step] is not greater than x
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo) / 2;
    if (UsiLess(x, d[mid]))
      hi = mid;
    else
      lo = mid + 1;
  }
  return lo;
}

// First position in [lo, hi) of a sorted range whose record is not less
// than x, searched from the front in growing steps.
std::size_t LowerBoundFromFront(const UsiRecords& d, std::size_t lo, std::size_t hi,
                                const UsiRecord& x) {
  std::size_t step = 1;
  while (hi - lo > step && UsiLess(d[lo + step - 1], x)) {
    lo += step;
    step *= 2;
  }
  if (hi - lo > step) hi = lo + step;  // d[lo + step - 1] is not less than x
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo) / 2;
    if (UsiLess(d[mid], x))
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo;
}

}  // namespace

std::uint32_t CUsiList::Names(const char (&com)[32], const char (&pce)[32]) {
  // The operations of one piece come one after the other with its names.
  // Whole fields are compared: names equal up to their ends but not beyond
  // merely get a second entry.
  PieceNames entry;
  std::memcpy(entry.com, com, sizeof entry.com);
  std::memcpy(entry.pce, pce, sizeof entry.pce);
  entry.com[sizeof entry.com - 1] = '\0';
  entry.pce[sizeof entry.pce - 1] = '\0';
  if (m_names.empty() || std::memcmp(&m_names.back(), &entry, sizeof entry) != 0)
    m_names.push_back(entry);
  return static_cast<std::uint32_t>(m_names.size() - 1);
}

void CUsiList::Add(const CUsi& usi) {
  Add(UsiRecord(usi), usi.m_dX, usi.m_dY, Names(usi.m_szComNam, usi.m_szPceNam));
}

void CUsiList::RemoveAll() {
  m_data.clear();
  m_details.clear();
  std::vector<Run>().swap(m_runs);
  std::vector<PieceNames>().swap(m_names);
  std::vector<SortKey>().swap(m_keys);
  std::vector<UsiRecord>().swap(m_scratch);
  std::vector<CUsi>().swap(m_view);
  m_nSorted = 0;
}

namespace {

// Machine X as a whole number in the same order (-0 and 0 alike): most
// comparisons of the sort are settled by it alone.
std::uint64_t OrderOfX(double x) {
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(x == 0 ? 0.0 : x);
  return bits >> 63 ? ~bits : bits | (std::uint64_t{1} << 63);
}

}  // namespace

void CUsiList::SortTail() const {
  const std::size_t begin = m_nSorted;
  const std::size_t count = m_data.size() - begin;
  if (count == 0) return;
  UsiRecords& d = m_data;
  bool sorted = true;
  for (std::size_t i = begin + 1; i < begin + count && sorted; ++i)
    sorted = !UsiLess(d[i], d[i - 1]);
  if (!sorted) {
    // Records are large: sort their machine X with their places, the other
    // keys and then the order of arrival breaking ties, and move each
    // record once.
    m_keys.resize(count);
    for (std::size_t i = 0; i < count; ++i)
      m_keys[i] = SortKey{OrderOfX(d[begin + i].m_dXMachine), static_cast<std::uint32_t>(i)};
    auto less = [&d, begin](const SortKey& a, const SortKey& b) {
      if (a.x != b.x) return a.x < b.x;
      const UsiRecord& ra = d[begin + a.index];
      const UsiRecord& rb = d[begin + b.index];
      if (UsiLess(ra, rb)) return true;
      if (UsiLess(rb, ra)) return false;
      return a.index < b.index;
    };
    // The bar walk makes the records almost in order (a record arrives
    // before some five it follows in machine order): an insertion sort
    // moves each key only past those few. Keys in another order make it
    // give up after a few moves per key and leave the work to std::sort.
    std::size_t moves = 0;
    const std::size_t budget = 16 * count;
    for (std::size_t i = 1; i < count && moves <= budget; ++i) {
      const SortKey key = m_keys[i];
      std::size_t j = i;
      while (j > 0 && less(key, m_keys[j - 1])) {
        m_keys[j] = m_keys[j - 1];
        --j;
      }
      m_keys[j] = key;
      moves += i - j;
    }
    if (moves > budget) std::sort(m_keys.begin(), m_keys.end(), less);

    m_scratch.clear();
    for (const SortKey& key : m_keys) m_scratch.push_back(d[begin + key.index]);
    for (std::size_t i = 0; i < count; ++i) d[begin + i] = m_scratch[i];
  }
  m_runs.push_back(Run{begin, count});
  m_nSorted = m_data.size();
}

void CUsiList::Collapse(bool all) const {
  while (m_runs.size() >= 2 &&
         (all || m_runs[m_runs.size() - 2].size <= m_runs[m_runs.size() - 1].size))
    MergeLastRuns();
}

void CUsiList::MergeLastRuns() const {
  Run& a = m_runs[m_runs.size() - 2];
  const Run b = m_runs.back();
  m_runs.pop_back();
  a.size += b.size;
  UsiRecords& d = m_data;
  const std::size_t mid = b.begin;
  const std::size_t end = b.begin + b.size;
  if (!UsiLess(d[mid], d[mid - 1])) return;  // already in order
  // Only the records of the first run above the second run's first record
  // and those of the second run below the first run's last record move;
  // equal records keep the first run's ahead.
  const std::size_t lo = UpperBoundFromBack(d, a.begin, mid, d[mid]);
  const std::size_t hi = LowerBoundFromFront(d, mid, end, d[mid - 1]);
  m_scratch.clear();
  for (std::size_t k = lo; k < mid; ++k) m_scratch.push_back(d[k]);
  const std::size_t ns = m_scratch.size();
  std::size_t i = 0, j = mid, out = lo;
  while (i < ns && j < hi) d[out++] = UsiLess(d[j], m_scratch[i]) ? d[j++] : m_scratch[i++];
  while (i < ns) d[out++] = m_scratch[i++];
}

const std::vector<CUsi>& CUsiList::Sorted() const {
  SortAll();
  m_view.assign(m_data.size(), CUsi());
  for (std::size_t i = 0; i < m_data.size(); ++i) {
    const UsiRecord& r = m_data[i];
    CUsi& u = m_view[i];
    r.CopyTo(u);
    if (r.m_nArrival >= m_details.size()) continue;
    const Details& details = m_details[r.m_nArrival];
    u.m_dX = details.x;
    u.m_dY = details.y;
    if (details.names < m_names.size()) {
      std::memcpy(u.m_szComNam, m_names[details.names].com, sizeof u.m_szComNam);
      std::memcpy(u.m_szPceNam, m_names[details.names].pce, sizeof u.m_szPceNam);
    }
  }
  return m_view;
}

UsiRecords CUsiList::TakeSorted() {
  SortAll();
  UsiRecords out = std::move(m_data);
  RemoveAll();
  return out;
}
