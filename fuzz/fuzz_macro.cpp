// Fuzz target: the Signoscript marking macros. A macro file is split into
// its reads, its LEAD and CUT lines are parsed and drawn into an NC text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "output/marking_macro.h"
#include "output/nc_text.h"

namespace {

void Fail(const char* what) {
  std::fputs(what, stderr);
  std::fputc('\n', stderr);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string storage;
  std::size_t total = 0;
  for (std::string_view line : MacroLines(input, storage)) {
    if (line.size() > 99) Fail("a macro read longer than the line buffer");
    total += line.size();
  }
  if (total > size) Fail("the reads hold more than the file");

  std::vector<MacroStep> steps = ParseMacro(input);
  // The reader keeps strokes within a million percent of the character.
  for (const MacroStep& step : steps) {
    if (!std::isfinite(step.x) || !std::isfinite(step.w)) Fail("a macro step is not finite");
    if (std::fabs(step.x) > 1e6 || std::fabs(step.w) > 1e6) Fail("a macro step off every bar");
  }

  std::string out;
  NcText nc(out, size & 1, static_cast<int>(size & 2) >> 1, 0);
  WriteMacro(nc, steps, 1250.5, 30, 10, 3000);
  if (out.find("nan") != std::string::npos || out.find("inf") != std::string::npos)
    Fail("a macro wrote a number that is not finite");
  for (char c = ' '; c < 127; ++c) (void)MacroName(c);
  return 0;
}
