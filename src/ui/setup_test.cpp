#include "ui/setup.h"
#include "ui/setup_test_util.h"

#include <cmath>
#include <initializer_list>
#include <string>

#include <gtest/gtest.h>

#include "base/text.h"
#include "config/options.h"

namespace {

struct Unit {
  const char* level;
  const char* mfunc;
  const char* size;
};

// Puts six unit rows (fewer are padded with unused rows) into g_options.
void SetUnits(std::initializer_list<Unit> units) {
  g_options.units.RemoveAll();
  for (const Unit& u : units) {
    rec_uni row;
    row.level = u.level;
    row.mfunc = u.mfunc;
    row.diameter = u.size;
    g_options.units.Add(row);
  }
  while (g_options.units.GetSize() < CSetup::kUnits) g_options.units.Add(rec_uni{});
}

std::string Text(double value, int unit = 0) {
  CCam cam;
  cam.m_cInch = static_cast<char>(unit);
  return cam.ValToText(value, 0);
}

const Rgb kBlack{0, 0, 0}, kGreen{0, 255, 0}, kWhite{255, 255, 255}, kRed{255, 0, 0};

TEST(SetupTest, InitialiseWithoutHoles) {
  SetUnits({{"1", "12", "22"}, {"2", "0", "18"}, {"", "", ""}, {"3", "", "20"}, {" 2", "x", ""}});
  CSetup setup;
  setup.Initialise();
  EXPECT_EQ(setup.Caption(), "Setup machine %00001");
  EXPECT_EQ(setup.Status(), "Metrique");
  EXPECT_TRUE(setup.Program().empty());
  EXPECT_TRUE(setup.OkEnabled());

  EXPECT_EQ(setup.Unit(0).level, "FL");
  EXPECT_EQ(setup.Unit(0).unit, "M12");
  EXPECT_TRUE(setup.Unit(0).size_visible);
  EXPECT_EQ(setup.Unit(1).level, "NL");
  EXPECT_EQ(setup.Unit(1).unit, "*");  // M function 0 is no M function
  EXPECT_EQ(setup.Unit(2).level, "");
  EXPECT_FALSE(setup.Unit(2).size_visible);
  EXPECT_EQ(setup.Unit(3).level, "");  // level 3 is no level, but the row has a size edit
  EXPECT_TRUE(setup.Unit(3).size_visible);
  EXPECT_EQ(setup.Unit(4).level, "NL");
  EXPECT_EQ(setup.Unit(4).unit, "*");

  setup.m_nUnit = 1;
  setup.Initialise();
  EXPECT_EQ(setup.Status(), "Imperial");
}

TEST(SetupTest, RefreshColoursAndOk) {
  SetUnits({{"1", "12", "22"}, {"2", "13", "18"}});
  CSetup setup;
  setup.AddHole(Hole(0, 22.015));  // within the tolerance of unit 1
  setup.AddHole(Hole(0, 18));      // 18 is mounted, but on the other level
  setup.Initialise();
  ASSERT_EQ(setup.Program().size(), 2u);
  const auto& fits = setup.Program()[0];
  EXPECT_TRUE(fits.fitting);
  EXPECT_EQ(fits.level, "FL");
  EXPECT_EQ(fits.size, Text(22.015));
  EXPECT_EQ(fits.text, kBlack);
  EXPECT_EQ(fits.background, kGreen);
  const auto& missing = setup.Program()[1];
  EXPECT_FALSE(missing.fitting);
  EXPECT_EQ(missing.text, kWhite);
  EXPECT_EQ(missing.background, kRed);
  EXPECT_FALSE(setup.OkEnabled());
  EXPECT_EQ(setup.NotFittingCount(), 1);

  setup.SetSizeText(2, "18.03");  // a unit without level: nothing changes
  EXPECT_FALSE(setup.Program()[1].fitting);
  SetUnits({{"1", "12", "22"}, {"2", "13", "18"}, {"1", "14", "18.03"}});
  setup.Refresh();
  EXPECT_FALSE(setup.Program()[1].fitting);  // 0.03 is out of tolerance
  setup.SetSizeText(2, "18.01");
  EXPECT_EQ(g_options.units[2].diameter, "18.01");
  EXPECT_TRUE(setup.Program()[1].fitting);
  EXPECT_TRUE(setup.OkEnabled());
}

// The line under the lists and the fit column say in words what the colours
// say: how many hole types fit no unit, which ones, and a size mounted on
// the other level only.
TEST(SetupTest, SummaryAndFitWords) {
  SetUnits({{"1", "12", "22"}, {"2", "13", "18"}, {"", "", "14"}});
  CSetup setup;
  setup.Initialise();
  EXPECT_EQ(setup.Summary(), "No hole types to punch.");
  for (double d : {22.0, 18.0, 14.0, 30.0, 32.0}) setup.AddHole(Hole(0, d));
  setup.Refresh();
  EXPECT_EQ(setup.Program()[0].fit, "fits");
  EXPECT_EQ(setup.Program()[1].fit, "no unit");
  EXPECT_EQ(setup.Summary(), "4 of 5 hole types fit no unit: FL " + Text(18) +
                                 " (mounted on NL only), FL " + Text(14) + ", FL " + Text(30) +
                                 " and 1 more.");  // a unit without level carries nothing
  SetUnits({{"1", "12", "22"}, {"1", "13", "18"}, {"1", "", "14"}, {"1", "", "30"}});
  setup.Refresh();
  EXPECT_EQ(setup.Summary(), "1 of 5 hole types fits no unit: FL " + Text(32) + ".");
  setup.SetSizeText(4, "32");  // still no level
  setup.SetSizeText(3, "32");
  EXPECT_EQ(setup.Summary(), "1 of 5 hole types fits no unit: FL " + Text(30) + ".");
  SetUnits({{"1", "", "22"}, {"1", "", "18"}, {"1", "", "14"}, {"1", "", "30"}, {"1", "", "32"}});
  setup.Refresh();
  EXPECT_EQ(setup.Summary(), "Every hole type fits a unit.");
  EXPECT_EQ(setup.Program()[4].fit, "fits");
}

// A row serves the holes of its level read as a number, minus 1, as the
// punch assignment judges it: an empty or "0" level serves no hole of a
// real level, and only a hole of a (corrupt) level -1.
TEST(SetupTest, RowsServeTheirLevelMinusOne) {
  SetUnits({{"", "12", "22"}, {"0", "12", "22"}});
  CSetup setup;
  setup.AddHole(Hole(0, 22));
  setup.AddHole(Hole(-1, 22));
  setup.AddHole(Hole(1, 0));  // nothing to punch: fits without any unit
  setup.Initialise();
  EXPECT_FALSE(setup.Unit(0).size_visible);
  EXPECT_FALSE(setup.Program()[0].fitting);
  EXPECT_TRUE(setup.Program()[1].fitting);
  EXPECT_TRUE(setup.Program()[2].fitting);
  EXPECT_EQ(setup.NotFittingCount(), 1);
}

TEST(SetupTest, Slots) {
  SetUnits({{"1", "12", "22X60"}, {"2", "13", "22X60-45"}});
  CSetup setup;
  setup.AddHole(Hole(0, 22, 4, 60, 0));
  setup.AddHole(Hole(0, 22, 4, 60, 45));      // "22X60" means angle 0
  setup.AddHole(Hole(1, 22, 4, 60, -135));    // is 45
  setup.AddHole(Hole(1, 22, 4, 60.01, 45.01));
  setup.AddHole(Hole(1, 22, 4, 61, 45));
  setup.AddHole(Hole(0, 22, 4, 60, 180));     // is 0, the same as the first
  setup.Initialise();
  ASSERT_EQ(setup.Program().size(), 5u);
  EXPECT_TRUE(setup.Program()[0].fitting);
  EXPECT_FALSE(setup.Program()[1].fitting);
  EXPECT_TRUE(setup.Program()[2].fitting);
  EXPECT_TRUE(setup.Program()[3].fitting);
  EXPECT_FALSE(setup.Program()[4].fitting);
  EXPECT_EQ(setup.Program()[0].size, Text(22) + "X" + Text(60) + "-0");
  EXPECT_EQ(setup.Program()[2].size, Text(22) + "X" + Text(60) + "-45");
  EXPECT_EQ(setup.Program()[2].level, "NL");

  CSetup round;
  round.AddHole(Hole(0, 22));
  round.Initialise();
  EXPECT_EQ(round.Program()[0].size, Text(22));
}

TEST(SetupTest, SameSizeOnTwoLevels) {
  SetUnits({{"1", "12", "22"}, {"2", "13", "22"}});
  CSetup setup;
  setup.AddHole(Hole(1, 22));
  setup.AddHole(Hole(0, 22));
  setup.AddHole(Hole(2, 22));  // the collection never hands level 2 on; served as level 1
  setup.Initialise();
  ASSERT_EQ(setup.Program().size(), 3u);
  EXPECT_EQ(setup.Program()[0].level, "NL");
  EXPECT_EQ(setup.Program()[1].level, "FL");
  EXPECT_EQ(setup.Program()[2].level, "NL");
  EXPECT_TRUE(setup.OkEnabled());
  SetUnits({{"1", "12", "22"}});
  setup.Refresh();
  EXPECT_FALSE(setup.Program()[0].fitting);
  EXPECT_TRUE(setup.Program()[1].fitting);
}

TEST(SetupTest, AddHoleKeepsOneHolePerType) {
  CSetup setup;
  Cam_Hole a = Hole(0, 22);
  a.m_dX = 100;
  a.m_dY = 40;
  setup.AddHole(a);
  Cam_Hole b = a;
  b.m_dX = 500;  // X does not count
  b.m_dY = -12;  // Y is dropped
  b.m_dZ = 3;    // nor do the fields the comparison leaves out
  setup.AddHole(b);
  ASSERT_EQ(setup.Holes().GetSize(), 1);
  EXPECT_EQ(setup.Holes()[0].m_dX, 100);
  EXPECT_EQ(setup.Holes()[0].m_dY, 0);

  setup.AddHole(Hole(0, 22.000001));  // exact comparison
  setup.AddHole(Hole(0, 40, 13));     // kind 13 is never listed
  setup.AddHole(Hole(0, 22, 4, 60, -30));
  setup.AddHole(Hole(0, 22, 4, 60, 150));
  setup.AddHole(Hole(0, 22, 4, 60, 330));
  Cam_Hole shaped = Hole(0, 22, 3, 60, -30);
  shaped.m_dAngle2 = -30;
  setup.AddHole(shaped);
  shaped.m_dAngle2 = 150;
  setup.AddHole(shaped);  // second angle normalised
  shaped.m_dAngle = 150;
  setup.AddHole(shaped);  // but not the first angle of kind 3
  shaped.m_dShape = 1;
  setup.AddHole(shaped);
  const auto& holes = setup.Holes();
  ASSERT_EQ(holes.GetSize(), 6);
  EXPECT_EQ(holes[1].m_dDiameter, 22.000001);
  EXPECT_EQ(holes[2].m_dAngle, 150);
  EXPECT_EQ(holes[3].m_dAngle2, 150);
  EXPECT_EQ(holes[3].m_dAngle, -30);
  EXPECT_EQ(holes[4].m_dAngle, 150);
  EXPECT_EQ(holes[5].m_dShape, 1);

  setup.ClearHoles();
  EXPECT_TRUE(setup.Holes().IsEmpty());
  setup.AddHole(a);
  EXPECT_EQ(setup.Holes().GetSize(), 1);
}

TEST(SetupTest, ManyHolesOfFewTypes) {
  CSetup setup;
  for (int i = 0; i < 300000; ++i) {
    Cam_Hole hole = Hole(i % 2, 10 + i % 50);
    hole.m_dX = i;
    setup.AddHole(hole);
  }
  ASSERT_EQ(setup.Holes().GetSize(), 50);
  EXPECT_EQ(setup.Holes()[0].m_dDiameter, 10);
  EXPECT_EQ(setup.Holes()[49].m_dDiameter, 59);
}

TEST(SetupTest, MoreThanEightHoleTypesAreAllListed) {
  SetUnits({{"1", "12", "22"}});
  CSetup setup;
  for (int i = 0; i < 20; ++i) setup.AddHole(Hole(0, 10 + i));
  setup.Initialise();
  ASSERT_EQ(setup.Program().size(), 20u);
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(setup.Program()[static_cast<std::size_t>(i)].size, Text(10 + i));
    EXPECT_EQ(setup.Program()[static_cast<std::size_t>(i)].fitting, i == 12);
  }
}

