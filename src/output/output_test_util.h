// Helpers shared by the output tests.
#ifndef BARPOST_OUTPUT_OUTPUT_TEST_UTIL_H_
#define BARPOST_OUTPUT_OUTPUT_TEST_UTIL_H_

#include <string>

#include "engine/usi.h"

// The text with every CR LF turned into "\n", so expected programs read
// easily; a "\n" without its CR is left as "<LF>" to show up in a diff.
inline std::string Lf(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i] == '\n' && (i == 0 || text[i - 1] != '\r') ? std::string("<LF>")
                                                              : std::string(1, text[i]);
  }
  return out;
}

// An operation of type 'C' (cut) or 'D' (hole) at machine X, Y.
inline CUsi Op(char type, double x, double y = 0, int face = 1, int code = 11,
               const char* axis = "Y1") {
  CUsi u;
  u.m_cType = type;
  u.m_nFace = face;
  u.m_nCode = code;
  u.m_dX = u.m_dXMachine = x;
  u.m_dY = u.m_dYMachine = y;
  CUsi::SetText(u.m_szUnit, axis);
  return u;
}

#endif  // BARPOST_OUTPUT_OUTPUT_TEST_UTIL_H_
