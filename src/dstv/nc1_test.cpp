#include "dstv/nc1.h"

#include <gtest/gtest.h>

#include <sstream>

#include "base/test_support.h"

namespace dstv {
namespace {

std::string Example(const std::string& name) {
  return test_support::Slurp(std::string(BARPOST_SOURCE_DIR) + "/examples/dstv/" + name);
}

TEST(DstvNumber, ExportersSuffixesAndWhatIsRefused) {
  const std::tuple<const char*, double, char> good[] = {
      {"35.00o", 35, 'o'}, {"76.85s", 76.85, 's'}, {"-12.5", -12.5, 0}, {"+3", 3, 0}, {".5", 0.5, 0},
      {"0.00l", 0, 'l'},   {"5.G", 5, 'G'}};
  Number n;
  for (auto [text, value, suffix] : good)
    EXPECT_TRUE(ReadNumber(text, &n) && n.value == value && n.suffix == suffix) << text;
  for (const char* bad : {"1,5", "12.3.4", "1e5", "12ab", "abc", ".", "", "-", "1-", "5.o1"})
    EXPECT_FALSE(ReadNumber(bad, &n)) << bad;
}

// The worked example: CR LF, tabs, comment lines, contour lines that
// continue the one before, a slot, a marking; the part read before it
// leaves nothing behind.
TEST(DstvRead, TheExampleAngle) {
  Part part;
  std::vector<Message> messages;
  ASSERT_TRUE(ReadPart(Example("A-202.nc1"), "A-202.nc1", &part, &messages));
  messages.clear();
  ASSERT_TRUE(ReadPart(Example("A-201.nc1"), "A-201.nc1", &part, &messages));
  EXPECT_TRUE(messages.empty());
  const Header& h = part.header;
  std::ostringstream s;
  s << h.order << "|" << h.drawing << "|" << h.phase << "|" << h.piece << "|" << h.grade << "|" << h.quantity << "|"
    << h.profile << "|" << h.code << "|" << h.length << "|" << h.height << "x" << h.flange_width << "x"
    << h.web_thickness << "|" << h.texts[0] << "| lines " << h.lines[0] << "-" << h.lines[23] << "\n";
  for (const Hole& o : part.holes)
    s << o.line << ":" << o.face << " " << o.x << "," << o.y << " d" << o.diameter << " t" << static_cast<int>(o.type)
      << " " << o.slot_length << "\n";
  for (const Contour& c : part.contours)
    s << c.line << ":" << c.face << c.points.size() << " " << c.points[2].y << "\n";
  for (const Marking& m : part.markings)
    s << m.line << ":" << m.face << " " << m.x << "," << m.y << " h" << m.height << " " << m.text;
  EXPECT_EQ(s.str(),
            "2026-204|D-204|1|A-201|S355J2|2|L100*100*10|L|2500|100x100x10|Hall C| lines 3-26\n"
            "42:v 60,40 d22 t0 0\n43:v 1250,60 d18 t0 0\n44:v 2440,40 d22 t0 0\n45:u 60,55 d22 t0 0\n"
            "46:u 1250,50 d22 t1 38\n47:u 2440,55 d22 t0 0\n"
            "28:v5 100\n34:u5 100\n"
            "49:v 150,30 h10 A-201");
}

// Each broken file names the file and the line, and fails.
TEST(DstvRead, ErrorsNameFileAndLine) {
  const std::string good = Example("A-202.nc1");
  auto replace = [&](const std::string& from, const std::string& to) {
    std::string s = good;
    return s.replace(s.find(from), from.size(), to);
  };
  const std::pair<std::string, const char*> cases[] = {
      {"** only a comment\n\n", "x.nc1: empty file: no ST block"},
      {"BO\n  v 1 2 3\nEN\n", "x.nc1:1: a DSTV file starts with the line ST"},
      {"ST\n1\n2\n3\nBO\n", "x.nc1:5: the ST block has 3 of its 24 lines"},
      {replace("1800.00,1800.00", "18OO.00,1800.00"), "x.nc1:11: length: expected a number, found '18OO.00'"},
      {replace("\n1\nL120", "\ntwo\nL120"), "x.nc1:8: quantity: expected a number, found 'two'"},
      {replace("\n1\nL120", "\n1.5\nL120"), "x.nc1:8: quantity: expected a whole number of pieces, found '1.5'"},
      {replace("14.00g", "14.00q"), "x.nc1:31: unknown hole type 'q'"},
      {replace("45.00   22.00\n", "45.00   22.00 0 1 2 3 4\n"), "x.nc1:28: a hole line holds X, Y and the diameter"},
      {replace("  u    50.00s", "  x    50.00s"), "x.nc1:32: a hole line starts with its face letter"},
      {replace("EN\n", ""), "x.nc1: the file ends without its EN line"},
      {replace("BO\n", ""), "x.nc1:27: data before the first block"},
      {replace("80.00   22.00", "80.00w  22.00"), "x.nc1:29: unknown letter 'w' behind Y"},
      {replace("  u   200.00o", "  u   200.00x"), "x.nc1:44: unknown letter 'x' behind X"},
      {replace("  u   200.00o    30.00  90.00", "  u   200.00o    30.00  9O.00"), "x.nc1:44: value: expected a number"},
      {replace("EN\n", "ST\nEN\n"), "x.nc1:45: a second ST block: one piece per file"},
      // The first point of the only contour is broken; the next one starts it.
      {replace("  u   800.00     20.00", "  u   8x0.00     20.00"), "x.nc1:35: value: expected a number, found '8x0"},
  };
  for (const auto& [text, message] : cases) {
    Part part;
    std::vector<Message> messages;
    EXPECT_FALSE(ReadPart(text, "x.nc1", &part, &messages)) << message;
    ASSERT_FALSE(messages.empty()) << message;
    EXPECT_EQ(messages[0].severity, Severity::kError);
    EXPECT_EQ(messages[0].Format().rfind(message, 0), 0u) << "got: " << messages[0].Format() << "\nwant: " << message;
  }
}

// Twenty header lines, then the first block: the four texts are missing.
TEST(DstvRead, ShortHeaderAndCuts) {
  const std::string text = "ST\r\nO\r\nD\r\n1\r\nP\r\nS235\r\n1\r\nFL50*5\r\nb\r\n500, 400\r\n50\r\n5\r\n\r\n5\r\n0\r\n"
                           "1.9\r\n0.1\r\n0\r\n0\r\n0\r\n0\r\nSC\r\n  v 0 0 0 1 0 0\r\n 500 0\r\nEN\r\n";
  Part part;
  std::vector<Message> messages;
  ASSERT_TRUE(ReadPart(text, "f.nc1", &part, &messages));
  EXPECT_EQ(part.header.code + part.header.texts[3], "B");
  EXPECT_EQ(part.header.length * 1000 + part.header.saw_length, 500400);
  ASSERT_EQ(part.cuts.size(), 2u);
  EXPECT_EQ(part.cuts[0].face, 'v');
  EXPECT_EQ(part.cuts[0].values, (std::vector<double>{0, 0, 0, 1, 0, 0}));
  EXPECT_EQ(part.cuts[1].face + part.cuts[1].values[0], 500);
}

TEST(DstvText, Latin1AndUtf8BothEndLatin1) {
  EXPECT_EQ(ToLatin1("B\xC3\xBChne"), "B\xFChne");  // UTF-8
  EXPECT_EQ(ToLatin1("B\xFChne"), "B\xFChne");      // Latin-1 already
  EXPECT_EQ(ToLatin1("5 \xE2\x82\xAC \xF0\x9F\x98\x80"), "5 ? ?");  // beyond Latin-1
  EXPECT_EQ(ToLatin1("a\tb\x01\x7F"), "a b  ");     // control characters
  EXPECT_EQ(ToLatin1("\xC0\xAF \xED\xA0\x80"), "\xC0\xAF \xED\xA0\x80");  // overlong, surrogate: not UTF-8
}

}  // namespace
}  // namespace dstv
