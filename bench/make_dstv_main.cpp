// make_dstv KINDS DIR: writes the nesting benchmark's DSTV files (KINDS
// piece kinds, B-0001.nc1 ...) into DIR, for a timed run of
//   barpost import --bar 12000 --kerf 3 -o job.cam DIR/*.nc1
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/platform.h"
#include "make_dstv.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_dstv KINDS DIR\n");
    return 2;
  }
  char* end = nullptr;
  long kinds = std::strtol(argv[1], &end, 10);
  if (end == argv[1] || *end != '\0' || kinds < 1 || kinds > 99999) {
    std::fprintf(stderr, "make_dstv: KINDS must be a whole number from 1 to 99999\n");
    return 2;
  }
  for (const bench::DstvFile& f : bench::MakeDstvFiles(static_cast<int>(kinds))) {
    std::string error;
    if (!platform::ReplaceFileAtomically(platform::JoinPath(argv[2], f.name), f.text, &error)) {
      std::fprintf(stderr, "make_dstv: %s: %s\n", f.name.c_str(), error.c_str());
      return 1;
    }
  }
  return 0;
}
