#include "cli/inspect.h"

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "base/platform.h"
#include "base/text.h"
#include "cli/cli.h"
#include "config/options.h"
#include "engine/module_state.h"
#include "engine/traitement.h"
#include "ui/setup.h"

namespace {

const char* KindName(int kind) {
  switch (kind) {
    case kRecordPiece:
      return "piece";
    case kRecordBar:
      return "bar";
    case kRecordJob:
      return "job";
    default:
      return "other";
  }
}

}  // namespace

std::string HoleSizeText(const Cam_Hole& h, const CCam& reader) {
  std::string size = reader.ValToText(h.m_dDiameter);
  if (h.m_nKind == 4)
    size += "X" + reader.ValToText(h.m_dLength) + "-" + FixedText(h.m_dAngle, 0);
  return size;
}

std::string UnpunchedReason(const Cam_Hole& hole, const CCam& reader) {
  int level = hole.m_nLevel == 2 ? 1 : hole.m_nLevel;
  bool sizeElsewhere = false, levelWithoutSize = false;
  for (int u = 0; u < g_options.units.GetSize(); ++u) {
    const rec_uni& row = g_options.units[u];
    bool size;
    if (hole.m_nKind == 4) {
      UnitSize s = ParseUnitSize(row.diameter, reader);
      double angle = std::fmod(hole.m_dAngle, 180.0);
      if (angle < 0) angle += 180.0;
      size = std::fabs(hole.m_dDiameter - s.width) < g_dTolerance &&
             std::fabs(hole.m_dLength - s.length) < g_dTolerance &&
             std::fabs(angle - s.angle) < g_dTolerance;
    } else {
      size = std::fabs(hole.m_dDiameter - reader.TextToVal(row.diameter)) < g_dTolerance;
    }
    bool onLevel = ToInt(row.level) - 1 == level;
    sizeElsewhere |= size && !onLevel;
    levelWithoutSize |= onLevel;
  }
  std::string face = level == 0 ? "FL" : "NL";
  if (sizeElsewhere)
    return "a unit carries this size, but not on level " + face;
  if (!levelWithoutSize) return "no punching unit on level " + face;
  return "no unit on level " + face + " carries size " + HoleSizeText(hole, reader);
}

