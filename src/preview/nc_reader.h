// Reads back an NC program that barpost wrote, for the control of the
// machine section: Siemens 840Di, Fagor or Ocean Clipper. The unit table
// maps axis codes and M functions back to punching units, the wheel's
// characters and the Signoscript macros back to marked characters, and the
// device offsets machine positions back to bar positions. It reads the
// program's text, so a wrong number in it comes out as a wrong operation.
#ifndef BARPOST_PREVIEW_NC_READER_H_
#define BARPOST_PREVIEW_NC_READER_H_

#include <string>
#include <string_view>
#include <vector>

#include "config/options.h"
#include "preview/model.h"

namespace preview {

struct ListedPiece {
  std::string name;
  int qty = 0;
  double length = 0;  // millimetres
};

struct ProgramRead {
  int control = 0;         // option Cnc: 0 Siemens 840Di, 1 Fagor, 2 Ocean Clipper
  bool inch = false;       // the program's numbers are inches
  bool bar = false;        // the header lists the pieces of a bar
  std::vector<ListedPiece> pieces;  // the header's piece list
  std::string shape, material;
  double length = 0;       // "Length" of the header (millimetres)
  double bar_start = 0;    // where X was referenced: minus the squaring cut
  double h1 = 0, h2 = 0;   // Siemens: the section (H1=, H2=)
  bool middle_remnant = false;
  std::vector<Op> ops;     // machine values, units, characters; bar positions filled
  std::vector<ClampMove> clamps;
  std::vector<std::string> notes;  // lines not understood, strokes no macro makes
};

// Reads the program text with the options of its machine. macro_dir holds
// the Signoscript macros ("<INI directory>MACRO_MK/").
ProgramRead ReadProgram(std::string_view text, const OptionValues& options,
                        const std::string& macro_dir);

// The tool of a punching unit as the preview draws it, in the unit its
// sizes are typed in (inch: the program's unit).
void UnitTool(const OptionValues& options, int unit, bool inch, Op* op);

// The Y offset of the off-centre punch that makes holes of a unit's size.
double PunchOffset(const OptionValues& options, int unit, bool inch);

// How far a program's number may lie from the value it was written from:
// half its last digit, times the X gearing for X values.
double Tolerance(const OptionValues& options, bool inch, bool x);

}  // namespace preview

#endif  // BARPOST_PREVIEW_NC_READER_H_
