#include "ui/profile_arrays.h"

#include <string>

namespace {

char At(const std::string& text, int i) {
  return i < static_cast<int>(text.size()) ? text[static_cast<std::size_t>(i)] : '\0';
}

// Grows text to hold position i, then sets it.
void Put(std::string& text, int i, char c, char pad) {
  if (static_cast<int>(text.size()) < i + 1) text.resize(static_cast<std::size_t>(i + 1), pad);
  text[static_cast<std::size_t>(i)] = c;
}

char YesNo(int value) { return value != 0 ? 'O' : 'N'; }

}  // namespace

ProfileArrays ReadProfileArrays(const OptionValues& o) {
  ProfileArrays a;
  for (int i = 0; i < kCategories; ++i) {
    a.enabled[i] = At(o.Categ, i) == 'O';
    a.xSymmetry[i] = At(o.XSym, i) == 'O';
    a.ySymmetry[i] = At(o.YSym, i) == 'O';
    a.rotation[i] = At(o.Rotat, i) == 'O';
    a.marking[i] = At(o.Mark_Cat, i) == 'O';
    switch (At(o.Defaut, i)) {
      case 'R': a.transformation[i] = 3; break;
      case 'X': a.transformation[i] = 1; break;
      case 'Y': a.transformation[i] = 2; break;
      default: a.transformation[i] = 0; break;
    }
    a.origin[i] = i < static_cast<int>(o.OrgDef.size()) ? At(o.OrgDef, i) - '0' : 0;
  }
  return a;
}

void WriteProfileArrays(const ProfileArrays& a, OptionValues& o) {
  for (int i = 0; i < kCategories; ++i) {
    Put(o.Categ, i, YesNo(a.enabled[i]), 'N');
    Put(o.XSym, i, YesNo(a.xSymmetry[i]), 'N');
    Put(o.YSym, i, YesNo(a.ySymmetry[i]), 'N');
    Put(o.Rotat, i, YesNo(a.rotation[i]), 'N');
    Put(o.Mark_Cat, i, YesNo(a.marking[i]), 'N');
    static const char kDefaults[] = {'0', 'X', 'Y', 'R'};
    int t = a.transformation[i];
    if (t >= 0 && t <= 3) {
      Put(o.Defaut, i, kDefaults[t], '0');
    } else if (static_cast<int>(o.Defaut.size()) < i + 1) {
      o.Defaut.resize(static_cast<std::size_t>(i + 1), '0');
    }
    Put(o.OrgDef, i, static_cast<char>('0' + a.origin[i]), '0');
  }
}

ProfileShape CategoryShape(char category) {
  switch (category) {
    case 'A': case 'Y': case 'L': return ProfileShape::kAngle;
    case 'T': return ProfileShape::kTee;
    case 'C': case 'U': return ProfileShape::kChannel;
    case 'B': case 'P': return ProfileShape::kFlat;
    case 'D': return ProfileShape::kRound;
    case 'V': case 'N': return ProfileShape::kSquare;
    case 'G': case 'R': return ProfileShape::kTube;
    case 'O': return ProfileShape::kPipe;
    case 'Z': return ProfileShape::kZed;
    case 'I': case 'E': return ProfileShape::kBeam;
    case 'H': case 'F': case 'M': return ProfileShape::kWide;
    default: return ProfileShape::kFlat;
  }
}
