#include "preview/sheets.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

#include "base/platform.h"
#include "base/text.h"
#include "cam/length_text.h"
#include "engine/traitement.h"
#include "output/marking_macro.h"
#include "output/nc_program.h"
#include "preview/compare.h"

namespace preview {
namespace {

std::string Mm(double v) { return cam::ExactText(std::round(v * 100) / 100); }

std::string MacroDir() {
  return platform::JoinPath(platform::JoinPath(g_sIniDir, "MACRO_MK"), "");
}

// The program text the job makes: the program writer's view of the job, as
// the job driver hands it over when it writes the file.
std::string ProgramText(CTraitement& job, const std::vector<CUsi>& ops) {
  job.m_cam.m_cInch = static_cast<char>(job.m_nInch);
  NcProgram program;
  program.bar = job.m_bBar;
  program.inch = job.m_nInch;
  program.profile = job.m_sProfile;
  program.material = job.m_sMaterial;
  program.piece_name = job.m_sPieceName;
  program.length = job.m_dLength;
  program.items = job.m_aItems.Data();
  program.bon = job.m_nBon;
  program.bar_idt = job.m_nBarIdt;
  program.profile_h = job.m_dProfileH;
  program.profile_w = job.m_dProfileW;
  program.bar_sc = job.m_dBarSC;
  program.middle_remnant = job.m_nMiddleRemnant;
  program.middle_x = job.m_dMiddleX;
  program.middle_len = job.m_dMiddleLen;
  program.max_x = job.m_dMaxX;
  for (const CUsi& u : ops) program.ops.push_back(u);
  const CPostCam& reader = job.m_cam;
  program.val_to_text = [&reader](double v) { return reader.ValToText(v, 0); };
  return WriteNcText(program, g_options, MacroDir());
}

bool SameUsi(const CUsi& a, const CUsi& b) {
  return a.m_cType == b.m_cType && a.m_nFace == b.m_nFace && a.m_nCode == b.m_nCode &&
         a.m_nUnit == b.m_nUnit && a.m_dX == b.m_dX && a.m_dY == b.m_dY &&
         a.m_dXMachine == b.m_dXMachine && a.m_dYMachine == b.m_dYMachine &&
         a.m_cChar == b.m_cChar && a.m_bRemnant == b.m_bRemnant;
}

// Piece spans of a bar from its cuts: each named cut ends its piece, the
// saw kerf in front of the cut.
void BarPieces(const std::vector<Op>& ops, const CArray<Cam_Item>& items, double kerf, Panel* panel) {
  for (const Op& op : ops) {
    if (op.kind != 'C' || op.piece.empty()) continue;
    double length = 0;
    for (const Cam_Item& item : items)
      if (item.m_sPceNam.substr(0, 31) == op.piece) length = item.m_dLength;
    panel->pieces.push_back(PieceSpan{op.piece, op.x - kerf - length, length});
  }
}

// The first two sizes of a profile text ("L100X100X10", "FL100*10",
// "L4X4X3/8"), in millimetres; false when it does not hold two.
bool ShapeSection(const std::string& shape, bool inch, double* h1, double* h2) {
  std::vector<double> sizes;
  for (std::size_t i = 0; i < shape.size() && sizes.size() < 2;) {
    if (shape[i] < '0' || shape[i] > '9') {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < shape.size() && ((shape[j] >= '0' && shape[j] <= '9') || shape[j] == '.' || shape[j] == '/')) ++j;
    double mm = 0;
    if (!cam::ReadLength(shape.substr(i, j - i), inch, &mm)) return false;
    sizes.push_back(mm);
    i = j;
  }
  if (sizes.size() < 2) return false;
  *h1 = sizes[0];
  *h2 = sizes[1];
  return true;
}

void FitStock(Sheet* sheet) {
  double lo = sheet->start, hi = sheet->start + sheet->length;
  for (const Panel& p : sheet->panels) {
    for (const Op& op : p.ops) lo = std::min(lo, op.x), hi = std::max(hi, op.x);
    for (const PieceSpan& s : p.pieces) lo = std::min(lo, s.start), hi = std::max(hi, s.start + s.length);
  }
  sheet->start = lo;
  sheet->length = hi - lo;
}

}  // namespace

Op OpOfUsi(const CUsi& u, const OptionValues& o, bool inch, MacroLibrary& macros) {
  Op op;
  op.kind = static_cast<char>(u.m_cType);
  op.x = u.m_dX;
  op.y = u.m_dY;
  op.xm = u.m_dXMachine;
  op.ym = u.m_dYMachine;
  op.code = u.m_nCode;
  op.remnant = u.m_bRemnant != 0;
  op.piece = u.m_szPceNam;
  switch (u.m_cType) {
    case 'D':
      op.level = u.m_nFace == 1 ? 0 : 1;
      op.unit = u.m_nUnit;
      op.axis = std::string(u.m_szUnit, strnlen(u.m_szUnit, sizeof u.m_szUnit));
      UnitTool(o, op.unit, inch, &op);
      break;
    case 'M':
      op.level = o.Mark_Niv == 0 ? 0 : 1;
      op.x = u.m_dX - ToDouble(o.Off_Marq);
      op.ch = u.m_cChar;
      op.glyph = std::string(1, u.m_cChar);
      if (o.Cnc != 2 && o.Mark_Device == 1) {
        op.has_y = false;  // the wheel's block carries no Y
      } else if (o.Cnc != 2 && o.Mark_Device == 2) {
        // A Signoscript draws the character's macro: characters with the
        // same macro look the same, and one without a macro is not drawn.
        op.glyph = MacroName(u.m_cChar);
        const std::vector<MacroStep>* steps = macros.Find(u.m_cChar);
        op.written = steps && !steps->empty();
      }
      break;
    default:
      break;
  }
  return op;
}


std::string FileNamePart(const std::string& text) {
  std::string out;
  for (char c : text) {
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
              c == '-' || c == '_' || c == '.';
    out.push_back(ok ? c : '_');
  }
  return out.empty() ? std::string("_") : out;
}

bool PreviewJob(CTraitement& job, const HoleTexts& texts, JobPreview* out, std::string* error) {
  const OptionValues& o = g_options;
  job.KeepOptionsUnsaved();
  job.ReadJob();
  job.DecideMiddleRemnant(false);
  job.m_onUnpunched = nullptr;
  job.BuildOperations();
  if (job.Overflowed()) {
    *error = "the job stops before its end: more than " + std::to_string(kMaxOperations) +
             " operations, or a position beyond any bar";
    return false;
  }
  const std::vector<CUsi> all = job.m_aUsi.Sorted();
  out->bar = job.m_bBar;
  out->inch = job.m_nInch != 0;
  out->program = ProgramText(job, all);
  out->reread = ReadProgram(out->program, o, MacroDir());
  MacroLibrary macros(MacroDir());

  // Once more, record by record, to see which operations each bar or piece
  // makes. The driver keeps its state between records, so this walk makes
  // the very operations of the whole pass.
  job.m_bWriting = true;
  job.m_dPosX = 0;
  job.m_nLine = o.Cnc == 2 ? -2 : 0;
  job.m_aUsi.RemoveAll();
  job.m_cam.Libere();
  job.m_cam.SetPos(0);
  std::vector<Unpunched> unpunched;
  job.m_onUnpunched = [&](const Cam_Hole& h) {
    Unpunched u;
    u.piece = job.m_cam.ReadHead("PCE_NAM");
    u.x = job.m_dPosX + h.m_dX;
    u.y = std::fabs(h.m_dY);
    u.level = h.m_nLevel == 0 ? 0 : 1;
    u.diameter = h.m_dDiameter;
    u.size = texts.size ? texts.size(h, job.m_cam) : job.m_cam.ValToText(h.m_dDiameter);
    u.reason = texts.reason ? texts.reason(h, job.m_cam) : std::string();
    unpunched.push_back(u);
  };
  std::vector<CUsi> split;
  std::map<std::string, int> names;
  while (job.m_cam.Lire_Entites(kRecordPiece | kRecordBar)) {
    const bool piece = job.m_cam.m_nType == kRecordPiece;
    if (piece == job.m_bBar) continue;
    Sheet sheet;
    if (ToDouble(o.Mark_HtCar) > 0) sheet.char_height = ToDouble(o.Mark_HtCar);
    sheet.width[0] = job.m_cam.m_dH1;
    sheet.width[1] = job.m_cam.m_dH2;
    const double start = job.m_dPosX;
    Panel panel;
    panel.label = "job";
    if (piece) {
      const std::string name = job.m_cam.ReadHead("PCE_NAM");
      sheet.title = "Piece " + name + "  " + job.m_cam.ReadHead("PCE_PRF") + "  " +
                    job.m_cam.ReadHead("PCE_MAT") + "  " + Mm(job.m_cam.m_dLength) + " mm";
      sheet.name = "piece-" + FileNamePart(name);
      sheet.start = start;
      sheet.length = job.m_cam.m_dLength;
      panel.pieces.push_back(PieceSpan{name, start, job.m_cam.m_dLength});
      job.Analyse(false, 0);
    } else {
      const std::string bon = job.m_cam.ReadHead("BAR_BON"), idt = job.m_cam.ReadHead("BAR_IDT");
      const double length = ToDouble(job.m_cam.ReadHead("BAR_LEN"));
      sheet.title = "Bar " + bon + "/" + idt + "  " + job.m_cam.ReadHead("BAR_PRO") + "  " +
                    job.m_cam.ReadHead("BAR_MAT") + "  " + Mm(length) + " mm";
      sheet.name = "bar-" + FileNamePart(bon) + "-" + FileNamePart(idt);
      // The squaring cut stands at the walk's start on G-code controls
      // (the bar head lies before it); the Clipper cuts at the end of it.
      sheet.start = o.Cnc == 2 ? start : start - job.m_dBarSC;
      sheet.length = length;
      job.WalkBar();
      if (job.m_nMiddleRemnant) {
        sheet.remnant_length = job.m_dMiddleLen;
        sheet.remnant_start = sheet.start + length - job.m_dMiddleLen;
      }
    }
    if (int n = ++names[sheet.name]; n > 1) sheet.name += "-" + std::to_string(n);
    std::vector<CUsi> ops = job.m_aUsi.Sorted();
    job.m_aUsi.RemoveAll();
    for (const CUsi& u : ops) {
      panel.ops.push_back(OpOfUsi(u, o, out->inch, macros));
      const Op& op = panel.ops.back();
      if (op.kind == 'M' && !op.written)
        panel.notes.push_back(std::string("'") + op.ch + "' has no macro in MACRO_MK: it is not scribed");
    }
    if (!piece) BarPieces(panel.ops, job.m_aItems, job.m_dBarSL, &panel);
    panel.unpunched.swap(unpunched);
    unpunched.clear();
    split.insert(split.end(), ops.begin(), ops.end());
    sheet.panels.push_back(std::move(panel));
    FitStock(&sheet);
    out->sheets.push_back(std::move(sheet));
  }
  job.m_onUnpunched = nullptr;
  std::stable_sort(split.begin(), split.end(),
                   [](const CUsi& a, const CUsi& b) { return SortLess(a, b); });
  if (split.size() != all.size() ||
      !std::equal(split.begin(), split.end(), all.begin(), SameUsi)) {
    // Never seen: the sheets would not show the program's operations.
    *error = "the job's operations could not be split into bars";
    return false;
  }

  // The clamp moves of the program, on the sheet of the operation they come before.
  for (const ClampMove& m : out->reread.clamps) {
    for (Sheet& sheet : out->sheets) {
      if (m.x >= sheet.start - 1e-6 && m.x <= sheet.start + sheet.length + 1e-6) {
        sheet.panels[0].clamps.push_back(m);
        break;
      }
    }
  }
  // The program reads back as the job's operations: checks the reader.
  std::vector<Op> mine;
  for (const Sheet& s : out->sheets) mine.insert(mine.end(), s.panels[0].ops.begin(), s.panels[0].ops.end());
  std::vector<Op> back = out->reread.ops;
  if (int n = CompareOps(mine, back, o, out->inch); n > 0 || !out->reread.notes.empty())
    out->notes.push_back("the program of this job does not read back as its operations (" +
                         std::to_string(n) + " differ)");
  return true;
}

Sheet ProgramSheet(const ProgramRead& program, const OptionValues& options,
                   const std::string& title) {
  Sheet sheet;
  sheet.title = title;
  sheet.name = "program";
  if (ToDouble(options.Mark_HtCar) > 0) sheet.char_height = ToDouble(options.Mark_HtCar);
  sheet.start = program.control == 2 ? 0 : program.bar_start;
  sheet.length = program.length;
  Panel panel;
  panel.label = "program";
  panel.ops = program.ops;
  panel.clamps = program.clamps;
  panel.notes = program.notes;
  // The faces: the section the Siemens was given, else the profile's
  // sizes, and at least to the farthest hole.
  double far[2] = {0, 0}, h[2] = {0, 0};
  for (const Op& op : program.ops)
    if (op.kind != 'C') far[op.level] = std::max(far[op.level], op.y + op.tool_w / 2);
  if (program.control == 0 && program.h1 > 0 && ToDouble(options.Off_YZ) <= 0)
    h[0] = program.h1, h[1] = program.h2;
  else
    ShapeSection(program.shape, program.inch, &h[0], &h[1]);
  for (int l = 0; l < 2; ++l) {
    sheet.width[l] = std::max(h[l], std::ceil(far[l] / 10) * 10);
    if (sheet.width[l] <= 0) sheet.width[l] = 10;
  }
  // Pieces: a bar's cuts end its pieces in the order the header lists them
  // (a cut more than pieces is the squaring cut); a piece program is one piece.
  if (program.bar) {
    std::vector<std::string> names;
    for (const ListedPiece& p : program.pieces)
      for (int k = 0; k < p.qty && names.size() < 100000; ++k) names.push_back(p.name);
    std::vector<double> cuts;
    for (const Op& op : program.ops)
      if (op.kind == 'C') cuts.push_back(op.x);
    std::sort(cuts.begin(), cuts.end());
    double from = sheet.start;
    std::size_t first = 0;
    if (cuts.size() == names.size() + 1) from = cuts[0], first = 1;
    for (std::size_t i = first, k = 0; i < cuts.size(); ++i, ++k) {
      panel.pieces.push_back(PieceSpan{k < names.size() ? names[k] : "?", from, cuts[i] - from});
      from = cuts[i];
    }
  } else if (!program.pieces.empty()) {
    panel.pieces.push_back(PieceSpan{program.pieces[0].name, 0, program.pieces[0].length});
  }
  if (program.middle_remnant) {
    double middle = program.length;
    for (const ListedPiece& p : program.pieces) middle -= p.qty * p.length;
    sheet.remnant_length = middle;
    sheet.remnant_start = sheet.start + program.length - middle;
  }
  sheet.panels.push_back(std::move(panel));
  FitStock(&sheet);
  return sheet;
}

int AddProgramPanels(JobPreview& job, ProgramRead& program, const OptionValues& options) {
  // All of the job's operations against all of the program's.
  std::vector<Op> mine;
  std::vector<std::pair<std::size_t, std::size_t>> where;  // sheet, operation
  for (std::size_t s = 0; s < job.sheets.size(); ++s)
    for (std::size_t i = 0; i < job.sheets[s].panels[0].ops.size(); ++i) {
      mine.push_back(job.sheets[s].panels[0].ops[i]);
      where.emplace_back(s, i);
    }
  std::vector<int> partner;
  int differ = CompareOps(mine, program.ops, options, job.inch, &partner);
  for (std::size_t k = 0; k < mine.size(); ++k)
    job.sheets[where[k].first].panels[0].ops[where[k].second].differs = mine[k].differs;

  std::vector<ClampMove> clamps;
  for (const Sheet& s : job.sheets) clamps.insert(clamps.end(), s.panels[0].clamps.begin(), s.panels[0].clamps.end());
  differ += CompareClamps(clamps, program.clamps, options, job.inch);
  for (std::size_t s = 0, k = 0; s < job.sheets.size(); ++s)
    for (ClampMove& m : job.sheets[s].panels[0].clamps) m.differs = clamps[k++].differs;

  for (Sheet& s : job.sheets) {
    Panel panel;
    panel.label = "program";
    panel.pieces = s.panels[0].pieces;
    s.panels.push_back(std::move(panel));
  }
  if (job.sheets.empty()) return differ + static_cast<int>(program.ops.size());
  // A matched operation goes to its partner's sheet; any other to the
  // sheet whose operations span its position, else the nearest.
  auto sheet_of = [&](double x) {
    std::size_t best = 0;
    double best_d = 1e300;
    for (std::size_t s = 0; s < job.sheets.size(); ++s) {
      const Sheet& sh = job.sheets[s];
      double d = x < sh.start ? sh.start - x : x > sh.start + sh.length ? x - sh.start - sh.length : 0;
      if (d < best_d) best = s, best_d = d;
    }
    return best;
  };
  for (std::size_t j = 0; j < program.ops.size(); ++j) {
    std::size_t s = partner[j] >= 0 ? where[static_cast<std::size_t>(partner[j])].first
                                    : sheet_of(program.ops[j].x);
    job.sheets[s].panels[1].ops.push_back(program.ops[j]);
  }
  for (const ClampMove& m : program.clamps) job.sheets[sheet_of(m.x)].panels[1].clamps.push_back(m);
  job.sheets[0].panels[1].notes = program.notes;
  return differ + static_cast<int>(program.notes.size());
}

}  // namespace preview
