// The rows of the machine's tables: punching units, off-centre punches and
// the tools of the magazine.
#ifndef BARPOST_CONFIG_TABLES_H_
#define BARPOST_CONFIG_TABLES_H_

#include <string>
#include <string_view>

#include "base/array.h"

// One punching unit, the five comma-separated fields of a "Unite%i" row.
struct rec_uni {
  std::string level;     // "1" or "2"; empty: the row is not used
  std::string axis;      // Y axis code, the unit's name in the program
  std::string mfunc;     // M function, the NC code of its holes
  std::string spare;     // kept and written back unchanged
  std::string diameter;  // size: "22", or for a slot "22X60-45"
};

// One off-centre punch: a hole of m_dDiameter is punched with a tool of
// m_dTool at the Y offset m_dOffset.
class CPoincon {
 public:
  CPoincon() = default;
  CPoincon(double diameter, double tool, double offset)
      : m_dDiameter(diameter), m_dTool(tool), m_dOffset(offset) {}
  virtual ~CPoincon() = default;
  CPoincon(const CPoincon&) = default;
  CPoincon& operator=(const CPoincon&) = default;

  double m_dDiameter = 0;
  double m_dTool = 0;
  double m_dOffset = 0;
};
// The punch table is ordered by tool diameter.
inline bool SortLess(const CPoincon& a, const CPoincon& b) { return a.m_dTool < b.m_dTool; }
inline bool SortEqual(const CPoincon& a, const CPoincon& b) { return a.m_dTool == b.m_dTool; }

// One tool of the magazine.
class CMagasin {
 public:
  CMagasin() = default;
  CMagasin(char kind, double diameter, double length, double width)
      : m_cKind(kind), m_dDiameter(diameter), m_dLength(length), m_dWidth(width) {}
  virtual ~CMagasin() = default;
  CMagasin(const CMagasin&) = default;
  CMagasin& operator=(const CMagasin&) = default;

  char m_cKind = 0;        // 0 round, 3 rectangular, 4 oblong (1 and 2 kept)
  double m_dDiameter = 0;  // width across a slot; 0 for a rectangular tool
  double m_dLength = 0;    // extent along a slot; the diameter for a round tool
  double m_dWidth = 0;     // rectangular tools only
};

// Builds a magazine row from the sizes a user typed (0 for an empty cell):
// no length, or a length equal to the diameter, is a round tool; a length
// and a width a rectangular one; otherwise an oblong one. Returns false when
// the row is to be dropped (no size above 0).
bool ToolFromSizes(double diameter, double length, double width, CMagasin* tool);

// The text form of the rows in the machine section. A value is split at
// every comma into positional fields; a missing field is empty (or 0), and
// fields past the ones a row has are ignored.

// "Unite%i": level,axis,mfunc,spare,diameter.
rec_uni ParseUnitRow(std::string_view value);
// The hole level a punching unit serves: its level read as a number, minus 1
// (level "1" serves holes of level 0, "2" those of level 1). "Setup machine"
// and the punch assignment both judge by it.
int ServedLevel(const rec_uni& unit);
std::string FormatUnitRow(const rec_uni& unit);  // "%s,%s,%s,%s,%s"

// "Poincon%i": diameter,tool,offset. Fills *punch and returns true when the
// row is valid (diameter and tool above 0); an invalid row is dropped.
bool ParsePunchRow(std::string_view value, CPoincon* punch);
std::string FormatPunchRow(const CPoincon& punch);  // "18.000,10.000,3.000,"

// "Outil%i": kind,diameter,length,width. The kind is the low eight bits of
// the integer; a round tool (kind 0) takes its diameter as its length. Fills
// *tool and returns true when the row is kept (a size above 0).
bool ParseToolRow(std::string_view value, CMagasin* tool);
std::string FormatToolRow(const CMagasin& tool);  // "4,12.00,40.00,0.00"

#endif  // BARPOST_CONFIG_TABLES_H_
