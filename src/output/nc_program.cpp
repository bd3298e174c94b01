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
std::size_t RunEnd(const UsiRecords& ops, std::size_t begin) {
  const UsiRecord& first = ops[begin];
  std::size_t end = begin + 1;
  while (end < ops.size() && ops[end].m_dXMachine == first.m_dXMachine &&
         ops[end].m_nFace == first.m_nFace)
    ++end;
  return end;
}

// The block of one operation; false for a kind that has none.
bool WriteOperation(NcControl& control, const UsiRecord& u) {
  control.BeforeOperation(u);
  switch (u.m_cType) {
    case 'C': control.Cut(u); return true;
    case 'D': control.Hole(u); return true;
    case 'M': control.Mark(u); return true;
    default: return false;
  }
}

// Hands the text made so far to the sink once it has grown to a piece.
class Pieces {
 public:
  Pieces(NcText& nc, const NcSink* sink) : nc_(nc), sink_(sink) {}
  // False once the sink has refused a piece.
  bool Pass(bool all = false) {
    if (!sink_ || !ok_ || (!all && nc_.size() < kNcPieceBytes)) return ok_;
    std::string& out = nc_.out();
    ok_ = (*sink_)(out);
    out.clear();
    return ok_;
  }

 private:
  NcText& nc_;
  const NcSink* sink_;
  bool ok_ = true;
};

// Every operation in alternated order, then the program end. Walks the
// sorted list run by run instead of copying and reordering it.
bool WriteOperations(NcControl& control, const UsiRecords& ops, Pieces& pieces) {
  FaceToggles toggles;
  double last_x = 0;
  for (std::size_t begin = 0; begin < ops.size();) {
    const std::size_t end = RunEnd(ops, begin);
    if (toggles.Next(ops[begin].m_nFace)) {
      for (std::size_t i = end; i > begin;)
        if (WriteOperation(control, ops[--i])) last_x = ops[i].m_dXMachine;
    } else {
      for (std::size_t i = begin; i < end; ++i)
        if (WriteOperation(control, ops[i])) last_x = ops[i].m_dXMachine;
    }
    begin = end;
    if (!pieces.Pass()) return false;
  }
  control.End(last_x);
  return true;
}

bool WriteText(const NcProgram& program, const OptionValues& options,
               const std::string& macro_dir, std::string& out, const NcSink* sink,
               std::vector<std::string>* problems) {
  NcText nc(out, options.Ligne != 0, program.inch, ToDouble(options.Off_R99));
  Pieces pieces(nc, sink);
  MacroLibrary macros(macro_dir);
  std::unique_ptr<NcControl> control = MakeNcControl(NcContext{nc, program, options, macros});
  std::vector<PieceListRow> rows;
  if (program.bar) rows = BarPieceList(program, options.Motrice);
  WriteHeader(*control, program, rows, options);
  control->Preamble();
  bool ok = WriteOperations(*control, program.ops, pieces) && pieces.Pass(true);
  nc.out();  // everything in out for the caller without a sink
  if (problems) *problems = macros.Problems();
  return ok;
}

}  // namespace

std::string ProgramName(const NcProgram& program) {
  if (program.bar) return Format("%04i_%02i", program.bon, program.bar_idt);
  std::string name = program.piece_name;
  std::erase(name, '-');
  return FileNameOnly(name);
}

bool WriteNcText(const NcProgram& program, const OptionValues& options,
                 const std::string& macro_dir, const NcSink& sink,
                 std::vector<std::string>* problems) {
  std::string out;
  // A run ends a little past a piece; clamp moves and macros may add more.
  out.reserve(kNcPieceBytes + kNcPieceBytes / 4);
  return WriteText(program, options, macro_dir, out, &sink, problems);
}

std::string WriteNcText(const NcProgram& program, const OptionValues& options,
                        const std::string& macro_dir, std::vector<std::string>* problems) {
  std::string out;
  // A block takes two lines of some 10 to 20 characters; clamp moves and
  // macros come on top and are left to the string's growth.
  out.reserve(4096 + program.ops.size() * 40);
  WriteText(program, options, macro_dir, out, nullptr, problems);
  return out;
}
