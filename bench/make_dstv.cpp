#include "make_dstv.h"

#include <charconv>
#include <cstdint>

namespace bench {
namespace {

std::string Fixed(double v) {
  char buf[32];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 2);
  return ec == std::errc() ? std::string(buf, end) : std::string("0");
}

// A small generator of our own: std::uniform_*_distribution differs
// between standard libraries, and the benchmark's figures must not.
class Random {
 public:
  explicit Random(unsigned seed) : state_(seed * 2654435761u + 1) {}
  std::uint32_t Next() {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<std::uint32_t>(state_ >> 33);
  }
  int Between(int low, int high) { return low + static_cast<int>(Next() % static_cast<unsigned>(high - low + 1)); }

 private:
  std::uint64_t state_;
};

}  // namespace

std::vector<DstvFile> MakeDstvFiles(int kinds, unsigned seed) {
  Random rng(seed);
  std::vector<DstvFile> files;
  for (int k = 1; k <= kinds; ++k) {
    char mark[16];
    auto end = std::to_chars(mark, mark + sizeof mark, 10000 + k).ptr;
    std::string name = "B-" + std::string(mark + 1, end);
    DstvFile f;
    f.name = name + ".nc1";
    f.length = rng.Between(150000, 600000) / 100.0;
    f.quantity = rng.Between(1, 6);
    const std::string len = Fixed(f.length);
    f.text = "ST\r\n** " + f.name + "\r\n  2026-300\r\n  D-300\r\n  1\r\n  " + name +
             "\r\n  S355J2\r\n  " + std::to_string(f.quantity) +
             "\r\n  L100*100*10\r\n  L\r\n  " + len +
             "\r\n  100.00\r\n  100.00\r\n  10.00\r\n  10.00\r\n  12.00\r\n  15.040\r\n"
             "  0.390\r\n  0.000\r\n  0.000\r\n  0.000\r\n  0.000\r\n\r\n\r\n\r\n\r\nBO\r\n";
    for (const char* face : {"v", "u"}) {
      for (double x : {50.0, 110.0, f.length - 110, f.length - 50})
        f.text += std::string("  ") + face + "  " + Fixed(x) + "s  " + (face[0] == 'v' ? "40.00" : "55.00") +
                  "  22.00  0.00\r\n";
    }
    f.text += "  v  " + Fixed(f.length / 2) + "s  60.00  18.00  0.00\r\nSI\r\n  v  150.00s  30.00  0.00  10  " +
              name + "\r\nEN\r\n";
    files.push_back(std::move(f));
  }
  return files;
}

}  // namespace bench
