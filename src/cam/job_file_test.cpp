#include "cam/job_file.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::shared_ptr<const CamFile> Parse(const std::string& text) { return cam::ParseJobText(text, "job.cam"); }

std::string HeadOf(const CamFile& f, long index, const char* key) {
  const std::string* v = f.Head(key, index);
  return v ? *v : "<absent>";
}

// A record's kind and values, and its holes (x/d).
std::string Describe(const CamRecord& r) {
  std::ostringstream s;
  s << r.kind << " '" << r.profil << "' " << (r.inch ? "in " : "mm ") << r.h1 << "x" << r.h2 << " L" << r.length
    << " s" << r.section;
  for (const Cam_Hole& h : r.holes) s << " h" << h.m_dX << "/" << h.m_dDiameter;
  return s.str();
}

TEST(JobFile, RecordKindsLineEndsAndTheEnd) {
  auto f = Parse("\xEF\xBB\xBF\r\n  # comment\r\n*PIECE\r\n  PCE_NAM=P1  \r\n\t*ASSEMBLY\rX=1\r"
                 "*JOB\n*\n*piece\n*BAR\r\nBAR_LEN=10\r\n*END\r\n*PIECE\r\nPCE_NAM=after end\r\n");
  std::string kinds = std::to_string(f->warnings.size()) + " warnings:";
  for (const CamRecord& r : f->records) kinds += " " + std::to_string(r.kind) + "@" + std::to_string(r.line);
  EXPECT_EQ(kinds, "0 warnings: 1@3 8@5 2@7 8@8 8@9 4@10");
  EXPECT_EQ(HeadOf(*f, 0, "PCE_NAM") + HeadOf(*f, 5, "BAR_LEN"), "P110");
}

TEST(JobFile, HeadsKeepTheLastValueOfEachKeyAndJobHeadsAreInherited) {
  auto f = Parse("*PIECE\nPCE_NAM=first\nPCE_NAM=  last  value  \nEMPTY=\nA_1=x=y\nJOB_DES=a # b\n"
                 "lower=1\nKEY =1\nHOLE=2\n");
  std::string heads;
  for (const char* key : {"PCE_NAM", "EMPTY", "A_1", "JOB_DES", "HOLE", "lower"}) heads += HeadOf(*f, 0, key) + "|";
  EXPECT_EQ(heads, "  last  value||x=y|a # b|2|<absent>|");
  EXPECT_EQ(f->records[0].heads.size(), 5u);
  EXPECT_EQ(f->warnings.at(1), "job.cam:8: expected KEY=VALUE or an entity line (HOLE, MARK, ITEM, POST), skipped");
  // Records of many heads find their keys through an index, which starts
  // afresh with each record: here the keys stand in the other order.
  std::string text = "*PIECE\n", second = "*PIECE\n";
  for (int i = 0; i < 40; ++i) text += "K" + std::to_string(i % 20) + (i < 20 ? "=a\n" : "=b\n");
  for (int i = 19; i >= 0; --i) second += "K" + std::to_string(i) + "=" + std::to_string(i) + "\n";
  f = Parse(text + second + "K3=three\nCATEGORY=A\n");
  EXPECT_EQ(f->records[0].heads.size(), 20u);
  EXPECT_EQ(f->records[1].heads.size(), 21u);
  EXPECT_EQ(HeadOf(*f, 0, "K0") + HeadOf(*f, 0, "K19"), "bb");
  EXPECT_EQ(HeadOf(*f, 1, "K19") + " " + HeadOf(*f, 1, "K3") + " " + HeadOf(*f, 1, "K0"), "19 three 0");
  EXPECT_EQ(f->records[1].profil, 'A');
  // Job records pass their heads on to the records after them.
  f = Parse("*PIECE\nPCE_NAM=before\n*JOB\nJOB_NAM=J1\nUNIT=INCH\nCOM_NAM=C\n*PIECE\nLENGTH=10\n"
            "*PIECE\nJOB_NAM=own\nUNIT=MM\nLENGTH=10\n*JOB\nJOB_NAM=J2\n*BAR\n");
  std::string names;
  for (long i = 0; i < 6; ++i) names += HeadOf(*f, i, "JOB_NAM") + "/" + HeadOf(*f, i, "COM_NAM") + " ";
  EXPECT_EQ(names, "<absent>/<absent> J1/C J1/C own/C J2/C J2/C ");
  EXPECT_EQ(Describe(f->records[2]) + ", " + Describe(f->records[3]), "1 ' ' in 0x0 L254 s0, 1 ' ' mm 0x0 L10 s0");
}

