// Synthetic bar-mode jobs for the benchmark: angles L100X100X10 punched,
// nibbled and marked on the example angle line (machine.ini, ANGLE1).
#ifndef BARPOST_BENCH_MAKE_JOB_H_
#define BARPOST_BENCH_MAKE_JOB_H_

#include <string>

namespace bench {

// Scale 1 is 10 bars carrying 50 piece kinds; scale n is n times that.
constexpr int kBarsPerScale = 10;
constexpr int kItemsPerBar = 5;
constexpr int kPieceKindsPerScale = kBarsPerScale * kItemsPerBar;

// What a job of a given scale holds.
struct JobSize {
  int bars = 0;
  int piece_kinds = 0;
  long pieces = 0;  // pieces cut, the quantities of all items added up
  long holes = 0;   // HOLE lines of all piece records
};

// The job file text of the given scale (at least 1). Bar b and piece k are
// the same whatever the scale, so a larger job is a smaller one continued.
// Every hole fits a punching unit of ANGLE1: round 22, 18 and 26 on level 0,
// round 22 and 18 and the 22x60 slot on level 1; the 22x50 slots are
// nibbled with the round 22 tool of the magazine. Each piece carries a text
// mark of its name. size, when given, receives the counts.
std::string MakeBarJob(int scale, JobSize* size = nullptr);

// Writes MakeBarJob(scale) to path; false with *error set when the file
// cannot be written.
bool WriteBarJob(int scale, const std::string& path, std::string* error);

}  // namespace bench

#endif  // BARPOST_BENCH_MAKE_JOB_H_
