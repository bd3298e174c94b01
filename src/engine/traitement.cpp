#include "engine/traitement.h"

#include <climits>
#include <cmath>
#include <new>

#include "base/call_log.h"
#include "base/platform.h"
#include "base/text.h"
#include "cam/length_text.h"
#include "config/options.h"
#include "engine/module_state.h"
#include "output/nc_program.h"
#include "ui/front_end.h"

std::string ProgramFileName(const std::string& ncFile) {
  auto cut = platform::LastSeparator(ncFile);
  std::string name = cut == std::string::npos ? ncFile : ncFile.substr(cut + 1);
  auto dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(0, dot);
}

CTraitement::CTraitement(const std::string& iniFile, const std::string& machine,
                         const std::string& camFile, const std::string& ncFile, int repeat,
                         int /*arg6*/, int /*arg7*/)
    : m_sIniFile(iniFile),
      m_sMachine(machine),
      m_sCamFile(camFile),
      m_sNcFile(ncFile),
      m_nRepeat(repeat) {
  LoadOptions(m_sIniFile, m_sMachine, &m_sIniRefused);
}

bool CTraitement::OptionsUsable() {
  if (m_sIniRefused.empty()) return true;
  // The defaults are no machine: a program made with them would be wrong.
  ShowMessage(m_sIniRefused + "\nThe machine's options cannot be read; nothing was done.",
              MessageIcon::kError);
  KeepOptionsUnsaved();
  return false;
}

CTraitement::~CTraitement() {
  try {
    // A file that already holds the options is not written again.
    if (m_bSaveOptions) SaveOptions(m_sIniFile, m_sMachine, nullptr, SaveWhen::kIfChanged);
  } catch (...) {
    // A destructor that throws ends the host.
  }
}

namespace {

// A position no line reaches: a thousand kilometres comes from a damaged job
// (lengths or coordinates near the largest number) and would reach the
// program as "inf". False for NaN and infinities too.
bool OnTheLine(double mm) { return std::fabs(mm) < 1e9; }

}  // namespace

void CTraitement::AddUsi(const CUsi& usi) {
  try {
    AddRecord(UsiRecord(usi), usi.m_dX, usi.m_dY,
              m_aUsi.Names(usi.m_szComNam, usi.m_szPceNam));
  } catch (const std::bad_alloc&) {
    m_bOverflow = true;
  }
}

void CTraitement::AddRecord(const UsiRecord& usi, double x, double y, std::uint32_t names) {
  if (!OnTheLine(x) || !OnTheLine(y) || !OnTheLine(usi.m_dXMachine) ||
      !OnTheLine(usi.m_dYMachine)) {
    m_bOutOfRange = true;
    m_bOverflow = true;  // stops the walk like the operation limit
    return;
  }
  if (m_aUsi.GetSize() >= kMaxOperations) {
    m_bOverflow = true;
    return;
  }
  try {
    m_aUsi.Add(usi, x, y, names);
  } catch (const std::bad_alloc&) {
    m_bOverflow = true;  // a host with little address space: stop the same way
  }
}

void CTraitement::ReadBarHeads() {
  m_sProfile = m_cam.ReadHead("BAR_PRO");
  m_sMaterial = m_cam.ReadHead("BAR_MAT");
  // Numbers as the job file writes them: a value that is not wholly a
  // number ("3abc", "1,5", "0x10") counts as 0.
  m_dBarSC = cam::NumberOf(m_cam.ReadHead("BAR_SC"));
  m_dBarSL = cam::NumberOf(m_cam.ReadHead("BAR_SL"));
  m_nBon = static_cast<int>(cam::WholeOf(m_cam.ReadHead("BAR_BON"), INT_MIN, INT_MAX));
  m_nBarIdt = static_cast<int>(cam::WholeOf(m_cam.ReadHead("BAR_IDT"), INT_MIN, INT_MAX));
  m_dLength = cam::NumberOf(m_cam.ReadHead("BAR_LEN"));
  m_dProfileH = m_cam.m_dH1;
  m_dProfileW = m_cam.m_dH2;
  // What the pieces nested on the bar leave of it.
  m_dRemnant = m_dLength;
  for (const Cam_Item& item : m_cam.m_aItems) m_dRemnant -= item.m_nQty * item.m_dLength;
  WarnOfImplausibleBar();
}

