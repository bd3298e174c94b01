// The working form of the per-category strings of the options (Categ, XSym,
// YSym, Rotat, Mark_Cat, Defaut, OrgDef) that the "Profiles" page edits: one
// entry per profile category. Every front end's page reads and writes them
// the same way; this unit holds no state, so the window plugins may carry it.
#ifndef BARPOST_UI_PROFILE_ARRAYS_H_
#define BARPOST_UI_PROFILE_ARRAYS_H_

#include "config/options.h"

// The categories of the strings, in the order of "ATCBDVGUZYILMNOPHEFR".
constexpr int kCategories = 20;
// The category letters, in the order of the category strings.
inline constexpr char kCategoryLetters[kCategories + 1] = "ATCBDVGUZYILMNOPHEFR";

struct ProfileArrays {
  int enabled[kCategories] = {};
  int xSymmetry[kCategories] = {};
  int ySymmetry[kCategories] = {};
  int rotation[kCategories] = {};
  int marking[kCategories] = {};
  int transformation[kCategories] = {};  // 0 none, 1 X, 2 Y, 3 rotation
  int origin[kCategories] = {};
};

// 'O' is yes and anything else no; 'X', 'Y', 'R' of Defaut are 1, 2, 3 and
// anything else 0; OrgDef's digit less '0'. A position beyond the end of a
// string counts as not set (0).
ProfileArrays ReadProfileArrays(const OptionValues& options);
// Writes every category back, growing a string that is too short; a
// transformation outside 0 to 3 leaves its character as it was.
void WriteProfileArrays(const ProfileArrays& arrays, OptionValues& options);

// What a category is cut from, as the lines' operators know it; the pages
// draw it beside the category's letter.
enum class ProfileShape {
  kAngle, kTee, kChannel, kFlat, kRound, kSquare, kTube, kPipe, kZed, kBeam, kWide
};
ProfileShape CategoryShape(char category);

#endif  // BARPOST_UI_PROFILE_ARRAYS_H_
