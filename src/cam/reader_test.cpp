#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "cam/cam.h"
#include "cam/test_jobs.h"

namespace {

// Three bars around pieces, with a job record and an unused record.
constexpr const char* kBars = R"(*JOB
JOB_NAM=J
*BAR
BAR_IDT=1
ITEM com=C pce=P1 length=1000 qty=2
*PIECE
PCE_NAM=P1
COM_NAM=C
LENGTH=1000
HOLE x=500 y=40 d=22
HOLE x=100 y=40 d=22
*NOTE
TEXT=skip me
*BAR
BAR_IDT=2
*PIECE
PCE_NAM=P2
COM_NAM=C
*BAR
BAR_IDT=3
)";

TEST(Reader, ReadsRecordsByKind) {
  CCam cam;
  cam.SetText(kBars, "bars.cam");
  EXPECT_EQ(cam.RecordCount(), 7);
  std::string seen;
  while (cam.Lire_Entites(kRecordPiece | kRecordBar)) {
    seen += std::to_string(cam.m_nType) + ":" + cam.ReadHead("BAR_IDT") + cam.ReadHead("PCE_NAM") +
            "@" + std::to_string(cam.GetPos()) + " ";
  }
  EXPECT_EQ(seen, "4:1@1 1:P1@2 4:2@4 1:P2@5 4:3@6 ");
  EXPECT_FALSE(cam.Lire_Entites(5));
  EXPECT_EQ(cam.GetPos(), 7);
  cam.SetPos(0);
  ASSERT_TRUE(cam.Lire_Entites(kRecordOther));
  EXPECT_EQ(cam.ReadHead("TEXT"), "skip me");
  ASSERT_TRUE(cam.Lire_Entites(kRecordJob | kRecordBar));
  EXPECT_EQ(cam.ReadHead("BAR_IDT"), "2");
  EXPECT_EQ(cam.ReadHead("JOB_NAM"), "J");  // inherited
  EXPECT_EQ(cam.ReadHead("ABSENT"), "");
}

TEST(Reader, PositionsReReadTheSameBar) {
  CCam cam;
  cam.SetText(kBars);
  ASSERT_TRUE(cam.Lire_Entites(4));
  ASSERT_TRUE(cam.Lire_Entites(4));
  long pos = cam.GetPos();
  EXPECT_EQ(cam.ReadHead("BAR_IDT"), "2");

  // A piece walk in between, as the job driver does it.
  cam.SetPos(0);
  while (cam.Lire_Entites(1) && cam.ReadHead("PCE_NAM") != "P2") {
  }
  cam.SetPos(pos);
  EXPECT_EQ(cam.GetPos(), pos);
  ASSERT_TRUE(cam.Lire_Entites(4));
  EXPECT_EQ(cam.ReadHead("BAR_IDT"), "2");
  EXPECT_EQ(cam.GetPos(), pos);
  ASSERT_TRUE(cam.Lire_Entites(4));
  EXPECT_EQ(cam.ReadHead("BAR_IDT"), "3");

  cam.SetPos(cam.GetPos());
  ASSERT_TRUE(cam.Lire_Entites(4));
  EXPECT_EQ(cam.ReadHead("BAR_IDT"), "3");

  cam.SetPos(-5);
  EXPECT_EQ(cam.GetPos(), 0);
  cam.SetPos(1000);
  EXPECT_FALSE(cam.Lire_Entites(5));
}

TEST(Reader, ScanBarsAndFindPiece) {
  CCam cam;
  cam.SetText(kBars);
  ASSERT_TRUE(cam.Lire_Entites(4));
  long bar = cam.GetPos();
  cam.ScanBars();
  EXPECT_EQ(cam.GetPos(), cam.RecordCount());
  EXPECT_FALSE(cam.Lire_Entites(5));
  EXPECT_EQ(cam.m_nType, 4);  // the current record is left alone
  EXPECT_EQ(cam.ReadHead("BAR_IDT"), "1");

  long piece = cam.FindPiece("C", "", "", "P2");
  EXPECT_EQ(piece, 5);
  EXPECT_EQ(cam.FindPiece("C", "", "", "P3"), -1);
  cam.SetPos(piece);
  ASSERT_TRUE(cam.Lire_Entites(kRecordPiece));
  EXPECT_EQ(cam.ReadHead("PCE_NAM"), "P2");

  cam.SetPos(bar);
  ASSERT_TRUE(cam.Lire_Entites(4));
  EXPECT_EQ(cam.ReadHead("BAR_IDT"), "1");
  ASSERT_EQ(cam.m_aItems.GetSize(), 1);
  EXPECT_EQ(cam.m_aItems[0].m_nQty, 2);
}

