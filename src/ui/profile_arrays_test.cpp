#include "ui/profile_arrays.h"

#include <string>

#include <gtest/gtest.h>

#include "base/text.h"

namespace {

// The category strings of "Profiles" into the working arrays and back: 'O'
// is yes, X, Y and R of Defaut a transformation, OrgDef's digit the origin;
// what a string lacks is not set, and is written back in full.
TEST(ProfileArraysTest, StringsAndBack) {
  OptionValues o;
  o.Categ = "ONxO";
  o.XSym = "NO";
  o.YSym = "O";
  o.Rotat = "NNO";
  o.Defaut = "XYRZQZ";
  o.OrgDef = "4071";
  ProfileArrays a = ReadProfileArrays(o);
  std::string read;
  for (int i = 0; i < 5; ++i)
    read += Format("%d%d%d%d%d%d%d ", a.enabled[i], a.xSymmetry[i], a.ySymmetry[i], a.rotation[i],
                   a.marking[i], a.transformation[i], a.origin[i]);
  EXPECT_EQ(read, "1010014 0100020 0001037 1000001 0000000 ");
  a.transformation[4] = 4;  // no transformation: the character stays
  a.transformation[19] = -1;
  a.transformation[5] = 3;
  a.marking[19] = 1;
  a.origin[19] = 9;
  WriteProfileArrays(a, o);
  EXPECT_EQ(o.Categ + " " + o.XSym + " " + o.YSym + " " + o.Rotat + " " + o.Mark_Cat + " " +
                o.Defaut + " " + o.OrgDef,
            "ONNONNNNNNNNNNNNNNNN NONNNNNNNNNNNNNNNNNN ONNNNNNNNNNNNNNNNNNN NNONNNNNNNNNNNNNNNNN "
            "NNNNNNNNNNNNNNNNNNNO XYR0QR00000000000000 40710000000000000009");
}

}  // namespace
