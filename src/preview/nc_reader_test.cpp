#include "preview/nc_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "output/marking_macro.h"
#include "output/nc_program.h"
#include "preview/compare.h"
#include "preview/sheets.h"

namespace preview {
namespace {

const std::string kMacros = std::string(BARPOST_SOURCE_DIR) + "/examples/MACRO_MK/";

struct Variant {
  const char* name;
  int cnc, inch, device, ligne;
  const char* r99;
  bool remnant;
};

// A line of the three controls with its units in the program's unit.
OptionValues Machine(const Variant& v) {
  OptionValues o;
  o.Cnc = v.cnc;
  o.Ligne = v.ligne;
  o.Mark_Device = v.device;
  o.Mark_String = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-";
  o.Mark_Cod = "20";
  o.Mark_LgCar = "10";
  o.Mark_Speed = "3000";
  o.Off_R99 = v.r99;
  o.Off_Marq = "100";
  o.Off_Scie = "1000";
  o.Fctcoupe = "25";
  const char* off[6] = {"300", "400", "500", "350", "450", "550"};
  for (int i = 0; i < 6; ++i) o.Off_X[i] = off[i];
  for (int i = 0; i < 6; ++i) o.Clamp_Close[i] = std::to_string(500 + 700 * i), o.Clamp_Open[i] = "-300";
  if (v.inch) {
    o.units = {};
    for (const rec_uni& r : {rec_uni{"1", "Y1", "12", "", "7/8"}, rec_uni{"1", "Y2", "13", "", "3/4"},
                             rec_uni{"1", "Y3", "14", "", "1"}, rec_uni{"2", "Y4", "15", "", "7/8"},
                             rec_uni{"2", "Y5", "16", "", "3/4"}, rec_uni{"2", "Y6", "17", "", "7/8X2.5-0"}})
      o.units.Add(r);
    o.poincons.Add(CPoincon(25.4, 22.225, 1.588));
  } else {
    for (const rec_uni& r : {rec_uni{"1", "Y1", "12", "", "22"}, rec_uni{"1", "Y2", "13", "", "18"},
                             rec_uni{"1", "Y3", "14", "", "26"}, rec_uni{"2", "Y4", "15", "", "22"},
                             rec_uni{"2", "Y5", "16", "", "18"}, rec_uni{"2", "Y6", "17", "", "22X60-0"}})
      o.units.Add(r);
    o.poincons.Add(CPoincon(26, 22, 4));
  }
  return o;
}

CUsi Hole(const OptionValues& o, int unit, double x, double y, bool remnant, double shift) {
  CUsi u;
  u.m_cType = 'D';
  u.m_nFace = o.units[unit].level == "1" ? 1 : 0;
  u.m_nUnit = unit;
  u.m_nCode = std::stoi(o.units[unit].mfunc);
  CUsi::SetText(u.m_szUnit, o.units[unit].axis);
  u.m_dX = x;
  u.m_dY = y;
  u.m_dXMachine = std::stod(o.Off_X[unit]) + x + (remnant ? shift : 0);
  u.m_dYMachine = y + (unit == 2 ? o.poincons[0].m_dOffset : 0);
  u.m_bRemnant = remnant;
  return u;
}

CUsi Mark(const OptionValues& o, char c, double x, double y, bool remnant, double shift) {
  CUsi u;
  u.m_cType = 'M';
  u.m_nFace = 1;
  u.m_nCode = 20;
  u.m_cChar = c;
  u.m_dValue = 10.0 * static_cast<double>(o.Mark_String.find(c));
  u.m_dX = 100 + x;
  u.m_dY = y;
  u.m_dXMachine = u.m_dX + (remnant ? shift : 0);
  u.m_dYMachine = y;
  u.m_bRemnant = remnant;
  return u;
}

CUsi Cut(double x, int code, double machine) {
  CUsi u;
  u.m_cType = 'C';
  u.m_nFace = 1;
  u.m_nCode = code;
  u.m_dX = x;
  u.m_dXMachine = machine;
  u.m_bRemnant = code == 27;
  return u;
}

// The writer's text of a bar read back gives the very operations, at their
// bar positions, for every control, unit, X gearing, marking device and line
// numbering; and the clamp moves the writer made.
TEST(ProgramReader, ReadsBackWhatTheWriterWrote) {
  const Variant variants[] = {
      {"siemens mm wheel remnant", 0, 0, 1, 1, "", true},
      {"siemens inch scriber r99", 0, 1, 2, 0, "5", false},
      {"fagor mm wheel r99", 1, 0, 1, 1, "5", false},
      {"fagor inch scriber", 1, 1, 2, 1, "", false},
      {"clipper mm wheel", 2, 0, 1, 1, "", false},
      {"clipper inch scriber", 2, 1, 2, 0, "", false},
  };
  for (const Variant& v : variants) {
    SCOPED_TRACE(v.name);
    const OptionValues o = Machine(v);
    // One piece of 2800 on a bar of 3000: a remnant of 200.
    const double shift = 200;
    std::vector<CUsi> ops = {
        Hole(o, 0, 60, 0, false, shift),     // Y 0 first: the unit's Y is never written
        Hole(o, 0, 90, 40, false, shift),    Hole(o, 0, 120, 40, false, shift),
        Hole(o, 2, 700, 55.5, false, shift),  // the off-centre punch
        Hole(o, 5, 1400, 50, false, shift),   // the slot punch
        Hole(o, 3, 2700, 45, v.remnant, shift),
        Mark(o, 'A', 200, 30, false, shift), Mark(o, '1', 208, 30, false, shift),
        Mark(o, 'O', 2600, 30, v.remnant, shift),
        Cut(0, 25, 1000),
        v.remnant ? Cut(2800, 27, 1000 + 2800 - (2800 - shift)) : Cut(2800, 25, 3800),
    };
    std::stable_sort(ops.begin(), ops.end(), [](const CUsi& a, const CUsi& b) { return SortLess(a, b); });
    NcProgram p;
    p.bar = true;
    p.inch = v.inch;
    p.profile = "L100X100X10";
    p.length = 3000;
    Cam_Item item;
    item.m_sPceNam = "K-1";
    item.m_nQty = 1;
    item.m_dLength = 2800;
    p.items = {item};
    p.profile_h = p.profile_w = 100;
    p.middle_remnant = v.remnant;
    p.middle_x = 2700;
    p.middle_len = shift;
    for (const CUsi& u : ops) p.ops.push_back(u);
    const std::string text = WriteNcText(p, o, kMacros);

    ProgramRead r = ReadProgram(text, o, kMacros);
    EXPECT_TRUE(r.notes.empty()) << r.notes.front() << "\n" << text;
    EXPECT_EQ(r.inch, v.inch != 0);
    EXPECT_TRUE(r.bar);
    EXPECT_EQ(r.middle_remnant, v.remnant);
    MacroLibrary macros(kMacros);
    std::vector<Op> want;
    for (const CUsi& u : ops) want.push_back(OpOfUsi(u, o, v.inch, macros));
    std::vector<int> partner;
    EXPECT_EQ(CompareOps(want, r.ops, o, v.inch, &partner), 0) << text;
    for (std::size_t j = 0; j < r.ops.size(); ++j) {
      if (partner[j] < 0) continue;
      const Op& a = want[static_cast<std::size_t>(partner[j])];
      const Op& b = r.ops[j];
      EXPECT_NEAR(a.x, b.x, 0.01) << b.kind << " line " << b.line;
      if (a.has_y && b.kind != 'C') {
        EXPECT_NEAR(a.y, b.y, 0.01) << b.kind << " line " << b.line;
      }
      EXPECT_EQ(a.unit, b.unit);
    }
    // Clamp moves: the Siemens closes clamp 1 at the start and clamps 2 to 5
    // on the way, and opens those closed at the end.
    if (v.cnc == 0) {
      int closes = 0, opens = 0;
      for (const ClampMove& m : r.clamps) (m.close ? closes : opens)++;
      EXPECT_GE(closes, 4);
      EXPECT_GE(opens, 1);
    } else {
      EXPECT_TRUE(r.clamps.empty());
    }
  }
}

// Texts that are not what barpost writes are reported, not guessed.
TEST(ProgramReader, WhatIsNotUnderstoodIsNoted) {
  const OptionValues o = Machine({"", 0, 0, 1, 1, "", false});
  ProgramRead r = ReadProgram("N2X400Y9=30\r\nN4M12\r\nN6X500\r\nN8M77\r\nN10T3\r\n", o, kMacros);
  ASSERT_EQ(r.notes.size(), 3u);
  EXPECT_EQ(r.notes[0], "line 1: M12 is the M function of no punching unit with axis Y9=30");
  EXPECT_EQ(r.notes[1], "line 4: M77 is not understood here");
  EXPECT_EQ(r.notes[2], "line 5: 'T3' is not understood");
  EXPECT_TRUE(r.ops.empty());
}

// The Fagor writes axis and Y together ("Y11.5000": axis Y1 at 1.5 in), and
// two units may share an M function: the axis tells them apart.
TEST(ProgramReader, FagorAxisAndNumberRunTogether) {
  OptionValues o = Machine({"", 1, 1, 0, 1, "", false});
  o.units[1].mfunc = "12";
  ProgramRead r = ReadProgram("G70\r\nX7.0000Y11.5000M12\r\nX8.0000Y21.2500M12\r\nX9.0000M12\r\n",
                              o, kMacros);
  ASSERT_EQ(r.ops.size(), 3u);
  EXPECT_EQ(r.ops[0].axis, "Y1");
  EXPECT_NEAR(r.ops[0].ym, 1.5 * 25.4, 1e-9);
  EXPECT_EQ(r.ops[1].axis, "Y2");
  EXPECT_NEAR(r.ops[1].ym, 1.25 * 25.4, 1e-9);
  EXPECT_EQ(r.ops[2].axis, "Y1");  // without a Y: the first unit, at its last Y
  EXPECT_NEAR(r.ops[2].ym, 1.5 * 25.4, 1e-9);
}

}  // namespace
}  // namespace preview
