#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "cam/cam.h"
#include "cam/entities.h"

namespace {

TEST(Entities, HoleScanfReadsEveryField) {
  Cam_Hole h;
  ASSERT_TRUE(h.Scanf("HOLE shape=3.5 flag=7 z=-4 angle2=15 angle=30 len=60 y=50 x=300 d=22 "
                      "kind=4 level=1 colour=red"));
  EXPECT_EQ(h.m_nLevel, 1);
  EXPECT_EQ(h.m_nKind, 4);
  EXPECT_EQ(h.m_dDiameter, 22);
  EXPECT_EQ(h.m_dX, 300);
  EXPECT_EQ(h.m_dY, 50);
  EXPECT_EQ(h.m_dLength, 60);
  EXPECT_EQ(h.m_dAngle, 30);
  EXPECT_EQ(h.m_dAngle2, 15);
  EXPECT_EQ(h.m_dShape, 3.5);
  EXPECT_EQ(h.m_dZ, -4);
  EXPECT_EQ(h.m_cFlag, 7);
  // Fields only (no word), missing fields 0, the last of a repeated field wins.
  ASSERT_TRUE(h.Scanf("x=1 x=2 d=abc"));
  EXPECT_EQ(h.m_dX, 2);
  EXPECT_EQ(h.m_dDiameter, 0);
  EXPECT_EQ(h.m_nKind, 0);
  EXPECT_EQ(h.m_dAngle, 0);
  // Other entity words and bad syntax are refused.
  EXPECT_FALSE(h.Scanf("MARK x=1"));
  EXPECT_FALSE(h.Scanf("HOLE x"));
  EXPECT_FALSE(h.Scanf(nullptr));
  // Out-of-range whole numbers are held within their type.
  ASSERT_TRUE(h.Scanf("HOLE level=70000 flag=300 kind=1e20"));
  EXPECT_EQ(h.m_nLevel, 32767);
  EXPECT_EQ(h.m_cFlag, 255);
  EXPECT_EQ(h.m_nKind, 2147483647);
}

// The plain way reads a hole exactly as the general one, or declines.
TEST(Entities, PlainHolesReadAsTheGeneralWay) {
  for (const char* line :
       {" level=1 kind=4 d=22 x=40.5 y=-62.5 len=60 angle=-30 angle2=1 shape=2 z=3 flag=7",
        "x=1 x=2 y= d=1e2 angle=+.5 unknown=9", "\tx=12abc\ty=0x10  d=-0 level=99999",
        "v=x\"y x=5", "kind=2.9 level=-1.5 flag=300"}) {
    std::vector<cam::Field> fields;
    std::string storage, error;
    ASSERT_TRUE(cam::SplitFields(line, &fields, &storage, &error)) << line;
    Cam_Hole general, plain;
    cam::ReadHole(fields, false, &general);
    ASSERT_TRUE(cam::ReadPlainHole(line, &plain)) << line;
    std::string a, b;
    general.Printf(a);
    plain.Printf(b);
    EXPECT_EQ(a, b) << line;
  }
  Cam_Hole h;
  ASSERT_TRUE(cam::ReadPlainHole("kind=2.9 level=-1.5 flag=300 x=-0 y=1e2 d=007.50", &h));
  EXPECT_EQ(h.m_nKind, 2);
  EXPECT_EQ(h.m_nLevel, -1);
  EXPECT_EQ(h.m_cFlag, 255);
  EXPECT_TRUE(std::signbit(h.m_dX));
  EXPECT_EQ(h.m_dY, 100);
  EXPECT_EQ(h.m_dDiameter, 7.5);
  Cam_Hole untouched;
  for (const char* line : {"x=\"1\"", "x", "=1", "x=1 y"})
    EXPECT_FALSE(cam::ReadPlainHole(line, &untouched)) << line;
}

// The hole order of the library: sorted insertion of short lists and the
// stable sort of long ones both keep equal holes in their order.
TEST(Entities, HolesSortStably) {
  std::mt19937 rng(7);
  for (int n : {0, 1, 2, 17, 64, 65, 300}) {
    std::vector<Cam_Hole> holes(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
      holes[static_cast<std::size_t>(i)].m_dX = static_cast<double>(rng() % 4);
      holes[static_cast<std::size_t>(i)].m_nLevel = static_cast<int16_t>(rng() % 2);
      holes[static_cast<std::size_t>(i)].m_dZ = i;  // not part of the order: tells them apart
    }
    std::vector<Cam_Hole> expected = holes;
    std::stable_sort(expected.begin(), expected.end());
    SortHoles(holes.begin(), holes.end());
    for (int i = 0; i < n; ++i)
      ASSERT_EQ(holes[static_cast<std::size_t>(i)].m_dZ, expected[static_cast<std::size_t>(i)].m_dZ) << n;
  }
}

TEST(Entities, InchRecordsConvertOnlyLengths) {
  std::vector<cam::Field> fields;
  std::string storage, error;
  ASSERT_TRUE(cam::SplitFields(
      "d=7/8 x=2 y=\"1 1/2\" z=1 len=1-1/2 angle=45 angle2=10 shape=2 kind=4 level=1", &fields,
      &storage, &error));
  Cam_Hole h;
  cam::ReadHole(fields, true, &h);
  EXPECT_DOUBLE_EQ(h.m_dDiameter, 22.225);
  EXPECT_DOUBLE_EQ(h.m_dX, 50.8);
  EXPECT_DOUBLE_EQ(h.m_dY, 38.1);
  EXPECT_DOUBLE_EQ(h.m_dZ, 25.4);
  EXPECT_DOUBLE_EQ(h.m_dLength, 38.1);
  EXPECT_EQ(h.m_dAngle, 45);
  EXPECT_EQ(h.m_dAngle2, 10);
  EXPECT_EQ(h.m_dShape, 2);
  EXPECT_EQ(h.m_nKind, 4);

  ASSERT_TRUE(cam::SplitFields("x=1/2 y=1 code=-1 text=7/8", &fields, &storage, &error));
  Cam_Mark m;
  cam::ReadMark(fields, true, &m);
  EXPECT_DOUBLE_EQ(m.m_dX, 12.7);
  EXPECT_DOUBLE_EQ(m.m_dY, 25.4);
  EXPECT_EQ(m.m_sText, "7/8");

  ASSERT_TRUE(cam::SplitFields("length=10 qty=3", &fields, &storage, &error));
  Cam_Item item;
  cam::ReadItem(fields, true, &item);
  EXPECT_DOUBLE_EQ(item.m_dLength, 254);
  EXPECT_EQ(item.m_nQty, 3);
}

TEST(Entities, PrintfReadsBackWithScanf) {
  Cam_Hole h;
  h.m_nLevel = 2;
  h.m_nKind = 13;
  h.m_dDiameter = 1.0 / 3;
  h.m_dX = -0.0;
  h.m_dY = 1e-7;
  h.m_dZ = 12345.678;
  h.m_dLength = 60;
  h.m_dAngle = -30.25;
  h.m_dAngle2 = 0.1;
  h.m_dShape = 1e20;
  h.m_cFlag = 200;
  std::string line;
  h.Printf(line);
  EXPECT_EQ(line.rfind("HOLE ", 0), 0u);
  Cam_Hole back;
  ASSERT_TRUE(back.Scanf(line.c_str())) << line;
  EXPECT_EQ(back.m_nLevel, h.m_nLevel);
  EXPECT_EQ(back.m_nKind, h.m_nKind);
  EXPECT_EQ(back.m_dDiameter, h.m_dDiameter);
  EXPECT_TRUE(std::signbit(back.m_dX));
  EXPECT_EQ(back.m_dY, h.m_dY);
  EXPECT_EQ(back.m_dZ, h.m_dZ);
  EXPECT_EQ(back.m_dLength, h.m_dLength);
  EXPECT_EQ(back.m_dAngle, h.m_dAngle);
  EXPECT_EQ(back.m_dAngle2, h.m_dAngle2);
  EXPECT_EQ(back.m_dShape, h.m_dShape);
  EXPECT_EQ(back.m_cFlag, h.m_cFlag);

  Cam_Mark m;
  m.m_dX = 50;
  m.m_dY = -30.5;
  m.m_cCode = -1;
  m.m_sText = "@PCE_NAM \"x\" a=b \\";
  m.Printf(line);
  Cam_Mark mb;
  ASSERT_TRUE(mb.Scanf(line.c_str())) << line;
  EXPECT_EQ(mb.m_dX, m.m_dX);
  EXPECT_EQ(mb.m_dY, m.m_dY);
  EXPECT_EQ(mb.m_cCode, m.m_cCode);
  EXPECT_EQ(mb.m_sText, m.m_sText);

  Cam_Item it;
  it.m_sComNam = "C 118";
  it.m_sPceNam = "A-12-3";
  it.m_sDwgNam = "";
  it.m_sAssNam = "A=12";
  it.m_dLength = 2500.5;
  it.m_nQty = 2;
  it.m_cTurn = 'R';
  it.Printf(line);
  Cam_Item ib;
  ASSERT_TRUE(ib.Scanf(line.c_str())) << line;
  EXPECT_EQ(ib.m_sComNam, it.m_sComNam);
  EXPECT_EQ(ib.m_sPceNam, it.m_sPceNam);
  EXPECT_EQ(ib.m_sDwgNam, it.m_sDwgNam);
  EXPECT_EQ(ib.m_sAssNam, it.m_sAssNam);
  EXPECT_EQ(ib.m_dLength, it.m_dLength);
  EXPECT_EQ(ib.m_nQty, it.m_nQty);
  EXPECT_EQ(ib.m_cTurn, 'R');
  it.m_cTurn = 0;
  it.Printf(line);
  ASSERT_TRUE(ib.Scanf(line.c_str()));
  EXPECT_EQ(ib.m_cTurn, 0);

  Cam_Head head("SymX", "1 or \"2\"");
  head.Printf(line);
  Cam_Post pb;
  ASSERT_TRUE(pb.Scanf(line.c_str())) << line;
  EXPECT_EQ(pb.GetCle(), "SymX");
  EXPECT_EQ(pb.GetVal(), "1 or \"2\"");
}

TEST(Entities, HoleOrderUsesFiveKeys) {
  auto hole = [](double x, double y, int level, int kind, double d, double angle = 0) {
    Cam_Hole h;
    h.m_dX = x;
    h.m_dY = y;
    h.m_nLevel = static_cast<int16_t>(level);
    h.m_nKind = kind;
    h.m_dDiameter = d;
    h.m_dAngle = angle;
    return h;
  };
  EXPECT_LT(hole(1, 9, 9, 9, 9), hole(2, 0, 0, 0, 0));
  EXPECT_LT(hole(1, 1, 9, 9, 9), hole(1, 2, 0, 0, 0));
  EXPECT_LT(hole(1, 1, 0, 9, 9), hole(1, 1, 1, 0, 0));
  EXPECT_LT(hole(1, 1, 1, 0, 9), hole(1, 1, 1, 4, 0));
  EXPECT_LT(hole(1, 1, 1, 4, 18), hole(1, 1, 1, 4, 22));
  EXPECT_EQ(hole(1, 1, 1, 4, 22, 0), hole(1, 1, 1, 4, 22, 90));
  EXPECT_FALSE(hole(1, 1, 1, 4, 22, 0) < hole(1, 1, 1, 4, 22, 90));
  EXPECT_FALSE(hole(1, 1, 1, 4, 22) == hole(1, 1, 1, 4, 23));

  // CSortedArray puts an equal hole behind the ones already there.
  CSortedArray<Cam_Hole> list;
  list.Add(hole(5, 0, 0, 0, 22, 1));
  list.Add(hole(1, 0, 0, 0, 22, 2));
  list.Add(hole(5, 0, 0, 0, 22, 3));
  ASSERT_EQ(list.GetSize(), 3);
  EXPECT_EQ(list[0].m_dAngle, 2);
  EXPECT_EQ(list[1].m_dAngle, 1);
  EXPECT_EQ(list[2].m_dAngle, 3);
}

}  // namespace
