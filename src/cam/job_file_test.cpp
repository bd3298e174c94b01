#include "cam/job_file.h"

#include <gtest/gtest.h>

#include <random>

#include "cam/test_jobs.h"

namespace {

std::shared_ptr<const CamFile> Parse(const std::string& text) {
  return cam::ParseJobText(text, "job.cam");
}

std::string HeadOf(const CamFile& f, long index, const char* key) {
  const std::string* v = f.Head(key, index);
  return v ? *v : "<absent>";
}

TEST(JobFile, ReadsTheDocumentationExample) {
  auto f = Parse(kExampleJob);
  EXPECT_TRUE(f->warnings.empty());
  ASSERT_EQ(f->records.size(), 3u);
  EXPECT_EQ(f->records[0].kind, kRecordJob);
  const CamRecord& piece = f->records[1];
  EXPECT_EQ(piece.kind, kRecordPiece);
  EXPECT_EQ(piece.profil, 'Y');
  EXPECT_EQ(piece.inch, 0);
  EXPECT_EQ(piece.h1, 100);
  EXPECT_EQ(piece.h2, 100);
  EXPECT_EQ(piece.length, 2500);
  EXPECT_EQ(HeadOf(*f, 1, "JOB_NAM"), "2026-118 Hall B");
  EXPECT_EQ(HeadOf(*f, 1, "PCE_QTY"), "2");
  ASSERT_EQ(piece.holes.size(), 2u);
  EXPECT_EQ(piece.holes[1].m_nKind, 4);
  EXPECT_EQ(piece.holes[1].m_dLength, 60);
  ASSERT_EQ(piece.marks.size(), 1u);
  EXPECT_EQ(piece.marks[0].m_sText, "@PCE_NAM");
  EXPECT_EQ(piece.marks[0].m_cCode, -1);
  const CamRecord& bar = f->records[2];
  EXPECT_EQ(bar.kind, kRecordBar);
  EXPECT_EQ(HeadOf(*f, 2, "BAR_LEN"), "6000");
  ASSERT_EQ(bar.items.size(), 1u);
  EXPECT_EQ(bar.items[0].m_sComNam, "C118");
  EXPECT_EQ(bar.items[0].m_sPceNam, "A-12-3");
  EXPECT_EQ(bar.items[0].m_sDwgNam, "D-101");
  EXPECT_EQ(bar.items[0].m_sAssNam, "A12");
  EXPECT_EQ(bar.items[0].m_dLength, 2500);
  EXPECT_EQ(bar.items[0].m_nQty, 2);
  EXPECT_EQ(bar.items[0].m_cTurn, 'R');
  EXPECT_EQ(f->FindPiece("C118", "D-101", "A12", "A-12-3"), 1);
}

TEST(JobFile, RecordKindsLinesAndEnd) {
  auto f = Parse(
      "\r\n  # comment\r\n*PIECE\r\n  PCE_NAM=P1  \r\n\t*ASSEMBLY\r\nX=1\r\n"
      "*JOB\r\n*\r\n*piece\r\n*BAR\r\nBAR_LEN=10\r\n*END\r\n*PIECE\r\nPCE_NAM=after end\r\n");
  EXPECT_TRUE(f->warnings.empty()) << f->warnings[0];
  ASSERT_EQ(f->records.size(), 6u);
  int kinds[] = {kRecordPiece, kRecordOther, kRecordJob, kRecordOther, kRecordOther, kRecordBar};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(f->records[i].kind, kinds[i]) << i;
  EXPECT_EQ(HeadOf(*f, 0, "PCE_NAM"), "P1");  // CR and blanks around dropped
  EXPECT_EQ(HeadOf(*f, 5, "BAR_LEN"), "10");
  EXPECT_EQ(f->records[5].line, 10);
}

TEST(JobFile, HeadLines) {
  auto f = Parse(
      "*PIECE\nPCE_NAM=first\nPCE_NAM=  last  value  \nEMPTY=\nA_1=x=y\nJOB_DES=a # b\n"
      "lower=1\nKEY =1\nHOLE=2\n");
  ASSERT_EQ(f->records.size(), 1u);
  EXPECT_EQ(HeadOf(*f, 0, "PCE_NAM"), "  last  value");
  EXPECT_EQ(HeadOf(*f, 0, "EMPTY"), "");
  EXPECT_EQ(HeadOf(*f, 0, "A_1"), "x=y");
  EXPECT_EQ(HeadOf(*f, 0, "JOB_DES"), "a # b");
  EXPECT_EQ(HeadOf(*f, 0, "HOLE"), "2");
  EXPECT_EQ(HeadOf(*f, 0, "lower"), "<absent>");
  EXPECT_EQ(f->records[0].heads.size(), 5u);
  ASSERT_EQ(f->warnings.size(), 2u);
  EXPECT_EQ(f->warnings[0].rfind("job.cam:7: ", 0), 0u) << f->warnings[0];
  EXPECT_EQ(f->warnings[1].rfind("job.cam:8: ", 0), 0u) << f->warnings[1];
  // Many keys in one record still keep the last value of each.
  std::string text = "*PIECE\n";
  for (int round = 0; round < 2; ++round)
    for (int i = 0; i < 100; ++i) text += "K" + std::to_string(i) + "=" + std::to_string(round) + "\n";
  f = Parse(text);
  EXPECT_EQ(f->records[0].heads.size(), 100u);
  EXPECT_EQ(HeadOf(*f, 0, "K0"), "1");
  EXPECT_EQ(HeadOf(*f, 0, "K99"), "1");
}

TEST(JobFile, JobHeadsAreInherited) {
  auto f = Parse(
      "*PIECE\nPCE_NAM=before\n"
      "*JOB\nJOB_NAM=J1\nUNIT=INCH\nCOM_NAM=C\n"
      "*PIECE\nPCE_NAM=P1\nLENGTH=10\n"
      "*PIECE\nJOB_NAM=own\nUNIT=MM\nLENGTH=10\n"
      "*JOB\nJOB_NAM=J2\n"
      "*BAR\n");
  ASSERT_EQ(f->records.size(), 6u);
  EXPECT_EQ(HeadOf(*f, 0, "JOB_NAM"), "<absent>");
  EXPECT_EQ(HeadOf(*f, 2, "JOB_NAM"), "J1");
  EXPECT_EQ(HeadOf(*f, 2, "COM_NAM"), "C");
  EXPECT_EQ(f->records[2].inch, 1);  // the job's unit
  EXPECT_DOUBLE_EQ(f->records[2].length, 254);
  EXPECT_EQ(HeadOf(*f, 3, "JOB_NAM"), "own");
  EXPECT_EQ(f->records[3].inch, 0);
  EXPECT_EQ(f->records[3].length, 10);
  EXPECT_EQ(HeadOf(*f, 5, "JOB_NAM"), "J2");  // the later job wins
  EXPECT_EQ(HeadOf(*f, 5, "COM_NAM"), "C");   // and the earlier one still counts
  EXPECT_EQ(HeadOf(*f, 4, "COM_NAM"), "C");
}

TEST(JobFile, RecordValuesAndUnits) {
  auto f = Parse(
      "*PIECE\nHOLE x=1/2 d=7/8\nUNIT=INCH\nSECTION=4 1/2  3-1/4\nLENGTH=\"10 1/2\"\n"
      "SECTION_KIND=2\nCATEGORY=L\n"
      "*PIECE\nUNIT=mm\nSECTION=100.5\nLENGTH=abc\nCATEGORY=LL\nHOLE x=1/2 d=22\n"
      "*PIECE\nUNIT=FEET\nLENGTH=nan\nCATEGORY=1\nSECTION=1e999 inf\nSECTION_KIND=x\n"
      "*PIECE\nUNIT=inch\nSECTION=4 3\nLENGTH=-1 1/2\nCATEGORY=q\n");
  ASSERT_EQ(f->records.size(), 4u);
  const CamRecord& a = f->records[0];
  EXPECT_EQ(a.inch, 1);
  EXPECT_DOUBLE_EQ(a.h1, 114.3);
  EXPECT_DOUBLE_EQ(a.h2, 82.55);
  EXPECT_EQ(a.length, 0);  // quotes belong to entity fields, not to heads
  EXPECT_EQ(a.section, 2);
  EXPECT_EQ(a.profil, 'L');
  ASSERT_EQ(a.holes.size(), 1u);
  EXPECT_DOUBLE_EQ(a.holes[0].m_dX, 12.7);  // the unit applies to lines before it too
  EXPECT_DOUBLE_EQ(a.holes[0].m_dDiameter, 22.225);
  const CamRecord& b = f->records[1];
  EXPECT_EQ(b.inch, 0);
  EXPECT_EQ(b.h1, 100.5);
  EXPECT_EQ(b.h2, 0);
  EXPECT_EQ(b.length, 0);
  EXPECT_EQ(b.profil, ' ');
  EXPECT_EQ(b.holes[0].m_dX, 0);  // no fractions in millimetres
  const CamRecord& c = f->records[2];
  EXPECT_EQ(c.inch, 0);
  EXPECT_EQ(c.length, 0);
  EXPECT_EQ(c.profil, '1');
  EXPECT_EQ(c.h1, 0);
  EXPECT_EQ(c.h2, 0);
  EXPECT_EQ(c.section, 0);
  const CamRecord& d = f->records[3];
  EXPECT_EQ(d.inch, 1);
  EXPECT_DOUBLE_EQ(d.h1, 101.6);
  EXPECT_DOUBLE_EQ(d.h2, 76.2);
  EXPECT_DOUBLE_EQ(d.length, -38.1);
  EXPECT_EQ(d.profil, ' ');
}

TEST(JobFile, EntitiesAndMalformedLines) {
  auto f = Parse(
      "stray line\n"
      "*PIECE\n"
      "HOLE x=1 text=\"unterminated\n"
      "HOLE x=2 y\n"
      "HOLE x=3 colour=red\n"
      "NOT AN ENTITY\n"
      "MARK text=\"say \\\"hi\\\" \\\\o/\" x=5\n"
      "POST key=SymX value=1\n"
      "POST key=SymY\n"
      "ITEM pce=P qty=3\n"
      "HOLE\n");
  ASSERT_EQ(f->records.size(), 1u);
  const CamRecord& r = f->records[0];
  ASSERT_EQ(r.holes.size(), 2u);
  EXPECT_EQ(r.holes[0].m_dX, 0);
  EXPECT_EQ(r.holes[1].m_dX, 3);
  ASSERT_EQ(r.marks.size(), 1u);
  EXPECT_EQ(r.marks[0].m_sText, "say \"hi\" \\o/");
  EXPECT_EQ(r.marks[0].m_dX, 5);
  ASSERT_EQ(r.posts.size(), 2u);
  EXPECT_EQ(r.posts[0].GetCle(), "SymX");
  EXPECT_EQ(r.posts[0].GetVal(), "1");
  EXPECT_EQ(r.posts[1].GetVal(), "");
  ASSERT_EQ(r.items.size(), 1u);
  EXPECT_EQ(r.items[0].m_nQty, 3);
  ASSERT_EQ(f->warnings.size(), 4u);
  EXPECT_EQ(f->warnings[0].rfind("job.cam:1: ", 0), 0u) << f->warnings[0];
  EXPECT_EQ(f->warnings[1].rfind("job.cam:3: HOLE: ", 0), 0u) << f->warnings[1];
  EXPECT_EQ(f->warnings[2].rfind("job.cam:4: HOLE: ", 0), 0u) << f->warnings[2];
  EXPECT_EQ(f->warnings[3].rfind("job.cam:6: ", 0), 0u) << f->warnings[3];
}

TEST(JobFile, HolesKeepTheLibraryOrder) {
  auto f = Parse(
      "*PIECE\n"
      "HOLE x=20 y=5 d=22 angle=1\n"
      "HOLE x=10 y=9 d=22 angle=2\n"
      "HOLE x=10 y=5 level=1 d=22 angle=3\n"
      "HOLE x=10 y=5 level=0 kind=4 d=22 angle=4\n"
      "HOLE x=10 y=5 level=0 kind=0 d=26 angle=5\n"
      "HOLE x=10 y=5 level=0 kind=0 d=18 angle=6\n"
      "HOLE x=20 y=5 d=22 angle=7\n"
      "HOLE x=20 y=5 d=22 angle=8\n");
  const auto& holes = f->records[0].holes;
  ASSERT_EQ(holes.size(), 8u);
  double order[] = {6, 5, 4, 3, 2, 1, 7, 8};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(holes[i].m_dAngle, order[i]) << i;
}

TEST(JobFile, FindPieceTakesTheFirstExactMatch) {
  auto f = Parse(
      "*JOB\nCOM_NAM=C\n"
      "*PIECE\nPCE_NAM=P\nDWG_NAM=D\nASS_NAM=A\n"
      "*PIECE\nPCE_NAM=P\nDWG_NAM=D\nASS_NAM=A\nLENGTH=2\n"
      "*PIECE\nPCE_NAM=p\nDWG_NAM=D\nASS_NAM=A\n"
      "*BAR\nPCE_NAM=Q\n"
      "*PIECE\nPCE_NAM=\n");
  EXPECT_EQ(f->FindPiece("C", "D", "A", "P"), 1);
  EXPECT_EQ(f->FindPiece("C", "D", "A", "p"), 3);
  EXPECT_EQ(f->FindPiece("c", "D", "A", "P"), -1);
  EXPECT_EQ(f->FindPiece("C", "", "", "Q"), -1);  // bars are not pieces
  EXPECT_EQ(f->FindPiece("C", "", "", ""), 5);
  EXPECT_EQ(f->FindPiece("CD", "", "A", "P"), -1);
}

TEST(JobFile, GarbageNeverBreaksTheParser) {
  std::mt19937 random(12345);
  for (int round = 0; round < 200; ++round) {
    std::string text;
    int size = static_cast<int>(random() % 4000);
    const char alphabet[] = "*#=\" \\\n\r\tHOLEMARKITEMPOSTPIECEBARJOBEND0123456789/-.xyd";
    for (int i = 0; i < size; ++i) {
      text += (random() % 3 == 0) ? static_cast<char>(random() % 256)
                                  : alphabet[random() % (sizeof alphabet - 1)];
    }
    auto f = Parse(text);
    EXPECT_LE(f->warnings.size(), 1001u);
  }
  // A megabyte on one line, in every place a line can go.
  std::string big(1 << 20, 'A');
  auto f = Parse("*PIECE\nPCE_NAM=" + big + "\nHOLE text=\"" + big + "\" x=1\nHOLE " + big +
                 "\nMARK text=" + big + "\n" + big + "\n*" + big + "\n");
  ASSERT_EQ(f->records.size(), 2u);
  EXPECT_EQ(f->records[0].holes.size(), 1u);
  EXPECT_EQ(f->records[0].marks[0].m_sText.size(), big.size());
  EXPECT_EQ(f->warnings.size(), 2u);
  // Huge numbers and a megabyte of digits read as 0.
  f = Parse("*PIECE\nUNIT=INCH\nHOLE x=" + std::string(1 << 20, '9') +
            " y=1e308 d=99999999999999999999/1 len=1/" + std::string(400, '0') + "\n");
  const Cam_Hole& h = f->records[0].holes[0];
  EXPECT_EQ(h.m_dY, 0);  // 1e308 in is no finite length in millimetres
  EXPECT_TRUE(std::isfinite(h.m_dX));
  EXPECT_EQ(h.m_dLength, 0);
  // Only so many warnings are kept.
  f = Parse(std::string(50000, '\n') + std::string(5000, 'x') + "\n" +
            [] {
              std::string s;
              for (int i = 0; i < 5000; ++i) s += "bad\n";
              return s;
            }());
  EXPECT_EQ(f->warnings.size(), 1001u);
  EXPECT_EQ(f->warnings.back(), "job.cam: 4001 more lines skipped");
}

}  // namespace
