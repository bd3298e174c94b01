#include "ui/setup.h"

#include <cmath>
#include <functional>

#include "base/text.h"
#include "config/options.h"
#include "ui/front_end.h"

namespace {

constexpr int kSlot = 4;
constexpr int kAngledShape = 3;  // its second angle is a direction
constexpr int kIgnored = 13;

const Rgb kBlack{0, 0, 0};
const Rgb kGreen{0, 255, 0};
const Rgb kWhite{255, 255, 255};
const Rgb kRed{255, 0, 0};

// The unit row i of the option table, empty when the table is short.
const rec_uni& UnitRecord(int i) {
  static const rec_uni kEmpty;
  if (i < 0 || i >= g_options.units.GetSize()) return kEmpty;
  return g_options.units[i];
}

// The level a hole is punched on as the unit table counts it (0 first
// level, 1 second). The collection already turns level 2 into level 1;
// a level 2 that comes through anyway is served like level 1, as the punch
// assignment serves it.
int PunchLevel(const Cam_Hole& hole) { return hole.m_nLevel == 2 ? 1 : hole.m_nLevel; }

std::string LevelText(int level) {
  switch (level) {
    case 0: return "FL";
    case 1: return "NL";
    default: return Format("%d", level);
  }
}

// One punching unit as Refresh compares it.
struct UnitFit {
  int level = -1;      // hole level the unit serves (ServedLevel)
  double round = 0;    // the size text read as one length
  UnitSize slot;       // the size text read as a slot
};

bool Near(double a, double b) { return std::fabs(a - b) < g_dTolerance; }

bool Fits(const Cam_Hole& hole, const UnitFit& unit) {
  if (hole.m_nKind == kSlot)
    return Near(hole.m_dDiameter, unit.slot.width) && Near(hole.m_dLength, unit.slot.length) &&
           Near(hole.m_dAngle, unit.slot.angle);
  return Near(hole.m_dDiameter, unit.round);
}

// The line under the lists: what keeps OK disabled, the first few hole
// types by level and size.
std::string SummaryText(const std::vector<std::string>& missing, int total) {
  constexpr std::size_t kNamed = 3;
  if (total == 0) return "No hole types to punch.";
  if (missing.empty()) return "Every hole type fits a unit.";
  std::string text = Format("%d of %d hole types %s no unit: ", static_cast<int>(missing.size()),
                            total, missing.size() == 1 ? "fits" : "fit");
  for (std::size_t i = 0; i < missing.size() && i < kNamed; ++i)
    text += (i > 0 ? ", " : "") + missing[i];
  if (missing.size() > kNamed)
    text += Format(" and %d more", static_cast<int>(missing.size() - kNamed));
  return text + ".";
}

std::size_t HashDouble(double v) {
  if (v == 0) v = 0;  // -0 and 0 are the same size
  return std::hash<double>{}(v);
}

}  // namespace

double HalfTurnAngle(double angle) {
  if (!std::isfinite(angle)) return 0;
  double a = std::fmod(angle, 180.0);  // exact, unlike repeated additions
  if (a < 0) a += 180;
  if (a >= 180) a -= 180;  // -1e-20 + 180 rounds to 180
  return a == 0 ? 0.0 : a;  // no "-0" in texts
}

UnitSize ParseUnitSize(const std::string& text, const CCam& reader) {
  std::string s(Trim(text));
  if (s.find('-') == std::string::npos) s += "-0";
  std::size_t x = s.find_first_of("Xx");
  std::size_t dash = s.find('-', x == std::string::npos ? 0 : x + 1);
  std::size_t width_end = x != std::string::npos ? x : dash;
  UnitSize size;
  size.width = reader.TextToVal(s.substr(0, width_end));
  if (x != std::string::npos) {
    std::size_t length_end = dash == std::string::npos ? s.size() : dash;
    size.length = reader.TextToVal(s.substr(x + 1, length_end - x - 1));
  }
  if (dash != std::string::npos) size.angle = ToDouble(std::string_view(s).substr(dash + 1));
  return size;
}

std::size_t CSetup::HoleKeyHash::operator()(const HoleKey& key) const {
  std::size_t h = static_cast<std::size_t>(key.kind) * 31 + static_cast<std::size_t>(key.level);
  for (double v : {key.diameter, key.length, key.angle, key.angle2, key.shape, key.y})
    h = h * 1000003u ^ HashDouble(v);
  return h;
}

