#include "dstv/piece.h"

#include <gtest/gtest.h>

#include <sstream>

#include "base/test_support.h"

namespace dstv {
namespace {

std::string Example(const std::string& name) {
  return test_support::Slurp(std::string(BARPOST_SOURCE_DIR) + "/examples/dstv/" + name);
}

// The piece's section and holes, or the first message when it is refused;
// *messages gets every message.
std::string Map(const std::string& text, std::vector<std::string>* messages = nullptr) {
  Part part;
  JobPiece p;
  std::vector<Message> m;
  const bool ok = ReadPart(text, "p.nc1", &part, &m) && MapPart(part, &p, &m);
  for (const Message& x : m)
    if (messages) messages->push_back((x.severity == Severity::kNotMade ? "not made " : "note ") + x.Format());
  if (!ok) return "refused " + m.at(0).Format();
  std::ostringstream s;
  s << p.category << " " << p.h1 << "x" << p.h2 << " L" << p.length << " q" << p.quantity << ":";
  for (const JobHole& h : p.holes) {
    s << " " << h.level << "/" << h.kind << " d" << h.d << " " << h.x << "," << h.y;
    if (h.kind) s << " len" << h.len << "@" << h.angle;
  }
  for (const JobMark& m2 : p.marks) s << " mark " << m2.x << "," << m2.y << " " << m2.text;
  return s.str();
}

// The worked example of doc/dstv.md: each hole on the level of its leg, the
// slot as one shape of its full length.
TEST(DstvMap, TheExampleAngle) {
  for (auto [code, face, level] : {std::tuple{"L", 'v', 0}, {"L", 'u', 1}, {"L", 'o', -1}, {"L", 'h', -1},
                                   {"B", 'v', 0}, {"B", 'u', -1}, {"I", 'v', -1}})
    EXPECT_EQ(LevelOfFace(code, face), level) << code << face;
  std::vector<std::string> messages;
  EXPECT_EQ(Map(Example("A-201.nc1"), &messages),
            "Y 100x100 L2500 q2: 0/0 d22 60,40 0/0 d18 1250,60 0/0 d22 2440,40 1/0 d22 60,55 "
            "1/4 d22 1250,50 len60@0 1/0 d22 2440,55 mark 150,30 A-201");
  EXPECT_TRUE(messages.empty());
}

TEST(DstvMap, WhatTheLineDoesNotMakeIsReportedAndLeftOut) {
  std::vector<std::string> got;
  EXPECT_EQ(Map(Example("A-202.nc1"), &got),
            "Y 120x80 L1800 q1: 0/0 d22 50,45 0/0 d22 50,80 1/0 d18 50,40 1/0 d18 1700,40 mark 200,30 A-202");
  const std::vector<std::string> want = {
      "not made p.nc1:20: piece A-202: mitre of 45 degrees at the end of the web is not made on this line, the "
      "piece is cut square",
      "not made p.nc1:30: piece A-202: hole 22 at X 900 Y 45 on FL is blind (depth given): not punchable on this "
      "line, left out",
      "not made p.nc1:31: piece A-202: hole 14 at X 1600 Y 60 on FL is threaded: not punchable on this line, left out",
      "note p.nc1:44: piece A-202: marking \"A-202\" at 90 degrees is marked along the bar",
      "not made p.nc1:35: piece A-202: inner cut-out on NL is not made on this line",
      "not made p.nc1:40: piece A-202: marking lines (KO) are not made on this line",
  };
  EXPECT_EQ(got, want);
}

// Flats: exporters write the width as the profile height, or as the flange
// width with the thickness as the height. A square end cut is what the line
// makes; a slanted one, another block or a rounded corner is not, an empty
// marking is left out.
TEST(DstvMap, FlatsWhereverTheExporterPutTheWidth) {
  auto flat = [](const char* height, const char* flange, const char* thick, const char* blocks) {
    return std::string("ST\nO\nD\n1\nP\nS235\n3\nFL\nB\n500,500.001\n") + height + "\n" + flange + "\n" + thick +
           "\n" + thick + "\n0\n0\n0\n0\n0\n0\n0\n\n\n\n\nBO\n  v 50 20 18 10\n" + blocks + "EN\n";
  };
  std::vector<std::string> messages;
  EXPECT_EQ(Map(flat("120", "10", "10", "SC\n v 500 0 0 -1 0 0\n"), &messages), "R 120x10 L500 q3: 0/0 d18 50,20");
  EXPECT_EQ(Map(flat("10", "120", "10", ""), &messages), "R 120x10 L500 q3: 0/0 d18 50,20");
  EXPECT_EQ(Map(flat("120", "0", "10", "SI\n v 10 10 0 10\nPU\nKA\n v 1\n"), &messages),
            "R 120x10 L500 q3: 0/0 d18 50,20");
  EXPECT_EQ(Map(flat("120", "0", "10", "SC\n v 250 0 0 1 0 0\n v 0 0 0 1 1 0\nAK\n v 0 0\n v 50 120 5\n"), &messages),
            "R 120x10 L500 q3: 0/0 d18 50,20");
  const std::string square = ": not made on this line, the piece is cut square";
  const std::vector<std::string> want = {
      "note p.nc1:29: piece P: empty marking left out",
      "not made p.nc1:30: piece P: powder marks (PU) are not made on this line",
      "not made p.nc1:31: piece P: bends (KA) are not made on this line",
      "not made p.nc1:32: piece P: outer contour of FL has a rounded corner" + square,
      "not made p.nc1:29: piece P: a cut (SC) that is not a square end is" + square.substr(1),
      "not made p.nc1:30: piece P: a cut (SC) that is not a square end is" + square.substr(1)};
  EXPECT_EQ(messages, want);
}

TEST(DstvMap, RefusedProfilesFacesAndPositions) {
  const std::string angle = Example("A-201.nc1");
  auto replace = [&](const std::string& from, const std::string& to) {
    std::string s = angle;
    return s.replace(s.find(from), from.size(), to);
  };
  const std::pair<std::string, const char*> cases[] = {
      {Example("B-401-refused.nc1"),
       "p.nc1:10: piece B-401: profile code I (beam) is not made on this line: it works angles (L) and flats (B)"},
      {replace("  u    60.00s", "  o    60.00s"),
       "p.nc1:45: piece A-201: a hole on face o, which an angle does not have (its legs are v and u)"},
      {replace("  v  2440.00s", "  v  2540.00s"),
       "p.nc1:44: piece A-201: the hole at X 2540 Y 40 lies off the piece (X from 0 to 2500, Y from 0 to 100 on FL): "
       "it cannot be placed on a bar"},
      {replace("  v    60.00s    40.00", "  v    60.00s   -40.00"), "p.nc1:42: piece A-201: the hole at X 60 Y -40"},
      {replace("  v   150.00s    30.00", "  v   150.00s   130.00"), "p.nc1:49: piece A-201: the marking at X 150"},
      {replace("2500.00\r\n  100.00", "2500.00\r\n  0"), "p.nc1:12: piece A-201: length 2500 and section 0 x 100 must"},
  };
  for (const auto& [text, message] : cases) {
    const std::string got = Map(text);
    EXPECT_EQ(got.rfind(std::string("refused ") + message, 0), 0u) << got << "\nwant: " << message;
  }
}

}  // namespace
}  // namespace dstv
