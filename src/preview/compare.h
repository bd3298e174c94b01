// Checks a program against its job: every operation and clamp move of one
// side is matched to one of the other with the same kind, unit (axis and M
// function), character or cut function, at the same machine X and Y within
// what the program's number format can hold.
#ifndef BARPOST_PREVIEW_COMPARE_H_
#define BARPOST_PREVIEW_COMPARE_H_

#include <vector>

#include "config/options.h"
#include "preview/model.h"

namespace preview {

// Marks every operation of a and of b that has no match on the other side
// (Op::differs) and returns how many were marked. Operations the program
// does not carry (Op::written false) are left out. *partner_of_b, when
// given, receives for each operation of b the index of its match in a, or -1.
int CompareOps(std::vector<Op>& a, std::vector<Op>& b, const OptionValues& options, bool inch,
               std::vector<int>* partner_of_b = nullptr);

// The same for clamp moves: clamp, close or open, and feed position.
int CompareClamps(std::vector<ClampMove>& a, std::vector<ClampMove>& b,
                  const OptionValues& options, bool inch);

}  // namespace preview

#endif  // BARPOST_PREVIEW_COMPARE_H_
