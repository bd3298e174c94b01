// One machining operation: a cut, a punched hole or a marked character.
#ifndef BARPOST_ENGINE_USI_H_
#define BARPOST_ENGINE_USI_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <new>
#include <string>
#include <type_traits>
#include <vector>

#include "base/array.h"

class CUsi {
 public:
  CUsi() = default;
  CUsi(const CUsi&) = default;
  CUsi& operator=(const CUsi&) = default;
  virtual ~CUsi() = default;

  signed char m_cType = 0;  // 'C' cut, 'D' punched hole, 'M' marked character
  int m_nFace = 0;
  int m_nCode = 0;          // M function of the unit, marking code or cut function
  int m_nUnit = 0;          // 'D': punching unit index, from 0
  double m_dX = 0;
  double m_dY = 0;
  double m_dXMachine = 0;
  double m_dYMachine = 0;
  double m_dZMachine = 0;   // never set; part of the order all the same
  char m_cChar = 0;         // 'M': the character
  double m_dValue = 0;      // 'D': diameter; 'M': wheel angle
  int m_bRemnant = 0;       // shifted for the middle remnant
  char m_szUnit[3] = {};    // 'D': Y axis code of the unit
  char m_szComNam[32] = {};
  char m_szPceNam[32] = {};

  // Copies text into one of the fixed fields, cut to fit.
  template <std::size_t N>
  static void SetText(char (&field)[N], const std::string& text) {
    std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
  }
};

// An operation as the job's list keeps it and the NC writer reads it: the
// fields of a CUsi the machine works with, in 56 bytes instead of 152. A
// program of a day's work holds millions of them. The list keeps X, Y and
// the piece names apart, by m_nArrival, and only when they are asked for.
// Built from a CUsi, so a writer's caller may hand over CUsi records as
// they are.
struct UsiRecord {
  UsiRecord() = default;
  // Implicit on purpose: the writer's callers and tests pass CUsi records.
  UsiRecord(const CUsi& u)
      : m_dXMachine(u.m_dXMachine),
        m_dYMachine(u.m_dYMachine),
        m_dZMachine(u.m_dZMachine),
        m_dValue(u.m_dValue),
        m_nFace(u.m_nFace),
        m_nCode(u.m_nCode),
        m_nUnit(u.m_nUnit),
        m_bRemnant(u.m_bRemnant),
        m_cType(u.m_cType),
        m_cChar(u.m_cChar),
        m_szUnit{u.m_szUnit[0], u.m_szUnit[0] ? u.m_szUnit[1] : '\0'} {}

  // The record as a CUsi, without X, Y and piece names.
  void CopyTo(CUsi& u) const {
    u.m_cType = m_cType;
    u.m_nFace = m_nFace;
    u.m_nCode = m_nCode;
    u.m_nUnit = m_nUnit;
    u.m_dXMachine = m_dXMachine;
    u.m_dYMachine = m_dYMachine;
    u.m_dZMachine = m_dZMachine;
    u.m_cChar = m_cChar;
    u.m_dValue = m_dValue;
    u.m_bRemnant = m_bRemnant;
    u.m_szUnit[0] = m_szUnit[0];
    u.m_szUnit[1] = m_szUnit[1];
    u.m_szUnit[2] = '\0';
  }

  double m_dXMachine = 0;
  double m_dYMachine = 0;
  double m_dZMachine = 0;
  double m_dValue = 0;
  int m_nFace = 0;
  int m_nCode = 0;
  int m_nUnit = 0;
  int m_bRemnant = 0;
  std::uint32_t m_nArrival = 0;  // the how-manieth record of its list, from 0
  signed char m_cType = 0;
  char m_cChar = 0;
  char m_szUnit[2] = {};  // the unit's Y axis code, not terminated when 2 long
};

static_assert(std::is_trivially_copyable_v<UsiRecord> &&
              std::is_trivially_destructible_v<UsiRecord>);

// Values in chunks of about a megabyte: appending never moves one, so a
// list of millions grows without copying itself and without touching memory
// twice. Values are reached by index.
template <typename T>
class ChunkedArray {
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

 public:
  ChunkedArray() = default;
  ChunkedArray(std::initializer_list<T> values) {
    for (const T& v : values) push_back(v);
  }
  ChunkedArray(ChunkedArray&&) noexcept = default;
  ChunkedArray& operator=(ChunkedArray&&) noexcept = default;
  ChunkedArray(const ChunkedArray&) = delete;
  ChunkedArray& operator=(const ChunkedArray&) = delete;

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T& operator[](std::size_t i) { return chunks_[i >> kChunkBits].get()[i & kChunkMask]; }
  const T& operator[](std::size_t i) const { return chunks_[i >> kChunkBits].get()[i & kChunkMask]; }
  void push_back(const T& value) {
    if ((size_ & kChunkMask) == 0 && (size_ >> kChunkBits) == chunks_.size()) {
      // Raw storage: a page is touched only once a value is put there.
      chunks_.emplace_back(static_cast<T*>(::operator new(kChunk * sizeof(T))));
    }
    new (&(*this)[size_]) T(value);
    ++size_;
  }
  // Empties the array and gives its memory back.
  void clear() {
    chunks_ = decltype(chunks_)();
    size_ = 0;
  }

 private:
  static constexpr unsigned kChunkBits = 14;
  static constexpr std::size_t kChunk = std::size_t{1} << kChunkBits;
  static constexpr std::size_t kChunkMask = kChunk - 1;
  // Values need no destructor: a chunk is only given back.
  struct Release {
    void operator()(T* chunk) const { ::operator delete(chunk); }
  };
  std::vector<std::unique_ptr<T, Release>> chunks_;
  std::size_t size_ = 0;
};

using UsiRecords = ChunkedArray<UsiRecord>;

// The machine's working order: machine X, face, kind, machine Y, machine Z.
template <typename A, typename B>
inline bool UsiLess(const A& a, const B& b) {
  if (a.m_dXMachine != b.m_dXMachine) return a.m_dXMachine < b.m_dXMachine;
  if (a.m_nFace != b.m_nFace) return a.m_nFace < b.m_nFace;
  if (a.m_cType != b.m_cType) return a.m_cType < b.m_cType;
  if (a.m_dYMachine != b.m_dYMachine) return a.m_dYMachine < b.m_dYMachine;
  return a.m_dZMachine < b.m_dZMachine;
}
template <typename A, typename B>
inline bool UsiEqual(const A& a, const B& b) {
  return a.m_dXMachine == b.m_dXMachine && a.m_nFace == b.m_nFace && a.m_cType == b.m_cType &&
         a.m_dYMachine == b.m_dYMachine && a.m_dZMachine == b.m_dZMachine;
}
inline bool SortLess(const CUsi& a, const CUsi& b) { return UsiLess(a, b); }
inline bool SortEqual(const CUsi& a, const CUsi& b) { return UsiEqual(a, b); }
inline bool SortLess(const UsiRecord& a, const UsiRecord& b) { return UsiLess(a, b); }
inline bool SortEqual(const UsiRecord& a, const UsiRecord& b) { return UsiEqual(a, b); }

#endif  // BARPOST_ENGINE_USI_H_
