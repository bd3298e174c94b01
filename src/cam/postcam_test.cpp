#include <gtest/gtest.h>

#include <cstring>

#include "cam/cam.h"
#include "cam/test_jobs.h"

namespace {

constexpr const char* kPiece = R"(*JOB
JOB_NAM=J9
*PIECE
PCE_NAM=P1
COM_NAM=C1
DWG_NAM=D1
ASS_NAM=A1
JOB_DES=Hall B
CATEGORY=Y
SECTION=100 80
LENGTH=2000
HOLE level=0 kind=0 d=22 x=100 y=30
HOLE level=1 kind=4 d=22 x=300.1 y=50 len=60 angle=30
HOLE level=2 kind=0 d=18 x=1900 y=-20
HOLE level=1 kind=0 d=18 x=0.3 y=0.7
MARK x=50 y=10 code=0 text=M1
MARK x=60 y=-5 code=0 text=M2
*PIECE
PCE_NAM=Q
CATEGORY=R
LENGTH=500
*PIECE
PCE_NAM=R
CATEGORY=3
)";

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void ReadPiece(CPostCam* cam, const char* name) {
  cam->SetText(kPiece);
  while (cam->Lire_Entites(kRecordPiece) && cam->ReadHead("PCE_NAM") != name) {
  }
  ASSERT_EQ(cam->ReadHead("PCE_NAM"), name);
}

TEST(PostCam, CategoryIndex) {
  CPostCam cam;
  ReadPiece(&cam, "P1");
  cam.initialise_postcam(true, true);
  EXPECT_EQ(cam.m_nCategorie, 9);  // Y in ATCBDVGUZYILMNOPHEFR
  EXPECT_FALSE(cam.m_bTurned);
  ReadPiece(&cam, "Q");
  cam.initialise_postcam(true, true);
  EXPECT_EQ(cam.m_nCategorie, 19);
  ReadPiece(&cam, "R");  // digits are categories of the file, not of the index
  cam.initialise_postcam(true, true);
  EXPECT_EQ(cam.m_nCategorie, -1);
  cam.m_cProfil = ' ';
  cam.initialise_postcam(true, true);
  EXPECT_EQ(cam.m_nCategorie, -1);
  cam.m_cProfil = 'A';
  cam.initialise_postcam(true, true);
  EXPECT_EQ(cam.m_nCategorie, 0);
}

TEST(PostCam, MirrorsAndTurnsBackExactly) {
  CPostCam cam;
  ReadPiece(&cam, "P1");
  std::vector<Cam_Hole> holes = cam.m_aHoles.Data();
  std::vector<Cam_Mark> marks = cam.m_aMarks.Data();

  cam.m_aPosts.Add(Cam_Post("SymX", "0"));
  cam.m_aPosts.Add(Cam_Post("SymX", "1"));  // the last post counts
  cam.m_aPosts.Add(Cam_Post("SymY", "0"));
  cam.initialise_postcam(true, true);
  EXPECT_TRUE(cam.m_bSymX);
  EXPECT_FALSE(cam.m_bSymY);
  EXPECT_TRUE(cam.m_bTurned);
  ASSERT_EQ(cam.m_aHoles.GetSize(), 4);
  // x := 2000 - x, still in hole order.
  EXPECT_DOUBLE_EQ(cam.m_aHoles[0].m_dX, 100);   // was 1900
  EXPECT_DOUBLE_EQ(cam.m_aHoles[1].m_dX, 1699.9);
  EXPECT_DOUBLE_EQ(cam.m_aHoles[1].m_dAngle, 150);  // slot direction mirrored
  EXPECT_DOUBLE_EQ(cam.m_aHoles[2].m_dX, 1900);
  EXPECT_EQ(cam.m_aHoles[2].m_dAngle, 0);  // round holes keep their angle
  EXPECT_DOUBLE_EQ(cam.m_aHoles[3].m_dX, 1999.7);
  EXPECT_DOUBLE_EQ(cam.m_aMarks[0].m_dX, 1950);
  EXPECT_DOUBLE_EQ(cam.m_aMarks[1].m_dX, 1940);
  for (int i = 1; i < cam.m_aHoles.GetSize(); ++i)
    EXPECT_FALSE(cam.m_aHoles[i] < cam.m_aHoles[i - 1]);

  cam.rotation(false);
  EXPECT_FALSE(cam.m_bTurned);
  ASSERT_EQ(cam.m_aHoles.GetSize(), 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_TRUE(SameBits(cam.m_aHoles[i].m_dX, holes[i].m_dX)) << i;
    EXPECT_TRUE(SameBits(cam.m_aHoles[i].m_dY, holes[i].m_dY)) << i;
    EXPECT_TRUE(SameBits(cam.m_aHoles[i].m_dAngle, holes[i].m_dAngle)) << i;
  }
  for (int i = 0; i < 2; ++i) {
    EXPECT_TRUE(SameBits(cam.m_aMarks[i].m_dX, marks[i].m_dX)) << i;
    EXPECT_TRUE(SameBits(cam.m_aMarks[i].m_dY, marks[i].m_dY)) << i;
  }
}

