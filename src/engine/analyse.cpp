// Piece analysis: a piece record (or one piece kind of a bar) prepared in the
// post-processor and turned into cut, hole and marked-character operations.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/text.h"
#include "config/options.h"
#include "engine/traitement.h"

namespace {

// Category letters, then five blanks: the position of a profile letter here
// is its place in the per-category option strings.
constexpr char kCategories[] = "ATCBDVGUZYILMNOPHEFR1234     ";

int CategoryPosition(char letter) {
  const char* p = letter ? std::strchr(kCategories, letter) : nullptr;
  return p ? static_cast<int>(p - kCategories) : -1;
}

// The character at position i of a per-category string, 0 when the string is
// shorter (a category without an entry is neither worked nor mirrored).
char CategoryChar(const std::string& s, int i) {
  return i >= 0 && i < static_cast<int>(s.size()) ? s[static_cast<std::size_t>(i)] : '\0';
}

// Origin corner codes after a mirror in X, then in Y.
constexpr int kOriginMirrorX[10] = {0, 3, 2, 1, 9, 8, 7, 6, 5, 4};
constexpr int kOriginMirrorY[10] = {0, 1, 2, 3, 7, 8, 9, 4, 5, 6};

void ReplaceAll(std::string& text, const std::string& token, const std::string& value) {
  std::string out;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(token, from)) != std::string::npos; from = at + token.size())
    out.append(text, from, at - from).append(value);
  if (from == 0) return;
  out.append(text, from, std::string::npos);
  text.swap(out);
}

// The wheel marker only has the characters of its wheel: upper case (so 'ñ'
// becomes 0xD1 too), 'O' stamped as the digit, 0xD1 as '/', anything else
// as '-'.
std::string CleanForWheel(const std::string& text, const std::string& wheel) {
  std::string out = text;
  for (char& c : out) {
    c = UpperCase1252(c);
    if (c == 'O') c = '0';
    if (static_cast<unsigned char>(c) == 0xD1) c = '/';
    if (wheel.find(c) == std::string::npos) c = '-';
  }
  if (out.empty()) out.push_back('-');
  return out;
}

}  // namespace

int ProgramUnit(int record_inch) {
  switch (g_options.Unite) {
    case 1:
      return 0;
    case 2:
      return 1;
    default:
      return record_inch;
  }
}

void CTraitement::SetPostParameters() {
  const OptionValues& o = g_options;
  CPostCam& c = m_cam;
  // The numbers of the options are read once per pass, not once per piece.
  PostNumbers& n = m_postNumbers;
  if (!n.ready) {
    n.markX = ToDouble(o.Mark_X);
    n.markY = ToDouble(o.Mark_Y);
    n.markXMin = ToDouble(o.Mark_XMin);
    n.markOff = ToDouble(o.Mark_Off);
    n.markNbCar = ToInt(o.Mark_NbCar);
    n.markLgCar = ToInt(o.Mark_LgCar);
    n.markHtCar = ToInt(o.Mark_HtCar);
    n.markTyp = ToInt(o.Mark_Typ);
    n.nbVert = ToInt(o.NbVert);
    n.nbHorz = ToInt(o.NbHorz);
    n.vLarg = ToDouble(o.VLarg);
    n.vProf = ToDouble(o.VProf);
    n.hLarg = ToDouble(o.HLarg);
    n.hProf = ToDouble(o.HProf);
    n.srs = ToDouble(o.SRS);
    n.sl = ToDouble(o.SL);
    n.sp = ToDouble(o.SP);
    n.sc = ToDouble(o.SC);
    n.roughness = ToDouble(o.Rugosite);
    n.ready = true;
  }
  c.m_nMotrice = o.Motrice;
  c.m_bMarkAuto = o.Mark_Auto > 0 || o.Mark_Auto_PLM > 0;
  c.m_nMarkSens = o.Mark_Sens;
  c.m_nMarkNiv = o.Mark_Niv;
  c.m_dMarkX = n.markX;
  c.m_dMarkY = n.markY;
  c.m_dMarkXMin = n.markXMin;
  c.m_dMarkOff = n.markOff;
  c.m_nMarkNbCar = n.markNbCar;
  c.m_nMarkLgCar = n.markLgCar;
  c.m_nMarkHtCar = n.markHtCar;
  c.m_sMarkCod = o.Mark_Cod;
  c.m_sMarkSep = o.Mark_Sep;
  c.m_sMarkCat = o.Mark_Cat;
  c.m_nMarkTyp = n.markTyp;
  c.m_sCateg = o.Categ;
  c.m_sDefaut = o.Defaut;
  c.m_sXSym = o.XSym;
  c.m_sYSym = o.YSym;
  c.m_sRotat = o.Rotat;
  c.m_sOrgDef = o.OrgDef;
  c.m_nNbVert = n.nbVert;
  c.m_nNbHorz = n.nbHorz;
  c.m_dVLarg = n.vLarg;
  c.m_dVProf = n.vProf;
  c.m_dHLarg = n.hLarg;
  c.m_dHProf = n.hProf;
  c.m_dSRS = n.srs;
  c.m_dSL = n.sl;
  c.m_dSP = n.sp;
  c.m_dSC = n.sc;
  c.m_nTEC = o.TEC;
  c.m_nOrigine = -1;
  c.m_sMarkText.clear();
}

