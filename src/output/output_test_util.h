// Helpers shared by the output tests.
#ifndef BARPOST_OUTPUT_OUTPUT_TEST_UTIL_H_
#define BARPOST_OUTPUT_OUTPUT_TEST_UTIL_H_

#include <string>

#include "engine/usi.h"

// The text with every CR LF turned into "\n", so expected programs read
// easily; a "\n" without its CR is left as "<LF>" to show up in a diff.
inline std::string Lf(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
      out += "<LF>";
      continue;
    }
    out.push_back(text[i]);
  }
  return out;
}

inline CUsi Cut(double x, int code = 5) {
  CUsi u;
  u.m_cType = 'C';
  u.m_nFace = 1;
  u.m_nCode = code;
  u.m_dX = u.m_dXMachine = x;
  return u;
}

inline CUsi Hole(double x, double y, int unit, const char* axis, int code, int face = 1) {
  CUsi u;
  u.m_cType = 'D';
  u.m_nFace = face;
  u.m_nUnit = unit;
  u.m_nCode = code;
  u.m_dX = u.m_dXMachine = x;
  u.m_dY = u.m_dYMachine = y;
  CUsi::SetText(u.m_szUnit, axis);
  return u;
}

inline CUsi Mark(double x, double y, char c, double angle = 0, int code = 20) {
  CUsi u;
  u.m_cType = 'M';
  u.m_nFace = 1;
  u.m_nCode = code;
  u.m_dX = u.m_dXMachine = x;
  u.m_dY = u.m_dYMachine = y;
  u.m_cChar = c;
  u.m_dValue = angle;
  return u;
}

#endif  // BARPOST_OUTPUT_OUTPUT_TEST_UTIL_H_
