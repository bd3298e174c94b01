#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "cam/cam.h"

namespace {

constexpr const char* kPiece =
    "*JOB\nJOB_NAM=J9\n*PIECE\nPCE_NAM=P1\nCOM_NAM=C1\nDWG_NAM=D1\nASS_NAM=A1\nJOB_DES=Hall B\nCATEGORY=Y\n"
    "SECTION=100 80\nLENGTH=2000\nHOLE level=0 kind=0 d=22 x=100 y=30\nHOLE level=1 kind=4 d=22 x=300.1 y=50 angle=30\n"
    "HOLE level=2 kind=0 d=18 x=1900 y=-20\nHOLE level=1 kind=0 d=18 x=0.3 y=0.7\nMARK x=50 y=10\nMARK x=60 y=-5\n"
    "*PIECE\nPCE_NAM=Q\nCATEGORY=R\nLENGTH=500\n";

void ReadP1(CPostCam* cam) {
  cam->SetText(kPiece);
  cam->SetPos(1);
  ASSERT_TRUE(cam->Lire_Entites(kRecordPiece));
}

// Holes "x,y,angle" in list order, then marks "x,y".
std::string Entities(const CPostCam& cam) {
  std::ostringstream s;
  for (const Cam_Hole& h : cam.m_aHoles) s << h.m_dX << "," << h.m_dY << "," << h.m_dAngle << " ";
  s << "|";
  for (const Cam_Mark& m : cam.m_aMarks) s << " " << m.m_dX << "," << m.m_dY;
  return s.str();
}

TEST(PostCam, CategoryIndexOfTheLetter) {
  CPostCam cam;
  for (auto [letter, index] : {std::pair{'A', 0}, {'Y', 9}, {'R', 19}, {'3', -1}, {' ', -1}}) {
    cam.m_cProfil = letter;
    cam.initialise_postcam(true, true);
    EXPECT_EQ(cam.m_nCategorie, index) << letter;
  }
}

// SymX turns the piece end for end (slot directions too), SymY across each
// face: level 0 on the first section dimension (100), levels 1 and 2 on
// the second (80), the marks on the marking level's; a negative Y keeps its
// side. The holes stay in hole order; rotation gives back the very values.
TEST(PostCam, MirrorsAsThePostsSayAndTurnsBackExactly) {
  CPostCam cam;
  ReadP1(&cam);
  cam.m_nMarkNiv = 1;
  const std::vector<Cam_Hole> read = cam.m_aHoles.Data();
  const std::string as_read = Entities(cam);
  EXPECT_EQ(as_read, "0.3,0.7,0 100,30,0 300.1,50,30 1900,-20,0 | 50,10 60,-5");
  const struct {
    std::vector<std::pair<const char*, const char*>> posts;
    const char* want;
  } cases[] = {
      {{{"SymX", "0"}, {"SymX", "1"}, {"SymY", "0"}},
       "100,-20,0 1699.9,50,150 1900,30,0 1999.7,0.7,0 | 1950,10 1940,-5"},
      {{{"SymY", " 1 "}}, "0.3,79.3,0 100,70,0 300.1,30,330 1900,-60,0 | 50,70 60,-75"},
      {{{"SymY", "1"}, {"SymX", "1"}}, "100,-60,0 1699.9,30,210 1900,70,0 1999.7,79.3,0 | 1950,70 1940,-75"},
      {{{"SymX", "0"}, {"SymY", "2"}}, nullptr},
  };
  for (const auto& c : cases) {
    cam.m_aPosts.RemoveAll();
    for (auto [key, value] : c.posts) cam.m_aPosts.Add(Cam_Post(key, value));
    cam.initialise_postcam(true, true);  // again on the same record: from the record as read
    EXPECT_EQ(cam.m_bTurned, c.want != nullptr);
    EXPECT_EQ(Entities(cam), c.want ? c.want : as_read);
  }
  cam.m_aPosts.Add(Cam_Post("SymX", "1"));
  cam.initialise_postcam(true, true);
  EXPECT_TRUE(cam.m_bSymX && !cam.m_bSymY);
  cam.rotation(false);
  EXPECT_FALSE(cam.m_bTurned);
  ASSERT_EQ(Entities(cam), as_read);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(std::memcmp(&cam.m_aHoles[i].m_dX, &read[i].m_dX, sizeof(double)), 0) << i;
    EXPECT_EQ(std::memcmp(&cam.m_aHoles[i].m_dY, &read[i].m_dY, sizeof(double)), 0) << i;
  }
  // A rotation after another record was read leaves that record alone.
  cam.initialise_postcam(true, true);
  ASSERT_TRUE(cam.Lire_Entites(kRecordPiece));
  cam.rotation(false);
  EXPECT_EQ(Entities(cam), "|");
}