void CTraitement::WarnOfImplausibleBar() {
  // The program is made all the same, but the operator is to look at the
  // nesting before a bar is cut.
  const std::string bar = Format("Bar %04i_%02i", m_nBon, m_nBarIdt);
  if (!(m_dLength > 0)) {
    ShowMessage(bar + ": its length BAR_LEN is " + FixedText(m_dLength, 1) +
                               " mm; check the nesting before the bar is cut.",
                           MessageIcon::kWarning);
  } else if (m_dRemnant < -kLengthTolerance) {
    ShowMessage(bar + ": the pieces nested on it take " +
                               FixedText(m_dLength - m_dRemnant, 1) + " mm, more than its length of " +
                               FixedText(m_dLength, 1) + " mm; check the nesting before the bar is cut.",
                           MessageIcon::kWarning);
  }
}

int CTraitement::Process() {
  if (!OptionsUsable()) return kResultCancelled;
  // A program written over the job or the configuration would destroy it:
  // refuse, and leave the INI file as it is.
  if (!ProgramPathUsable(m_sNcFile)) {
    KeepOptionsUnsaved();
    return kResultCancelled;
  }
  ReadJob();
  call_log::Note("read", m_sCamFile + " (" + std::to_string(m_cam.RecordCount()) + " records)");
  m_dlgSetup.m_nUnit = m_nInch;
  if (RunSetup() != IDOK) return kResultCancelled;
  WriteProgram(m_sNcFile);
  return 0;
}

void CTraitement::ReadJob() {
  m_sName = ProgramFileName(m_sNcFile);
  m_bBar = !m_sName.empty() && m_sName[0] == 'B';
  m_cam.SetFile(m_sCamFile);
  m_bWriting = false;
  m_dBarSC = 0;
  ForgetOptionNumbers();
  if (!m_cam.Refused().empty())
    ShowMessage(m_cam.Refused() + "; the job is read as holding no record.",
                           MessageIcon::kError);

  // Reading pass: head values, and the hole types for "Setup machine".
  while (m_cam.Lire_Entites(kRecordPiece | kRecordBar)) {
    if (m_cam.m_nType == kRecordPiece) {
      m_sProfile = m_cam.ReadHead("PCE_PRF");
      m_sMaterial = m_cam.ReadHead("PCE_MAT");
      m_sPieceName = m_cam.ReadHead("PCE_NAM");
      if (!m_bBar) {
        m_dProfileH = m_cam.m_dH1;
        m_dProfileW = m_cam.m_dH2;
        m_dLength = m_cam.m_dLength;
      }
      Analyse(false, 0);
    } else if (m_cam.m_nType == kRecordBar) {
      if (m_bBar) ReadBarHeads();
      WalkBar();
    }
  }
}

int CTraitement::RunSetup() {
  std::vector<std::string> sizes;
  for (const rec_uni& unit : g_options.units) sizes.push_back(unit.diameter);
  const int answer = m_dlgSetup.DoModal();
  // What the operator set on the punching units goes into the call's log.
  for (std::size_t i = 0; i < sizes.size() && i < static_cast<std::size_t>(g_options.units.GetSize()); ++i) {
    const std::string& now = g_options.units[static_cast<int>(i)].diameter;
    if (now != sizes[i])
      call_log::Note("size", "unit " + std::to_string(i + 1) + " \"" + sizes[i] + "\" -> \"" +
                                 now + "\"");
  }
  return answer;
}

