#include "dstv/nc1.h"

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

TEST(DstvNumber, ExportersSuffixesAndWhatIsRefused) {
  struct Case {
    const char* text;
    bool ok;
    double value;
    char suffix;
  } cases[] = {
      {"35.00o", true, 35, 'o'}, {"76.85s", true, 76.85, 's'}, {"-12.5", true, -12.5, 0},
      {"+3", true, 3, 0},        {".5", true, 0.5, 0},         {"0.00l", true, 0, 'l'},
      {"1,5", false, 0, 0},      {"12.3.4", false, 0, 0},      {"1e5", false, 0, 0},
      {"12ab", false, 0, 0},     {"abc", false, 0, 0},         {".", false, 0, 0},
      {"", false, 0, 0},         {"-", false, 0, 0},
  };
  for (const Case& c : cases) {
    Number n;
    EXPECT_EQ(ReadNumber(c.text, &n), c.ok) << c.text;
    if (!c.ok) continue;
    EXPECT_DOUBLE_EQ(n.value, c.value) << c.text;
    EXPECT_EQ(n.suffix, c.suffix) << c.text;
  }
}

TEST(DstvRead, ExampleAngleWithCrLfTabsCommentsAndContinuationLines) {
  Part part;
  std::vector<Message> messages;
  ASSERT_TRUE(ReadPart(Example("A-201.nc1"), "A-201.nc1", &part, &messages));
  EXPECT_TRUE(messages.empty());
  const Header& h = part.header;
  EXPECT_EQ(h.order, "2026-204");
  EXPECT_EQ(h.drawing, "D-204");
  EXPECT_EQ(h.phase, "1");
  EXPECT_EQ(h.piece, "A-201");
  EXPECT_EQ(h.grade, "S355J2");
  EXPECT_EQ(h.quantity, 2);
  EXPECT_EQ(h.profile, "L100*100*10");
  EXPECT_EQ(h.code, "L");
  EXPECT_EQ(h.length, 2500);
  EXPECT_EQ(h.height, 100);
  EXPECT_EQ(h.flange_width, 100);
  EXPECT_EQ(h.web_thickness, 10);
  EXPECT_EQ(h.texts[0], "Hall C");
  EXPECT_EQ(h.lines[0], 3);  // the comment line after ST is not a header line
  EXPECT_EQ(h.lines[23], 26);

  ASSERT_EQ(part.holes.size(), 6u);
  const Hole& slot = part.holes[4];
  EXPECT_EQ(slot.line, 46);
  EXPECT_EQ(slot.face, 'u');
  EXPECT_EQ(slot.type, HoleType::kSlot);
  EXPECT_EQ(slot.x, 1250);
  EXPECT_EQ(slot.y, 50);
  EXPECT_EQ(slot.diameter, 22);
  EXPECT_EQ(slot.slot_length, 38);
  EXPECT_EQ(part.holes[1].diameter, 18);

  ASSERT_EQ(part.contours.size(), 2u);
  EXPECT_EQ(part.contours[0].face, 'v');
  EXPECT_EQ(part.contours[0].points.size(), 5u);  // four lines continue the first
  EXPECT_EQ(part.contours[0].points[2].y, 100);
  EXPECT_EQ(part.contours[1].face, 'u');

  ASSERT_EQ(part.markings.size(), 1u);
  EXPECT_EQ(part.markings[0].text, "A-201");
  EXPECT_EQ(part.markings[0].height, 10);
}

// Each broken file names the file and the line, and fails.
TEST(DstvRead, ErrorsNameFileAndLine) {
  const std::string good = Example("A-202.nc1");
  auto replace = [&](const std::string& from, const std::string& to) {
    std::string s = good;
    s.replace(s.find(from), from.size(), to);
    return s;
  };
  struct Case {
    std::string text;
    const char* message;
  } cases[] = {
      {"** only a comment\n\n", "x.nc1: empty file: no ST block"},
      {"BO\n  v 1 2 3\nEN\n", "x.nc1:1: a DSTV file starts with the line ST"},
      {"ST\n1\n2\n3\nBO\n", "x.nc1:5: the ST block has 3 of its 24 lines"},
      {replace("1800.00,1800.00", "18OO.00,1800.00"),
       "x.nc1:11: length: expected a number, found '18OO.00'"},
      {replace("\n1\nL120", "\ntwo\nL120"), "x.nc1:8: quantity: expected a number, found 'two'"},
      {replace("14.00g", "14.00q"), "x.nc1:31: unknown hole type 'q'"},
      {replace("45.00   22.00\n", "45.00   22.00 0 1 2 3 4\n"),
       "x.nc1:28: a hole line holds X, Y and the diameter"},
      {replace("  u    50.00s", "  x    50.00s"), "x.nc1:32: a hole line starts with its face letter"},
      {replace("EN\n", ""), "x.nc1: the file ends without its EN line"},
      {replace("BO\n", ""), "x.nc1:27: data before the first block"},
      {replace("80.00   22.00", "80.00w  22.00"), "x.nc1:29: unknown letter 'w' behind Y"},
      // The first point of the only contour is broken; the next one starts it.
      {replace("  u   800.00     20.00", "  u   8x0.00     20.00"),
       "x.nc1:35: value: expected a number, found '8x0.00'"},
  };
  for (const Case& c : cases) {
    Part part;
    std::vector<Message> messages;
    EXPECT_FALSE(ReadPart(c.text, "x.nc1", &part, &messages)) << c.message;
    ASSERT_FALSE(messages.empty()) << c.message;
    EXPECT_EQ(messages[0].severity, Severity::kError);
    EXPECT_EQ(messages[0].Format().rfind(c.message, 0), 0u)
        << "got: " << messages[0].Format() << "\nwant: " << c.message;
  }
}

TEST(DstvRead, ShortHeaderWithoutTextsAndEmptyTextLines) {
  // Twenty lines, then the first block: the four texts are missing.
  std::string text = "ST\r\nO\r\nD\r\n1\r\nP\r\nS235\r\n1\r\nFL50*5\r\nB\r\n500\r\n50\r\n5\r\n5\r\n"
                     "5\r\n0\r\n1.9\r\n0.1\r\n0\r\n0\r\n0\r\n0\r\nEN\r\n";
  Part part;
  std::vector<Message> messages;
  ASSERT_TRUE(ReadPart(text, "f.nc1", &part, &messages));
  EXPECT_EQ(part.header.profile, "FL50*5");
  EXPECT_EQ(part.header.texts[3], "");
}

TEST(DstvText, Latin1AndUtf8BothEndLatin1) {
  EXPECT_EQ(ToLatin1("B\xC3\xBChne"), "B\xFChne");          // UTF-8
  EXPECT_EQ(ToLatin1("B\xFChne"), "B\xFChne");              // Latin-1 already
  EXPECT_EQ(ToLatin1("5 \xE2\x82\xAC"), "5 ?");             // beyond Latin-1
  EXPECT_EQ(ToLatin1("a\tb\x01"), "a b ");                  // control characters
  EXPECT_EQ(ToLatin1("\xC0\xAF"), "\xC0\xAF");              // overlong: not UTF-8
}

}  // namespace
}  // namespace dstv
