// The sheets of a preview: from a job (the engine builds the operations
// exactly as for the program), from a program read back, or both, the
// program checked against the job.
#ifndef BARPOST_PREVIEW_SHEETS_H_
#define BARPOST_PREVIEW_SHEETS_H_

#include <functional>
#include <string>
#include <vector>

#include "cam/cam.h"
#include "config/options.h"
#include "engine/usi.h"
#include "preview/model.h"
#include "preview/nc_reader.h"

class CTraitement;
class MacroLibrary;

namespace preview {

// How inspect names a hole no unit can punch: its size and the reason.
struct HoleTexts {
  std::function<std::string(const Cam_Hole&, const CCam&)> size;
  std::function<std::string(const Cam_Hole&, const CCam&)> reason;
};

struct JobPreview {
  bool bar = false;
  bool inch = false;         // the program's unit
  std::vector<Sheet> sheets;  // one per bar (bar mode) or piece record, panel "job"
  std::string program;       // the program text the job makes
  ProgramRead reread;        // that program read back: the clamp moves come from it
  std::vector<std::string> notes;
};

// Runs the engine on a job object made for a program name of the wanted
// mode ("B..." bar mode): the reading pass, the middle remnant, the writing
// pass, then once more record by record to split the operations into
// sheets. Options are never saved. False with *error when the job stops
// (too many operations, a position beyond any bar).
bool PreviewJob(CTraitement& job, const HoleTexts& texts, JobPreview* out, std::string* error);

// One sheet of a program alone: the stock from its header, the pieces from
// its piece list and its cuts.
Sheet ProgramSheet(const ProgramRead& program, const OptionValues& options,
                   const std::string& title);

// Adds a "program" panel to each sheet of a job preview, with the
// program's operations, and marks what differs on both panels. Returns the
// number of differences (lines of the program not understood count too).
int AddProgramPanels(JobPreview& job, ProgramRead& program, const OptionValues& options);

// An operation of the engine as the preview draws and compares it.
Op OpOfUsi(const CUsi& usi, const OptionValues& options, bool inch, MacroLibrary& macros);

// A text that can stand in a file name.
std::string FileNamePart(const std::string& text);

}  // namespace preview

#endif  // BARPOST_PREVIEW_SHEETS_H_
