// One machining operation: a cut, a punched hole or a marked character.
#ifndef BARPOST_ENGINE_USI_H_
#define BARPOST_ENGINE_USI_H_

#include <cstring>
#include <string>

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

// The machine's working order: machine X, face, kind, machine Y, machine Z.
inline bool SortLess(const CUsi& a, const CUsi& b) {
  if (a.m_dXMachine != b.m_dXMachine) return a.m_dXMachine < b.m_dXMachine;
  if (a.m_nFace != b.m_nFace) return a.m_nFace < b.m_nFace;
  if (a.m_cType != b.m_cType) return a.m_cType < b.m_cType;
  if (a.m_dYMachine != b.m_dYMachine) return a.m_dYMachine < b.m_dYMachine;
  return a.m_dZMachine < b.m_dZMachine;
}
inline bool SortEqual(const CUsi& a, const CUsi& b) {
  return a.m_dXMachine == b.m_dXMachine && a.m_nFace == b.m_nFace && a.m_cType == b.m_cType &&
         a.m_dYMachine == b.m_dYMachine && a.m_dZMachine == b.m_dZMachine;
}

#endif  // BARPOST_ENGINE_USI_H_
