#include "output/nc_program.h"

#include <algorithm>
#include <map>

#include "base/text.h"
#include "output/marking_macro.h"
#include "output/nc_control.h"
#include "output/nc_header.h"
#include "output/nc_text.h"

namespace {

// Whether the next run of operations on a face is to be taken in reverse.
// Every face starts at "reverse" and flips with each of its runs. The faces
// of a profile are 0 to 3; any other value gets a toggle of its own.
class FaceToggles {
 public:
  bool Next(int face) {
    bool& reverse =
        face >= 0 && face < 4 ? small_[face] : other_.try_emplace(face, true).first->second;
    const bool result = reverse;
    reverse = !reverse;
    return result;
  }

 private:
  bool small_[4] = {true, true, true, true};
  std::map<int, bool> other_;
};

// End of the run of operations with the same machine X and face that
// starts at begin.
template <typename It>
It RunEnd(It begin, It end) {
  return std::find_if(begin, end, [&](const CUsi& u) {
    return u.m_dXMachine != begin->m_dXMachine || u.m_nFace != begin->m_nFace;
  });
}

// The block of one operation; false for a kind that has none.
bool WriteOperation(NcControl& control, const CUsi& u) {
  control.BeforeOperation(u);
  switch (u.m_cType) {
    case 'C': control.Cut(u); return true;
    case 'D': control.Hole(u); return true;
    case 'M': control.Mark(u); return true;
    default: return false;
  }
}

// Every operation in alternated order, then the program end. Walks the
// sorted list run by run instead of copying and reordering it.
void WriteOperations(NcControl& control, const std::vector<CUsi>& ops) {
  FaceToggles toggles;
  double last_x = 0;
  for (auto begin = ops.begin(); begin != ops.end();) {
    const auto end = RunEnd(begin, ops.end());
    if (toggles.Next(begin->m_nFace)) {
      for (auto it = end; it != begin;) {
        --it;
        if (WriteOperation(control, *it)) last_x = it->m_dXMachine;
      }
    } else {
      for (auto it = begin; it != end; ++it)
        if (WriteOperation(control, *it)) last_x = it->m_dXMachine;
    }
    begin = end;
  }
  control.End(last_x);
}

}  // namespace

std::string ProgramName(const NcProgram& program) {
  if (program.bar) return Format("%04i_%02i", program.bon, program.bar_idt);
  std::string name = program.piece_name;
  std::erase(name, '-');
  return FileNameOnly(name);
}

void AlternateRuns(std::vector<CUsi>& ops) {
  FaceToggles toggles;
  for (auto begin = ops.begin(); begin != ops.end();) {
    const auto end = RunEnd(begin, ops.end());
    if (toggles.Next(begin->m_nFace)) std::reverse(begin, end);
    begin = end;
  }
}

std::string WriteNcText(const NcProgram& program, const OptionValues& options,
                        const std::string& macro_dir, std::vector<std::string>* problems) {
  std::string out;
  // A block takes two lines of some 10 to 20 characters; clamp moves and
  // macros come on top and are left to the string's growth.
  out.reserve(4096 + program.ops.size() * 40);
  NcText nc(out, options.Ligne != 0, program.inch, ToDouble(options.Off_R99));
  MacroLibrary macros(macro_dir);
  std::unique_ptr<NcControl> control = MakeNcControl(NcContext{nc, program, options, macros});
  std::vector<PieceListRow> pieces;
  if (program.bar) pieces = BarPieceList(program, options.Motrice);
  WriteHeader(*control, program, pieces, options);
  control->Preamble();
  WriteOperations(*control, program.ops);
  if (problems) *problems = macros.Problems();
  return out;
}