void CTraitement::WalkBar() {
  m_aItems = m_cam.m_aItems;
  long barPos = m_cam.GetPos();
  m_cam.ScanBars();

  if (m_bBar && m_dBarSC > 0) {
    // Squaring cut at the bar head. The Ocean Clipper cuts at the end of the
    // squaring length and the pieces start from there.
    CUsi cut;
    cut.m_cType = 'C';
    cut.m_nFace = 1;
    cut.m_dX = m_dPosX;
    if (g_options.Cnc == 2) {
      cut.m_dX = m_dPosX + m_dBarSC;
      m_dPosX = cut.m_dX;
    }
    cut.m_dXMachine = ToDouble(g_options.Off_Scie) + cut.m_dX;
    cut.m_nCode = ToInt(g_options.Fctcoupe);
    AddUsi(cut);
  }

  const int count = m_aItems.GetSize();
  int first = 0, last = -1, step = 1;
  switch (g_options.Motrice) {
    case 1:
    case 4:
      first = 0, last = count - 1, step = 1;
      break;
    case 2:
    case 3:
      first = count - 1, last = 0, step = -1;
      break;
    default:
      first = 0, last = -1, step = 1;  // no item is walked
      break;
  }
  if (g_options.Motrice >= 1 && g_options.Motrice <= 4) {
    for (int i = first; count > 0 && (step > 0 ? i <= last : i >= last); i += step) {
      const Cam_Item& item = m_aItems[i];
      m_cam.SetPos(0);
      m_cam.m_aPosts.RemoveAll();
      m_cam.m_bSymX = false;
      m_cam.m_bSymY = false;
      // The first piece record whose four names are the item's.
      long pos = m_cam.FindPiece(item.m_sComNam, item.m_sDwgNam, item.m_sAssNam, item.m_sPceNam);
      if (pos < 0) continue;
      m_cam.SetPos(pos);
      if (!m_cam.Lire_Entites(kRecordPiece)) continue;
      m_bLastPiece = (i == last);
      m_nRepeat = item.m_nQty;
      Analyse(true, item.m_cTurn);
      if (m_bOverflow) break;
    }
  }

  m_cam.SetPos(barPos);
  m_cam.Lire_Entites(kRecordBar);
}

bool CTraitement::ProgramPathUsable(const std::string& path) {
  const char* what = platform::SameFile(path, m_sCamFile)   ? "the job file"
                     : platform::SameFile(path, m_sIniFile) ? "the machine configuration"
                                                            : nullptr;
  if (!what) return true;
  ShowMessage(m_sNcFile + "\nThe program would be written over " + what +
                             "; nothing was written.",
                         MessageIcon::kError);
  return false;
}

void CTraitement::ShowWriteError(const std::string& path, const std::string& reason) {
  // The caller's name for the program first, then the file that failed when
  // that is another one (Exportation names its files itself).
  std::string text = m_sNcFile + "\n";
  if (path != m_sNcFile) text += path + ": ";
  ShowMessage(text + reason, MessageIcon::kError);
}

void CTraitement::WriteProgram(const std::string& path) {
  if (!ProgramPathUsable(path)) return;
  // The program goes into a temporary file beside path and replaces it only
  // once it is whole: a full disk, an I/O error or a kill leave the previous
  // program where it was, never a cut-off one.
  platform::AtomicFile file;
  std::string error;
  if (!file.Open(path, &error)) {
    ShowWriteError(path, error);
    return;
  }
  m_pFile = &file;
  DecideMiddleRemnant(true);
  // The program needs the machine's values only.
  m_aUsi.KeepDetails(false);
  BuildOperations();
  WriteOperations(path);
  m_aUsi.KeepDetails(true);
  m_pFile = nullptr;
}

