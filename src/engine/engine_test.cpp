#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <sstream>

#include "base/call_log.h"
#include "base/platform.h"
#include "base/test_support.h"
#include "base/text.h"
#include "config/options.h"
#include "engine/traitement.h"
#include "ui/front_end.h"

namespace fs = std::filesystem;
using test_support::Slurp;

namespace {

// Records the messages; the operator confirms "Setup machine", after setting
// unit 1 to `size` when one is given.
class Recorder : public CFrontEnd {
 public:
  const char* Name() const override { return "test"; }
  int RunSetup(CSetup& setup) override {
    setup.Initialise();
    if (!size.empty()) setup.SetSizeText(0, size);
    return IDOK;
  }
  int RunOptionSheet(OptionValues&, const std::string&) override { return IDOK; }
  void ShowMessage(const std::string& text, MessageIcon) override { messages.push_back(text); }
  std::vector<std::string> messages;
  std::string size;
};

class Engine : public ::testing::Test {
 protected:
  void SetUp() override { SetFrontEndForTesting(&front_end_); }
  void TearDown() override {
    job_.reset();
    SetFrontEndForTesting(nullptr);
    fs::remove_all(dir_);
  }
  // A job on text with the options of an empty INI file and these unit
  // rows (level, axis, M function, size); the caller sets the other options.
  CTraitement& Job(const std::string& text, bool bar, std::vector<rec_uni> units = {kUnit22}) {
    test_support::Spit(dir_ / "job.cam", text);
    job_ = std::make_unique<CTraitement>((dir_ / "m.ini").string(), "M",
                                         (dir_ / "job.cam").string(),
                                         (dir_ / (bar ? "B1.MPF" : "P1.MPF")).string(), 0, 0, 0);
    job_->KeepOptionsUnsaved();
    for (std::size_t i = 0; i < units.size(); ++i) g_options.units[static_cast<int>(i)] = units[i];
    return *job_;
  }
  // The operations of one type after the reading and the writing pass,
  // nothing written.
  static std::vector<const CUsi*> Ops(CTraitement& job, char type) {
    job.ReadJob();
    job.DecideMiddleRemnant(false);
    job.BuildOperations();
    std::vector<const CUsi*> out;
    for (const CUsi& u : job.m_aUsi.Sorted())
      if (u.m_cType == type) out.push_back(&u);
    return out;
  }

