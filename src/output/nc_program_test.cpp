#include "output/nc_program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "output/nc_control.h"
#include "output/nc_header.h"
#include "output/output_test_util.h"

namespace {

// Positions of the operations after AlternateRuns, as "x/face/y" words.
std::string Order(UsiRecords ops) {
  AlternateRuns(ops);
  std::string text;
  for (std::size_t i = 0; i < ops.size(); ++i) {
    const UsiRecord& u = ops[i];
    if (!text.empty()) text += ' ';
    text += std::to_string(static_cast<int>(u.m_dXMachine)) + "/" + std::to_string(u.m_nFace) +
            "/" + std::to_string(static_cast<int>(u.m_dYMachine));
  }
  return text;
}

OptionValues Units(std::initializer_list<const char*> levels) {
  OptionValues options;
  int i = 0;
  for (const char* level : levels) {
    const char digit = static_cast<char>('0' + ++i);
    options.units.Add(rec_uni{level, {'Y', digit}, {'1', digit}, "", {'D', digit}});
  }
  return options;
}

// The tooling lines that the header writes for the options' unit table.
std::string Tooling(const OptionValues& options) {
  NcProgram program;
  OptionValues o = options;
  o.Cnc = 2;
  std::string text = WriteNcText(program, o, "");
  std::string lines = Lf(text);
  const std::string start = ";    FL               NL\n";
  std::size_t from = lines.find(start) + start.size();
  return lines.substr(from, lines.find("\nINCH") - from);
}

NcProgram PieceProgram() {
  NcProgram program;
  program.piece_name = "A-12-3";
  program.profile = "L80x8";
  program.material = "S235";
  program.length = 1250.5;
  program.val_to_text = [](double v) { return std::to_string(static_cast<int>(v)) + " mm"; };
  return program;
}

}  // namespace

TEST(ProgramName, BarAndPieceMode) {
  NcProgram program;
  program.piece_name = "A-12-3";
  EXPECT_EQ(ProgramName(program), "A123");
  program.bar = true;
  program.bon = 7;
  program.bar_idt = 3;
  EXPECT_EQ(ProgramName(program), "0007_03");
}

TEST(AlternateRuns, EveryOtherRunOfAFaceIsReversed) {
  // Face 1: runs at 10 (reversed), 20 (kept), 30 (reversed, the last run).
  // Face 2: runs at 10 (one operation, counts as reversed) and 20 (kept).
  EXPECT_EQ(Order({Hole(10, 1, 0, "", 0), Hole(10, 2, 0, "", 0), Hole(10, 3, 0, "", 0, 2),
                   Hole(20, 1, 0, "", 0), Hole(20, 2, 0, "", 0), Hole(20, 1, 0, "", 0, 2),
                   Hole(20, 2, 0, "", 0, 2), Hole(30, 1, 0, "", 0), Hole(30, 2, 0, "", 0)}),
            "10/1/2 10/1/1 10/2/3 20/1/1 20/1/2 20/2/1 20/2/2 30/1/2 30/1/1");
  EXPECT_EQ(Order({}), "");
  // Faces outside 0..3 have toggles of their own.
  EXPECT_EQ(Order({Hole(10, 1, 0, "", 0, 9), Hole(10, 2, 0, "", 0, 9), Hole(20, 1, 0, "", 0, 9),
                   Hole(20, 2, 0, "", 0, 9), Hole(30, 1, 0, "", 0, -1),
                   Hole(30, 2, 0, "", 0, -1)}),
            "10/9/2 10/9/1 20/9/1 20/9/2 30/-1/2 30/-1/1");
}

TEST(WriteNcText, ToolingTablePairsTheTopRows) {
  EXPECT_EQ(Tooling(Units({"1", "1", "2", "2"})),
            ";#1  D1               D3             \n"
            ";#2  D2               D4             \n");
  // Five units in use: rows 1 and 2 with rows 3 and 4 of the table, the
  // unused row 2 included, whichever rows are the used ones.
  EXPECT_EQ(Tooling(Units({"1", "", "1", "2", "2", "2"})),
            ";#1  D1               D3             \n"
            ";#2  D2               D4             \n");
  EXPECT_EQ(Tooling(Units({"", "", "1", "", "", ""})), "");
}

TEST(WriteNcText, SiemensPieceProgram) {
  NcProgram program = PieceProgram();
  program.ops = {Cut(0), Hole(100, 30, 0, "Y1", 11, 0), Hole(100, 40, 0, "Y1", 11, 0), Cut(1250.5)};
  OptionValues options = Units({"1", "1", "", "", "", ""});
  options.Ligne = 1;
  for (int i = 0; i < 6; ++i) options.Clamp_Open[i] = options.Clamp_Close[i] = "20000";
  EXPECT_EQ(Lf(WriteNcText(program, options, "")),
            "N2;Piece mark\n"
            "N4;NO.  Mark         Qty Length\n"
            "N6;#1=   A-12-3         1   1250 mm\n"
            "N8;Shape    L80x8\n"
            "N10;Material S235\n"
            "N12;Length   1250 mm\n"
            "N14;Lead End   0\n"
            "N16;Trail End  0\n"
            "N18;Tooling\n"
            "N20;    FL               NL\n"
            "N22;#1  D1               D2             \n"
            "N24G710\nN26G00\nN28G90\nN30G500\nN32R9=0\nN34H1=0\nN36H2=0\nN38M51\nN40_XREF(0)\n"
            // the first run of face 0 comes out reversed
            "N42X0\nN44M5\nN46X100Y1=40\nN48M11\nN50X100Y1=30\nN52M11\nN54X1250.5\nN56M5\n"
            "N58M61\nN60M30\n");
}