void CTraitement::Orient(char turn) {
  const OptionValues& o = g_options;
  CPostCam& c = m_cam;
  int pos = CategoryPosition(c.m_cProfil);
  bool mirrorX = false, mirrorY = false;
  switch (CategoryChar(o.Defaut, pos)) {
    case 'R':
      mirrorX = mirrorY = true;
      break;
    case 'X':
      mirrorX = true;
      break;
    case 'Y':
      mirrorY = true;
      break;
    default:
      break;
  }
  if (turn == 'R') {
    mirrorX = !mirrorX;
    mirrorY = !mirrorY;
  } else if (turn == 'X') {
    mirrorX = !mirrorX;
  } else if (turn == 'Y') {
    mirrorY = !mirrorY;
  }
  c.m_aPosts.Add(Cam_Post("SymX", mirrorX ? "1" : "0"));
  c.m_aPosts.Add(Cam_Post("SymY", mirrorY ? "1" : "0"));

  char code = CategoryChar(o.OrgDef, pos);
  int origin = code ? code - '0' : -1;
  if (c.m_nSection != 2 && origin >= 1 && origin <= 9) {
    if (mirrorX) origin = kOriginMirrorX[origin];
    if (mirrorY) origin = kOriginMirrorY[origin];
  }
  c.m_nOrigine = origin;
}

void CTraitement::Analyse(bool repeat, char turn) {
  const OptionValues& o = g_options;
  CPostCam& c = m_cam;

  SetPostParameters();

  const int inch = ProgramUnit(c.m_cInch);
  m_nInch = inch;
  c.m_cInch = static_cast<char>(inch);

  if (repeat)
    Orient(turn);
  else
    m_bLastPiece = true;

  c.initialise_postcam(true, true);
  if (CategoryChar(o.Categ, c.m_nCategorie) != 'O') return;  // category not worked

  NibbleSlots();
  if (!m_bWriting) {
    CollectSetupHoles();
    return;
  }

  TextMarks();
  ReadPieceNames();
  PrepareMarks();
  PrepareHoles();
  if (m_bBar) PrepareCut();

  const int count = repeat ? m_nRepeat : 1;
  for (int i = 0; i < count && !m_bOverflow; ++i) {
    bool last = m_bLastPiece && i == count - 1;
    if (o.Mark_Device > 0) MarkCharacters(last);
    PunchHoles(last);
    m_dPosX = m_dPosX + m_dBarSL + c.m_dLength;
    if (m_bBar) CutPiece(last);
  }

  if (c.m_bTurned) c.rotation(false);
}

void CTraitement::TextMarks() {
  const OptionValues& o = g_options;
  CPostCam& c = m_cam;
  c.m_bMarkPlaced = false;
  c.m_sMarkText.clear();
  bool allowed = true;

  auto isText = [](const Cam_Mark& m) { return m.m_cCode == -1; };
  auto& marks = c.m_aMarks.Data();
  if (o.Mark_Auto_PLM != 0) {
    // The job's own text marks, expanded, become the automatic marking text.
    static const char* const kTokens[] = {"@DWG_NAM", "@ASS_NAM", "@PCE_NAM", "@FAS_NAM",
                                          "@JOB_NAM"};
    bool found = false;
    for (const Cam_Mark& mark : marks) {
      if (!isText(mark)) continue;
      found = true;
      std::string text = mark.m_sText;
      for (const char* token : kTokens)
        if (text.find(token) != std::string::npos) ReplaceAll(text, token, c.ReadHead(token + 1));
      c.m_bMarkAuto = true;
      c.m_nMarkTyp = 64;
      c.WriteHead("JOB_DES", text);
    }
    if (!found && c.ReadHead("JOB_DES").empty()) allowed = o.Mark_Auto != 0;
  }
  marks.erase(std::remove_if(marks.begin(), marks.end(), isText), marks.end());

  bool ordinary = std::any_of(marks.begin(), marks.end(),
                              [](const Cam_Mark& m) { return m.m_cCode >= 0; });
  if ((!ordinary || o.Mark_Forcer != 0) && c.m_bMarkAuto && allowed) c.marquage_auto(false);
}

