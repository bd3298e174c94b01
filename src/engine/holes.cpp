// Hole treatment: slots nibbled with the magazine or split into end holes,
// hole types collected for "Setup machine", holes assigned to punching units.
#include <cmath>

#include "base/text.h"
#include "config/options.h"
#include "engine/traitement.h"
#include "ui/setup.h"

namespace {

const double kPi = 4.0 * std::atan(1.0);
// Size tolerance of the magazine match and of the axis test of a slot.
constexpr double kMagazineTolerance = 0.1;
// A slot that would take more hits than this is not nibbled but split into
// its two end holes: no real slot comes near it, and it bounds the work a
// malformed job can ask for.
constexpr double kMaxHitsPerSlot = 100000;

// Nibbling pitch of a tool of width w for the roughness r: the advance at
// which the scallop left between two hits is r deep. No value when the
// tool's whole half-width is 0 or the roughness is out of its range.
bool NibblingPitch(double w, double r, double* pitch) {
  double n = std::trunc(w / 2);
  if (n == 0) return false;
  double s = (n - r) / n;
  if (!(std::fabs(s) <= 1.0)) return false;
  double p = std::cos(std::asin(s)) * 2 * n;
  *pitch = p <= 0.01 ? 1.0 : p;
  return true;
}

}  // namespace

void CTraitement::NibbleSlots() {
  const OptionValues& o = g_options;
  if (o.outils.IsEmpty()) return;
  CSortedArray<Cam_Hole>& holes = m_cam.m_aHoles;
  CSortedArray<Cam_Hole> extra;
  const double roughness = m_postNumbers.ready ? m_postNumbers.roughness : ToDouble(o.Rugosite);

  const int count = holes.GetSize();
  for (int i = 0; i < count; ++i) {
    Cam_Hole& slot = holes[i];
    if (slot.m_nKind != 4) continue;
    double angle = slot.m_dAngle;
    if (angle < 0) angle = std::fmod(angle, 360.0) + 360.0;
    if (angle >= 180.0) angle = HalfTurnAngle(angle);
    slot.m_dAngle = angle;

    // The last magazine tool that fits the slot's width and length; oblong
    // tools only along or across the bar.
    bool axisAligned = std::fabs(angle) < kMagazineTolerance ||
                       std::fabs(angle - 90.0) < kMagazineTolerance;
    const CMagasin* tool = nullptr;
    double pitch = 0;
    for (const CMagasin& t : o.outils) {
      double p = 0;
      if (std::fabs(slot.m_dDiameter - t.m_dDiameter) < kMagazineTolerance &&
          slot.m_dLength >= t.m_dLength && (t.m_cKind != 4 || axisAligned) &&
          NibblingPitch(t.m_dDiameter, roughness, &p)) {
        double step = std::fabs(t.m_dLength - t.m_dDiameter) + p;
        if ((slot.m_dLength - t.m_dLength) / step > kMaxHitsPerSlot) continue;
        tool = &t;
        pitch = p;
      }
    }

    const double a = kPi * angle / 180.0;
    if (tool) {
      const double w = tool->m_dDiameter, l = tool->m_dLength;
      const double h = (slot.m_dLength - l) / 2;
      const double x1 = slot.m_dX - std::cos(a) * h;
      const double y1 = slot.m_dY - std::sin(a) * h;
      Cam_Hole hit = slot;
      hit.m_dX = x1;
      hit.m_dY = std::fabs(y1);
      if (tool->m_cKind == 0) hit.m_nKind = 0;
      if (tool->m_cKind == 4) {
        hit.m_dLength = l;
      } else {
        hit.m_dLength = 0;
        hit.m_dAngle = 0;
      }
      const double length = slot.m_dLength;
      double travelled = l, x = x1, y = y1;
      const double step = std::fabs(l - w) + pitch;
      while (length > travelled) {
        x += step * std::cos(a);
        y += step * std::sin(a);
        travelled += step;
        if (travelled > length) {
          // The last hit is pulled back so that the tool's far edge meets
          // the end of the slot.
          double e = travelled - length;
          y -= e * std::sin(a);
          x -= e * std::cos(a);
        }
        Cam_Hole next = hit;
        next.m_dX = x;
        next.m_dY = y;
        extra.Add(next);
      }
      slot = hit;
    } else {
      // No tool: a round hole of the slot's width at each end.
      const double h = (slot.m_dLength - slot.m_dDiameter) / 2;
      const double dx = std::cos(a) * h, dy = std::sin(a) * h;
      Cam_Hole end = slot;
      end.m_nKind = 0;
      end.m_dLength = 0;
      end.m_dAngle = 0;
      end.m_dAngle2 = 0;
      end.m_dShape = 0;
      Cam_Hole other = end;
      end.m_dX = slot.m_dX - dx;
      end.m_dY = slot.m_dY - dy;
      other.m_dX = slot.m_dX + dx;
      other.m_dY = slot.m_dY + dy;
      extra.Add(other);
      slot = end;
    }
  }
  for (Cam_Hole hole : extra) {
    hole.m_dY = std::fabs(hole.m_dY);
    holes.Add(hole);
  }
}

