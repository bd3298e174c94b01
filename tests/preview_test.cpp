// barpost preview the way users run it: golden pictures compared by their
// structure, every golden program checked against its job, and a wrong
// number in a program shown as a difference.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/cli.h"
#include "base/test_support.h"
#include "cli/preview.h"
#include "preview/svg_structure.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSource = BARPOST_SOURCE_DIR;

struct CliRun {
  int status;
  std::string out, err;
};

CliRun Cli(std::vector<std::string> args) {
  args.insert(args.begin(), "barpost");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  std::ostringstream out, err;
  int status = RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
  return {status, out.str(), err.str()};
}

using test_support::Slurp;

fs::path Work(const std::string& name) {
  fs::path dir = fs::temp_directory_path() / ("barpost_preview_" + name);
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

bool BarCase(const fs::path& golden) { return Slurp(golden / "args").rfind('B', 0) == 0; }

// Every program under tests/golden agrees with its job, and each reads on
// its own too.
TEST(Preview, EveryGoldenProgramAgreesWithItsJob) {
  fs::path work = Work("agree");
  int cases = 0;
  for (const auto& entry : fs::directory_iterator(kSource / "tests/golden")) {
    if (!entry.is_directory()) continue;
    const fs::path c = entry.path();
    SCOPED_TRACE(c.filename().string());
    const std::string ini = (c / "machine.ini").string();
    std::vector<std::string> args = {"preview", ini, "LINE", "--job", (c / "job.cam").string(),
                                     "--program", (c / "expected.nc").string(),
                                     "-o", (work / "both.html").string()};
    if (BarCase(c)) args.push_back("--bar");
    CliRun r = Cli(args);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("every operation agrees with the job"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "");
    // The program alone, without saying the mode: its header tells it.
    r = Cli({"preview", ini, "LINE", "--program", (c / "expected.nc").string(), "-o",
             (work / "program.svg").string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find(" line "), std::string::npos) << r.out;  // no line not understood
    ++cases;
  }
  EXPECT_EQ(cases, 9);
  fs::remove_all(work);
}

TEST(Preview, AWrongNumberInAProgramShowsAsADifference) {
  fs::path work = Work("wrong");
  const fs::path c = kSource / "tests/golden/siemens_bar_clamps";
  std::string program = Slurp(c / "expected.nc");
  program.replace(program.find("N80X1603Y1=30"), 13, "N80X1604Y1=30");
  std::ofstream(work / "B1.MPF", std::ios::binary) << program;
  CliRun r = Cli({"preview", (c / "machine.ini").string(), "LINE", "--job", (c / "job.cam").string(),
               "--bar", "--program", (work / "B1.MPF").string(), "-o", (work / "b.svg").string()});
  EXPECT_EQ(r.status, kExitDiffers);
  EXPECT_NE(r.out.find("job: hole Y1 FL X 1303 Y 30 (machine X 1603 Y 30): not in the program"),
            std::string::npos) << r.out;
  EXPECT_NE(r.out.find("program line 40: hole Y1 FL X 1304 Y 30 (machine X 1604 Y 30): not in "
                       "the job"), std::string::npos) << r.out;
  std::vector<std::string> s = preview::SvgStructure(Slurp(work / "b.svg"));
  EXPECT_EQ(std::count(s.begin(), s.end(), "    hole differs FL x=1303 y=30 \"Y1\""), 1);
  EXPECT_EQ(std::count(s.begin(), s.end(), "    hole differs FL x=1304 y=30 \"Y1\""), 1);
  fs::remove_all(work);
}

// Golden pictures: tests/preview/<case>.txt holds the structure of every
// SVG the command writes ("sheet NAME", then its strips, panels and
// elements), reviewed by hand.
TEST(Preview, GoldenPicturesByStructure) {
  const std::string golden = (kSource / "tests/golden").string();
  struct Case {
    const char* name;
    std::vector<std::string> args;
  } cases[] = {
      {"siemens_bar_clamps_job",
       {golden + "/siemens_bar_clamps/machine.ini", "LINE", "--job",
        golden + "/siemens_bar_clamps/job.cam", "--bar"}},
      {"siemens_middle_remnant_both",
       {golden + "/siemens_middle_remnant/machine.ini", "LINE", "--job",
        golden + "/siemens_middle_remnant/job.cam", "--program",
        golden + "/siemens_middle_remnant/expected.nc"}},
      {"fagor_piece_slots_program",
       {golden + "/fagor_piece_slots/machine.ini", "LINE", "--program",
        golden + "/fagor_piece_slots/expected.nc"}},
      {"clipper_bar_signomat_program",
       {golden + "/clipper_bar_signomat/machine.ini", "LINE", "--program",
        golden + "/clipper_bar_signomat/expected.nc"}},
      {"siemens_inch_signoscript_program",
       {golden + "/siemens_inch_signoscript/machine.ini", "LINE", "--program",
        golden + "/siemens_inch_signoscript/expected.nc"}},
      {"missing_hole_job",
       {(kSource / "examples/machine.ini").string(), "ANGLE1", "--job",
        (kSource / "examples/job-missing-hole.cam").string()}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::path work = Work(c.name);
    std::vector<std::string> args = {"preview"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.push_back("-o");
    args.push_back((work / "p.svg").string());
    CliRun r = Cli(args);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(work)) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    std::string got;
    for (const fs::path& f : files) {
      got += "sheet " + f.filename().string() + "\n";
      for (const std::string& line : preview::SvgStructure(Slurp(f))) got += line + "\n";
    }
    const fs::path expected = kSource / "tests/preview" / (std::string(c.name) + ".txt");
    EXPECT_EQ(got, Slurp(expected)) << "compare with " << expected;
    fs::remove_all(work);
  }
}

}  // namespace
