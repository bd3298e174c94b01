// Growable arrays with value semantics, in the shape the rest of the module
// expects: CArray is a thin std::vector, CSortedArray keeps its elements in
// order with a binary search and puts a new element behind the equal ones.
#ifndef BARPOST_BASE_ARRAY_H_
#define BARPOST_BASE_ARRAY_H_

#include <cstddef>
#include <stdexcept>
#include <utility>
#include <vector>

template <typename T>
class CArray {
 public:
  CArray() = default;
  CArray(const CArray&) = default;
  CArray(CArray&&) noexcept = default;
  CArray& operator=(const CArray&) = default;
  CArray& operator=(CArray&&) noexcept = default;
  virtual ~CArray() = default;

  int GetSize() const { return static_cast<int>(m_data.size()); }
  int GetCount() const { return GetSize(); }
  bool IsEmpty() const { return m_data.empty(); }

  T& operator[](int i) { return m_data[static_cast<std::size_t>(i)]; }
  const T& operator[](int i) const { return m_data[static_cast<std::size_t>(i)]; }
  T& ElementAt(int i) { return m_data.at(static_cast<std::size_t>(i)); }
  const T& GetAt(int i) const { return m_data.at(static_cast<std::size_t>(i)); }
  void SetAt(int i, const T& v) { m_data.at(static_cast<std::size_t>(i)) = v; }

  // Appends at the end and returns the new element's index.
  int Add(const T& v) {
    m_data.push_back(v);
    return GetSize() - 1;
  }
  void InsertAt(int i, const T& v) {
    if (i < 0 || i > GetSize()) throw std::out_of_range("CArray::InsertAt");
    m_data.insert(m_data.begin() + i, v);
  }
  void RemoveAt(int i) {
    if (i < 0 || i >= GetSize()) throw std::out_of_range("CArray::RemoveAt");
    m_data.erase(m_data.begin() + i);
  }
  // Destroys every element and releases the storage.
  void RemoveAll() { std::vector<T>().swap(m_data); }
  void Reserve(int n) { m_data.reserve(static_cast<std::size_t>(n)); }

  auto begin() { return m_data.begin(); }
  auto end() { return m_data.end(); }
  auto begin() const { return m_data.begin(); }
  auto end() const { return m_data.end(); }

  std::vector<T>& Data() { return m_data; }
  const std::vector<T>& Data() const { return m_data; }

 protected:
  std::vector<T> m_data;
};

// The order of a CSortedArray<T> comes from two free functions found by
// argument-dependent lookup, SortLess(a, b) and SortEqual(a, b), declared
// beside each element type.
template <typename T>
class CSortedArray : public CArray<T> {
 public:
  virtual bool IsEqual(T a, T b) const { return SortEqual(a, b); }
  virtual bool IsLess(const T& a, const T& b) const { return SortLess(a, b); }

  // On a non-empty array: true when an element equal to x exists, with pos
  // just behind the run of equal elements; false otherwise, with pos where x
  // keeps the order.
  bool Find(const T& x, int& pos) const {
    if (this->m_data.empty()) throw std::invalid_argument("CSortedArray::Find on an empty array");
    int lo = 0;
    int hi = this->GetSize() - 1;
    while (lo < hi) {
      int mid = lo + (hi - lo) / 2;
      if (IsLess((*this)[mid], x))
        lo = mid + 1;
      else
        hi = mid;
    }
    if (!IsEqual((*this)[lo], x)) {
      pos = IsLess((*this)[lo], x) ? lo + 1 : lo;
      return false;
    }
    while (lo < this->GetSize() && IsEqual((*this)[lo], x)) ++lo;
    pos = lo;
    return true;
  }

  // Inserts x behind every element equal to it and returns its index.
  int Add(const T& x) {
    int pos = 0;
    if (!this->m_data.empty()) Find(x, pos);
    this->m_data.insert(this->m_data.begin() + pos, x);
    return pos;
  }
  // Appends without looking at the order; for callers that sort afterwards.
  int Append(const T& x) { return CArray<T>::Add(x); }
};

#endif  // BARPOST_BASE_ARRAY_H_