void CTraitement::CollectSetupHoles() {
  for (Cam_Hole& hole : m_cam.m_aHoles) {
    if (hole.m_dDiameter == 1.0) continue;
    if (hole.m_nLevel == 2) hole.m_nLevel = 1;
    m_dlgSetup.AddHole(hole);
  }
}

void CTraitement::PrepareHoles() {
  const OptionValues& o = g_options;
  const CPostCam& c = m_cam;
  const int rows = o.units.GetSize();
  m_holeOps.clear();

  // The unit sizes in the piece's unit, read once per pass for each unit.
  UnitTable& table = m_unitTables[c.m_cInch != 0 ? 1 : 0];
  if (!table.ready) {
    for (int u = 0; u < rows && u < 6; ++u) {
      const std::string& text = o.units[u].diameter;
      table.slotSize[u] = ParseUnitSize(text, c);
      table.roundSize[u] = c.TextToVal(text);
      table.level[u] = ServedLevel(o.units[u]);
      table.offsetX[u] = ToDouble(o.Off_X[u]);
      table.code[u] = ToInt(o.units[u].mfunc);
    }
    table.ready = true;
  }
  const UnitSize* slotSize = table.slotSize;
  const double* roundSize = table.roundSize;
  const double* offsetX = table.offsetX;
  const int* level = table.level;
  const int* code = table.code;
  PieceOp op;
  CUsi d;
  d.m_cType = 'D';
  const std::uint32_t names = m_nPieceNames;

  for (int index = 0; index < c.m_aHoles.GetSize(); ++index) {
    Cam_Hole hole = c.m_aHoles[index];
    double offset = 0;
    if (hole.m_nKind != 4 && hole.m_dDiameter != 0) {
      // The last off-centre punch row for this diameter gives the Y offset.
      for (const CPoincon& p : o.poincons)
        if (std::fabs(p.m_dDiameter - hole.m_dDiameter) < g_dTolerance) offset = p.m_dOffset;
    }
    if (hole.m_nKind == 4) hole.m_dAngle = HalfTurnAngle(hole.m_dAngle);

    int unit = -1;
    for (int u = 0; u < rows && u < 6; ++u) {
      if (hole.m_dDiameter == 0) {
        unit = 0;
        break;
      }
      if (u == 0 && hole.m_nLevel == 2) hole.m_nLevel = 1;
      bool size;
      if (hole.m_nKind == 4) {
        size = std::fabs(hole.m_dDiameter - slotSize[u].width) < g_dTolerance &&
               std::fabs(hole.m_dLength - slotSize[u].length) < g_dTolerance &&
               std::fabs(hole.m_dAngle - slotSize[u].angle) < g_dTolerance;
      } else {
        size = std::fabs(hole.m_dDiameter - roundSize[u]) < g_dTolerance;
      }
      if (size && hole.m_nLevel == level[u]) {
        unit = u;
        break;
      }
    }
    op.hole = unit < 0 ? index : -1;  // no unit punches it; the program simply lacks the hole
    if (unit >= 0) {
      switch (hole.m_nLevel) {
        case 0:
          d.m_nFace = 1;
          break;
        case 2:
          d.m_nFace = 2;
          break;
        default:
          d.m_nFace = 0;
          break;
      }
      d.m_dY = std::fabs(hole.m_dY);
      d.m_dYMachine = std::fabs(hole.m_dY) + offset;
      d.m_nCode = code[unit];
      CUsi::SetText(d.m_szUnit, o.units[unit].axis);
      d.m_nUnit = unit;
      d.m_dValue = hole.m_dDiameter;
      op.x = hole.m_dX;
      op.step = offsetX[unit];
      op.usi = UsiRecord(d);
      op.y = d.m_dY;
      op.names = names;
    }
    m_holeOps.push_back(op);
  }
}

void CTraitement::PunchHoles(bool last) {
  for (const PieceOp& op : m_holeOps) {
    if (op.hole >= 0) {
      if (m_onUnpunched) m_onUnpunched(m_cam.m_aHoles[op.hole]);
      continue;
    }
    UsiRecord d = op.usi;
    const double x = m_dPosX + op.x;
    d.m_dXMachine = op.step + x;
    if (m_nMiddleRemnant != 0 && last) {
      d.m_dXMachine += m_dMiddleLen;
      d.m_bRemnant = 1;
    }
    AddRecord(d, x, op.y, op.names);
    if (m_bOverflow) return;
  }
}