// Keeps one hole per hole type: kind 13 is not a hole to punch; slot
// directions (and the second angle of kind 3) count modulo a half turn; the
// position along the bar (X) does not count and Y is dropped.
void CSetup::AddHole(Cam_Hole hole) {
  if (hole.m_nKind == kIgnored) return;
  if (hole.m_nKind == kSlot) hole.m_dAngle = HalfTurnAngle(hole.m_dAngle);
  if (hole.m_nKind == kAngledShape) hole.m_dAngle2 = HalfTurnAngle(hole.m_dAngle2);
  hole.m_dY = 0;
  HoleKey key{hole.m_nKind,      hole.m_nLevel,  hole.m_dDiameter, hole.m_dLength,
              hole.m_dAngle,     hole.m_dAngle2, hole.m_dShape,    hole.m_dY};
  if (!m_holeTypes.insert(key).second) return;
  m_aHoles.Add(hole);
}

void CSetup::ClearHoles() {
  m_aHoles.RemoveAll();
  m_holeTypes.clear();
}

int CSetup::DoModal() { return FrontEnd().RunSetup(*this); }

void CSetup::Initialise() {
  m_reader.m_cInch = static_cast<char>(m_nUnit);
  m_sStatus = m_nUnit == 0 ? "Metrique" : m_nUnit == 1 ? "Imperial" : "";
  for (int i = 0; i < kUnits; ++i) {
    const rec_uni& row = UnitRecord(i);
    UnitRow& cell = m_units[i];
    int level = ToInt(row.level);
    cell.level = level == 1 ? "FL" : level == 2 ? "NL" : "";
    cell.size_visible = !row.level.empty();
    cell.unit = ToInt(row.mfunc) > 0 ? "M" + row.mfunc : "*";
  }
  Refresh();
  m_sCaption = Format("Setup machine %c00001", '%');
}

void CSetup::Refresh() {
  UnitFit units[kUnits];
  for (int i = 0; i < kUnits; ++i) {
    const rec_uni& row = UnitRecord(i);
    units[i].level = ServedLevel(row);
    units[i].round = m_reader.TextToVal(row.diameter);
    units[i].slot = ParseUnitSize(row.diameter, m_reader);
  }

  bool all_fitting = true;
  std::vector<std::string> missing;  // level and size of each hole type that fits no unit
  m_program.clear();
  m_program.reserve(static_cast<std::size_t>(m_aHoles.GetSize()));
  for (const Cam_Hole& hole : m_aHoles) {
    bool fitting = hole.m_dDiameter == 0;  // nothing to punch: any unit will do
    int other_level = -1;  // a level whose unit carries the size, when not the hole's
    for (int i = 0; i < kUnits && !fitting; ++i) {
      if (!Fits(hole, units[i])) continue;
      if (units[i].level == PunchLevel(hole))
        fitting = true;
      else if (units[i].level >= 0)
        other_level = units[i].level;
    }

    ProgramRow row;
    row.level = LevelText(PunchLevel(hole));
    row.size = hole.m_nKind == kSlot
                   ? Format("%sX%s-%s", m_reader.ValToText(hole.m_dDiameter, 0).c_str(),
                            m_reader.ValToText(hole.m_dLength, 0).c_str(),
                            FixedText(hole.m_dAngle, 0).c_str())
                   : m_reader.ValToText(hole.m_dDiameter, 0);
    row.fitting = fitting;
    row.fit = fitting ? "fits" : "no unit";
    row.text = fitting ? kBlack : kWhite;
    row.background = fitting ? kGreen : kRed;
    if (!fitting) {
      all_fitting = false;
      std::string what = row.level + " " + row.size;
      if (other_level >= 0) what += " (mounted on " + LevelText(other_level) + " only)";
      missing.push_back(std::move(what));
    }
    m_program.push_back(std::move(row));
  }
  m_bOkEnabled = all_fitting;
  m_sSummary = SummaryText(missing, static_cast<int>(m_program.size()));
}

int CSetup::NotFittingCount() const {
  int n = 0;
  for (const ProgramRow& row : m_program) n += row.fitting ? 0 : 1;
  return n;
}

const std::string& CSetup::SizeText(int unit) const { return UnitRecord(unit).diameter; }

void CSetup::SetSizeText(int unit, const std::string& text) {
  if (unit < 0 || unit >= kUnits) return;
  while (g_options.units.GetSize() <= unit) g_options.units.Add(rec_uni{});
  g_options.units[unit].diameter = text;
  Refresh();
}
