// Signoscript character macros: one file per character in the macro folder,
// made of "LEAD:" lines (move to the start of a stroke) and "CUT:" lines
// (scribe to a point), both with two percentages of the character width.
#ifndef BARPOST_OUTPUT_MARKING_MACRO_H_
#define BARPOST_OUTPUT_MARKING_MACRO_H_

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "output/nc_text.h"

// The file name (without ".MAC") of the macro that draws c: the character
// itself for 0-9 and A-Z, a word for a few signs, "USCORE" for the rest
// (lower-case letters included).
std::string MacroName(char c);

// One line of a macro that takes part in the drawing.
struct MacroStep {
  bool lead = false;  // "LEAD:" (else "CUT:")
  double x = 0;       // columns 9-13: X in percent of the character width
  double w = 0;       // column 17 to the end: W in percent of the width
};

// The lines of a macro file as the marking program has always read them:
// CR LF counts as one line end; a line is read in pieces of at most 99
// characters; the line end is dropped, and a last line without one keeps all
// its characters.
std::vector<std::string_view> MacroLines(std::string_view text, std::string& storage);

// The LEAD and CUT lines of a macro file, in file order; other lines are
// skipped. A field that is missing or holds no number reads as 0.
std::vector<MacroStep> ParseMacro(std::string_view text);

// Writes the strokes of one character whose start point is (x0, y0).
// char_width: Mark_LgCar; speed: the scribing feed Mark_Speed.
void WriteMacro(NcText& nc, const std::vector<MacroStep>& steps, double x0, double y0,
                int char_width, double speed);

// The macros of one program, each file read once however often its
// character is marked.
class MacroLibrary {
 public:
  explicit MacroLibrary(std::string dir) : dir_(std::move(dir)) {}
  // The largest macro file read; a character takes a few hundred bytes.
  static constexpr std::size_t kMaxMacroBytes = std::size_t{1} << 20;

  // The steps of c's macro; nullptr when its file cannot be read.
  const std::vector<MacroStep>* Find(char c);
  // One message per macro that is no file to read (a FIFO, a folder, beyond
  // the size limit).
  const std::vector<std::string>& Problems() const { return problems_; }

 private:
  struct Entry {
    bool found = false;
    std::vector<MacroStep> steps;
  };
  std::string dir_;
  std::array<std::unique_ptr<Entry>, 256> by_char_;
  std::vector<std::string> problems_;
};

#endif  // BARPOST_OUTPUT_MARKING_MACRO_H_
