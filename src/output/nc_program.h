// What the NC program writer needs to know of a job: the head values of the
// program and its machining operations in machine order. The engine decides
// what the machine does; the writer only turns it into the control's text.
#ifndef BARPOST_OUTPUT_NC_PROGRAM_H_
#define BARPOST_OUTPUT_NC_PROGRAM_H_

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cam/cam.h"
#include "config/options.h"
#include "engine/usi.h"

struct NcProgram {
  bool bar = false;            // bar mode
  int inch = 0;                // unit of the program: 0 mm, 1 inch
  std::string profile;         // m_sProfile
  std::string material;        // m_sMaterial
  std::string piece_name;      // m_sPieceName (piece mode)
  double length = 0;           // m_dLength: piece or bar length
  std::vector<Cam_Item> items; // m_aItems: pieces of the bar (bar mode)
  int bon = 0;                 // m_nBon
  int bar_idt = 0;             // m_nBarIdt
  double profile_h = 0;        // m_dProfileH
  double profile_w = 0;        // m_dProfileW
  double bar_sc = 0;           // m_dBarSC
  int middle_remnant = 0;      // m_nMiddleRemnant (0 none, 1 pending)
  double middle_x = 0;         // m_dMiddleX
  double middle_len = 0;       // m_dMiddleLen
  double max_x = 0;            // m_dMaxX
  UsiRecords ops;                  // sorted; the writer alternates the runs itself
  // Length as display text in the program's unit (the reader's ValToText).
  std::function<std::string(double)> val_to_text;
};

// The name recorded under Nomfic: "%04i_%02i" of the bar numbers in bar
// mode, the piece mark without its '-' in piece mode. It becomes a file name
// on the machine, so it is made one (FileNameOnly).
std::string ProgramName(const NcProgram& program);

// Receives the text of a program piece by piece, in order; false when it
// could not take a piece (the writer then stops).
using NcSink = std::function<bool(std::string_view)>;

// The text is handed to a sink in pieces of about this size, so a program
// of any length needs no more memory than this.
inline constexpr std::size_t kNcPieceBytes = std::size_t{1} << 18;

// Writes the whole program text, header to program end, with CR LF line
// ends, into sink in pieces of about kNcPieceBytes. Reads the options it
// needs from `options`; Signoscript macros are read from macro_dir
// ("<INI directory>MACRO_MK/"). Macro files that are no files to read add a
// message each to *problems when given. False when the sink refused a piece.
bool WriteNcText(const NcProgram& program, const OptionValues& options,
                 const std::string& macro_dir, const NcSink& sink,
                 std::vector<std::string>* problems = nullptr);
// The same, the whole text in one string.
std::string WriteNcText(const NcProgram& program, const OptionValues& options,
                        const std::string& macro_dir,
                        std::vector<std::string>* problems = nullptr);

#endif  // BARPOST_OUTPUT_NC_PROGRAM_H_
