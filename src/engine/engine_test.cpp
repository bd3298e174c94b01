#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>

#include "base/call_log.h"
#include "base/test_support.h"
#include "config/options.h"
#include "engine/traitement.h"
#include "ui/front_end.h"

namespace fs = std::filesystem;

namespace {

// Front end that records messages and answers every dialog with OK.
class Recorder : public CFrontEnd {
 public:
  const char* Name() const override { return "test"; }
  int RunSetup(CSetup& setup) override {
    setup.Initialise();
    return IDOK;
  }
  int RunOptionSheet(OptionValues&, const std::string&) override { return IDOK; }
  void ShowMessage(const std::string& text, MessageIcon) override { messages.push_back(text); }
  std::vector<std::string> messages;
};

class Engine : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           (std::string("barpost_engine_") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    SetFrontEndForTesting(&recorder_);
  }
  void TearDown() override {
    job_.reset();
    SetFrontEndForTesting(nullptr);
    fs::remove_all(dir_);
  }

  // A job on cam_text, with the options of an empty INI file; the caller
  // sets the options it needs afterwards.
  CTraitement& Job(const std::string& cam_text, bool bar) {
    std::string cam = (dir_ / "job.cam").string();
    std::ofstream(cam, std::ios::binary) << cam_text;
    job_ = std::make_unique<CTraitement>((dir_ / "m.ini").string(), "M", cam,
                                         (dir_ / (bar ? "B1.MPF" : "P1.MPF")).string(), 0, 0, 0);
    return *job_;
  }
  static void Unit(int i, const char* level, const char* axis, const char* mfunc,
                   const char* size) {
    g_options.units[i] = rec_uni{level, axis, mfunc, "", size};
  }
  // Reading pass, then the writing pass without a file.
  static const std::vector<CUsi>& Run(CTraitement& job) {
    job.ReadJob();
    job.DecideMiddleRemnant(false);
    job.BuildOperations();
    return job.m_aUsi.Sorted();
  }
  static std::vector<const CUsi*> OfType(const std::vector<CUsi>& ops, char type) {
    std::vector<const CUsi*> out;
    for (const CUsi& u : ops)
      if (u.m_cType == type) out.push_back(&u);
    return out;
  }

  fs::path dir_;
  Recorder recorder_;
  std::unique_ptr<CTraitement> job_;
};

const char kSlotPiece[] =
    "*PIECE\nPCE_NAM=P1\nCATEGORY=Y\nLENGTH=1000\n"
    "HOLE level=0 kind=4 d=22 x=30 y=40 len=60 angle=0\n";

TEST_F(Engine, NibblesASlotWithTheRoundToolInSevenHits) {
  CTraitement& job = Job(kSlotPiece, false);
  Unit(0, "1", "Y1", "12", "22");
  g_options.outils.Add(CMagasin(0, 22, 22, 0));
  g_options.Rugosite = "0.5";
  auto holes = OfType(Run(job), 'D');
  // Centres 11 ... 49 from the slot's start (x 0): the last hit is pulled
  // back so that the tool's far edge meets the slot's end.
  const double expected[] = {11, 17.557, 24.115, 30.672, 37.230, 43.787, 49};
  ASSERT_EQ(holes.size(), 7u);
  for (int i = 0; i < 7; ++i) {
    EXPECT_NEAR(holes[i]->m_dX, expected[i], 1e-3) << i;
    EXPECT_EQ(holes[i]->m_dY, 40);
    EXPECT_EQ(holes[i]->m_nCode, 12);
  }

  // A roughness the tool's half-width cannot give refuses the tool: the slot
  // is split into its two end holes.
  CTraitement& refused = Job(kSlotPiece, false);
  Unit(0, "1", "Y1", "12", "22");
  g_options.outils.Add(CMagasin(0, 22, 22, 0));
  g_options.Rugosite = "30";
  holes = OfType(Run(refused), 'D');
  ASSERT_EQ(holes.size(), 2u);
  EXPECT_DOUBLE_EQ(holes[0]->m_dX, 11);
  EXPECT_DOUBLE_EQ(holes[1]->m_dX, 49);
}

