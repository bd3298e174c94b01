// One-dimensional nesting: pieces of one profile cut from stock bars of one
// or several lengths, with the saw kerf after every piece.
//
// The plan is built bar by bar. Each bar takes the longest piece left and is
// filled as fully as a bounded depth-first search over the piece lengths can
// find (a search that starts with the greedy fill, so it is never worse than
// it), and the bar's pattern is repeated while enough pieces are left for
// it. A deeper search fills the first bars better but may use up the short
// pieces the last bars need, so plans of three search depths are made.
// First-fit decreasing is computed too; the plan that uses the least stock
// is kept (with one stock length: the fewest bars).
#ifndef BARPOST_DSTV_NESTING_H_
#define BARPOST_DSTV_NESTING_H_

#include <cstdint>
#include <vector>

namespace dstv {

struct NestKind {
  double length = 0;  // millimetres
  int quantity = 0;
};

struct NestBar {
  double stock = 0;                       // the bar's length
  std::vector<std::pair<int, int>> cuts;  // kind index and how many, longest first
  double used = 0;                        // piece lengths on it, kerfs not counted
};

struct NestPlan {
  std::vector<NestBar> bars;
  double pieces_length = 0;  // every piece once, kerfs not counted
  double stock_length = 0;   // the bars used
  double Yield() const { return stock_length > 0 ? pieces_length / stock_length : 0; }
};

struct NestResult {
  NestPlan plan;             // the plan kept
  NestPlan first_fit;        // first-fit decreasing, for comparison
  int lower_bound = 0;       // pieces' length / longest bar, rounded up
  int lower_bound_kerf = 0;  // the same with a kerf after every piece
  std::vector<int> too_long; // kinds that fit no bar (not nested)
};

struct NestLimits {
  // Search nodes spent on the pattern of one bar, per stock length, at the
  // deepest of the three searches (the others take 1/16 and 1/4 of it).
  std::int64_t nodes_per_bar = 20000;
};

// Nests every piece of kinds (each kind quantity times) onto bars of the
// stock lengths. A piece takes its length plus the kerf on the bar.
NestResult Nest(const std::vector<NestKind>& kinds, const std::vector<double>& stock, double kerf,
                const NestLimits& limits = NestLimits());

}  // namespace dstv

#endif  // BARPOST_DSTV_NESTING_H_