TEST(JobFile, RecordValuesAndUnits) {
  const std::pair<const char*, const char*> cases[] = {
      // The unit applies to the lines before it too; quotes belong to entity fields, not to heads.
      {"HOLE x=1/2 d=7/8\nUNIT=INCH\nSECTION=4 1/2  3-1/4\nLENGTH=\"10 1/2\"\nSECTION_KIND=2\nCATEGORY=L",
       "1 'L' in 114.3x82.55 L0 s2 h12.7/22.225"},
      {"UNIT=inch\nSECTION= -4 1/2 3 7\nLENGTH=-1 1/2\nCATEGORY=q", "1 ' ' in -114.3x76.2 L-38.1 s0"},
      {"UNIT=mm\nSECTION=100.5\nLENGTH=abc\nCATEGORY=LL\nHOLE x=1/2 d=22", "1 ' ' mm 100.5x0 L0 s0 h0/22"},
      {"UNIT=FEET\nLENGTH=nan\nCATEGORY=1\nSECTION=1e999 inf\nSECTION_KIND=x", "1 '1' mm 0x0 L0 s0"},
      {"CATEGORY= A \nSECTION=  80\t60 \nSECTION_KIND=1e20", "1 'A' mm 80x60 L0 s2147483647"},
      {"CATEGORY=4\nLENGTH=1e2", "1 '4' mm 0x0 L100 s0"}};
  for (const auto& [text, want] : cases)
    EXPECT_EQ(Describe(Parse(std::string("*PIECE\n") + text)->records[0]), want) << text;
}

// Lines that cannot be read are skipped with a warning (so many, then a count).
TEST(JobFile, EntitiesInFileOrderMalformedLinesSkipped) {
  auto f = Parse("stray line\n*PIECE\nHOLE x=1 text=\"unterminated\nHOLE x=2 y\nHOLE x=3 colour=red\nNOT AN ENTITY\n"
                 "MARK text=\"say \\\"hi\\\"\" x=5\nMARK =1\nPOST key=SymX value=1\nPOST key=SymY\n"
                 "ITEM pce=P qty=3\nHOLE\n"
                 "HOLE x=10 y=5 level=1 d=22 angle=1\nHOLE x=10 y=5 d=18 angle=2\nHOLE x=10 y=5 d=18 angle=3\n");
  const std::vector<std::string> warnings = {
      "job.cam:1: line outside a record, skipped", "job.cam:3: HOLE: missing closing quote, line skipped",
      "job.cam:4: HOLE: expected name=value, found 'y', line skipped",
      "job.cam:6: expected KEY=VALUE or an entity line (HOLE, MARK, ITEM, POST), skipped",
      "job.cam:8: MARK: field without a name, line skipped"};
  EXPECT_EQ(f->warnings, warnings);
  const CamRecord& r = f->records[0];
  EXPECT_EQ(Describe(r), "1 ' ' mm 0x0 L0 s0 h0/0 h3/0 h10/18 h10/18 h10/22");
  EXPECT_EQ(r.holes[2].m_dAngle * 10 + r.holes[3].m_dAngle, 23);  // the hole order, equal holes as read
  EXPECT_EQ(r.marks.at(0).m_sText, "say \"hi\"");
  EXPECT_EQ(r.marks[0].m_dY, 0);  // a mark without Y stands at 0
  EXPECT_EQ(r.posts.at(1).GetCle() + "=" + r.posts[1].GetVal() + " " + std::to_string(r.items.at(0).m_nQty), "SymY= 3");
  std::string text = std::string(5000, '\n');
  for (int i = 0; i < 5000; ++i) text += "bad\n";
  f = Parse(text);
  ASSERT_EQ(f->warnings.size(), 1001u);
  EXPECT_EQ(f->warnings[999], "job.cam:6000: line outside a record, skipped");
  EXPECT_EQ(f->warnings.back(), "job.cam: 4000 more lines skipped");
}

TEST(JobFile, FindPieceTakesTheFirstExactMatch) {
  auto f = Parse("*JOB\nCOM_NAM=C\n*PIECE\nPCE_NAM=P\nDWG_NAM=D\nASS_NAM=A\n*PIECE\nPCE_NAM=P\nDWG_NAM=D\nASS_NAM=A\n"
                 "*PIECE\nPCE_NAM=p\nDWG_NAM=D\nASS_NAM=A\n*BAR\nPCE_NAM=Q\n*PIECE\nPCE_NAM=\n");
  const std::tuple<const char*, const char*, const char*, const char*, long> cases[] = {
      {"C", "D", "A", "P", 1}, {"C", "D", "A", "p", 3},  {"C", "", "", "", 5},
      {"c", "D", "A", "P", -1}, {"C", "", "", "Q", -1}, {"CD", "", "A", "P", -1}};  // bars are no pieces
  for (auto [com, dwg, ass, pce, at] : cases) EXPECT_EQ(f->FindPiece(com, dwg, ass, pce), at) << pce;
}

}  // namespace