TEST(SetupTest, InchTexts) {
  SetUnits({{"1", "12", "1"}, {"2", "13", "1X2-30"}});
  CSetup setup;
  setup.m_nUnit = 1;
  setup.AddHole(Hole(0, 25.4));
  setup.AddHole(Hole(1, 25.4, 4, 50.8, 30));
  setup.Initialise();
  EXPECT_EQ(setup.Program()[0].size, Text(25.4, 1));
  EXPECT_EQ(setup.Program()[1].size, Text(25.4, 1) + "X" + Text(50.8, 1) + "-30");
  EXPECT_TRUE(setup.OkEnabled());
  setup.m_nUnit = 0;  // the same texts read as millimetres
  setup.Initialise();
  EXPECT_FALSE(setup.Program()[0].fitting);
  EXPECT_FALSE(setup.Program()[1].fitting);
}

TEST(SetupTest, ShortUnitTable) {
  g_options.units.RemoveAll();
  CSetup setup;
  setup.AddHole(Hole(0, 22));
  setup.Initialise();
  EXPECT_EQ(setup.SizeText(0), "");
  EXPECT_EQ(setup.SizeText(5), "");
  EXPECT_EQ(setup.Unit(0).level, "");
  EXPECT_FALSE(setup.OkEnabled());
  setup.SetSizeText(3, "22");
  EXPECT_EQ(g_options.units.GetSize(), 4);
  EXPECT_EQ(setup.SizeText(3), "22");
  setup.SetSizeText(6, "22");  // no such unit
  setup.SetSizeText(-1, "22");
  EXPECT_EQ(g_options.units.GetSize(), 4);
}