TEST(PostCam, MirrorsAcrossTheFace) {
  CPostCam cam;
  ReadPiece(&cam, "P1");
  cam.m_nMarkNiv = 1;
  cam.m_aPosts.Add(Cam_Post("SymY", "1"));
  cam.initialise_postcam(true, true);
  EXPECT_FALSE(cam.m_bSymX);
  EXPECT_TRUE(cam.m_bSymY);
  EXPECT_TRUE(cam.m_bTurned);
  // Level 0 lies on the face of the first section dimension (100), levels 1
  // and 2 on the second (80); a negative Y keeps its side.
  const auto& h = cam.m_aHoles;
  ASSERT_EQ(h.GetSize(), 4);
  EXPECT_DOUBLE_EQ(h[0].m_dX, 0.3);
  EXPECT_DOUBLE_EQ(h[0].m_dY, 79.3);
  EXPECT_DOUBLE_EQ(h[1].m_dY, 70);   // level 0: 100 - 30
  EXPECT_DOUBLE_EQ(h[2].m_dY, 30);   // level 1: 80 - 50
  EXPECT_DOUBLE_EQ(h[2].m_dAngle, 330);
  EXPECT_DOUBLE_EQ(h[3].m_dY, -60);  // level 2: -(80 - 20)
  EXPECT_DOUBLE_EQ(cam.m_aMarks[0].m_dY, 70);   // marking level 1: 80 - 10
  EXPECT_DOUBLE_EQ(cam.m_aMarks[1].m_dY, -75);

  // Both mirrors; a second initialisation starts from the record as read.
  cam.m_aPosts.Add(Cam_Post("SymX", "1"));
  cam.initialise_postcam(true, true);
  EXPECT_DOUBLE_EQ(cam.m_aHoles[0].m_dX, 100);
  EXPECT_DOUBLE_EQ(cam.m_aHoles[0].m_dY, -60);
  EXPECT_DOUBLE_EQ(cam.m_aHoles[1].m_dX, 1699.9);
  EXPECT_DOUBLE_EQ(cam.m_aHoles[1].m_dAngle, 210);  // 30 -> 150 -> -150

  // Posts of "0" turn nothing; the flag says so.
  cam.m_aPosts.RemoveAll();
  cam.m_aPosts.Add(Cam_Post("SymX", "0"));
  cam.m_aPosts.Add(Cam_Post("SymY", "0"));
  cam.initialise_postcam(true, true);
  EXPECT_FALSE(cam.m_bTurned);
  EXPECT_DOUBLE_EQ(cam.m_aHoles[0].m_dX, 0.3);
  EXPECT_DOUBLE_EQ(cam.m_aHoles[0].m_dY, 0.7);
}

TEST(PostCam, RotationAfterAnotherRecordDoesNotRestoreTheOldOne) {
  CPostCam cam;
  ReadPiece(&cam, "P1");
  cam.m_aPosts.Add(Cam_Post("SymX", "1"));
  cam.initialise_postcam(true, true);
  ASSERT_TRUE(cam.m_bTurned);
  ASSERT_TRUE(cam.Lire_Entites(kRecordPiece));  // Q, no holes
  cam.rotation(false);
  EXPECT_FALSE(cam.m_bTurned);
  EXPECT_TRUE(cam.m_aHoles.IsEmpty());
}

class Marking : public ::testing::Test {
 protected:
  void SetUp() override {
    ReadPiece(&cam_, "P1");
    cam_.initialise_postcam(true, true);
    cam_.m_bMarkAuto = true;
    cam_.m_sMarkCat = "NNNNNNNNNONNNNNNNNNN";  // Y is the tenth category
    cam_.m_sMarkSep = "/";
    cam_.m_dMarkX = 100;
    cam_.m_dMarkY = 25;
    cam_.m_nMarkLgCar = 10;
  }
  std::string Text(int typ) {
    cam_.m_nMarkTyp = typ;
    cam_.marquage_auto(false);
    return cam_.m_bMarkPlaced ? cam_.m_sMarkText : "<none>";
  }
  CPostCam cam_;
};

TEST_F(Marking, ComposesTheSelectedDetailsInOrder) {
  EXPECT_EQ(Text(1), "P1");
  EXPECT_EQ(Text(2), "A1");
  EXPECT_EQ(Text(4), "D1");
  EXPECT_EQ(Text(8), "J9");  // inherited from the job record
  EXPECT_EQ(Text(16), "C1");
  EXPECT_EQ(Text(64), "Hall B");
  EXPECT_EQ(Text(31), "C1/J9/D1/A1/P1");
  EXPECT_EQ(Text(1 + 4 + 64), "D1/P1/Hall B");
  EXPECT_EQ(Text(0), "<none>");
  EXPECT_EQ(Text(32 + 128), "<none>");
  cam_.m_sMarkSep = "";
  EXPECT_EQ(Text(17), "C1P1");
  cam_.m_sMarkSep = " - ";
  cam_.WriteHead("DWG_NAM", "");  // empty details are left out
  EXPECT_EQ(Text(7), "A1 - P1");
  cam_.WriteHead("JOB_DES", "PLM 7");
  EXPECT_EQ(Text(64), "PLM 7");
}

