#include "dstv/import.h"

#include <gtest/gtest.h>

#include "base/test_support.h"
#include "cam/cam.h"

namespace dstv {
namespace {

SourceFile Example(const std::string& name) {
  return SourceFile{name, test_support::Slurp(std::string(BARPOST_SOURCE_DIR) + "/examples/dstv/" + name)};
}

// The job reads back through the CAM library: every item of every bar finds
// its piece, the bars' quantities are the pieces'; each file's messages in line order.
TEST(DstvImport, NestedJobReadsBackWithEveryItemFindingItsPiece) {
  ImportOptions options;
  options.bar_lengths = {6000, 12000}, options.kerf = 3;
  ImportResult r = Import({Example("A-201.nc1"), Example("A-202.nc1"), Example("P-301.nc1"),
                           Example("B-401-refused.nc1")}, options);
  EXPECT_EQ(r.files_failed, 1);  // the beam
  std::string lines;
  for (const Message& m : r.messages) lines += m.file + ":" + std::to_string(m.line) + " ";
  EXPECT_EQ(lines, "A-202.nc1:20 A-202.nc1:30 A-202.nc1:31 A-202.nc1:35 A-202.nc1:40 A-202.nc1:44 "
                   "B-401-refused.nc1:10 ");
  CCam cam;
  cam.SetText(r.job, "job.cam");
  EXPECT_TRUE(cam.Warnings().empty()) << cam.Warnings().front();
  std::string records;
  while (cam.Lire_Entites(kRecordPiece | kRecordBar)) {
    records += cam.m_nType == kRecordPiece
                   ? cam.ReadHead("PCE_NAM") + " holes " + std::to_string(cam.m_aHoles.GetSize())
                   : "bar " + cam.ReadHead("BAR_LEN") + " " + cam.ReadHead("BAR_BON") + "/" + cam.ReadHead("BAR_IDT");
    for (const Cam_Item& i : cam.m_aItems)
      records += " " + i.m_sPceNam + "x" + std::to_string(i.m_nQty) +
                 (cam.FindPiece(i.m_sComNam, i.m_sDwgNam, i.m_sAssNam, i.m_sPceNam) >= 0 ? "" : " not found");
    records += ", ";
  }
  EXPECT_EQ(records, "A-201 holes 6, A-202 holes 4, P-301 holes 5, bar 6000 1/1 A-201x2, bar 6000 2/1 A-202x1, "
                     "bar 6000 3/1 P-301x4, ");
  const std::vector<std::string> report = r.NestingReport();
  ASSERT_EQ(report.size(), 4u);
  EXPECT_EQ(report[2], "FL100*10 S235JR: 4 pieces, 4.8 m on 1 bar (lower bound 1, 1 with the kerfs), yield 80.0 %; "
                       "first-fit decreasing 1 bar, yield 80.0 %");
  EXPECT_EQ(report[3].rfind("nested: 3 bars, lower bound 3", 0), 0u) << report[3];
}

TEST(DstvImport, WithoutBarsOnePieceRecordPerKindAndTextsInLatin1) {
  ImportResult r = Import({Example("P-301.nc1")}, ImportOptions());
  EXPECT_EQ(r.files_failed, 0);
  EXPECT_NE(r.job.find("# B\xFChne 3\n*PIECE\nPCE_NAM=P-301\nPCE_PRF=FL100*10\nPCE_MAT=S235JR\nPCE_QTY=4\n"
                       "COM_NAM=2026-204\nDWG_NAM=D-206\nASS_NAM=2\nFAS_NAM=2\nCATEGORY=R\nSECTION=100 10\n"
                       "LENGTH=1200\nHOLE level=0 kind=0 d=22 x=60 y=30\n"),
            std::string::npos) << r.job;
  EXPECT_NE(r.job.find("MARK x=150 y=40 code=0 text=\"B\xFChne P301\"\n*END\n"), std::string::npos);
  EXPECT_EQ(r.job.find("*BAR"), std::string::npos);
  // The same piece twice fails the second file.
  SourceFile copy = Example("A-201.nc1");
  copy.name = "copy.nc1";
  r = Import({Example("A-201.nc1"), copy}, ImportOptions());
  EXPECT_EQ(r.files_failed, 1);
  EXPECT_EQ(r.pieces.size(), 1u);
  ASSERT_EQ(r.messages.size(), 1u);
  EXPECT_EQ(r.messages[0].Format(),
            "copy.nc1:6: piece A-201: A-201.nc1 already has a piece of this order, drawing, phase and mark");
}

TEST(DstvImport, BarLengthLists) {
  std::vector<double> l;
  EXPECT_TRUE(ParseLengthList("6000,12000.5", &l));
  EXPECT_EQ(l, (std::vector<double>{6000, 12000.5}));
  for (const char* bad : {"", "6000,", "6000,abc", "-6000", "0", "12m", "6000;9000"})
    EXPECT_FALSE(ParseLengthList(bad, &l)) << bad;
}

}  // namespace
}  // namespace dstv