TEST_F(Engine, SlotsWithoutAFittingToolBecomeTwoEndHoles) {
  // At 45 degrees an oblong tool is not used; -30 is treated as 150.
  CTraitement& job = Job(
      "*PIECE\nPCE_NAM=P1\nCATEGORY=Y\nLENGTH=1000\n"
      "HOLE level=0 kind=4 d=22 x=100 y=40 len=60 angle=45\n",
      false);
  Unit(0, "1", "Y1", "12", "22");
  g_options.outils.Add(CMagasin(4, 22, 40, 0));
  auto holes = OfType(Run(job), 'D');
  ASSERT_EQ(holes.size(), 2u);
  double d = 19 * std::cos(std::atan(1.0));
  EXPECT_NEAR(holes[0]->m_dX, 100 - d, 1e-9);
  EXPECT_NEAR(holes[0]->m_dY, 40 - d, 1e-9);
  EXPECT_NEAR(holes[1]->m_dX, 100 + d, 1e-9);
  EXPECT_NEAR(holes[1]->m_dY, 40 + d, 1e-9);
}

TEST_F(Engine, ChoosesTheUnitByLevelSizeAndTolerance) {
  CTraitement& job = Job(
      "*PIECE\nPCE_NAM=P1\nCOM_NAM=C1\nCATEGORY=Y\nLENGTH=1000\n"
      "HOLE level=1 kind=0 d=22 x=100 y=30\n"       // second unit (level 2), face 0
      "HOLE level=2 kind=0 d=22 x=200 y=30\n"       // level 2 counts as level 1
      "HOLE level=0 kind=0 d=22.015 x=300 y=30\n"   // within the tolerance
      "HOLE level=0 kind=0 d=22.03 x=400 y=30\n"    // outside it: no operation
      "HOLE level=0 kind=0 d=18 x=500 y=-30\n"      // off-centre punch, |Y|
      "HOLE level=1 kind=4 d=22 x=600 y=50 len=60 angle=-180\n",  // slot punch
      false);
  Unit(0, "1", "Y1", "12", "22");
  Unit(1, "2", "Y2", "13", "22");
  Unit(2, "1", "Y3", "14", "22");  // same as the first: never used
  Unit(3, "1", "Y4", "15", "18");
  Unit(4, "2", "Y5", "16", "22X60");
  g_options.Off_X[1] = "1000";
  g_options.poincons.Add(CPoincon(18, 12, 4));
  g_options.poincons.Add(CPoincon(18, 14, 6));  // the last row for 18 wins
  std::vector<Cam_Hole> unpunched;
  job.m_onUnpunched = [&](const Cam_Hole& h) { unpunched.push_back(h); };
  auto holes = OfType(Run(job), 'D');
  ASSERT_EQ(holes.size(), 5u);
  std::map<double, const CUsi*> byX;
  for (const CUsi* u : holes) byX[u->m_dX] = u;
  EXPECT_EQ(byX[100]->m_nUnit, 1);
  EXPECT_EQ(byX[100]->m_nFace, 0);
  EXPECT_EQ(byX[100]->m_dXMachine, 1100);
  EXPECT_STREQ(byX[100]->m_szUnit, "Y2");
  EXPECT_STREQ(byX[100]->m_szComNam, "C1");
  EXPECT_EQ(byX[200]->m_nUnit, 1);
  EXPECT_EQ(byX[200]->m_nFace, 0);
  EXPECT_EQ(byX[300]->m_nUnit, 0);
  EXPECT_EQ(byX[300]->m_nFace, 1);
  EXPECT_EQ(byX[500]->m_nUnit, 3);
  EXPECT_EQ(byX[500]->m_dY, 30);
  EXPECT_EQ(byX[500]->m_dYMachine, 36);
  EXPECT_EQ(byX[600]->m_nUnit, 4);
  ASSERT_EQ(unpunched.size(), 1u);
  EXPECT_EQ(unpunched[0].m_dDiameter, 22.03);
}