TEST_F(Marking, CutsToTheNumberOfCharacters) {
  cam_.m_nMarkNbCar = 4;
  EXPECT_EQ(Text(31), "C1/J");
  cam_.m_nMarkNbCar = 0;
  EXPECT_EQ(Text(31), "C1/J9/D1/A1/P1");
  cam_.m_nMarkNbCar = -3;
  EXPECT_EQ(Text(31), "C1/J9/D1/A1/P1");
}

TEST_F(Marking, PlacesTheText) {
  EXPECT_EQ(Text(1), "P1");
  EXPECT_EQ(cam_.m_dMarkTextX, 100);
  EXPECT_EQ(cam_.m_dMarkTextY, 25);
  // Descending: the text ends Mark_X before the piece end (2 chars x 10).
  cam_.m_nMarkSens = 1;
  EXPECT_EQ(Text(1), "P1");
  EXPECT_EQ(cam_.m_dMarkTextX, 2000 - 100 - 20);
  // The tool offset, when set, is the pitch.
  cam_.m_dMarkOff = 15;
  EXPECT_EQ(Text(1), "P1");
  EXPECT_EQ(cam_.m_dMarkTextX, 2000 - 100 - 30);
  // Never below the X minimum.
  cam_.m_dMarkXMin = 1950;
  EXPECT_EQ(Text(1), "P1");
  EXPECT_EQ(cam_.m_dMarkTextX, 1950);
  cam_.m_nMarkSens = 0;
  cam_.m_dMarkXMin = 300;
  EXPECT_EQ(Text(1), "P1");
  EXPECT_EQ(cam_.m_dMarkTextX, 300);
}

TEST_F(Marking, NothingPlacedWhenItDoesNotFitOrIsNotAllowed) {
  cam_.m_dMarkX = 1990;  // 1990 + 2 x 10 > 2000
  EXPECT_EQ(Text(1), "<none>");
  EXPECT_EQ(cam_.m_sMarkText, "");
  cam_.m_dMarkX = 1980;  // ends exactly at the piece end
  EXPECT_EQ(Text(1), "P1");
  cam_.m_dMarkX = -5;  // the X minimum moves it onto the piece
  EXPECT_EQ(Text(1), "P1");
  EXPECT_EQ(cam_.m_dMarkTextX, 0);
  cam_.m_dMarkXMin = -10;  // before the piece start
  EXPECT_EQ(Text(1), "<none>");
  cam_.m_dMarkX = 0;
  cam_.m_nMarkSens = 1;
  cam_.m_dMarkXMin = 1990;  // pushed past the end
  EXPECT_EQ(Text(1), "<none>");
  cam_.m_dMarkXMin = 0;
  EXPECT_EQ(Text(1), "P1");
  cam_.m_sMarkCat = "OOOOOOOOONOOOOOOOOOO";
  EXPECT_EQ(Text(1), "<none>");
  cam_.m_sMarkCat = "OOOOOOOOO";  // too short for category 9
  EXPECT_EQ(Text(1), "<none>");
  cam_.m_sMarkCat = "OOOOOOOOOOOOOOOOOOOO";
  cam_.m_nCategorie = -1;
  EXPECT_EQ(Text(1), "<none>");
  cam_.m_nCategorie = 9;
  cam_.WriteHead("PCE_NAM", "");
  EXPECT_EQ(Text(1), "<none>");
  EXPECT_FALSE(cam_.m_bMarkPlaced);
}

TEST(PostCam, ExampleJobBarWalk) {
  CPostCam cam;
  cam.SetText(kExampleJob);
  ASSERT_TRUE(cam.Lire_Entites(4));
  Cam_Item item = cam.m_aItems[0];
  cam.SetPos(cam.FindPiece(item.m_sComNam, item.m_sDwgNam, item.m_sAssNam, item.m_sPceNam));
  cam.m_aPosts.RemoveAll();
  cam.m_bSymX = cam.m_bSymY = false;
  ASSERT_TRUE(cam.Lire_Entites(1));
  cam.m_aPosts.Add(Cam_Post("SymX", "1"));
  cam.m_aPosts.Add(Cam_Post("SymY", "1"));
  cam.initialise_postcam(true, true);
  EXPECT_EQ(cam.m_nCategorie, 9);
  ASSERT_TRUE(cam.m_bTurned);
  EXPECT_EQ(cam.m_aHoles[0].m_dX, 2200);
  EXPECT_EQ(cam.m_aHoles[0].m_dY, 50);
  EXPECT_EQ(cam.m_aHoles[1].m_dX, 2400);
  EXPECT_EQ(cam.m_aHoles[1].m_dY, 60);
  cam.rotation(false);
  EXPECT_EQ(cam.m_aHoles[0].m_dX, 100);
  EXPECT_EQ(cam.m_aHoles[1].m_dX, 300);
}

}  // namespace
