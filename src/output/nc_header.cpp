#include "output/nc_header.h"

#include <algorithm>

#include "base/text.h"

namespace {

// A length as the header shows it, in the program's unit.
std::string LengthText(const NcProgram& program, double length) {
  if (program.val_to_text) return program.val_to_text(length);
  return FormatNumber(length, false, program.inch, 0);
}

// The tooling table: the listed unit rows, first half under FL (first
// level), second half under NL, one pair per line. An odd last row is not
// listed.
void WriteTooling(NcControl& control, const OptionValues& options) {
  const std::vector<const rec_uni*> rows = ListedUnitRows(options);
  const std::size_t half = rows.size() / 2;
  for (std::size_t i = 0; i < half; ++i) {
    control.Comment(Format("#%i  %-15s  %-15s", static_cast<int>(i + 1),
                           rows[i]->diameter.c_str(), rows[half + i]->diameter.c_str()));
  }
}

}  // namespace

std::vector<PieceListRow> BarPieceList(const NcProgram& program, int motrice) {
  std::vector<PieceListRow> rows;
  rows.reserve(program.items.size());
  for (const Cam_Item& item : program.items)
    rows.push_back(PieceListRow{item.m_sPceNam, item.m_nQty, item.m_dLength});
  if (motrice != 1 && motrice != 4) std::reverse(rows.begin(), rows.end());
  return rows;
}

void WriteHeader(NcControl& control, const NcProgram& program,
                 const std::vector<PieceListRow>& pieces, const OptionValues& options) {
  control.FirstLine();
  control.Comment("Piece mark");
  control.Comment("NO.  Mark         Qty Length");
  if (program.bar) {
    int k = 0;
    for (const PieceListRow& row : pieces) {
      control.Comment(Format("#%i   %-15.15s%-4i%s", ++k, row.name.c_str(), row.qty,
                             LengthText(program, row.length).c_str()));
    }
  } else {
    control.Comment(Format("#%i=   %-15.15s%-4i%s", 1, program.piece_name.c_str(), 1,
                           LengthText(program, program.length).c_str()));
  }
  control.Comment("Shape    " + program.profile);
  control.Comment("Material " + program.material);
  control.Comment("Length   " + LengthText(program, program.length));
  if (control.WritesBarEnds()) {
    control.Comment("Lead End   0");
    control.Comment("Trail End  0");
  }
  control.Comment("Tooling");
  control.Comment("    FL               NL");
  WriteTooling(control, options);
}
