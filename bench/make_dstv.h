// Synthetic DSTV NC1 files for the nesting benchmark: angles L100*100*10
// from 1.5 to 6 m long, 1 to 6 of each, with end connections on both legs,
// as a fabricator's detailing of a hall sends them.
#ifndef BARPOST_BENCH_MAKE_DSTV_H_
#define BARPOST_BENCH_MAKE_DSTV_H_

#include <string>
#include <vector>

namespace bench {

struct DstvFile {
  std::string name;  // "B-0001.nc1"
  std::string text;
  double length = 0;
  int quantity = 0;
};

// kinds files, the same for the same seed on every platform.
std::vector<DstvFile> MakeDstvFiles(int kinds, unsigned seed = 2026);

}  // namespace bench

#endif  // BARPOST_BENCH_MAKE_DSTV_H_
