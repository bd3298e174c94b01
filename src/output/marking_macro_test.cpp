#include "output/marking_macro.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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

std::string Draw(const std::string& macro, double x0, double y0, int width = 10,
                 double speed = 3000, double off_r99 = 0) {
  std::string out;
  NcText nc(out, true, 0, off_r99);
  WriteMacro(nc, ParseMacro(macro), x0, y0, width, speed);
  return Lf(nc.out());
}

}  // namespace

TEST(MacroName, CharactersAndSigns) {
  EXPECT_EQ(MacroName('7'), "7");
  EXPECT_EQ(MacroName('Q'), "Q");
  EXPECT_EQ(MacroName('q'), "USCORE");
  EXPECT_EQ(MacroName('"'), "DAPEX");
  EXPECT_EQ(MacroName('\''), "APEX");
  EXPECT_EQ(MacroName('+'), "PLUS");
  EXPECT_EQ(MacroName(','), "COMMA");
  EXPECT_EQ(MacroName('-'), "MINUS");
  EXPECT_EQ(MacroName('.'), "DOT");
  EXPECT_EQ(MacroName('/'), "SLASH");
  EXPECT_EQ(MacroName('\\'), "BSLASH");
  EXPECT_EQ(MacroName('_'), "USCORE");
  EXPECT_EQ(MacroName(' '), "USCORE");
  EXPECT_EQ(MacroName(static_cast<char>(0xC9)), "USCORE");
}

TEST(MacroLines, LineEndsAndLongLines) {
  std::string storage;
  using V = std::vector<std::string_view>;
  EXPECT_EQ(MacroLines("a\nbb\r\n\ncc", storage), (V{"a", "bb", "", "cc"}));
  EXPECT_EQ(MacroLines("x\r", storage), (V{"x\r"}));  // a lone CR is no line end
  EXPECT_EQ(MacroLines("", storage), V{});
  // 99 characters per read: the 100th and the rest come as the next line.
  const std::string long_line = std::string(99, 'a') + "bc\n";
  EXPECT_EQ(MacroLines(long_line, storage), (V{std::string(99, 'a'), "bc"}));
  // Exactly 99 characters: the line end is read alone as an empty line.
  EXPECT_EQ(MacroLines(std::string(99, 'a') + "\nz", storage),
            (V{std::string(99, 'a'), "", "z"}));
}

TEST(ParseMacro, ColumnsAndShortLines) {
  const std::string text = MacroLine("LEAD:", " 12.5", "-40") + "\r\n" +
                           "; a comment\n" +
                           MacroLine("CUT:", "100  ", " 7 ") + "\n" +
                           "CUT:  1\n" +             // shorter than column 9
                           "CUT:     3   \n" +       // first column cut short, no second
                           "LEAD:    abc    xyz\n" +  // no numbers
                           MacroLine("CUT:", "1e308", "-1e7");  // damaged: no such move
  std::vector<MacroStep> steps = ParseMacro(text);
  ASSERT_EQ(steps.size(), 6u);
  EXPECT_TRUE(steps[0].lead);
  EXPECT_EQ(steps[0].x, 12.5);
  EXPECT_EQ(steps[0].w, -40);
  EXPECT_FALSE(steps[1].lead);
  EXPECT_EQ(steps[1].x, 100);
  EXPECT_EQ(steps[1].w, 7);
  EXPECT_EQ(steps[2].x, 0);
  EXPECT_EQ(steps[2].w, 0);
  EXPECT_EQ(steps[3].x, 3);
  EXPECT_EQ(steps[3].w, 0);
  EXPECT_TRUE(steps[4].lead);
  EXPECT_EQ(steps[4].x, 0);
  EXPECT_EQ(steps[5].x, 0);
  EXPECT_EQ(steps[5].w, 0);
}

TEST(WriteMacro, LeadAndTwoCuts) {
  // Width 10: 50 % is 5 mm.
  const std::string macro = MacroLine("LEAD:", "0", "0") + "\n" + MacroLine("CUT:", "0", "100") +
                            "\n" + MacroLine("CUT:", "50", "100") + "\n";
  EXPECT_EQ(Draw(macro, 200, 30),
            "N2G0G60X200W30\n"
            "N4G1G91F3000\n"
            "N6X0W10M80\n"
            "N8X5W0\n"
            "N10G0M81\n"
            "N12G0G60G90\n");
}

TEST(WriteMacro, StrokesLeadsAndScaling) {
  // The second LEAD closes the stroke; the third follows a LEAD directly and
  // writes no G0M81. X moves are scaled by Off_R99, W moves are not.
  const std::string macro = MacroLine("LEAD:", "10", "0") + "\n" + MacroLine("CUT:", "30", "20") +
                            "\n" + MacroLine("LEAD:", "40", "0") + "\n" +
                            MacroLine("LEAD:", "60", "10") + "\n" +
                            MacroLine("CUT:", "80", "10") + "\n";
  EXPECT_EQ(Draw(macro, 100, 0, 10, 1500, 5),
            "N2G0G60X50.5W0\n"
            "N4G1G91F1500\n"
            "N6X1W2M80\n"
            "N8G0M81\n"
            "N10G0G60G90\n"
            "N12G0G60X52W0\n"
            "N14G1G91F1500\n"
            "N16G0G60X53W1\n"
            "N18G1G91F1500\n"
            "N20X1W0M80\n"
            "N22G0M81\n"
            "N24G0G60G90\n");
}

TEST(WriteMacro, NoLeadNoPenUp) {
  EXPECT_EQ(Draw(MacroLine("CUT:", "100", "0"), 10, 5), "N2X10W0M80\n");
  EXPECT_EQ(Draw("nothing to draw\n", 10, 5), "");
}

TEST(MacroLibrary, ReadsEachFileOnceAndSkipsMissingOnes) {
  const std::filesystem::path dir =
      std::filesystem::path(testing::TempDir()) / "barpost_macro_library";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::string prefix = dir.string() + "/";
  auto write = [&](const char* name, const std::string& text) {
    std::ofstream(prefix + name, std::ios::binary) << text;
  };
  write("A.MAC", MacroLine("LEAD:", "0", "0") + "\r\n");
  write("USCORE.MAC", MacroLine("CUT:", "0", "0") + "\r\n" + MacroLine("CUT:", "0", "0"));

  MacroLibrary library(prefix);
  const std::vector<MacroStep>* a = library.Find('A');
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->size(), 1u);
  ASSERT_NE(library.Find('a'), nullptr);
  EXPECT_EQ(library.Find('a')->size(), 2u);
  EXPECT_EQ(library.Find('B'), nullptr);

  // Parsed once: a changed file does not change this program.
  write("A.MAC", "");
  EXPECT_EQ(library.Find('A')->size(), 1u);
  std::filesystem::remove_all(dir);
}