void CTraitement::ReadPieceNames() {
  CUsi::SetText(m_pieceNames.m_szComNam, m_cam.ReadHead("COM_NAM"));
  CUsi::SetText(m_pieceNames.m_szPceNam, m_cam.ReadHead("PCE_NAM"));
  m_nPieceNames = m_aUsi.Names(m_pieceNames.m_szComNam, m_pieceNames.m_szPceNam);
}

void CTraitement::PrepareMarks() {
  const OptionValues& o = g_options;
  const CPostCam& c = m_cam;
  m_markOps.clear();
  double pitch;
  if (o.Mark_Device == 1)
    pitch = ToDouble(o.Mark_Off);
  else if (o.Mark_Device == 2)
    pitch = ToInt(o.Mark_LgCar);
  else
    return;
  m_dMarkOffset = ToDouble(o.Off_Marq);
  PieceOp op;
  CUsi u;
  u.m_cType = 'M';
  u.m_nFace = 1;
  u.m_nCode = ToInt(o.Mark_Cod);
  const std::uint32_t names = m_nPieceNames;
  const std::string& wheel = o.Mark_String;

  auto mark = [&](const std::string& raw, double x, double y) {
    std::string text = o.Mark_Device == 1 ? CleanForWheel(raw, wheel) : raw;
    for (std::size_t k = 0; k < text.size(); ++k) {
      for (std::size_t j = 0; j < wheel.size(); ++j) {
        if (wheel[j] != text[k]) continue;
        op.x = x;
        op.step = pitch * static_cast<double>(k);
        u.m_dY = y;
        u.m_dYMachine = y;
        u.m_cChar = text[k];
        u.m_dValue = 10.0 * static_cast<double>(j);
        op.usi = UsiRecord(u);
        op.y = y;
        op.names = names;
        m_markOps.push_back(op);
      }
    }
  };

  if (c.m_bMarkPlaced) mark(c.m_sMarkText, c.m_dMarkTextX, c.m_dMarkTextY);
  for (const Cam_Mark& m : c.m_aMarks) mark(m.m_sText, m.m_dX, std::fabs(m.m_dY));
}

void CTraitement::MarkCharacters(bool last) {
  for (const PieceOp& op : m_markOps) {
    UsiRecord u = op.usi;
    const double x = m_dMarkOffset + m_dPosX + op.x + op.step;
    u.m_dXMachine = x;
    if (m_nMiddleRemnant != 0 && last) {
      u.m_dXMachine += m_dMiddleLen;
      u.m_bRemnant = 1;
    }
    AddRecord(u, x, op.y, op.names);
    m_dMaxX = std::max(m_dMaxX, u.m_dXMachine);
  }
}

void CTraitement::PrepareCut() {
  const OptionValues& o = g_options;
  CUsi cut;
  cut.m_cType = 'C';
  cut.m_nFace = 1;
  cut.m_nCode = ToInt(o.Fctcoupe);
  m_cutOp.usi = UsiRecord(cut);
  m_cutOp.names = m_nPieceNames;
  m_dSawOffset = ToDouble(o.Off_Scie);
}

void CTraitement::CutPiece(bool last) {
  UsiRecord u = m_cutOp.usi;
  u.m_dXMachine = m_dSawOffset + m_dPosX;
  if (m_nMiddleRemnant != 0 && last) {
    // The remnant piece is cut off from the remnant's side.
    u.m_nCode += 2;
    u.m_bRemnant = 1;
    u.m_dXMachine -= m_cam.m_dLength - m_dMiddleLen;
  }
  AddRecord(u, m_dPosX, 0, m_cutOp.names);
}
