// The comment block at the head of an NC program: piece list, shape,
// material, length and the tooling table of the punching units.
#ifndef BARPOST_OUTPUT_NC_HEADER_H_
#define BARPOST_OUTPUT_NC_HEADER_H_

#include <string>
#include <vector>

#include "config/options.h"
#include "output/nc_control.h"
#include "output/nc_program.h"

// One line of the piece list of a bar program.
struct PieceListRow {
  std::string name;
  int qty = 0;
  double length = 0;
};

// The pieces of a bar in the order the header lists them: as nested for the
// driving quadrants 1 and 4 (Motrice), from the other bar end otherwise.
std::vector<PieceListRow> BarPieceList(const NcProgram& program, int motrice);

// Writes the first line and the comment block. pieces: the bar's piece list
// (bar mode only; piece mode lists the piece itself).
void WriteHeader(NcControl& control, const NcProgram& program,
                 const std::vector<PieceListRow>& pieces, const OptionValues& options);

#endif  // BARPOST_OUTPUT_NC_HEADER_H_