int RunInspect(const std::string& ini, const std::string& machine, const std::string& camFile,
               bool bar, std::ostream& out, std::ostream& err) {
  // Nobody answers here: the engine's messages (a refused file, a bar its
  // pieces overrun) go to standard error, never into a window.
  platform::SetEnvironment("BARPOST_UI", "auto");
  g_sIniFile = ini;
  g_sMachine = machine;
  CTraitement job(ini, machine, camFile, bar ? "B.inspect" : "P.inspect", 1, 0, 0);
  job.KeepOptionsUnsaved();

  // The records as the reader sees them.
  CCam reader;
  reader.SetFile(camFile);
  out << "Records of " << camFile << "\n";
  int records = 0;
  while (reader.Lire_Entites(kRecordPiece | kRecordBar | kRecordJob | kRecordOther)) {
    ++records;
    out << Format("  #%ld %-5s", reader.GetPos(), KindName(reader.m_nType));
    if (reader.m_nType == kRecordPiece) {
      out << Format(" %s  %s %s  qty %s  length %s  category %c  holes %d  marks %d",
                    reader.ReadHead("PCE_NAM").c_str(), reader.ReadHead("PCE_PRF").c_str(),
                    reader.ReadHead("PCE_MAT").c_str(), reader.ReadHead("PCE_QTY").c_str(),
                    reader.ValToText(reader.m_dLength).c_str(), reader.m_cProfil,
                    reader.m_aHoles.GetSize(), reader.m_aMarks.GetSize());
    } else if (reader.m_nType == kRecordBar) {
      out << Format(" %s  %s %s  length %s  bar %s/%s  items %d",
                    reader.ReadHead("BAR_PRO").c_str(), reader.ReadHead("BAR_MAT").c_str(),
                    reader.ReadHead("BAR_QTY").c_str(), reader.ReadHead("BAR_LEN").c_str(),
                    reader.ReadHead("BAR_BON").c_str(), reader.ReadHead("BAR_IDT").c_str(),
                    reader.m_aItems.GetSize());
      for (const Cam_Item& item : reader.m_aItems)
        out << Format("\n      item %s/%s/%s/%s  qty %d  length %s  turn %c",
                      item.m_sComNam.c_str(), item.m_sPceNam.c_str(), item.m_sDwgNam.c_str(),
                      item.m_sAssNam.c_str(), item.m_nQty,
                      reader.ValToText(item.m_dLength).c_str(),
                      item.m_cTurn ? item.m_cTurn : '-');
    }
    out << (reader.m_cInch ? "  (inch)" : "") << "\n";
  }
  for (const std::string& w : reader.Warnings()) err << "barpost: " << w << "\n";
  if (records == 0) out << "  no record (the file is missing, unreadable or empty)\n";

  // Reading pass: the hole types against the punching units.
  job.ReadJob();
  CSetup& setup = job.m_dlgSetup;
  setup.m_nUnit = job.m_nInch;
  setup.Initialise();
  out << "\nPunching units (" << setup.Status() << ")\n";
  for (int u = 0; u < CSetup::kUnits; ++u) {
    const CSetup::UnitRow& row = setup.Unit(u);
    out << Format("  %d  %-2s  %-4s  %s\n", u + 1, row.level.c_str(), row.unit.c_str(),
                  row.size_visible ? setup.SizeText(u).c_str() : "");
  }
  out << "\nHole types of the job\n";
  if (setup.Program().empty()) out << "  none\n";
  for (const CSetup::ProgramRow& row : setup.Program())
    out << Format("  %-2s  %-16s %s\n", row.level.c_str(), row.size.c_str(),
                  row.fitting ? "fits" : "NO UNIT");
  out << (setup.OkEnabled() ? "  every hole type fits a unit\n"
                            : "  \"Setup machine\" would keep OK disabled\n");

  // Writing pass, without a file.
  struct Missed {
    Cam_Hole hole;
    std::string piece;
    double posX;
  };
  std::vector<Missed> missed;
  job.m_onUnpunched = [&](const Cam_Hole& h) {
    missed.push_back({h, job.m_cam.ReadHead("PCE_NAM"), job.m_dPosX});
  };
  job.DecideMiddleRemnant(false);
  job.BuildOperations();
  if (job.m_nMiddleRemnant) out << "\nMiddle remnant will be used\n";
  const std::vector<CUsi>& ops = job.m_aUsi.Sorted();
  out << "\nOperations in machine order (" << ops.size() << ")\n";
  out << "  kind face         X         Y  machine X  machine Y  code unit  piece\n";
  for (const CUsi& u : ops) {
    std::string what = u.m_cType == 'D'   ? Format("%d %s", u.m_nUnit + 1, u.m_szUnit)
                       : u.m_cType == 'M' ? Format("'%c'", u.m_cChar)
                                          : std::string("saw");
    out << Format("  %c    %4d %9s %9s %10s %10s %5d %-5s %s%s\n", u.m_cType, u.m_nFace,
                  FixedText(u.m_dX, 3).c_str(), FixedText(u.m_dY, 3).c_str(),
                  FixedText(u.m_dXMachine, 3).c_str(), FixedText(u.m_dYMachine, 3).c_str(),
                  u.m_nCode, what.c_str(), u.m_szPceNam, u.m_bRemnant ? " (remnant)" : "");
  }
  if (job.Overflowed())
    out << "  ... stopped at " << kMaxOperations << " operations\n";

  out << "\nHoles no unit can punch (" << missed.size() << ")\n";
  for (const Missed& m : missed)
    out << Format("  %s  X %s Y %s  %s %s: %s\n", m.piece.c_str(),
                  job.m_cam.ValToText(m.posX + m.hole.m_dX).c_str(),
                  job.m_cam.ValToText(m.hole.m_dY).c_str(), m.hole.m_nLevel == 0 ? "FL" : "NL",
                  HoleSizeText(m.hole, job.m_cam).c_str(),
                  UnpunchedReason(m.hole, job.m_cam).c_str());
  return kExitOk;
}
