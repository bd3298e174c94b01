#include "cam/entities.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>

#include "cam/job_file.h"

namespace {

// The first entity of a piece record holding the line, as the job parser
// reads it (plain holes the short way, the others field by field).
std::string Read(const std::string& line, bool inch) {
  auto file = cam::ParseJobText(std::string("*PIECE\n") + (inch ? "UNIT=INCH\n" : "") + line, "");
  const CamRecord& r = file->records.at(0);
  std::ostringstream s;
  for (const Cam_Hole& h : r.holes)
    s << "L" << h.m_nLevel << " K" << h.m_nKind << " d" << h.m_dDiameter << " x" << h.m_dX << " y" << h.m_dY
      << " z" << h.m_dZ << " len" << h.m_dLength << " a" << h.m_dAngle << " a2=" << h.m_dAngle2 << " s"
      << h.m_dShape << " f" << int{h.m_cFlag};
  for (const Cam_Mark& m : r.marks)
    s << "x" << m.m_dX << " y" << m.m_dY << " code" << int{m.m_cCode} << " " << m.m_sText;
  for (const Cam_Item& i : r.items)
    s << i.m_sComNam << "/" << i.m_sPceNam << "/" << i.m_sDwgNam << "/" << i.m_sAssNam << " length" << i.m_dLength
      << " qty" << i.m_nQty << " turn" << (i.m_cTurn ? i.m_cTurn : '-');
  for (const Cam_Post& p : r.posts) s << p.GetCle() << "=" << p.GetVal();
  return s.str();
}

TEST(Entities, EveryFieldOfEveryEntity) {
  const struct {
    const char* line;
    bool inch;
    const char* want;
  } cases[] = {
      {"HOLE shape=3.5 flag=7 z=-4 angle2=15 angle=30 len=60 y=50 x=300 d=22 kind=4 level=1 colour=red",
       false, "L1 K4 d22 x300 y50 z-4 len60 a30 a2=15 s3.5 f7"},
      {"HOLE shape=3.5 flag=7 z=-4 angle2=15 angle=30 len=60 y=50 x=\"300\" d=22 kind=4 level=1", false,
       "L1 K4 d22 x300 y50 z-4 len60 a30 a2=15 s3.5 f7"},
      // Missing fields 0, the last of a repeated field wins, what is no number 0.
      {"HOLE x=1 x=2 d=abc\ty=0x10  z=12abc angle=+.5", false, "L0 K0 d0 x2 y0 z0 len0 a0.5 a2=0 s0 f0"},
      {"HOLE x=\"5\" d=\"1 2\" x=\"6\"", false, "L0 K0 d0 x6 y0 z0 len0 a0 a2=0 s0 f0"},
      // Whole numbers truncated and held within their type.
      {"HOLE kind=2.9 level=-1.5 flag=300 x=-0 y=1e2 d=007.50", false, "L-1 K2 d7.5 x-0 y100 z0 len0 a0 a2=0 s0 f255"},
      {"HOLE level=70000 flag=256 kind=1e20", false, "L32767 K2147483647 d0 x0 y0 z0 len0 a0 a2=0 s0 f255"},
      {"HOLE level=-70000 flag=-1 kind=-1e20", false, "L-32768 K-2147483648 d0 x0 y0 z0 len0 a0 a2=0 s0 f0"},
      {"HOLE level=\"-70000\" flag=\"-1\" kind=\"-3\"", false, "L-32768 K-3 d0 x0 y0 z0 len0 a0 a2=0 s0 f0"},
      // Inch records convert the lengths only.
      {"HOLE d=7/8 x=2 y=\"1 1/2\" z=1 len=1-1/2 angle=45 angle2=10 shape=2 kind=4 level=1", true,
       "L1 K4 d22.225 x50.8 y38.1 z25.4 len38.1 a45 a2=10 s2 f0"},
      {"MARK x=50 y=-30.5 code=-1 text=\"@PCE_NAM \\\"x\\\" a=b\"", false, "x50 y-30.5 code-1 @PCE_NAM \"x\" a=b"},
      {"MARK x=5 code=300 text=A", false, "x5 y0 code127 A"},  // no Y: at 0
      {"MARK x=1/2 y=1 code=-1 text=7/8", true, "x12.7 y25.4 code-1 7/8"},
      {"ITEM com=\"C 118\" pce=A-12-3 dwg= ass=A=12 length=2500.5 qty=2 turn=Right", false,
       "C 118/A-12-3//A=12 length2500.5 qty2 turnR"},
      {"ITEM length=10 qty=3", true, "/// length254 qty3 turn-"},
      {"POST key=SymX value=\"1 or \\\"2\\\"\"", false, "SymX=1 or \"2\""},
  };
  for (const auto& c : cases) EXPECT_EQ(Read(c.line, c.inch), c.want) << c.line;
  // The classes' own Scanf: fields with or without the word, never another word.
  Cam_Hole h;
  Cam_Post p;
  EXPECT_TRUE(h.Scanf("x=7 d=\"22\"") && h.m_dX == 7 && h.m_dDiameter == 22);
  EXPECT_TRUE(p.Scanf("POST key=a value=1") && p.GetCle() == "a" && p.GetVal() == "1");
  for (const char* bad : {"MARK x=1", "HOLE x", static_cast<const char*>(nullptr)}) EXPECT_FALSE(h.Scanf(bad));
}

Cam_Hole HoleAt(double x, double y, int level, int kind, double d, double z = 0) {
  Cam_Hole h;
  h.m_dX = x, h.m_dY = y, h.m_nLevel = static_cast<int16_t>(level), h.m_nKind = kind, h.m_dDiameter = d;
  h.m_dZ = z;  // not part of the order
  return h;
}

// The library's hole order: x, y, level, kind, diameter, each key before the
// ones after it. Equal holes keep their order in short lists (sorted by
// insertion), long ones and CSortedArray.
TEST(Entities, HoleOrder) {
  const Cam_Hole ascending[] = {HoleAt(1, 1, 1, 4, 18), HoleAt(1, 1, 1, 4, 22), HoleAt(1, 1, 1, 5, 0),
                                HoleAt(1, 1, 2, 0, 0), HoleAt(1, 2, 0, 0, 0), HoleAt(2, 0, 0, 0, 0)};
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(ascending[i] < ascending[i + 1] && !(ascending[i + 1] < ascending[i])) << i;
  EXPECT_TRUE(HoleAt(1, 1, 1, 4, 22, 0) == HoleAt(1, 1, 1, 4, 22, 90));
  EXPECT_FALSE(HoleAt(1, 1, 1, 4, 22) == HoleAt(1, 1, 1, 4, 23));
  std::mt19937 rng(7);
  for (int n : {2, 17, 64, 65, 300}) {
    std::vector<Cam_Hole> holes;
    for (int i = 0; i < n; ++i) holes.push_back(HoleAt(rng() % 4, 0, static_cast<int>(rng() % 2), 0, 0, i));
    std::vector<Cam_Hole> expected = holes;
    std::stable_sort(expected.begin(), expected.end());
    SortHoles(holes.begin(), holes.end());
    for (int i = 0; i < n; ++i) ASSERT_EQ(holes[i].m_dZ, expected[i].m_dZ) << n;
  }
  CSortedArray<Cam_Hole> list;
  for (double z : {1, 2, 3}) list.Add(HoleAt(z == 2 ? 1 : 5, 0, 0, 0, 22, z));
  EXPECT_EQ(list[0].m_dZ * 100 + list[1].m_dZ * 10 + list[2].m_dZ, 213);
}

}  // namespace
