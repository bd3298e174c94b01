#include "output/nc_program.h"

#include <gtest/gtest.h>

#include <array>
#include <sstream>

#include "output/output_test_util.h"

// Whole programs of each control, their headers and names are checked by the
// golden programs (tests/golden); these are the cases those do not reach.

// Runs of equal machine X and face: every other run of a face is punched in
// reverse, the first one included.
TEST(WriteNcText, EveryOtherRunOfAFaceIsReversed) {
  NcProgram program;
  for (auto [x, y, face] : std::vector<std::array<int, 3>>{{10, 1, 1}, {10, 2, 1}, {10, 3, 2},
                                                          {20, 1, 1}, {20, 2, 1}, {20, 1, 2},
                                                          {20, 2, 2}, {30, 1, 1}, {30, 2, 1}})
    program.ops.push_back(Op('D', x, y, face));
  OptionValues options;
  options.Cnc = 2;
  std::istringstream text(WriteNcText(program, options, ""));
  std::string punched;
  for (std::string line; std::getline(text, line);)
    if (const auto at = line.find("PUNCH(Y1, 1, "); at != std::string::npos)
      punched += line.substr(at + 13);
  EXPECT_EQ(punched, "10, 2)\r10, 1)\r10, 3)\r20, 1)\r20, 2)\r20, 1)\r20, 2)\r30, 2)\r30, 1)\r");
}

// Without a middle remnant, remnant operations only switch frames.
TEST(WriteNcText, RemnantOperationsSwitchFrames) {
  NcProgram program;
  program.length = 3000;
  CUsi remnant = Op('C', 100, 0, 1, 5);
  remnant.m_bRemnant = 1;
  program.ops = {remnant, Op('C', 300, 0, 1, 5)};
  OptionValues options;
  for (int i = 0; i < 6; ++i) options.Clamp_Open[i] = options.Clamp_Close[i] = "20000";
  const std::string text = Lf(WriteNcText(program, options, ""));
  EXPECT_EQ(text.substr(text.find("_XREF(0)\n") + 9), "G54\nX100\nM5\nG500\nX300\nM5\nM61\nM30\n");
}

// A program of many pieces reaches the sink whole and in order; a sink that
// refuses a piece stops the writer.
TEST(WriteNcText, LongProgramsReachTheSinkInPieces) {
  NcProgram program;
  program.length = 1e7;
  for (int i = 0; i < 40000; ++i)
    program.ops.push_back(Op('D', 10 + i * 3.25, 25.5 + (i % 3), i % 6, 11 + i % 6));
  OptionValues options;
  options.units.Add(rec_uni{"1", "Y1", "11", "", "22"});
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
