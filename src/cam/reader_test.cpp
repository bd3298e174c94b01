#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "cam/cam.h"

namespace {

// Three bars around pieces, with a job record and an unused record.
constexpr const char* kBars =
    "*JOB\nJOB_NAM=J\n*BAR\nBAR_IDT=1\nITEM com=C pce=P1 length=1000 qty=2\n"
    "*PIECE\nPCE_NAM=P1\nCOM_NAM=C\nLENGTH=1000\nHOLE x=500 y=40 d=22\nHOLE x=100 y=40 d=22\n"
    "*NOTE\nTEXT=skip me\n*BAR\nBAR_IDT=2\n*PIECE\nPCE_NAM=P2\nCOM_NAM=C\n*BAR\nBAR_IDT=3\n";

// The records Lire_Entites(mask) makes current from the position on (kind,
// name, position), then the position at the end.
std::string Walk(CCam& cam, int mask, int at_most = 99) {
  std::string seen;
  while (at_most-- > 0 && cam.Lire_Entites(mask))
    seen += std::to_string(cam.m_nType) + ":" + cam.ReadHead("BAR_IDT") + cam.ReadHead("PCE_NAM") +
            cam.ReadHead("TEXT") + "@" + std::to_string(cam.GetPos()) + " ";
  return seen + "end@" + std::to_string(cam.GetPos());
}

TEST(Reader, ReadsRecordsByKindFromThePositionSet) {
  CCam cam;
  cam.SetText(kBars, "bars.cam");
  EXPECT_EQ(cam.RecordCount(), 7);
  EXPECT_EQ(Walk(cam, kRecordPiece | kRecordBar), "4:1@1 1:P1@2 4:2@4 1:P2@5 4:3@6 end@7");
  EXPECT_EQ(Walk(cam, 15), "end@7");
  cam.SetPos(0);
  EXPECT_EQ(Walk(cam, kRecordOther | kRecordJob, 1), "2:@0 end@0");
  EXPECT_EQ(Walk(cam, kRecordOther, 1), "8:skip me@3 end@3");
  EXPECT_EQ(cam.ReadHead("JOB_NAM") + cam.ReadHead("ABSENT"), "J");  // inherited
  cam.SetPos(4);  // at the end of one kind the others are at their end too
  EXPECT_EQ(Walk(cam, kRecordOther), "end@7");
  EXPECT_EQ(Walk(cam, kRecordBar), "end@7");
  // The same bar again after a piece walk, as the job driver does it.
  cam.SetPos(0);
  EXPECT_EQ(Walk(cam, kRecordBar, 2), "4:1@1 4:2@4 end@4");
  Walk(cam, kRecordPiece);
  cam.SetPos(4);
  EXPECT_EQ(Walk(cam, kRecordBar), "4:2@4 4:3@6 end@7");
  cam.SetPos(-5);
  EXPECT_EQ(cam.GetPos(), 0);
  cam.SetPos(1000);
  EXPECT_EQ(Walk(cam, 15), "end@1000");
  // Scanning the bars and finding a piece leave the current record as it is.
  cam.SetPos(0);
  ASSERT_TRUE(cam.Lire_Entites(kRecordBar));
  cam.ScanBars();
  EXPECT_EQ(Walk(cam, 15) + " " + cam.ReadHead("BAR_IDT"), "end@7 1");
  EXPECT_EQ(cam.m_aItems[0].m_nQty, 2);
  EXPECT_EQ(cam.FindPiece("C", "", "", "P3"), -1);
  cam.SetPos(cam.FindPiece("C", "", "", "P2"));
  EXPECT_EQ(Walk(cam, kRecordPiece, 1), "1:P2@5 end@5");
}

TEST(Reader, TheCurrentRecordIsACopy) {
  CCam cam;
  cam.SetText(kBars);
  cam.SetPos(2);
  ASSERT_TRUE(cam.Lire_Entites(kRecordPiece));
  ASSERT_EQ(cam.m_aHoles.GetSize(), 2);
  EXPECT_EQ(cam.m_aHoles[0].m_dX, 100);  // in hole order
  cam.m_aHoles[0].m_dX = 7;
  cam.m_aHoles.RemoveAt(1);
  cam.m_aPosts.Add(Cam_Post("SymX", "1"));
  cam.WriteHead("JOB_DES", "written");
  cam.WriteHead("PCE_NAM", "renamed");
  cam.m_cInch = 1;
  EXPECT_EQ(cam.ReadHead("JOB_DES") + cam.ReadHead("PCE_NAM"), "writtenrenamed");
  CCam copy(cam);  // shares the parsed file, copies the current record
  EXPECT_EQ(copy.ReadHead("JOB_DES") + copy.ReadHead("JOB_NAM") + std::to_string(copy.m_aHoles.GetSize()), "writtenJ1");
  cam.SetPos(cam.GetPos());
  ASSERT_TRUE(cam.Lire_Entites(kRecordPiece));
  EXPECT_EQ(cam.m_aHoles.GetSize(), 2);
  EXPECT_TRUE(cam.m_aPosts.IsEmpty());
  EXPECT_EQ(cam.m_cInch, 0);
  EXPECT_EQ(cam.m_aHoles[0].m_dX, 100);
  EXPECT_EQ(cam.ReadHead("JOB_DES") + cam.ReadHead("PCE_NAM"), "P1");
  EXPECT_EQ(Walk(copy, kRecordPiece, 1), "1:P2@5 end@5");
  cam.Libere();
  EXPECT_EQ(cam.m_nType + cam.m_aHoles.GetSize(), 0);
  EXPECT_EQ(cam.ReadHead("PCE_NAM") + cam.ReadHead("JOB_NAM"), "");
  EXPECT_EQ(cam.ValToText(20.5), "20.5");  // lengths as text in the record's unit
  EXPECT_EQ(cam.TextToVal("7/8"), 0);
  cam.m_cInch = 1;
  EXPECT_EQ(cam.ValToText(30.1625), "1 3/16");
  EXPECT_DOUBLE_EQ(cam.TextToVal("1-3/16"), 30.1625);
}

TEST(Reader, FilesAreReadOnceAndMissingFilesGiveNoRecord) {
  CCam cam, none;  // none: no file named at all
  EXPECT_FALSE(none.Lire_Entites(15));
  cam.SetFile("/nonexistent/dir/job.cam");
  EXPECT_FALSE(cam.Lire_Entites(15));
  ASSERT_EQ(cam.Warnings().size(), 1u);
  EXPECT_EQ(cam.Warnings()[0].rfind("/nonexistent/dir/job.cam: cannot read the job file: ", 0), 0u);
  const std::string path = std::string(BARPOST_BINARY_DIR) + "/cam_reader_test.cam";
  std::ofstream(path, std::ios::binary) << kBars;
  cam.SetFile(path);
  EXPECT_EQ(Walk(cam, kRecordPiece, 1), "1:P1@2 end@2");
  std::remove(path.c_str());  // parsed at the first read, from memory afterwards
  EXPECT_EQ(Walk(cam, 15), "8:skip me@3 4:2@4 1:P2@5 4:3@6 end@7");
  EXPECT_TRUE(cam.Warnings().empty());
}

}  // namespace
