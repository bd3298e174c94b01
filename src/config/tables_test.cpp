#include "config/tables.h"

#include <gtest/gtest.h>

namespace {

TEST(TablesTest, ToolFromTypedSizes) {
  CMagasin t;
  ASSERT_TRUE(ToolFromSizes(12, 40, 0, &t));  // oblong
  EXPECT_EQ(t.m_cKind, 4);
  EXPECT_EQ(t.m_dDiameter, 12);
  EXPECT_EQ(t.m_dLength, 40);

  ASSERT_TRUE(ToolFromSizes(0, 40, 20, &t));  // rectangular, no diameter
  EXPECT_EQ(t.m_cKind, 3);
  EXPECT_EQ(t.m_dDiameter, 0);
  EXPECT_EQ(t.m_dLength, 40);
  EXPECT_EQ(t.m_dWidth, 20);

  ASSERT_TRUE(ToolFromSizes(15, 40, 20, &t));  // a width makes it rectangular
  EXPECT_EQ(t.m_cKind, 3);
  EXPECT_EQ(t.m_dDiameter, 0);

  ASSERT_TRUE(ToolFromSizes(12, 12, 0, &t));  // round
  EXPECT_EQ(t.m_cKind, 0);
  EXPECT_EQ(t.m_dLength, 12);

  ASSERT_TRUE(ToolFromSizes(12, 0, 0, &t));  // round, length from the diameter
  EXPECT_EQ(t.m_cKind, 0);
  EXPECT_EQ(t.m_dLength, 12);

  EXPECT_FALSE(ToolFromSizes(0, 0, 0, &t));
  EXPECT_TRUE(ToolFromSizes(0, 0, 5, &t));  // only a width: kept, as round
  EXPECT_EQ(t.m_cKind, 0);
}

TEST(TablesTest, UnitRows) {
  rec_uni u = ParseUnitRow("1,Y1,12,x,22X60-45,extra,more");
  EXPECT_EQ(u.diameter, "22X60-45");
  EXPECT_EQ(FormatUnitRow(ParseUnitRow("")), ",,,,");
}

TEST(TablesTest, PunchRows) {
  CPoincon p;
  EXPECT_EQ(FormatPunchRow(CPoincon(22, 12.0004, -5)), "22.000,12.000,-5.000,");
  ASSERT_TRUE(ParsePunchRow("18.5,10,", &p));  // a missing offset is 0
  EXPECT_EQ(p.m_dOffset, 0);
  ASSERT_TRUE(ParsePunchRow("18,10,-2.5,,junk", &p));
  EXPECT_EQ(p.m_dOffset, -2.5);

  EXPECT_FALSE(ParsePunchRow("0,10,5", &p));
  EXPECT_FALSE(ParsePunchRow("22,abc,5", &p));
  EXPECT_FALSE(ParsePunchRow("22", &p));
}

TEST(TablesTest, ToolRows) {
  CMagasin t;
  ASSERT_TRUE(ParseToolRow("0,12,0,0", &t));
  EXPECT_EQ(t.m_cKind, 0);
  EXPECT_EQ(t.m_dLength, 12);
  EXPECT_EQ(FormatToolRow(t), "0,12.00,12.00,0.00");

  ASSERT_TRUE(ParseToolRow("3,0,40,20", &t));
  EXPECT_EQ(FormatToolRow(t), "3,0.00,40.00,20.00");

  ASSERT_TRUE(ParseToolRow("2,10,30,0", &t));  // kinds 1 and 2 keep their length
  EXPECT_EQ(t.m_dLength, 30);

  ASSERT_TRUE(ParseToolRow("260,10,30,0", &t));  // low eight bits: 4
  EXPECT_EQ(t.m_cKind, 4);
  ASSERT_TRUE(ParseToolRow("255,10", &t));  // kept as a signed char
  EXPECT_EQ(FormatToolRow(t), "-1,10.00,0.00,0.00");

  EXPECT_FALSE(ParseToolRow("0,0,0,0", &t));
  EXPECT_FALSE(ParseToolRow("4", &t));
  // Kept on the sizes as read, then the round tool's length follows its
  // diameter of 0.
  ASSERT_TRUE(ParseToolRow("0,0,5,0", &t));
  EXPECT_EQ(t.m_dLength, 0);
}

}  // namespace
