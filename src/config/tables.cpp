#include "config/tables.h"

#include <array>
#include <cstddef>

#include "base/text.h"

namespace {

// The first N comma-separated fields of value; the ones it lacks are empty.
template <std::size_t N>
std::array<std::string_view, N> SplitFields(std::string_view value) {
  std::array<std::string_view, N> fields{};
  for (std::size_t i = 0; i < N; ++i) {
    std::size_t comma = value.find(',');
    fields[i] = value.substr(0, comma);
    if (comma == std::string_view::npos) break;
    value.remove_prefix(comma + 1);
  }
  return fields;
}

}  // namespace

bool ToolFromSizes(double diameter, double length, double width, CMagasin* tool) {
  char kind;
  if (length == 0 || length == diameter) {
    kind = 0;
    length = diameter;
  } else if (length > 0 && width > 0) {
    kind = 3;
    diameter = 0;
  } else {
    kind = 4;
  }
  if (tool) *tool = CMagasin(kind, diameter, length, width);
  return diameter > 0 || length > 0 || width > 0;
}

rec_uni ParseUnitRow(std::string_view value) {
  auto f = SplitFields<5>(value);
  rec_uni unit;
  unit.level = f[0];
  unit.axis = f[1];
  unit.mfunc = f[2];
  unit.spare = f[3];
  unit.diameter = f[4];
  return unit;
}

int ServedLevel(const rec_uni& unit) { return ToInt(unit.level) - 1; }

std::string FormatUnitRow(const rec_uni& unit) {
  return Format("%s,%s,%s,%s,%s", unit.level.c_str(), unit.axis.c_str(), unit.mfunc.c_str(),
                unit.spare.c_str(), unit.diameter.c_str());
}

bool ParsePunchRow(std::string_view value, CPoincon* punch) {
  auto f = SplitFields<3>(value);
  CPoincon row(ToDouble(f[0]), ToDouble(f[1]), ToDouble(f[2]));
  if (punch) *punch = row;
  return row.m_dDiameter > 0 && row.m_dTool > 0;
}

std::string FormatPunchRow(const CPoincon& punch) {
  return FixedText(punch.m_dDiameter, 3) + ',' + FixedText(punch.m_dTool, 3) + ',' +
         FixedText(punch.m_dOffset, 3) + ',';
}

bool ParseToolRow(std::string_view value, CMagasin* tool) {
  auto f = SplitFields<4>(value);
  // The kind keeps the low eight bits of the number, as a char does.
  CMagasin row(static_cast<char>(ToInt(f[0]) & 0xFF), ToDouble(f[1]), ToDouble(f[2]),
               ToDouble(f[3]));
  // Whether the row is kept is decided on the sizes as read, before a round
  // tool takes its diameter as its length ("0,0,5,0" is kept, with length 0).
  bool kept = row.m_dDiameter > 0 || row.m_dLength > 0 || row.m_dWidth > 0;
  if (row.m_cKind == 0) row.m_dLength = row.m_dDiameter;
  if (tool) *tool = row;
  return kept;
}

std::string FormatToolRow(const CMagasin& tool) {
  return IntText(static_cast<signed char>(tool.m_cKind)) + ',' + FixedText(tool.m_dDiameter, 2) +
         ',' + FixedText(tool.m_dLength, 2) + ',' + FixedText(tool.m_dWidth, 2);
}
