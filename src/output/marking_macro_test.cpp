#include "output/marking_macro.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/test_support.h"
#include "base/text.h"
#include "output/output_test_util.h"

namespace {

// Macro lines with the numbers in their columns: 9-13 and 17 on.
std::string MacroLine(const char* word, const char* x, const char* w) {
  std::string line = word;
  line.resize(9, ' ');
  line += x;
  line.resize(17, ' ');
  return line + w;
}

std::string Draw(const std::string& macro, double x0, double y0) {
  std::string out;
  NcText nc(out, true, 0, 0);
  WriteMacro(nc, ParseMacro(macro), x0, y0, 10, 3000);
  return Lf(nc.out());
}

}  // namespace

TEST(MacroName, CharactersAndSigns) {
  const std::pair<char, const char*> names[] = {
      {'7', "7"},      {'Q', "Q"},          {'q', "USCORE"}, {'"', "DAPEX"},  {'\'', "APEX"},
      {'+', "PLUS"},   {',', "COMMA"},      {'-', "MINUS"},  {'.', "DOT"},    {'/', "SLASH"},
      {'\\', "BSLASH"}, {'_', "USCORE"},    {' ', "USCORE"}, {'\xC9', "USCORE"}};
  for (const auto& [c, name] : names) EXPECT_EQ(MacroName(c), name) << c;
}

TEST(MacroLines, LineEndsAndLongLines) {
  std::string storage;
  using V = std::vector<std::string_view>;
  EXPECT_EQ(MacroLines("a\nbb\r\n\ncc", storage), (V{"a", "bb", "", "cc"}));
  EXPECT_EQ(MacroLines("x\r", storage), (V{"x\r"}));  // a lone CR is no line end
  EXPECT_EQ(MacroLines("", storage), V{});
  // 99 characters per read: the 100th and the rest come as the next line;
  // after exactly 99 the line end is read alone as an empty line.
  const std::string a99(99, 'a');
  EXPECT_EQ(MacroLines(a99 + "bc\n", storage), (V{a99, "bc"}));
  EXPECT_EQ(MacroLines(a99 + "\nz", storage), (V{a99, "", "z"}));
}

TEST(ParseMacro, ColumnsAndShortLines) {
  const std::string text = MacroLine("LEAD:", " 12.5", "-40") + "\r\n; a comment\n" +
                           MacroLine("CUT:", "100  ", " 7 ") + "\n" +
                           "CUT:  1\n" +                         // shorter than column 9
                           "CUT:     3   \n" +                   // no second column
                           "LEAD:    abc    xyz\n" +             // no numbers
                           MacroLine("CUT:", "1e308", "-1e7");  // damaged: no such move
  std::string steps;
  for (const MacroStep& s : ParseMacro(text)) steps += Format("%d %g %g|", s.lead, s.x, s.w);
  EXPECT_EQ(steps, "1 12.5 -40|0 100 7|0 0 0|0 3 0|1 0 0|0 0 0|");
}

// Whole characters are drawn in the golden programs. A macro that starts
// with a CUT scribes from the start point and leaves the pen down.
TEST(WriteMacro, WithoutALead) {
  EXPECT_EQ(Draw(MacroLine("CUT:", "100", "0"), 10, 5), "N2X10W0M80\n");
  EXPECT_EQ(Draw("nothing to draw\n", 10, 5), "");
}

TEST(MacroLibrary, ReadsEachFileOnceAndSkipsMissingOnes) {
  const std::filesystem::path dir = test_support::MakeTempDir("barpost_macro_library");
  test_support::Spit(dir / "A.MAC", MacroLine("LEAD:", "0", "0") + "\r\n");
  test_support::Spit(dir / "USCORE.MAC",
                     MacroLine("CUT:", "0", "0") + "\r\n" + MacroLine("CUT:", "0", "0"));
  MacroLibrary library(dir.string() + "/");
  ASSERT_NE(library.Find('A'), nullptr);
  EXPECT_EQ(library.Find('A')->size(), 1u);
  ASSERT_NE(library.Find('a'), nullptr);
  EXPECT_EQ(library.Find('a')->size(), 2u);
  EXPECT_EQ(library.Find('B'), nullptr);
  // Parsed once: a changed file does not change this program.
  test_support::Spit(dir / "A.MAC", "");
  EXPECT_EQ(library.Find('A')->size(), 1u);
  EXPECT_TRUE(library.Problems().empty());
  std::filesystem::remove_all(dir);
}
