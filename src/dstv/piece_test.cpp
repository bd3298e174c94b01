#include "dstv/piece.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace dstv {
namespace {

std::string Example(const std::string& name) {
  std::ifstream in(std::string(BARPOST_SOURCE_DIR) + "/examples/dstv/" + name, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool Map(const std::string& text, JobPiece* piece, std::vector<Message>* messages) {
  Part part;
  if (!ReadPart(text, "p.nc1", &part, messages)) return false;
  return MapPart(part, piece, messages);
}

TEST(DstvFaces, AngleLegsAndTheFlatsFace) {
  EXPECT_EQ(LevelOfFace("L", 'v'), 0);
  EXPECT_EQ(LevelOfFace("L", 'u'), 1);
  EXPECT_EQ(LevelOfFace("L", 'o'), -1);
  EXPECT_EQ(LevelOfFace("L", 'h'), -1);
  EXPECT_EQ(LevelOfFace("B", 'v'), 0);
  EXPECT_EQ(LevelOfFace("B", 'u'), -1);
  EXPECT_EQ(LevelOfFace("I", 'v'), -1);
}

// The worked example of doc/dstv.md.
TEST(DstvMap, AngleHolesOnTheirLevelsAndTheSlotAsOneShape) {
  JobPiece p;
  std::vector<Message> messages;
  ASSERT_TRUE(Map(Example("A-201.nc1"), &p, &messages));
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(p.category, 'Y');
  EXPECT_EQ(p.h1, 100);
  EXPECT_EQ(p.h2, 100);
  EXPECT_EQ(p.length, 2500);
  EXPECT_EQ(p.quantity, 2);
  ASSERT_EQ(p.holes.size(), 6u);
  struct Want {
    int level, kind;
    double d, x, y, len;
  } want[] = {{0, 0, 22, 60, 40, 0},   {0, 0, 18, 1250, 60, 0}, {0, 0, 22, 2440, 40, 0},
              {1, 0, 22, 60, 55, 0},   {1, 4, 22, 1250, 50, 60}, {1, 0, 22, 2440, 55, 0}};
  for (std::size_t i = 0; i < 6; ++i) {
    const JobHole& h = p.holes[i];
    EXPECT_EQ(h.level, want[i].level) << i;
    EXPECT_EQ(h.kind, want[i].kind) << i;
    EXPECT_EQ(h.d, want[i].d) << i;
    EXPECT_EQ(h.x, want[i].x) << i;
    EXPECT_EQ(h.y, want[i].y) << i;
    EXPECT_EQ(h.len, want[i].len) << i;
  }
  ASSERT_EQ(p.marks.size(), 1u);
  EXPECT_EQ(p.marks[0].text, "A-201");
}

TEST(DstvMap, WhatTheLineDoesNotMakeIsReportedAndLeftOut) {
  JobPiece p;
  std::vector<Message> messages;
  ASSERT_TRUE(Map(Example("A-202.nc1"), &p, &messages));
  std::vector<std::string> got;
  for (const Message& m : messages)
    got.push_back((m.severity == Severity::kNotMade ? "not made " : "note ") + m.Format());
  std::vector<std::string> want = {
      "not made p.nc1:20: piece A-202: mitre of 45 degrees at the end of the web is not made on "
      "this line, the piece is cut square",
      "not made p.nc1:30: piece A-202: hole 22 at X 900 Y 45 on FL is blind (depth given): not "
      "punchable on this line, left out",
      "not made p.nc1:31: piece A-202: hole 14 at X 1600 Y 60 on FL is threaded: not punchable "
      "on this line, left out",
      "note p.nc1:44: piece A-202: marking \"A-202\" at 90 degrees is marked along the bar",
      "not made p.nc1:35: piece A-202: inner cut-out on NL is not made on this line",
      "not made p.nc1:40: piece A-202: marking lines (KO) are not made on this line",
  };
  EXPECT_EQ(got, want);
  EXPECT_EQ(p.holes.size(), 4u);
  EXPECT_EQ(p.h1, 120);
  EXPECT_EQ(p.h2, 80);
}

// Flats: exporters write the width as the profile height, or as the
// flange width with the thickness as the height.
TEST(DstvMap, FlatWidthWhereverTheExporterPutIt) {
  auto header = [](const char* height, const char* flange, const char* thick) {
    return std::string("ST\nO\nD\n1\nP\nS235\n1\nFL\nB\n500\n") + height + "\n" + flange +
           "\n" + thick + "\n" + thick + "\n0\n0\n0\n0\n0\n0\n0\n\n\n\n\nBO\n  v 50 20 18\nEN\n";
  };
  for (auto [h, f, t] : {std::tuple{"120", "10", "10"}, std::tuple{"10", "120", "10"},
                         std::tuple{"120", "0", "10"}}) {
    JobPiece p;
    std::vector<Message> messages;
    ASSERT_TRUE(Map(header(h, f, t), &p, &messages)) << h << " " << f;
    EXPECT_EQ(p.category, 'R');
    EXPECT_EQ(p.h1, 120) << h << " " << f;
    EXPECT_EQ(p.h2, 10);
    ASSERT_EQ(p.holes.size(), 1u);
    EXPECT_EQ(p.holes[0].level, 0);
  }
}

TEST(DstvMap, RefusedProfilesFacesAndPositions) {
  std::string angle = Example("A-201.nc1");
  auto replace = [&](const std::string& from, const std::string& to) {
    std::string s = angle;
    s.replace(s.find(from), from.size(), to);
    return s;
  };
  struct Case {
    std::string text;
    const char* message;
  } cases[] = {
      {Example("B-401-refused.nc1"),
       "p.nc1:10: piece B-401: profile code I (beam) is not made on this line: it works angles "
       "(L) and flats (B)"},
      {replace("  u    60.00s", "  o    60.00s"),
       "p.nc1:45: piece A-201: a hole on face o, which an angle does not have (its legs are v "
       "and u)"},
      {replace("  v  2440.00s", "  v  2540.00s"),
       "p.nc1:44: piece A-201: the hole at X 2540 Y 40 lies off the piece (X from 0 to 2500, Y "
       "from 0 to 100 on FL): it cannot be placed on a bar"},
      {replace("  v    60.00s    40.00", "  v    60.00s   -40.00"),
       "p.nc1:42: piece A-201: the hole at X 60 Y -40 lies off the piece"},
  };
  for (const Case& c : cases) {
    JobPiece p;
    std::vector<Message> messages;
    EXPECT_FALSE(Map(c.text, &p, &messages)) << c.message;
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages[0].severity, Severity::kError);
    EXPECT_EQ(messages[0].Format().rfind(c.message, 0), 0u)
        << "got: " << messages[0].Format() << "\nwant: " << c.message;
  }
}

}  // namespace
}  // namespace dstv
