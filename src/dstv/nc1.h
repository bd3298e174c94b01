// The DSTV NC1 part file ("NC data for steel construction"): one piece per
// file, written by detailing programs. This reader keeps what an angle line
// can use or must refuse: the header, holes, markings, contours, cuts and
// the names of the other blocks. It takes the text, not a file, and names
// the file and line of every message.
#ifndef BARPOST_DSTV_NC1_H_
#define BARPOST_DSTV_NC1_H_

#include <string>
#include <string_view>
#include <vector>

namespace dstv {

// What a message means for the piece.
enum class Severity {
  kError,    // the file cannot be imported
  kNotMade,  // something of the piece that this line does not make
  kNote,     // read, but changed or left out on purpose
};

struct Message {
  std::string file;
  int line = 0;  // 0: the file as a whole
  Severity severity = Severity::kError;
  std::string text;

  // "FILE:LINE: text" ("FILE: text" without a line).
  std::string Format() const;
};

// A number of the file with the letter glued to its end, if any
// ("35.00o": 35 and 'o').
struct Number {
  double value = 0;
  char suffix = 0;
};

// Reads a DSTV number: an optional sign, digits with an optional decimal
// point, and at most one letter behind. Decimal point only. False for
// anything else.
bool ReadNumber(std::string_view text, Number* number);

// The 24 data lines of the ST block.
struct Header {
  std::string order, drawing, phase, piece, grade;
  int quantity = 0;
  std::string profile;       // profile text ("L80*80*8")
  std::string code;          // profile code ("L", "B", "I", "RO", ...)
  double length = 0;         // "length" or "length,saw length": the first
  double saw_length = 0;     // 0 when not given
  double height = 0;         // profile height: the first leg of an angle, a flat's width
  double flange_width = 0;   // the second leg of an angle
  double flange_thickness = 0;
  double web_thickness = 0;
  double radius = 0;
  double weight = 0;         // per metre
  double paint_surface = 0;  // per metre
  double web_start_cut = 0, web_end_cut = 0;        // degrees, 0 for a square end
  double flange_start_cut = 0, flange_end_cut = 0;  // degrees
  std::string texts[4];
  int lines[24] = {};        // file line of each data line
};

// Hole types: the letter behind the diameter or the depth.
enum class HoleType { kPlain, kSlot, kThread, kCountersink, kPunchMark };

struct Hole {
  int line = 0;
  char face = 'v';
  double x = 0, y = 0;
  double diameter = 0;
  double depth = 0;          // 0: through
  HoleType type = HoleType::kPlain;
  double slot_length = 0;    // how much longer than round the slot is
  double slot_width = 0;     // how much wider than the diameter
  double slot_angle = 0;     // degrees from the X axis
};

struct Marking {
  int line = 0;
  char face = 'v';
  double x = 0, y = 0;
  double angle = 0;          // degrees
  double height = 0;         // letter height
  std::string text;
};

struct ContourPoint {
  int line = 0;
  double x = 0, y = 0;
  double radius = 0;         // rounded corner or arc; 0 for a sharp corner
  bool bevel = false;        // weld preparation (angle or blunting given)
};

struct Contour {
  int line = 0;
  bool inner = false;        // IK: a cut-out inside the piece
  char face = 'v';
  std::vector<ContourPoint> points;
};

// An SC line: the numbers of a cut, kept as read.
struct Cut {
  int line = 0;
  char face = 0;             // 0 when the line has no face letter
  std::vector<double> values;
};

// A block this reader does not interpret (KA, KO, PU, TO, UE, ...).
struct OtherBlock {
  int line = 0;
  std::string code;
  int data_lines = 0;
};

struct Part {
  std::string file;
  Header header;
  std::vector<Hole> holes;
  std::vector<Marking> markings;
  std::vector<Contour> contours;
  std::vector<Cut> cuts;
  std::vector<OtherBlock> others;
};

// Reads a DSTV file's text. Messages go to *messages; false when an error
// makes the file unusable (the part then holds what was read before it).
bool ReadPart(std::string_view text, const std::string& file, Part* part,
              std::vector<Message>* messages);

// A text of the file in the job's 8-bit code page (Latin-1): valid UTF-8 is
// converted (characters beyond Latin-1 become '?'), anything else is taken
// as Latin-1 already. Control characters become blanks.
std::string ToLatin1(std::string_view text);

}  // namespace dstv

#endif  // BARPOST_DSTV_NC1_H_