// The details the type selects, joined in their order, cut to the number of
// characters, placed from Mark_X (descending: ending Mark_X before the
// piece end), a character pitch the tool offset or else the character
// width, never before the X minimum; nothing when it does not fit on the
// piece or the category is not marked.
TEST(PostCam, AutomaticMarking) {
  CPostCam cam;
  ReadP1(&cam);
  cam.initialise_postcam(true, true);
  cam.m_bMarkAuto = true, cam.m_dMarkY = 25, cam.m_nMarkLgCar = 10;
  const char* kY = "NNNNNNNNNONNNNNNNNNN";  // Y is the tenth category
  const struct {
    int typ;
    const char* sep;
    int nb_car, sens;
    double off, x_min, x;
    const char* cat;
    const char* want;
  } cases[] = {
      {1, "/", 0, 0, 0, 0, 100, kY, "P1@100"},       {31, "", 0, 0, 0, 0, 0, kY, "C1J9D1A1P1@0"},  // JOB_NAM: the job's
      {1 + 4 + 64, " - ", 0, 0, 0, 0, 100, kY, "D1 - P1 - Hall B@100"},  {0, "/", 0, 0, 0, 0, 100, kY, "-"},
      {32 + 128, "/", 0, 0, 0, 0, 100, kY, "-"},    {31, "/", 4, 0, 0, 0, 100, kY, "C1/J@100"},
      {31, "/", -3, 0, 0, 0, 0, kY, "C1/J9/D1/A1/P1@0"}, {1, "/", 0, 1, 0, 0, 100, kY, "P1@1880"},
      {1, "/", 0, 1, 15, 0, 100, kY, "P1@1870"},    {1, "/", 0, 1, 15, 1950, 100, kY, "P1@1950"},
      {1, "/", 0, 0, 0, 300, 100, kY, "P1@300"},    {1, "/", 0, 0, 0, 0, 1990, kY, "-"},
      {1, "/", 0, 0, 0, 0, 1980, kY, "P1@1980"},    {1, "/", 0, 0, 0, 0, -5, kY, "P1@0"},
      {1, "/", 0, 0, 0, -10, -5, kY, "-"},          {1, "/", 0, 1, 0, 1990, 0, kY, "-"},
      {1, "/", 0, 1, 0, 0, 0, kY, "P1@1980"},       {1, "/", 0, 0, 0, 0, 100, "OOOOOOOOONOOOOOOOOOO", "-"},
      {1, "/", 0, 0, 0, 0, 100, "OOOOOOOOO", "-"}};  // too short for category 9
  auto text = [&cam] {
    cam.marquage_auto(false);
    std::ostringstream s;
    if (cam.m_bMarkPlaced) s << cam.m_sMarkText << "@" << cam.m_dMarkTextX << (cam.m_dMarkTextY == 25 ? "" : " Y?");
    else s << "-" << cam.m_sMarkText;
    return s.str();
  };
  for (const auto& c : cases) {
    cam.m_nMarkTyp = c.typ, cam.m_sMarkSep = c.sep, cam.m_nMarkNbCar = c.nb_car, cam.m_nMarkSens = c.sens;
    cam.m_dMarkOff = c.off, cam.m_dMarkXMin = c.x_min, cam.m_dMarkX = c.x, cam.m_sMarkCat = c.cat;
    EXPECT_EQ(text(), c.want) << c.typ << " " << c.x;
  }
  cam.m_sMarkCat = kY;
  cam.m_nMarkTyp = 1 + 2 + 4;
  cam.WriteHead("DWG_NAM", "");  // empty details are left out
  EXPECT_EQ(text(), "A1/P1@100");
  cam.WriteHead("PCE_NAM", "");
  cam.m_nMarkTyp = 1;
  EXPECT_EQ(text(), "-");
  cam.WriteHead("PCE_NAM", "P1");
  cam.m_nCategorie = -1;
  EXPECT_EQ(text(), "-");
}

}  // namespace