TEST(Reader, CurrentRecordIsACopy) {
  CCam cam;
  cam.SetText(kBars);
  cam.SetPos(cam.FindPiece("C", "", "", "P1"));
  ASSERT_TRUE(cam.Lire_Entites(1));
  ASSERT_EQ(cam.m_aHoles.GetSize(), 2);
  EXPECT_EQ(cam.m_aHoles[0].m_dX, 100);  // sorted by x
  EXPECT_EQ(cam.m_dLength, 1000);
  long pos = cam.GetPos();

  cam.m_aHoles[0].m_dX = 7;
  cam.m_aHoles.RemoveAt(1);
  cam.m_aPosts.RemoveAll();
  cam.m_aPosts.Add(Cam_Post("SymX", "1"));
  cam.WriteHead("JOB_DES", "written");
  cam.WriteHead("PCE_NAM", "renamed");
  cam.m_cInch = 1;
  EXPECT_EQ(cam.ReadHead("JOB_DES"), "written");
  EXPECT_EQ(cam.ReadHead("PCE_NAM"), "renamed");

  CCam copy(cam);  // shares the parsed file, copies the current record
  EXPECT_EQ(copy.ReadHead("JOB_DES"), "written");
  EXPECT_EQ(copy.ReadHead("JOB_NAM"), "J");

  cam.SetPos(pos);
  ASSERT_TRUE(cam.Lire_Entites(1));
  ASSERT_EQ(cam.m_aHoles.GetSize(), 2);
  EXPECT_EQ(cam.m_aHoles[0].m_dX, 100);
  EXPECT_TRUE(cam.m_aPosts.IsEmpty());
  EXPECT_EQ(cam.ReadHead("JOB_DES"), "");
  EXPECT_EQ(cam.ReadHead("PCE_NAM"), "P1");
  EXPECT_EQ(cam.m_cInch, 0);

  EXPECT_EQ(copy.m_aHoles.GetSize(), 1);
  ASSERT_TRUE(copy.Lire_Entites(1));
  EXPECT_EQ(copy.ReadHead("PCE_NAM"), "P2");

  cam.Libere();
  EXPECT_EQ(cam.m_nType, 0);
  EXPECT_TRUE(cam.m_aHoles.IsEmpty());
  EXPECT_EQ(cam.ReadHead("PCE_NAM"), "");
  EXPECT_EQ(cam.ReadHead("JOB_NAM"), "");
}

TEST(Reader, UnitTexts) {
  CCam cam;
  cam.m_cInch = 0;
  EXPECT_EQ(cam.ValToText(2500), "2500");
  EXPECT_EQ(cam.ValToText(20.5), "20.5");
  EXPECT_EQ(cam.TextToVal("22"), 22);
  EXPECT_EQ(cam.TextToVal("7/8"), 0);
  EXPECT_EQ(cam.TextToVal("22X60"), 0);
  cam.m_cInch = 1;
  EXPECT_EQ(cam.ValToText(22.225), "7/8");
  EXPECT_EQ(cam.ValToText(30.1625), "1 3/16");
  EXPECT_DOUBLE_EQ(cam.TextToVal("1-3/16"), 30.1625);
  EXPECT_DOUBLE_EQ(cam.TextToVal("1 3/16"), 30.1625);
  EXPECT_DOUBLE_EQ(cam.TextToVal("0.5"), 12.7);
}

TEST(Reader, FilesAreReadOnceAndMissingFilesGiveNoRecord) {
  CCam cam;
  cam.SetFile("/nonexistent/dir/job.cam");
  EXPECT_FALSE(cam.Lire_Entites(5));
  EXPECT_EQ(cam.RecordCount(), 0);
  ASSERT_EQ(cam.Warnings().size(), 1u);
  EXPECT_NE(cam.Warnings()[0].find("/nonexistent/dir/job.cam"), std::string::npos);

  std::string path = std::string(BARPOST_BINARY_DIR) + "/cam_reader_test.cam";
  {
    std::ofstream out(path, std::ios::binary);
    out << kExampleJob;
  }
  cam.SetFile(path);
  ASSERT_TRUE(cam.Lire_Entites(5));
  EXPECT_EQ(cam.ReadHead("PCE_NAM"), "A-12-3");
  std::remove(path.c_str());  // parsed at the first read, from memory afterwards
  ASSERT_TRUE(cam.Lire_Entites(5));
  EXPECT_EQ(cam.ReadHead("BAR_LEN"), "6000");
  cam.SetPos(0);
  ASSERT_TRUE(cam.Lire_Entites(1));
  EXPECT_EQ(cam.ReadHead("JOB_NAM"), "2026-118 Hall B");
  EXPECT_TRUE(cam.Warnings().empty());

  CCam none;  // no file named at all
  EXPECT_FALSE(none.Lire_Entites(5));
}

TEST(Reader, LargeJobsFindEveryPiece) {
  std::string text = "*JOB\nJOB_NAM=big\n";
  for (int p = 0; p < 2000; ++p) {
    text += "*PIECE\nPCE_NAM=P" + std::to_string(p) + "\nCOM_NAM=C\nLENGTH=6000\n";
    for (int h = 0; h < 100; ++h)
      text += "HOLE level=" + std::to_string(h % 2) + " kind=0 d=22 x=" +
              std::to_string(6000 - h * 50) + " y=40\n";
  }
  text += "*BAR\n";
  for (int p = 0; p < 2000; ++p) text += "ITEM com=C pce=P" + std::to_string(p) + " qty=1\n";
  CCam cam;
  cam.SetText(text);
  ASSERT_TRUE(cam.Lire_Entites(4));
  EXPECT_EQ(cam.m_aItems.GetSize(), 2000);
  for (const Cam_Item& item : cam.m_aItems) {
    long pos = cam.FindPiece(item.m_sComNam, item.m_sDwgNam, item.m_sAssNam, item.m_sPceNam);
    ASSERT_GT(pos, 0);
  }
}

}  // namespace