TEST(WriteNcText, FagorStartsWithProgramNumber) {
  NcProgram program = PieceProgram();
  program.val_to_text = nullptr;  // lengths fall back to the number format
  program.ops = {Cut(10)};
  OptionValues options;
  options.Cnc = 1;
  const std::string pad(38, ' ');
  auto comment = [&](const std::string& text) {
    return "(" + text + pad.substr(std::min(text.size(), pad.size())) + ")\n";
  };
  EXPECT_EQ(Lf(WriteNcText(program, options, "")),
            "%00001\n" + comment("Piece mark") + comment("NO.  Mark         Qty Length") +
                comment("#1=   A-12-3         1   1250.5") + comment("Shape    L80x8") +
                comment("Material S235") + comment("Length   1250.5") + comment("Lead End   0") +
                comment("Trail End  0") + comment("Tooling") + comment("    FL               NL") +
                "G71\nG74X\nG00\nG90\n.G74YZ\nY0Z0M26\nG92X0\nX10M5\nM30\n");
}

TEST(WriteNcText, ClipperBarProgram) {
  NcProgram program = PieceProgram();
  program.bar = true;
  program.ops = {Cut(10), Hole(30, 12, 0, "P1", 11)};
  OptionValues options = Units({"1"});
  options.Cnc = 2;
  options.Ligne = 1;
  options.Motrice = 1;
  EXPECT_EQ(Lf(WriteNcText(program, options, "")),
            ";Piece mark\n;NO.  Mark         Qty Length\n;Shape    L80x8\n;Material S235\n"
            ";Length   1250 mm\n;Tooling\n;    FL               NL\n"
            "\nINCH\nTOOLS(Y1, D1, 0, 0)\nMATERIAL(L, \"L80x8\", 1250.5)\n\n"
            "N0: SHEAR(0, 10)\nN2: PUNCH(P1, 1, 30, 12)\nN4: MOVE(X,  182.4)\n");
}

TEST(WriteNcText, BarPieceListLines) {
  NcProgram program = PieceProgram();
  program.bar = true;
  OptionValues options;
  options.Cnc = 0;
  std::string out;
  NcText nc(out, false, 0, 0);
  MacroLibrary macros("");
  auto control = MakeNcControl(NcContext{nc, program, options, macros});
  WriteHeader(*control, program,
              {{"P-1", 2, 1000}, {"A-VERY-LONG-PIECE-MARK", 12345, 99.5}}, options);
  const std::string text = Lf(nc.out());
  EXPECT_NE(text.find(";#1   P-1            2   1000 mm\n;#2   A-VERY-LONG-PIE1234599 mm\n"),
            std::string::npos)
      << text;
}

TEST(WriteNcText, SignoscriptMarksThroughTheMacros) {
  const std::filesystem::path dir =
      std::filesystem::path(testing::TempDir()) / "barpost_program_macros";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "USCORE.MAC", std::ios::binary)
      << "LEAD:    0       0\r\nCUT:     100     50\r\n";

  NcProgram program;
  program.ops = {Mark(100, 20, 'a'), Mark(100, 20, 'b'), Mark(110, 20, 'Z')};
  OptionValues options;
  options.Cnc = 1;
  options.Mark_Device = 2;
  options.Mark_LgCar = "8";
  options.Mark_Speed = "3000";
  const std::string text = Lf(WriteNcText(program, options, dir.string() + "/"));
  const std::string body = text.substr(text.find("G92X0\n") + 6);
  const std::string letter = "G0G60X100W20\nG1G91F3000\nX8W4M80\nG0M81\nG0G60G90\n";
  EXPECT_EQ(body, letter + letter + "M30\n");  // no Z.MAC: nothing for 'Z'
  std::filesystem::remove_all(dir);
}

// A program of many pieces reaches the sink whole and in order; a sink that
// refuses a piece stops the writer.
TEST(WriteNcText, LongProgramsReachTheSinkInPieces) {
  NcProgram program = PieceProgram();
  program.length = 1e7;
  for (int i = 0; i < 40000; ++i)
    program.ops.push_back(Hole(10 + i * 3.25, 25.5 + (i % 3), i % 6, "Y1", 11 + i % 6));
  OptionValues options = Units({"1", "1", "1", "2", "2", "2"});
  const std::string whole = WriteNcText(program, options, "");
  ASSERT_GT(whole.size(), 2 * kNcPieceBytes);

  std::string joined;
  int pieces = 0;
  EXPECT_TRUE(WriteNcText(program, options, "", [&](std::string_view piece) {
    joined += piece;
    return ++pieces > 0;
  }));
  EXPECT_GT(pieces, 2);
  EXPECT_EQ(joined, whole);

  pieces = 0;
  EXPECT_FALSE(WriteNcText(program, options, "", [&](std::string_view) { return ++pieces < 2; }));
  EXPECT_EQ(pieces, 2);  // nothing more after the refused piece
}