void CTraitement::DecideMiddleRemnant(bool show_message) {
  m_nMiddleRemnant = 0;
  m_dMaxX = 0;
  m_dMiddleX = 0;
  m_dMiddleLen = 0;
  // On the 840Di a short remnant stays in the middle of the bar: the last
  // piece is worked from the remnant's side.
  if (g_options.Cnc == 0 && m_bBar && m_dRemnant <= 200.0) {
    m_nMiddleRemnant = 1;
    m_dMiddleX = ToDouble(g_options.Clamp_Open[0]) + m_dLength;
    m_dMiddleLen = m_dRemnant;
    if (show_message)
      ShowMessage("Middle remnant will be used", MessageIcon::kInformation);
  }
}

void CTraitement::BuildOperations() {
  m_bWriting = true;
  m_dPosX = 0;
  m_nLine = g_options.Cnc == 2 ? -2 : 0;
  m_aUsi.RemoveAll();
  m_bOverflow = false;
  m_bOutOfRange = false;
  ForgetOptionNumbers();
  m_cam.Libere();
  m_cam.SetPos(0);
  // Bar mode walks the bar records, piece mode analyses the piece records;
  // the records of the other kind are not even read.
  while (!m_bOverflow && m_cam.Lire_Entites(m_bBar ? kRecordBar : kRecordPiece)) {
    if (m_bBar)
      WalkBar();
    else
      Analyse(false, 0);
  }
}

void CTraitement::WriteOperations(const std::string& path) {
  platform::AtomicFile& file = *m_pFile;
  std::string error;
  if (m_bOverflow) {
    file.Abort();
    ShowMessage(
        m_bOutOfRange
            ? Format("%s\nA position of the job lies beyond any bar; no program was written.",
                     m_sNcFile.c_str())
            : Format("%s\nThe job makes more than %d machining operations; no program was "
                     "written.",
                     m_sNcFile.c_str(), kMaxOperations),
        MessageIcon::kError);
    m_aUsi.RemoveAll();
    return;
  }
  if (m_aUsi.IsEmpty()) {
    // No operation: the program is an empty file, and Nomfic keeps its value.
    if (file.Commit(&error))
      call_log::Written(path, "");
    else
      ShowWriteError(path, error);
    return;
  }

  m_cam.m_cInch = static_cast<char>(m_nInch);
  NcProgram program;
  program.bar = m_bBar;
  program.inch = m_nInch;
  program.profile = m_sProfile;
  program.material = m_sMaterial;
  program.piece_name = m_sPieceName;
  program.length = m_dLength;
  program.items = m_aItems.Data();
  program.bon = m_nBon;
  program.bar_idt = m_nBarIdt;
  program.profile_h = m_dProfileH;
  program.profile_w = m_dProfileW;
  program.bar_sc = m_dBarSC;
  program.middle_remnant = m_nMiddleRemnant;
  program.middle_x = m_dMiddleX;
  program.middle_len = m_dMiddleLen;
  program.max_x = m_dMaxX;
  program.ops = m_aUsi.TakeSorted();
  const CPostCam& reader = m_cam;
  program.val_to_text = [&reader](double v) { return reader.ValToText(v, 0); };

  std::string macroDir = platform::JoinPath(platform::JoinPath(g_sIniDir, "MACRO_MK"), "");
  std::vector<std::string> problems;
  // The text goes to the temporary file piece by piece as it is made; the
  // target is replaced only by the Commit of the whole.
  call_log::FileRecord record;
  const bool written = WriteNcText(
      program, g_options, macroDir,
      [&file, &error, &record](std::string_view piece) {
        record.Add(piece);
        return file.Write(piece, &error);
      },
      &problems);
  for (const std::string& problem : problems) ShowMessage(problem, MessageIcon::kWarning);
  if (!written || !file.Commit(&error)) {
    ShowWriteError(path, error);
    return;
  }
  record.Written(path);
  // The name is recorded only for a program that is there, whole.
  WriteIniKey(g_sIniFile, g_sMachine, "Nomfic", ProgramName(program), nullptr,
              SaveWhen::kIfChanged);
}

std::string g_sIniFile;
std::string g_sMachine;
