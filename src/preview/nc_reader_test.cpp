#include "preview/nc_reader.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "output/marking_macro.h"
#include "output/nc_program.h"
#include "preview/compare.h"
#include "preview/sheets.h"
#include "preview/svg.h"

namespace preview {
namespace {

const std::string kMacros = std::string(BARPOST_SOURCE_DIR) + "/examples/MACRO_MK/";

// A line of one of the three controls with its units in the program's unit.
OptionValues Machine(int cnc, bool inch, int device, int ligne, const char* r99) {
  OptionValues o;
  o.Cnc = cnc, o.Ligne = ligne, o.Mark_Device = device, o.Off_R99 = r99;
  o.Mark_String = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-";
  o.Mark_Cod = "20", o.Mark_LgCar = "10", o.Mark_Speed = "3000";
  o.Off_Marq = "100", o.Off_Scie = "1000", o.Fctcoupe = "25";
  const char* sizes[2][6] = {{"22", "18", "26", "22", "18", "22X60-0"}, {"7/8", "3/4", "1", "7/8", "3/4", "7/8X2.5-0"}};
  o.units = {};
  for (int i = 0; i < 6; ++i) {
    o.Off_X[i] = std::to_string(300 + 100 * (i % 3) + 50 * (i / 3));
    o.Clamp_Close[i] = std::to_string(500 + 700 * i), o.Clamp_Open[i] = "-300";
    o.units.Add(rec_uni{i < 3 ? "1" : "2", "Y" + std::to_string(i + 1), std::to_string(12 + i), "", sizes[inch][i]});
  }
  o.poincons.Add(inch ? CPoincon(25.4, 22.225, 1.588) : CPoincon(26, 22, 4));
  return o;
}

// 'D' hole of a unit, 'M' mark of a character, 'C' cut of an M function.
CUsi Usi(const OptionValues& o, char type, int unit_or_code, double x, double y, bool remnant, double machine = 0) {
  CUsi u;
  u.m_cType = type, u.m_dX = x, u.m_dY = y, u.m_bRemnant = remnant, u.m_nFace = 1;
  if (type == 'D') {
    u.m_nFace = o.units[unit_or_code].level == "1" ? 1 : 0;
    u.m_nUnit = unit_or_code;
    u.m_nCode = std::stoi(o.units[unit_or_code].mfunc);
    CUsi::SetText(u.m_szUnit, o.units[unit_or_code].axis);
    u.m_dXMachine = std::stod(o.Off_X[unit_or_code]) + x + (remnant ? 200 : 0);
    u.m_dYMachine = y + (unit_or_code == 2 ? o.poincons[0].m_dOffset : 0);
  } else if (type == 'M') {
    u.m_nCode = 20, u.m_cChar = static_cast<char>(unit_or_code);
    u.m_dValue = 10.0 * static_cast<double>(o.Mark_String.find(u.m_cChar));
    u.m_dX = 100 + x, u.m_dXMachine = u.m_dX + (remnant ? 200 : 0), u.m_dYMachine = y;
  } else {
    u.m_nCode = unit_or_code, u.m_dXMachine = machine;
  }
  return u;
}

// The writer's text of a bar read back gives the very operations, at their
// bar positions, for every control, unit, X gearing, marking device and line
// numbering; and the clamp moves the writer made. A comparison run again
// after a difference is gone marks nothing.
TEST(ProgramReader, ReadsBackWhatTheWriterWrote) {
  const struct {
    int cnc, inch, device, ligne;
    const char* r99;
    bool remnant;
  } variants[] = {{0, 0, 1, 1, "", true}, {0, 1, 2, 0, "5", false}, {1, 0, 1, 1, "5", false},
                  {1, 1, 2, 1, "", false}, {2, 0, 1, 1, "", false}, {2, 1, 2, 0, "", false}};
  for (const auto& v : variants) {
    SCOPED_TRACE(testing::Message() << "Cnc " << v.cnc << " inch " << v.inch << " device " << v.device);
    const OptionValues o = Machine(v.cnc, v.inch, v.device, v.ligne, v.r99);
    // One piece of 2800 on a bar of 3000: a remnant of 200. Y 0 first: the unit's Y is never written.
    std::vector<CUsi> ops = {
        Usi(o, 'D', 0, 60, 0, false),      Usi(o, 'D', 0, 90, 40, false),    Usi(o, 'D', 0, 120, 40, false),
        Usi(o, 'D', 2, 700, 55.5, false),  Usi(o, 'D', 5, 1400, 50, false),  Usi(o, 'D', 3, 2700, 45, v.remnant),
        Usi(o, 'M', 'A', 200, 30, false),  Usi(o, 'M', '1', 208, 30, false), Usi(o, 'M', 'O', 2600, 30, v.remnant),
        Usi(o, 'C', 25, 0, 0, false, 1000),
        Usi(o, 'C', v.remnant ? 27 : 25, 2800, 0, v.remnant, v.remnant ? 1200 : 3800)};
    std::stable_sort(ops.begin(), ops.end(), [](const CUsi& a, const CUsi& b) { return SortLess(a, b); });
    NcProgram p;
    p.bar = true, p.inch = v.inch, p.profile = "L100X100X10", p.length = 3000, p.profile_h = p.profile_w = 100;
    p.items.resize(1);
    p.items[0].m_sPceNam = "K-1", p.items[0].m_nQty = 1, p.items[0].m_dLength = 2800;
    p.middle_remnant = v.remnant, p.middle_x = 2700, p.middle_len = 200;
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
    r.ops[3].xm += 1;
    EXPECT_EQ(CompareOps(want, r.ops, o, v.inch), 2);
    r.ops[3].xm -= 1;
    std::vector<int> partner;
    EXPECT_EQ(CompareOps(want, r.ops, o, v.inch, &partner), 0) << text;
    for (std::size_t j = 0; j < r.ops.size(); ++j) {
      const Op& a = want[static_cast<std::size_t>(std::max(partner[j], 0))];
      const Op& b = r.ops[j];
      EXPECT_FALSE(a.differs || b.differs || partner[j] < 0 || b.line <= 0) << j;
      EXPECT_NEAR(a.x, b.x, 0.01) << b.kind << " line " << b.line;
      if (a.has_y && b.kind != 'C') {
        EXPECT_NEAR(a.y, b.y, 0.01) << b.kind << " line " << b.line;
      }
      EXPECT_EQ(a.unit, b.unit) << b.line;
      EXPECT_EQ(a.ch, b.ch) << b.line;
    }
    // The Siemens closes clamp 1 at the start and clamps 2 to 5 on the way,
    // and opens those closed at the end.
    const auto closes = std::count_if(r.clamps.begin(), r.clamps.end(), [](const ClampMove& m) { return m.close; });
    EXPECT_GE(closes, v.cnc == 0 ? 4 : 0);
    EXPECT_EQ(r.clamps.size() - static_cast<std::size_t>(closes) >= 1, v.cnc == 0);
    EXPECT_EQ(r.clamps.empty(), v.cnc != 0);
  }
}

// Texts that are not what barpost writes, strokes included, are reported,
// not guessed; a program of the middle remnant without its piece list cuts
// at the saw; the Fagor writes axis and Y together ("Y11.5000": axis Y1 at
// 1.5 in), and two units may share an M function: the axis tells them apart.
TEST(ProgramReader, NotesRemnantCutsAndFagorAxes) {
  ProgramRead r = ReadProgram("N2X400Y9=30\r\nN4M12\r\nN6X500\r\nN8M77\r\nN10T3\r\nN12XA\r\nN14G54\r\nX1000\r\nM27\r\n"
                              "G0G60X100W10\r\nX1W1\r\n",
                              Machine(0, false, 1, 1, ""), kMacros);
  const std::vector<std::string> notes = {"line 1: M12 is the M function of no punching unit with axis Y9=30",
                                          "line 4: M77 is not understood here", "line 5: 'T3' is not understood",
                                          "line 6: 'XA' is not understood",
                                          "line 10: strokes that no macro of MACRO_MK draws",
                                          "line 11: strokes that no macro of MACRO_MK draws"};
  EXPECT_EQ(r.notes, notes);
  ASSERT_EQ(r.ops.size(), 1u);
  EXPECT_EQ(r.ops[0].kind, 'C');
  EXPECT_EQ(r.ops[0].x, 0);
  OptionValues o = Machine(1, true, 0, 1, "");
  o.units[1].mfunc = "12";
  r = ReadProgram("G70\r\nX7.0000Y11.5000M12\r\nX8.0000Y21.2500M12\r\nX9.0000M12\r\n", o, kMacros);
  std::string got;  // without a Y: the first unit, at its last Y
  for (const Op& op : r.ops) got += op.axis + "@" + std::to_string(op.ym / 25.4) + " ";
  EXPECT_EQ(got, "Y1@1.500000 Y2@1.250000 Y1@1.500000 ");
}

// A program sheet's faces: the section the Siemens was given, else the
// profile's, else 10; never narrower than the farthest hole.
TEST(ProgramReader, ProgramSheetFaces) {
  const OptionValues o = Machine(0, false, 1, 1, "");
  const std::pair<const char*, const char*> cases[] = {
      {";Shape    L90X70X9\r\nH1=1\r\nH2=0.5\r\n", "1x0.5"},
      {";Shape    L90X70X9\r\n", "90x70"},
      {"G0\r\n", "10x10"},
      {";Shape    L90X70X9\r\nX400Y1=95\r\nM12\r\n", "110x70"}};
  for (auto [program, want] : cases) {
    const Sheet s = ProgramSheet(ReadProgram(program, o, kMacros), o, "t");
    EXPECT_EQ(Num(s.width[0]) + "x" + Num(s.width[1]), want) << program;
  }
}

}  // namespace
}  // namespace preview
