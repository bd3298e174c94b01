#include "ui/setup.h"

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/text.h"
#include "ui/setup_test_util.h"

namespace {

// The "Program" rows in words, each checked against its colours and the
// count of rows that keep OK disabled, and the line under them.
std::string ProgramText(const CSetup& setup) {
  std::string text;
  int missing = 0;
  for (const CSetup::ProgramRow& row : setup.Program()) {
    text += (text.empty() ? "" : ", ") + row.level + " " + row.size + " " + row.fit;
    missing += row.fitting ? 0 : 1;
    EXPECT_EQ(row.fit, row.fitting ? "fits" : "no unit");
    EXPECT_EQ(row.text, row.fitting ? (Rgb{0, 0, 0}) : (Rgb{255, 255, 255})) << row.size;
    EXPECT_EQ(row.background, row.fitting ? (Rgb{0, 255, 0}) : (Rgb{255, 0, 0})) << row.size;
  }
  EXPECT_EQ(setup.NotFittingCount(), missing);
  EXPECT_EQ(setup.OkEnabled(), missing == 0);
  return text + " | " + setup.Summary();
}

// The "Setup" rows, and the sizes typed into them.
TEST(SetupTest, UnitRowsAndSizeEdits) {
  SetUnits({{"1", "12", "22"}, {"2", "0", "18"}, {"", "", ""}, {"3", "", "20"}, {" 2", "x", ""}});
  CSetup setup;
  setup.AddHole(Hole(0, 25));
  std::string rows;  // status; each unit's level, M function and whether its size shows
  for (int unit : {2, 1, 0}) {
    setup.m_nUnit = unit;
    setup.Initialise();
    rows += "[" + setup.Status() + "] ";
  }
  for (int i = 0; i < CSetup::kUnits; ++i) {
    const CSetup::UnitRow& row = setup.Unit(i);
    rows += row.level + "/" + row.unit + (row.size_visible ? "+ " : "- ");
  }
  // Level 3 is no level, but the row has a size edit; M function 0 is none.
  EXPECT_EQ(rows, "[] [Imperial] [Metrique] FL/M12+ NL/*+ /*- /*+ NL/*+ /*- ");
  EXPECT_EQ(setup.Caption(), "Setup machine %00001");
  g_options.units.RemoveAll();  // a short table: the rows beyond it are empty
  setup.Initialise();
  EXPECT_EQ(setup.Unit(5).level + setup.SizeText(5) + setup.Unit(5).unit, "*");
  setup.SetSizeText(6, "22");  // no such unit
  setup.SetSizeText(-1, "22");
  setup.SetSizeText(3, "22");  // the table grows to the unit
  EXPECT_EQ(g_options.units.GetSize(), 4);
  g_options.units[3].level = "1";
  setup.SetSizeText(3, "25.01");  // the rows follow
  EXPECT_EQ(ProgramText(setup), "FL 25 fits | Every hole type fits a unit.");
}

TEST(SetupTest, HoleTypesAgainstTheUnits) {
  struct Job {
    std::vector<UnitText> units;
    std::vector<Cam_Hole> holes;
    int unit;  // of the job: 0 millimetres, 1 inches
    const char* program;  // the rows | the line under them
  };
  const Job jobs[] = {
      // A size within the tolerance fits; one mounted on the other level only does not.
      {{{"1", "", "22"}, {"2", "", "18"}}, {Hole(0, 22.015), Hole(0, 18)}, 0,
       "FL 22.02 fits, FL 18 no unit | 1 of 2 hole types fits no unit: FL 18 (mounted on NL "
       "only)."},
      {{{"1", "", "0.02"}}, {Hole(0, 0.04)}, 0,  // off by just the tolerance
       "FL 0.04 no unit | 1 of 1 hole types fits no unit: FL 0.04."},
      {{{"1", "", "22"}, {"2", "", "18"}, {"1", "", "18.03"}}, {Hole(0, 18)}, 0,
       "FL 18 no unit | 1 of 1 hole types fits no unit: FL 18 (mounted on NL only)."},
      {{{"1", "", "22"}, {"2", "", "18"}, {"1", "", "18.01"}}, {Hole(0, 22), Hole(0, 18)}, 0,
       "FL 22 fits, FL 18 fits | Every hole type fits a unit."},
      // A unit without level carries nothing; the first three are named.
      {{{"1", "", "22"}, {"2", "", "18"}, {"", "", "14"}},
       {Hole(0, 22), Hole(0, 18), Hole(0, 14), Hole(0, 30), Hole(0, 32)}, 0,
       "FL 22 fits, FL 18 no unit, FL 14 no unit, FL 30 no unit, FL 32 no unit | 4 of 5 hole "
       "types fit no unit: FL 18 (mounted on NL only), FL 14, FL 30 and 1 more."},
      // A row serves its level read as a number, minus 1, as the punch
      // assignment does: "" and "0" serve no real level, "0" a corrupt -1.
      // Nothing to punch fits without a unit; level 2 is served as level 1.
      {{{"", "", "22"}, {"0", "", "22"}, {"2", "", "18"}},
       {Hole(0, 22), Hole(-1, 22), Hole(1, 0), Hole(2, 18)}, 0,
       "FL 22 no unit, -1 22 fits, NL 0 fits, NL 18 fits | 1 of 4 hole types fits no unit: FL 22."},
      {{{"1", "", "22"}, {"2", "", "22"}}, {Hole(1, 22), Hole(0, 22)}, 0,
       "NL 22 fits, FL 22 fits | Every hole type fits a unit."},
      {{{"1", "", "22"}}, {Hole(1, 22)}, 0,
       "NL 22 no unit | 1 of 1 hole types fits no unit: NL 22 (mounted on FL only)."},
      // Slots: width, length and direction; "22X60" has the direction 0.
      {{{"1", "", "22X60"}, {"2", "", "22X60-45"}},
       {Hole(0, 22, 4, 60, 0), Hole(0, 22, 4, 60, 45), Hole(1, 22, 4, 60, -135),
        Hole(1, 22, 4, 60.01, 45.01), Hole(1, 22, 4, 61, 45), Hole(0, 22, 4, 60, 180), Hole(0, 22)},
       0, "FL 22X60-0 fits, FL 22X60-45 no unit, NL 22X60-45 fits, NL 22X60.01-45 fits, "
          "NL 22X61-45 no unit, FL 22 no unit | 3 of 6 hole types fit no unit: FL 22X60-45 "
          "(mounted on NL only), NL 22X61-45, FL 22."},
      // The sizes are read in the job's unit.
      {{{"1", "", "1"}, {"2", "", "1X2-30"}}, {Hole(0, 25.4), Hole(1, 25.4, 4, 50.8, 30)}, 1,
       "FL 1 fits, NL 1X2-30 fits | Every hole type fits a unit."},
      {{{"1", "", "1"}, {"2", "", "1X2-30"}}, {Hole(0, 25.4), Hole(1, 25.4, 4, 50.8, 30)}, 0,
       "FL 25.4 no unit, NL 25.4X50.8-30 no unit | 2 of 2 hole types fit no unit: FL 25.4, NL "
       "25.4X50.8-30."},
  };
  for (const Job& job : jobs) {
    SetUnits(job.units);
    CSetup setup;
    setup.m_nUnit = job.unit;
    for (const Cam_Hole& hole : job.holes) setup.AddHole(hole);
    setup.Initialise();
    EXPECT_EQ(ProgramText(setup), job.program);
  }
}

// One hole per hole type, in the order of first appearance.
TEST(SetupTest, AddHoleKeepsOneHolePerType) {
  CSetup setup;
  for (int i = 0; i < 100000; ++i) {  // a big job of few hole types
    Cam_Hole hole = Hole(i % 2, 10 + i % 50);
    hole.m_dX = i;      // X does not count, Y is dropped, Z is not compared,
    hole.m_dY = hole.m_dZ = i % 7;
    hole.m_dLength = i % 5 ? 0.0 : -0.0;  // and -0 is 0
    setup.AddHole(hole);
  }
  ASSERT_EQ(setup.Holes().GetSize(), 50);
  EXPECT_EQ(Format("%g %g %g", setup.Holes()[1].m_dX, setup.Holes()[1].m_dY,
                   setup.Holes()[49].m_dDiameter), "1 0 59");
  setup.ClearHoles();
  Cam_Hole shaped = Hole(0, 22, 3, 60, -30);
  shaped.m_dAngle2 = -30;
  Cam_Hole rotated = shaped, other = shaped;
  rotated.m_dAngle2 = 150;  // the second angle of kind 3 is a direction
  other.m_dAngle = 150;     // its first angle is not
  for (const Cam_Hole& hole :
       {Hole(0, 22), Hole(0, 22.000001), Hole(0, 40, 13), Hole(0, 22, 4, 60, -30),
        Hole(0, 22, 4, 60, 150), Hole(0, 22, 4, 60, 330), shaped, rotated, other})
    setup.AddHole(hole);  // 22.000001 is another size; kind 13 is no hole to punch
  std::string kept;
  for (const Cam_Hole& hole : setup.Holes())
    kept += Format("%d:%.8g/%g/%g ", hole.m_nKind, hole.m_dDiameter, hole.m_dAngle, hole.m_dAngle2);
  EXPECT_EQ(kept, "0:22/0/0 0:22.000001/0/0 4:22/150/0 3:22/-30/150 3:22/150/150 ");
}

TEST(SetupTest, UnitSizeTextsAndHalfTurns) {
  CCam mm;
  const char* sizes[][2] = {{"22X60-45", "22 60 45"}, {"22X60", "22 60 0"},  {"22", "22 0 0"},
                            {"22-30", "22 0 30"},     {" 22.5x60.5-90 ", "22.5 60.5 90"},
                            {"22X60--30", "22 60 -30"}, {"", "0 0 0"},        {"X", "0 0 0"}};
  for (const auto& s : sizes) {
    UnitSize size = ParseUnitSize(s[0], mm);
    EXPECT_EQ(Format("%g %g %g", size.width, size.length, size.angle), s[1]) << s[0];
  }

  const double angles[][2] = {{-30, 150}, {150, 150},   {180, 0}, {-180, 0},
                              {390, 30},  {-1e-20, 0}, {INFINITY, 0}, {NAN, 0}};
  for (const auto& a : angles) EXPECT_EQ(HalfTurnAngle(a[0]), a[1]) << a[0];
  EXPECT_FALSE(std::signbit(HalfTurnAngle(-0.0)));  // no "-0" in texts
}

}  // namespace
