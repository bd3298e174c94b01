#include "engine/traitement.h"

#include <cerrno>
#include <cmath>
#include <new>

#include "base/platform.h"
#include "base/text.h"
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
  LoadOptions(m_sIniFile, m_sMachine);
}

CTraitement::~CTraitement() {
  try {
    if (m_bSaveOptions) SaveOptions(m_sIniFile, m_sMachine);
  } catch (...) {
    // A destructor that throws ends the host.
  }
  if (m_pFile) {
    // The job stopped half-way (out of memory): no half-written program.
    std::fclose(m_pFile);
    std::remove(m_sProgramPath.c_str());
  }
}

namespace {

// A position no line reaches: a thousand kilometres comes from a damaged job
// (lengths or coordinates near the largest number) and would reach the
// program as "inf". False for NaN and infinities too.
bool OnTheLine(double mm) { return std::fabs(mm) < 1e9; }

}  // namespace

void CTraitement::AddUsi(const CUsi& usi) {
  if (!OnTheLine(usi.m_dX) || !OnTheLine(usi.m_dY) || !OnTheLine(usi.m_dXMachine) ||
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
    m_aUsi.Add(usi);
  } catch (const std::bad_alloc&) {
    m_bOverflow = true;  // a host with little address space: stop the same way
  }
}

void CTraitement::ReadBarHeads() {
  m_sProfile = m_cam.ReadHead("BAR_PRO");
  m_sMaterial = m_cam.ReadHead("BAR_MAT");
  m_dBarSC = ToDouble(m_cam.ReadHead("BAR_SC"));
  m_dBarSL = ToDouble(m_cam.ReadHead("BAR_SL"));
  m_nBon = ToInt(m_cam.ReadHead("BAR_BON"));
  m_nBarIdt = ToInt(m_cam.ReadHead("BAR_IDT"));
  m_dLength = ToDouble(m_cam.ReadHead("BAR_LEN"));
  m_dProfileH = m_cam.m_dH1;
  m_dProfileW = m_cam.m_dH2;
  // What the pieces nested on the bar leave of it.
  m_dRemnant = m_dLength;
  for (const Cam_Item& item : m_cam.m_aItems) m_dRemnant -= item.m_nQty * item.m_dLength;
}

int CTraitement::Process() {
  ReadJob();
  m_dlgSetup.m_nUnit = m_nInch;
  if (m_dlgSetup.DoModal() != IDOK) return kResultCancelled;
  WriteProgram(m_sNcFile);
  return 0;
}

void CTraitement::ReadJob() {
  m_sName = ProgramFileName(m_sNcFile);
  m_bBar = !m_sName.empty() && m_sName[0] == 'B';
  m_cam.SetFile(m_sCamFile);
  m_bWriting = false;
  m_dBarSC = 0;

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

void CTraitement::WriteProgram(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    int error = platform::LastFileError();
    FrontEnd().ShowMessage(m_sNcFile + "\n" + platform::SystemErrorText(error),
                           MessageIcon::kError);
    return;
  }
  m_pFile = file;
  m_sProgramPath = path;
  DecideMiddleRemnant(true);
  BuildOperations();
  WriteOperations(path);
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
      FrontEnd().ShowMessage("Middle remnant will be used", MessageIcon::kInformation);
  }
}

void CTraitement::BuildOperations() {
  m_bWriting = true;
  m_dPosX = 0;
  m_nLine = g_options.Cnc == 2 ? -2 : 0;
  m_aUsi.RemoveAll();
  m_bOverflow = false;
  m_bOutOfRange = false;
  m_cam.Libere();
  m_cam.SetPos(0);
  while (!m_bOverflow && m_cam.Lire_Entites(kRecordPiece | kRecordBar)) {
    if (!m_bBar && m_cam.m_nType == kRecordPiece)
      Analyse(false, 0);
    else if (m_bBar && m_cam.m_nType == kRecordBar)
      WalkBar();
  }
}

void CTraitement::WriteOperations(const std::string& path) {
  std::FILE* file = m_pFile;
  if (m_bOverflow) {
    std::fclose(file);
    m_pFile = nullptr;
    std::remove(path.c_str());
    FrontEnd().ShowMessage(
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
    std::fclose(file);
    m_pFile = nullptr;
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
  std::string text = WriteNcText(program, g_options, macroDir);
  WriteIniKey(g_sIniFile, g_sMachine, "Nomfic", ProgramName(program));
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
  m_pFile = nullptr;
}

std::string g_sIniFile;
std::string g_sMachine;
