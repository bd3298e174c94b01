// make_job SCALE OUT.cam: writes the benchmark's bar-mode job of that scale
// (scale 1: 10 bars, 50 piece kinds).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "make_job.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_job SCALE OUT.cam\n");
    return 2;
  }
  char* end = nullptr;
  long scale = std::strtol(argv[1], &end, 10);
  if (end == argv[1] || *end != '\0' || scale < 1 || scale > 100000) {
    std::fprintf(stderr, "make_job: SCALE must be a whole number from 1 to 100000, not '%s'\n",
                 argv[1]);
    return 2;
  }
  std::string error;
  if (!bench::WriteBarJob(static_cast<int>(scale), argv[2], &error)) {
    std::fprintf(stderr, "make_job: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
