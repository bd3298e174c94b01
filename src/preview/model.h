// What a preview draws: for each bar (or piece) its faces unfolded around
// the heel, the operations on them, the pieces, cuts, clamp moves, the
// middle remnant and the holes no unit can punch. A sheet may carry two
// panels, the job's and the program's, when one is checked against the
// other.
#ifndef BARPOST_PREVIEW_MODEL_H_
#define BARPOST_PREVIEW_MODEL_H_

#include <string>
#include <vector>

namespace preview {

// One machining operation, in bar position and as the program carries it.
struct Op {
  char kind = 0;          // 'D' punched hole, 'M' marked character, 'C' cut
  int level = 0;          // face: 0 FL, 1 NL; a cut crosses both
  double x = 0, y = 0;    // along the bar (from the bar start) and across the face from the heel
  double xm = 0, ym = 0;  // machine X and Y (millimetres)
  bool has_y = true;      // the program carries the machine Y (a wheel mark on G-code does not)
  int unit = -1;          // 'D': punching unit, from 0
  std::string axis;       // 'D': the unit's Y axis code, its name in the program
  int code = 0;           // M function (holes, cuts, G-code marks)
  char ch = 0;            // 'M': the character
  std::string glyph;      // 'M': what the program tells apart (the macro name on a Signoscript)
  bool written = true;    // 'M': the program carries it (a Signoscript character without a macro is not written)
  double tool_w = 0;      // 'D': the unit's tool: diameter, or slot width...
  double tool_l = 0;      // ...slot length (0 for a round tool)
  double tool_angle = 0;  // ...and slot angle
  bool remnant = false;   // worked from the middle remnant's side
  std::string piece;
  int line = 0;           // program line (read from a program)
  bool differs = false;   // no operation of the other panel matches it
};

struct Unpunched {
  std::string piece;
  double x = 0, y = 0;
  int level = 0;
  double diameter = 0;
  std::string size;    // "22", "22X60-0"
  std::string reason;  // as barpost inspect gives it
};

struct ClampMove {
  int clamp = 0;       // from 0
  bool close = false;
  double xm = 0;       // the feed position of the move
  double x = 0;        // bar position where it is drawn: the operation it comes before
  int line = 0;
  bool differs = false;
};

struct PieceSpan {
  std::string name;
  double start = 0, length = 0;
};

struct Panel {
  std::string label;  // "job" or "program"
  std::vector<Op> ops;
  std::vector<Unpunched> unpunched;
  std::vector<ClampMove> clamps;
  std::vector<PieceSpan> pieces;
  std::vector<std::string> notes;
};

struct Sheet {
  std::string title;     // "Bar 7/1  L100X100X10  S355  9000 mm"
  std::string name;      // file name part: "bar-7-1", "piece-A-101"
  double start = 0;      // the stock drawn, in bar positions
  double length = 0;
  double width[2] = {100, 100};  // FL and NL faces
  double remnant_start = 0, remnant_length = 0;  // the middle remnant, if any
  double char_height = 10;       // marked characters (option Mark_HtCar)
  std::vector<Panel> panels;
};

}  // namespace preview

#endif  // BARPOST_PREVIEW_MODEL_H_