const char kTwoPieceBar[] =
    "*PIECE\nPCE_NAM=A\nCOM_NAM=C\nDWG_NAM=D\nASS_NAM=S\nCATEGORY=Y\nLENGTH=1000\n"
    "HOLE level=0 d=22 x=10 y=30\n"
    "*PIECE\nPCE_NAM=B\nCOM_NAM=C\nDWG_NAM=D\nASS_NAM=S\nCATEGORY=Y\nLENGTH=500\n"
    "HOLE level=0 d=22 x=20 y=30\n"
    "*PIECE\nPCE_NAM=B\nCOM_NAM=C\nDWG_NAM=D\nASS_NAM=other\nCATEGORY=Y\nLENGTH=500\n"
    "HOLE level=0 d=22 x=99 y=30\n"
    "*BAR\nBAR_LEN=1600\nBAR_BON=7\nBAR_IDT=3\nCATEGORY=Y\n"
    "ITEM com=C pce=A dwg=D ass=S length=1000 qty=1\n"
    "ITEM com=C pce=Z dwg=D ass=S length=10 qty=1\n"  // matches no piece
    "ITEM com=C pce=B dwg=D ass=S length=500 qty=1\n";

TEST_F(Engine, WalksTheBarInTheDrivingOrderAndCutsTheLastPieceFromTheRemnant) {
  for (int quadrant : {1, 2, 3, 4}) {
    CTraitement& job = Job(kTwoPieceBar, true);
    Unit(0, "1", "Y1", "12", "22");
    g_options.Motrice = quadrant;
    g_options.Fctcoupe = "25";
    const auto& ops = Run(job);
    EXPECT_DOUBLE_EQ(job.m_dRemnant, 1600 - 1000 - 500 - 10);
    ASSERT_EQ(job.m_nMiddleRemnant, 1) << "a remnant of 90 stays in the middle";
    auto holes = OfType(ops, 'D');
    auto cuts = OfType(ops, 'C');
    ASSERT_EQ(holes.size(), 2u);
    ASSERT_EQ(cuts.size(), 2u);
    bool forward = quadrant == 1 || quadrant == 4;
    // Forward: A then B; backward: B then A. The last piece walked is cut
    // from the remnant's side with the cut function + 2.
    const char* first = forward ? "A" : "B";
    const char* last = forward ? "B" : "A";
    double firstLen = forward ? 1000 : 500, lastLen = forward ? 500 : 1000;
    EXPECT_STREQ(cuts[0]->m_szPceNam, first) << quadrant;
    EXPECT_EQ(cuts[0]->m_nCode, 25);
    EXPECT_DOUBLE_EQ(cuts[0]->m_dXMachine, firstLen);
    EXPECT_STREQ(cuts[1]->m_szPceNam, last);
    EXPECT_EQ(cuts[1]->m_nCode, 27);
    EXPECT_EQ(cuts[1]->m_bRemnant, 1);
    EXPECT_DOUBLE_EQ(cuts[1]->m_dXMachine, 1500 - (lastLen - 90));
    EXPECT_EQ(job.m_nBon, 7);
    EXPECT_EQ(job.m_nBarIdt, 3);
  }
}

TEST_F(Engine, AQuadrantOutsideOneToFourWalksNoPieceButCutsTheBarHead) {
  std::string bar = kTwoPieceBar;
  bar.replace(bar.find("BAR_LEN"), 0, "BAR_SC=10\n");
  CTraitement& job = Job(bar, true);
  g_options.Motrice = 7;
  g_options.Off_Scie = "5";
  const auto& ops = Run(job);
  ASSERT_EQ(ops.size(), 1u);
  EXPECT_EQ(ops[0].m_cType, 'C');
  EXPECT_DOUBLE_EQ(ops[0].m_dXMachine, 5);

  // The Ocean Clipper cuts at the end of the squaring length, and the pieces
  // start there.
  CTraitement& clipper = Job(bar, true);
  Unit(0, "1", "Y1", "12", "22");
  g_options.Motrice = 4;
  g_options.Cnc = 2;
  auto holes = OfType(Run(clipper), 'D');
  ASSERT_EQ(holes.size(), 2u);
  EXPECT_DOUBLE_EQ(holes[0]->m_dX, 20);
  EXPECT_DOUBLE_EQ(OfType(clipper.m_aUsi.Sorted(), 'C')[0]->m_dX, 10);
}

TEST_F(Engine, TheReadingPassCollectsHoleTypesAndMakesNoOperation) {
  CTraitement& job = Job(kTwoPieceBar, false);
  job.ReadJob();
  EXPECT_TRUE(job.m_aUsi.IsEmpty());
  EXPECT_EQ(job.m_dlgSetup.Holes().GetSize(), 1) << "one distinct hole type";
  EXPECT_FALSE(job.m_bBar);

  CTraitement& bar = Job(
      "*BAR\nBAR_LEN=6000\nITEM pce=a length=1000 qty=2\nITEM pce=b length=2500 qty=1\n", true);
  bar.ReadJob();
  EXPECT_TRUE(bar.m_aUsi.IsEmpty());
  EXPECT_DOUBLE_EQ(bar.m_dRemnant, 1500);
}

