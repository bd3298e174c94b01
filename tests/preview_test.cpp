// barpost preview the way users run it: golden pictures compared by their
// structure, every golden program checked against its job, and a wrong
// number in a program shown as a difference.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "base/test_support.h"
#include "cli/cli.h"
#include "cli_run.h"
#include "cli/preview.h"
#include "preview/svg_structure.h"

namespace fs = std::filesystem;
using test_support::Slurp;

namespace {

const fs::path kSource = BARPOST_SOURCE_DIR;

// A golden case's machine as the golden runs build it (run_case.cmake): the
// case's keys, then every key of tests/golden/base.ini the case does not set,
// with the case's Signoscript macros beside it.
std::string GoldenMachine(const fs::path& c, const fs::path& work) {
  std::string text = Slurp(c / "machine.ini");
  std::istringstream base(Slurp(c.parent_path() / "base.ini"));
  for (std::string line; std::getline(base, line);) {
    const std::size_t eq = line.find('=');
    if (line[0] != ';' && eq != std::string::npos && text.find("\n" + line.substr(0, eq + 1)) == std::string::npos)
      text += line + "\n";
  }
  const fs::path folder = work / c.filename();
  fs::create_directories(folder);
  if (fs::exists(c / "MACRO_MK")) fs::copy(c / "MACRO_MK", folder / "MACRO_MK");
  const fs::path path = folder / "machine.ini";
  test_support::Spit(path, text);
  return path.string();
}

// Every program under tests/golden agrees with its job, and reads on its
// own too, its header telling the mode.
TEST(Preview, EveryGoldenProgramAgreesWithItsJob) {
  const fs::path work = test_support::MakeTempDir("barpost_preview_agree");
  int cases = 0;
  for (const auto& entry : fs::directory_iterator(kSource / "tests/golden")) {
    if (!entry.is_directory()) continue;
    const fs::path c = entry.path();
    SCOPED_TRACE(c.filename().string());
    const std::string ini = GoldenMachine(c, work), program = (c / "expected.nc").string();
    std::vector<std::string> args = {"preview", ini, "LINE", "--job", (c / "job.cam").string(), "--program", program,
                                     "-o", (work / "both.html").string()};
    if (Slurp(c / "args").rfind('B', 0) == 0) args.push_back("--bar");
    CliRun r = Cli(args);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("every operation agrees with the job"), std::string::npos) << r.out;
    r = Cli({"preview", ini, "LINE", "--program", program, "-o", (work / "program.svg").string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find(" line "), std::string::npos) << r.out;  // no line not understood
    ++cases;
  }
  EXPECT_EQ(cases, 9);
  fs::remove_all(work);
}

TEST(Preview, AWrongNumberInAProgramShowsAsADifference) {
  const fs::path work = test_support::MakeTempDir("barpost_preview_wrong");
  const fs::path c = kSource / "tests/golden/siemens_bar_clamps";
  std::string program = Slurp(c / "expected.nc");
  test_support::Spit(work / "B1.MPF", program.replace(program.find("N80X1603Y1=30"), 13, "N80X1604Y1=30"));
  const CliRun r = Cli({"preview", GoldenMachine(c, work), "LINE", "--job", (c / "job.cam").string(), "--bar",
                        "--program", (work / "B1.MPF").string(), "-o", (work / "b.svg").string()});
  EXPECT_EQ(r.status, kExitDiffers);
  for (const char* line : {"job: hole Y1 FL X 1303 Y 30 (machine X 1603 Y 30): not in the program",
                           "program line 40: hole Y1 FL X 1304 Y 30 (machine X 1604 Y 30): not in the job"})
    EXPECT_NE(r.out.find(line), std::string::npos) << r.out;
  const std::vector<std::string> s = preview::SvgStructure(Slurp(work / "b.svg"));
  for (const char* line : {"    hole differs FL x=1303 y=30 \"Y1\"", "    hole differs FL x=1304 y=30 \"Y1\""})
    EXPECT_EQ(std::count(s.begin(), s.end(), line), 1) << line;
  fs::remove_all(work);
}

// Golden pictures: tests/preview/<case>.txt holds the structure of every
// SVG the command writes ("sheet NAME", then its strips, panels and
// elements), reviewed by hand.
TEST(Preview, GoldenPicturesByStructure) {
  const std::string golden = (kSource / "tests/golden").string() + "/";
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"siemens_bar_clamps_job", {"siemens_bar_clamps", "--job", "job.cam", "--bar"}},
      {"siemens_middle_remnant_both", {"siemens_middle_remnant", "--job", "job.cam", "--program", "expected.nc"}},
      {"fagor_piece_slots_program", {"fagor_piece_slots", "--program", "expected.nc"}},
      {"clipper_bar_signomat_program", {"clipper_bar_signomat", "--program", "expected.nc"}},
      {"siemens_inch_signoscript_program", {"siemens_inch_signoscript", "--program", "expected.nc"}},
      {"missing_hole_job", {"", "--job", "job-missing-hole.cam"}},
  };
  for (const auto& [name, c] : cases) {
    SCOPED_TRACE(name);
    // A case's files stand in its golden folder, or in examples/ for the example machine.
    const std::string dir = c[0].empty() ? (kSource / "examples").string() + "/" : golden + c[0] + "/";
    const fs::path work = test_support::MakeTempDir(std::string("barpost_preview_") + name);
    const std::string ini = c[0].empty() ? dir + "machine.ini" : GoldenMachine(golden + c[0], work);
    std::vector<std::string> args = {"preview", ini, c[0].empty() ? "ANGLE1" : "LINE"};
    for (std::size_t i = 1; i < c.size(); ++i) args.push_back(c[i].rfind("--", 0) == 0 ? c[i] : dir + c[i]);
    args.insert(args.end(), {"-o", (work / "p.svg").string()});
    const CliRun r = Cli(args);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    std::vector<fs::path> files;
    for (const auto& f : fs::directory_iterator(work))
      if (f.path().extension() == ".svg") files.push_back(f.path());
    std::sort(files.begin(), files.end());
    std::string got;
    for (const fs::path& f : files) {
      got += "sheet " + f.filename().string() + "\n";
      for (const std::string& line : preview::SvgStructure(Slurp(f))) got += line + "\n";
    }
    const fs::path expected = kSource / "tests/preview" / (std::string(name) + ".txt");
    EXPECT_EQ(got, Slurp(expected)) << "compare with " << expected;
    fs::remove_all(work);
  }
}

}  // namespace