  static inline const rec_uni kUnit22{"1", "Y1", "12", "", "22"};
  fs::path dir_ = test_support::MakeTempDir("barpost_engine");
  Recorder front_end_;
  std::unique_ptr<CTraitement> job_;
};

std::string Piece(const std::string& lines) {
  return "*PIECE\nPCE_NAM=P1\nCOM_NAM=C1\nCATEGORY=Y\nLENGTH=1000\n" + lines;
}

// A slot at 30 degrees: the round tool steps along the slot in X and Y; a
// slot no tool fits (an oblong one works only along or across the bar) is
// punched at its two ends, and so is one whose tool cannot give the
// roughness. Either way the hits are round holes like any other for "Setup
// machine", which shows the worked categories only (not L). The call's log
// keeps what was read and the size the operator set there.
TEST_F(Engine, AnAngledSlotIsNibbledAlongItsAxis) {
  front_end_.size = "22";
  CTraitement& job = Job(Piece("HOLE level=0 kind=4 d=22 x=100 y=40 len=60 angle=30\n"
                               "HOLE level=0 kind=4 d=26 x=300 y=50 len=60 angle=30\n"
                               "HOLE level=0 kind=0 d=26 x=400 y=50\n"
                               "HOLE level=0 kind=0 d=22 x=500 y=40\n") +
                             "*PIECE\nPCE_NAM=L\nCATEGORY=L\nLENGTH=100\nHOLE d=18 x=1 y=1\n",
                         false, {{"1", "Y1", "12", "", "21"}, {"1", "Y2", "13", "", "26"}});
  g_options.outils.Add(CMagasin(0, 22, 22, 0));
  g_options.outils.Add(CMagasin(4, 26, 40, 0));
  g_options.Rugosite = "0.5";
  g_options.Cnc = 2;
  const std::string log = (dir_ / "calls.log").string();
  setenv("BARPOST_LOG", log.c_str(), 1);
  call_log::Begin("Traitement", {});
  ASSERT_EQ(job.Process(), 0);
  call_log::End(0);
  unsetenv("BARPOST_LOG");
  EXPECT_NE(Slurp(log).find("\nread: " + job.m_sCamFile + " (2 records)\nsize: unit 1 \"21\" -> "
                            "\"22\"\n"),
            std::string::npos);
  std::istringstream program(Slurp(dir_ / "P1.MPF"));
  std::string punches;
  for (std::string line; std::getline(program, line);)
    if (line.find("PUNCH(") != std::string::npos) punches += line.substr(line.find("PUNCH(") + 6);
  EXPECT_EQ(punches,
            "Y1, 1, 83.546, 30.5)\rY1, 1, 89.224, 33.779)\rY1, 1, 94.903, 37.057)\r"
            "Y1, 1, 100.582, 40.336)\rY1, 1, 106.261, 43.615)\rY1, 1, 111.94, 46.894)\r"
            "Y1, 1, 116.454, 49.5)\rY2, 1, 285.278, 41.5)\rY2, 1, 314.722, 58.5)\r"
            "Y2, 1, 400, 50)\rY1, 1, 500, 40)\r");
  std::string types;
  for (const Cam_Hole& h : job.m_dlgSetup.Holes())
    types += std::to_string(h.m_nKind) + ":" + FixedText(h.m_dDiameter, 0) + " ";
  EXPECT_EQ(types, "0:22 0:26 ");
  g_options.Rugosite = "30";
  EXPECT_EQ(Ops(job, 'D').size(), 6u);
}

TEST_F(Engine, ChoosesTheUnitByLevelSizeAndTolerance) {
  CTraitement& job = Job(Piece("HOLE level=1 kind=0 d=22 x=100 y=30\n"  // second unit (level 2)
                               "HOLE level=2 kind=0 d=22 x=200 y=30\n"  // level 2 counts as 1
                               "HOLE level=0 kind=0 d=22.015 x=300 y=30\n"  // within tolerance
                               "HOLE level=0 kind=0 d=22.03 x=400 y=30\n"   // outside: no op
                               "HOLE level=0 kind=0 d=18 x=500 y=-30\n"     // off-centre, |Y|
                               "HOLE level=1 kind=4 d=22 x=600 y=50 len=60 angle=-180\n"),
                         false,
                         {kUnit22, {"2", "Y2", "13", "", "22"}, {"1", "Y3", "14", "", "22"},
                          {"1", "Y4", "15", "", "18"}, {"2", "Y5", "16", "", "22X60"}});
  g_options.Off_X[1] = "1000";
  g_options.poincons.Add(CPoincon(18, 12, 4));
  g_options.poincons.Add(CPoincon(18, 14, 6));  // the last row for 18 wins
  std::vector<double> unpunched;
  job.m_onUnpunched = [&](const Cam_Hole& h) { unpunched.push_back(h.m_dDiameter); };
  std::string holes;  // X, unit (Y3 is never used: Y1 serves alike), face, machine X, Y, code
  for (const CUsi* u : Ops(job, 'D'))
    holes += Format("%g %s %d %g %g %g %d %s|", u->m_dX, u->m_szUnit, u->m_nFace, u->m_dXMachine,
                    u->m_dY, u->m_dYMachine, u->m_nCode, u->m_szComNam);
  EXPECT_EQ(holes, "300 Y1 1 300 30 30 12 C1|500 Y4 1 500 30 36 15 C1|600 Y5 0 600 50 50 16 C1|"
                   "100 Y2 0 1100 30 30 13 C1|200 Y2 0 1200 30 30 13 C1|");
  EXPECT_EQ(unpunched, std::vector<double>{22.03});
}

// Quadrants 1 and 4 walk the items forward, 2 and 3 backward; the last
// piece walked is cut from the remnant's side with the cut function + 2.
// Any other quadrant walks no piece but still cuts the bar head.
TEST_F(Engine, WalksTheBarInTheDrivingOrder) {
  const std::string bar =
      "*PIECE\nPCE_NAM=A\nCOM_NAM=C\nDWG_NAM=D\nASS_NAM=S\nCATEGORY=Y\nLENGTH=1000\n"
      "HOLE level=0 d=22 x=10 y=30\n"
      "*PIECE\nPCE_NAM=B\nCOM_NAM=C\nDWG_NAM=D\nASS_NAM=S\nCATEGORY=Y\nLENGTH=500\n"
      "HOLE level=0 d=22 x=20 y=30\n"
      "*BAR\nBAR_SC=10\nBAR_LEN=1600\nBAR_BON=7\nBAR_IDT=3\nCATEGORY=Y\n"
      "ITEM com=C pce=A dwg=D ass=S length=1000 qty=1\n"
      "ITEM com=C pce=Z dwg=D ass=S length=10 qty=1\n"  // matches no piece
      "ITEM com=C pce=B dwg=D ass=S length=500 qty=1\n";
  for (int quadrant : {1, 2, 3, 4, 7}) {
    CTraitement& job = Job(bar, true);
    g_options.Motrice = quadrant;
    g_options.Fctcoupe = "25";
    g_options.Off_Scie = "5";
    EXPECT_EQ(Ops(job, 'D').size(), quadrant == 7 ? 0u : 2u);
    std::string cuts;  // piece, code, remnant, machine X
    for (const CUsi& u : job.m_aUsi.Sorted())
      if (u.m_cType == 'C')
        cuts += Format("%s %d %d %g|", u.m_szPceNam, u.m_nCode, u.m_bRemnant, u.m_dXMachine);
    // A remnant of 90 stays in the middle: the last piece is cut at its far end.
    const char* forward = " 25 0 5|A 25 0 1005|B 27 1 1095|";
    const char* backward = " 25 0 5|B 25 0 505|A 27 1 595|";
    EXPECT_EQ(cuts, quadrant == 7 ? " 25 0 5|" : quadrant % 3 == 1 ? forward : backward)
        << quadrant;
  }
}

TEST_F(Engine, OrientationPostsAndOriginCodes) {
  CTraitement& job = Job(Piece(""), true);
  // OrgDef '4' for Y: the X mirror gives 9, both mirrors 9 then 6.
  const struct {
    char defaut, turn;
    const char* posts;
    int section, origin;
  } cases[] = {{'R', 'X', "SymX=0 SymY=1 ", 0, 7}, {'0', 'X', "SymX=1 SymY=0 ", 0, 9},
               {'R', 0, "SymX=1 SymY=1 ", 0, 6},   {'Y', 'Y', "SymX=0 SymY=0 ", 0, 4},
               {'X', 'Q', "SymX=1 SymY=0 ", 2, 4}};
  for (const auto& c : cases) {
    g_options.Defaut = "00000000000000000000";
    g_options.Defaut[9] = c.defaut;
    g_options.OrgDef = "44114121141444111424";
    job.m_cam.SetFile(job.m_sCamFile);
    ASSERT_TRUE(job.m_cam.Lire_Entites(kRecordPiece));
    job.m_cam.m_nSection = c.section;
    job.m_cam.m_aPosts.RemoveAll();
    job.m_nRepeat = 1;
    job.m_bWriting = false;
    job.Analyse(true, c.turn);
    std::string posts;
    for (const Cam_Post& p : job.m_cam.m_aPosts) posts += p.GetCle() + "=" + p.GetVal() + " ";
    EXPECT_EQ(posts, c.posts) << c.defaut << c.turn;
    EXPECT_EQ(job.m_cam.m_nOrigine, c.origin) << c.defaut << c.turn;
  }
}

// A mirror belongs to the record whose posts or bar item ask for it: a piece
// read after a bar item turned in X is not mirrored, neither in the program
// nor in what "Setup machine" is shown.
TEST_F(Engine, MirrorsStayWithTheirRecord) {
  const std::string text =
      "*PIECE\nPCE_NAM=A\nCATEGORY=Y\nLENGTH=1200\n"
      "HOLE level=0 kind=4 d=22 x=200 y=30 len=60 angle=30\n"
      "*BAR\nBAR_LEN=6000\nCATEGORY=Y\nITEM pce=A length=1200 qty=1 turn=X\n"
      "*PIECE\nPCE_NAM=B\nCATEGORY=Y\nLENGTH=1200\n"
      "HOLE level=0 kind=4 d=22 x=200 y=30 len=60 angle=45\n";
  auto holes = Ops(Job(text, false, {{"1", "Y1", "12", "", "22X60-30"},
                                     {"1", "Y2", "13", "", "22X60-45"}}), 'D');
  ASSERT_EQ(holes.size(), 2u);
  EXPECT_EQ(holes[0]->m_dX, 200);         // A, from 0
  EXPECT_EQ(holes[1]->m_dX, 1200 + 200);  // B, from the end of A
  CTraitement& bar = Job(text, true);
  bar.ReadJob();
  std::vector<double> angles;
  for (const Cam_Hole& h : bar.m_dlgSetup.Holes()) angles.push_back(h.m_dAngle);
  EXPECT_EQ(angles, (std::vector<double>{30, 150, 45}));  // A, A turned on the bar, B
}

// The Signomat's wheel: upper case as the code page has it (0xF1 to 0xD1),
// 'O' as '0', 0xD1 as '/', unknown as '-', each at its wheel angle and one
// Mark_Off further.
TEST_F(Engine, MarksCharactersOnTheWheel) {
  CTraitement& job = Job(Piece("MARK x=100 y=-20 code=0 text=\"AoB\xF1z\"\n"), false);
  g_options.Mark_Device = 1;
  g_options.Mark_String = "0123456789ABCDEF-/";
  g_options.Mark_Off = "8";
  g_options.Mark_Cod = "20";
  g_options.Off_Marq = "1000";
  std::string marks;  // character, machine X, Y, wheel angle, code
  for (const CUsi* u : Ops(job, 'M'))
    marks += Format("%c %g %g %g %d|", u->m_cChar, u->m_dXMachine, u->m_dY, u->m_dValue,
                    u->m_nCode);
  EXPECT_EQ(marks, "A 1100 20 100 20|0 1108 20 0 20|B 1116 20 110 20|/ 1124 20 170 20|"
                   "- 1132 20 160 20|");
  EXPECT_DOUBLE_EQ(job.m_dMaxX, 1132);
}

// A program that cannot take the place of the previous one, even an empty
// one, is told with the system's reason; the previous program stays.
TEST_F(Engine, AProgramThatCannotBeReplacedIsTold) {
  for (const char* hole : {"", "HOLE d=22 x=3 y=4\n"}) {
    front_end_.messages.clear();
    CTraitement& job = Job(Piece(hole), false);
    test_support::Spit(dir_ / "P1.MPF", "N2;OLD\r\n");
    platform::SetFileStepHookForTesting([](const char* step) {
      return std::string_view(step) == "rename" ? test_support::kNoSpace : 0;
    });
    EXPECT_EQ(job.Process(), 0);
    platform::SetFileStepHookForTesting(nullptr);
    EXPECT_EQ(Slurp(dir_ / "P1.MPF"), "N2;OLD\r\n");
    EXPECT_EQ(front_end_.messages, std::vector<std::string>{job.m_sNcFile + "\n" +
                                       platform::SystemErrorText(test_support::kNoSpace)});
  }
}

}  // namespace
