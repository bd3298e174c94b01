// DSTV import end to end: the command's messages and statuses, and the
// round trip DSTV files -> nested job -> program -> preview of that
// program, in which every hole of every piece is punched at its place.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <sstream>

#include "base/test_support.h"
#include "cam/cam.h"
#include "cli/cli.h"
#include "cli_run.h"
#include "preview/svg_structure.h"

namespace fs = std::filesystem;

namespace {

std::string Example(const char* name) { return (fs::path(BARPOST_SOURCE_DIR) / "examples/dstv" / name).string(); }

TEST(DstvImportCommand, StatusesAndMessages) {
  const fs::path work = test_support::MakeTempDir("barpost_dstv_command");
  const std::string job = (work / "job.cam").string();
  CliRun r = Cli({"import", "-o", job, Example("A-201.nc1"), Example("P-301.nc1")});
  EXPECT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("imported 2 piece kinds (6 pieces) from 2 of 2 files"), std::string::npos) << r.out;
  // A refused file fails the run, the others are still written.
  r = Cli({"import", "--bar", "12000", "--kerf", "3", "-o", job, Example("B-401-refused.nc1"), Example("A-202.nc1"),
           (work / "none.nc1").string()});
  EXPECT_EQ(r.status, kExitFailure);
  for (const std::string& message :
       {Example("B-401-refused.nc1") + ":10: piece B-401: profile code I (beam) is not made on this line",
        Example("A-202.nc1") + ":31: piece A-202: hole 14 at X 1600 Y 60 on FL is threaded: not punchable",
        (work / "none.nc1").string() + ": cannot be read: "})
    EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
  EXPECT_NE(r.out.find("nested: 1 bar, lower bound 1"), std::string::npos) << r.out;
  EXPECT_NE(test_support::Slurp(job).find("PCE_NAM=A-202"), std::string::npos);
  for (std::vector<std::string> bad : {std::vector<std::string>{"import", Example("A-201.nc1")}, {"import", "-o", job},
                                       {"import", "--bar", "12 m", "-o", job, Example("A-201.nc1")},
                                       {"import", "--kerf", "-1", "-o", job, Example("A-201.nc1")}})
    EXPECT_EQ(Cli(bad).status, kExitUsage) << bad[1];
  for (const char* command : {"import", "preview"}) {
    r = Cli({command, "--help"});
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_EQ(r.out.rfind(std::string("usage: barpost ") + command, 0), 0u) << r.out;
  }
  fs::remove_all(work);
}

TEST(DstvRoundTrip, EveryHoleIsPunchedAtItsPlace) {
  const fs::path work = test_support::MakeTempDir("barpost_dstv_round_trip");
  fs::copy_file(fs::path(BARPOST_SOURCE_DIR) / "examples/machine.ini", work / "m.ini");
  fs::copy(fs::path(BARPOST_SOURCE_DIR) / "examples/MACRO_MK", work / "MACRO_MK");
  CliRun r = Cli({"import", "--bar", "6000,12000", "--kerf", "3", "-o", (work / "job.cam").string(),
                  Example("A-201.nc1"), Example("A-202.nc1"), Example("P-301.nc1")});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  setenv("BARPOST_UI", "auto", 1);
  r = Cli({"process", (work / "m.ini").string(), "ANGLE1", (work / "job.cam").string(), (work / "B1.MPF").string()});
  ASSERT_EQ(r.status, kExitOk) << r.out << r.err;
  r = Cli({"preview", (work / "m.ini").string(), "ANGLE1", "--program", (work / "B1.MPF").string(), "-o",
           (work / "b.svg").string()});
  ASSERT_EQ(r.status, kExitOk) << r.out << r.err;

  // The punched holes as the picture of the program shows them: face, x, y.
  std::multimap<std::string, std::pair<double, double>> punched;
  for (const preview::SvgElement& e : preview::SvgElements(test_support::Slurp(work / "b.svg")))
    if (e.attrs.count("class") && e.attrs.at("class").rfind("op hole", 0) == 0)
      punched.emplace(e.attrs.at("data-face"),
                      std::pair(std::stod(e.attrs.at("data-x")), std::stod(e.attrs.at("data-y"))));
  // Where each piece lies on the bars: the line (driving quadrant 4) walks
  // the items of each bar in order; a piece takes its length and the kerf.
  // Its holes as the job has them (the import tests hold them to the DSTV files).
  std::map<std::string, std::vector<double>> at;
  std::map<std::string, std::vector<Cam_Hole>> holes;
  CCam cam;
  cam.SetFile((work / "job.cam").string());
  double x = 0;
  while (cam.Lire_Entites(kRecordBar | kRecordPiece)) {
    if (cam.m_nType == kRecordPiece) holes[cam.ReadHead("PCE_NAM")] = cam.m_aHoles.Data();
    for (const Cam_Item& item : cam.m_aItems)
      for (int k = 0; k < item.m_nQty; ++k, x += item.m_dLength + 3) at[item.m_sPceNam].push_back(x);
  }
  std::size_t expected = 0;
  for (const auto& [piece, starts] : at)
    for (double start : starts)
      for (const Cam_Hole& h : holes[piece]) {
        ++expected;
        const auto range = punched.equal_range(h.m_nLevel == 0 ? "FL" : "NL");
        EXPECT_TRUE(std::any_of(range.first, range.second, [&](const auto& p) {
          return std::fabs(p.second.first - (start + h.m_dX)) < 0.01 && std::fabs(p.second.second - h.m_dY) < 0.01;
        })) << piece << " hole at X " << start + h.m_dX;
      }
  // A-201 twice, A-202 without its blind and threaded holes, P-301 four times.
  EXPECT_EQ(expected, 2 * 6u + 4 + 4 * 5u);
  EXPECT_EQ(punched.size(), expected);  // and no hole besides them
  fs::remove_all(work);
}

}  // namespace