TEST_F(Engine, RepeatsAPieceAlongTheBar) {
  CTraitement& job = Job(
      "*PIECE\nPCE_NAM=A\nCATEGORY=Y\nLENGTH=1000\nHOLE level=0 d=22 x=0 y=30\n"
      "*BAR\nBAR_LEN=9000\nBAR_SL=3\nITEM pce=A length=1000 qty=3\n",
      true);
  Unit(0, "1", "Y1", "12", "22");
  g_options.Motrice = 4;
  g_options.Off_Scie = "100";
  const auto& ops = Run(job);
  auto holes = OfType(ops, 'D');
  auto cuts = OfType(ops, 'C');
  ASSERT_EQ(holes.size(), 3u);
  ASSERT_EQ(cuts.size(), 3u);
  const double starts[] = {0, 1003, 2006};
  for (int i = 0; i < 3; ++i) {
    EXPECT_DOUBLE_EQ(holes[i]->m_dX, starts[i]);
    EXPECT_DOUBLE_EQ(cuts[i]->m_dXMachine, starts[i] + 1003 + 100);
  }
  EXPECT_EQ(job.m_nMiddleRemnant, 0);
}

TEST_F(Engine, OrientationPostsAndOriginCodes) {
  CTraitement& job = Job("*PIECE\nPCE_NAM=A\nCATEGORY=Y\nLENGTH=1000\n", true);
  struct Case {
    char defaut, turn;
    const char* symX;
    const char* symY;
    int section, origin;
  };
  // OrgDef '4' for Y: the X mirror gives 9, both mirrors 9 then 6.
  const Case cases[] = {
      {'R', 'X', "0", "1", 0, 7}, {'0', 'X', "1", "0", 0, 9}, {'R', 0, "1", "1", 0, 6},
      {'Y', 'Y', "0", "0", 0, 4}, {'X', 'Q', "1", "0", 2, 4},
  };
  for (const Case& c : cases) {
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
    const auto& posts = job.m_cam.m_aPosts;
    ASSERT_EQ(posts.GetSize(), 2);
    EXPECT_EQ(posts[0].GetCle(), "SymX");
    EXPECT_EQ(posts[0].GetVal(), c.symX) << c.defaut << c.turn;
    EXPECT_EQ(posts[1].GetCle(), "SymY");
    EXPECT_EQ(posts[1].GetVal(), c.symY) << c.defaut << c.turn;
    EXPECT_EQ(job.m_cam.m_nOrigine, c.origin) << c.defaut << c.turn;
  }
}

// A mirror belongs to the record whose posts or bar item ask for it: a piece
// read after a bar item turned in X is not mirrored, neither in the program
// nor in what "Setup machine" is shown.
TEST_F(Engine, MirrorsStayWithTheirRecord) {
  const std::string job_text =
      "*PIECE\nPCE_NAM=A\nCATEGORY=Y\nLENGTH=1200\n"
      "HOLE level=0 kind=4 d=22 x=200 y=30 len=60 angle=30\n"
      "*BAR\nBAR_LEN=6000\nCATEGORY=Y\nITEM pce=A length=1200 qty=1 turn=X\n"
      "*PIECE\nPCE_NAM=B\nCATEGORY=Y\nLENGTH=1200\n"
      "HOLE level=0 kind=4 d=22 x=200 y=30 len=60 angle=45\n";
  CTraitement& pieces = Job(job_text, false);
  Unit(0, "1", "Y1", "12", "22X60-30");
  Unit(1, "1", "Y2", "13", "22X60-45");
  auto holes = OfType(Run(pieces), 'D');
  ASSERT_EQ(holes.size(), 2u);
  EXPECT_EQ(holes[0]->m_dX, 200);         // A, from 0
  EXPECT_EQ(holes[1]->m_dX, 1200 + 200);  // B, from the end of A

  CTraitement& bar = Job(job_text, true);
  bar.ReadJob();
  std::vector<double> angles;
  for (const Cam_Hole& h : bar.m_dlgSetup.Holes()) angles.push_back(h.m_dAngle);
  // A as read, A turned on the bar, B as read.
  EXPECT_EQ(angles, (std::vector<double>{30, 150, 45}));
}