TEST(ParseUnitSizeTest, Texts) {
  CCam mm;
  auto check = [&](const char* text, double width, double length, double angle) {
    UnitSize size = ParseUnitSize(text, mm);
    EXPECT_DOUBLE_EQ(size.width, width) << text;
    EXPECT_DOUBLE_EQ(size.length, length) << text;
    EXPECT_DOUBLE_EQ(size.angle, angle) << text;
  };
  check("22X60-45", 22, 60, 45);
  check("22X60", 22, 60, 0);
  check("22", 22, 0, 0);
  check("22-30", 22, 0, 30);
  check(" 22.5x60.5-90 ", 22.5, 60.5, 90);
  check("22X60--30", 22, 60, -30);
  check("", 0, 0, 0);
  check("X", 0, 0, 0);

  CCam inch;
  inch.m_cInch = 1;
  UnitSize size = ParseUnitSize("1X2-45", inch);
  EXPECT_NEAR(size.width, 25.4, 1e-9);
  EXPECT_NEAR(size.length, 50.8, 1e-9);
  EXPECT_DOUBLE_EQ(size.angle, 45);  // angles have no unit
}

TEST(ParseUnitSizeTest, HalfTurnAngle) {
  EXPECT_EQ(HalfTurnAngle(-30), 150);
  EXPECT_EQ(HalfTurnAngle(150), 150);
  EXPECT_EQ(HalfTurnAngle(180), 0);
  EXPECT_EQ(HalfTurnAngle(-180), 0);
  EXPECT_EQ(HalfTurnAngle(390), 30);
  EXPECT_EQ(HalfTurnAngle(-1e-20), 0);
  EXPECT_FALSE(std::signbit(HalfTurnAngle(-0.0)));
  EXPECT_EQ(HalfTurnAngle(INFINITY), 0);
  EXPECT_EQ(HalfTurnAngle(NAN), 0);
}

}  // namespace
