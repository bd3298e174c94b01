// The job file an import writes: one piece record per piece kind and, when
// the pieces were nested, one bar record per stock bar with its items.
#ifndef BARPOST_DSTV_JOB_WRITER_H_
#define BARPOST_DSTV_JOB_WRITER_H_

#include <string>
#include <utility>
#include <vector>

#include "dstv/piece.h"

namespace dstv {

struct JobBar {
  int bon = 0, idt = 0;  // BAR_BON (the profile group), BAR_IDT (the bar in it)
  double length = 0;
  double kerf = 0;
  std::vector<std::pair<int, int>> items;  // piece index and quantity, in cutting order
};

// The job text: comment lines first, then the pieces, then the bars. The
// bars take profile, material, category and section from their first item.
std::string WriteJob(const std::vector<JobPiece>& pieces, const std::vector<JobBar>& bars,
                     const std::vector<std::string>& comments);

}  // namespace dstv

#endif  // BARPOST_DSTV_JOB_WRITER_H_