TEST_F(Engine, MarksCharactersOnTheWheelAndTheScriber) {
  const char kMarked[] =
      "*PIECE\nPCE_NAM=A\nCOM_NAM=C\nCATEGORY=Y\nLENGTH=1000\n"
      "MARK x=100 y=-20 code=0 text=\"AoB\xF1z\"\n";
  // Signomat: upper case as the code page has it (0xF1 to 0xD1), 'O' as
  // '0', 0xD1 as '/', unknown as '-'.
  CTraitement& wheel = Job(kMarked, false);
  g_options.Mark_Device = 1;
  g_options.Mark_String = "0123456789ABCDEF-/";
  g_options.Mark_Off = "8";
  g_options.Mark_Cod = "20";
  g_options.Off_Marq = "1000";
  auto marks = OfType(Run(wheel), 'M');
  std::string chars;
  for (const CUsi* u : marks) chars += u->m_cChar;
  EXPECT_EQ(chars, "A0B/-");
  ASSERT_EQ(marks.size(), 5u);
  EXPECT_DOUBLE_EQ(marks[0]->m_dValue, 100);
  EXPECT_DOUBLE_EQ(marks[1]->m_dValue, 0);
  EXPECT_DOUBLE_EQ(marks[2]->m_dValue, 110);
  EXPECT_DOUBLE_EQ(marks[3]->m_dValue, 170);
  EXPECT_DOUBLE_EQ(marks[2]->m_dXMachine, 1000 + 100 + 2 * 8);
  EXPECT_DOUBLE_EQ(marks[2]->m_dY, 20);
  EXPECT_EQ(marks[0]->m_nCode, 20);
  EXPECT_DOUBLE_EQ(wheel.m_dMaxX, 1000 + 100 + 4 * 8);

  // Signoscript: the text as it is; a character it cannot mark gives no
  // operation and the next ones keep their places.
  CTraitement& scribe = Job(kMarked, false);
  g_options.Mark_Device = 2;
  g_options.Mark_String = "AB";
  g_options.Mark_LgCar = "6";
  marks = OfType(Run(scribe), 'M');
  ASSERT_EQ(marks.size(), 2u);
  EXPECT_DOUBLE_EQ(marks[0]->m_dX, 100);
  EXPECT_DOUBLE_EQ(marks[1]->m_dX, 100 + 2 * 6);

  // No device: no marking operation at all.
  CTraitement& none = Job(kMarked, false);
  g_options.Mark_String = "AB";
  EXPECT_TRUE(OfType(Run(none), 'M').empty());
}

// The operator mounts a 24 on unit 1 in "Setup machine" and cancels: the
// call's log keeps what was set, as it keeps what was read.
TEST_F(Engine, TheLogNotesWhatTheOperatorSet) {
  class Mounts24 : public Recorder {
    int RunSetup(CSetup& setup) override {
      setup.Initialise();
      setup.SetSizeText(0, "24");
      return IDCANCEL;
    }
  } front_end;
  SetFrontEndForTesting(&front_end);
  const std::string log = (dir_ / "calls.log").string();
  setenv("BARPOST_LOG", log.c_str(), 1);
  call_log::Begin("Traitement", {});
  CTraitement& job = Job(kSlotPiece, false);
  Unit(0, "1", "Y1", "12", "22");
  EXPECT_EQ(job.Process(), kResultCancelled);
  call_log::End(1008);
  unsetenv("BARPOST_LOG");
  std::ifstream in(log);
  const std::string record(std::istreambuf_iterator<char>(in), {});
  EXPECT_NE(record.find("\nread: " + job.m_sCamFile + " (1 records)\nsize: unit 1 \"22\" -> "
                        "\"24\"\nresult: 1008\n"),
            std::string::npos)
      << record;
}

TEST_F(Engine, ACategoryNotWorkedYieldsNothing) {
  CTraitement& job = Job("*PIECE\nPCE_NAM=A\nCATEGORY=L\nLENGTH=100\nHOLE d=22 x=1 y=1\n", false);
  Unit(0, "1", "Y1", "12", "22");
  EXPECT_TRUE(Run(job).empty());
  EXPECT_EQ(job.m_dlgSetup.Holes().GetSize(), 0);
}

}  // namespace
