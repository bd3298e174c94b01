// DSTV import end to end: the command's messages and statuses, and the
// round trip DSTV file -> job -> program -> preview of that program, in
// which every hole of the DSTV files is punched at its position or was
// reported as not punchable.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "base/test_support.h"
#include "cam/cam.h"
#include "cli/cli.h"
#include "dstv/nc1.h"
#include "dstv/piece.h"
#include "preview/svg_structure.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSource = BARPOST_SOURCE_DIR;

struct CliRun {
  int status;
  std::string out, err;
};

CliRun Cli(std::vector<std::string> args) {
  args.insert(args.begin(), {"barpost", "--module", BARPOST_MODULE_PATH});
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  std::ostringstream out, err;
  int status = RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
  return {status, out.str(), err.str()};
}

using test_support::Slurp;

std::string Example(const char* name) { return (kSource / "examples/dstv" / name).string(); }

TEST(DstvImportCommand, StatusesAndMessages) {
  fs::path work = fs::temp_directory_path() / "barpost_dstv_command";
  fs::remove_all(work);
  fs::create_directories(work);
  const std::string job = (work / "job.cam").string();

  CliRun r = Cli({"import", "-o", job, Example("A-201.nc1"), Example("P-301.nc1")});
  EXPECT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("imported 2 piece kinds (6 pieces) from 2 of 2 files"), std::string::npos);

  // A refused file fails the run, the others are still written.
  r = Cli({"import", "--bar", "12000", "--kerf", "3", "-o", job, Example("B-401-refused.nc1"),
           Example("A-202.nc1"), (work / "none.nc1").string()});
  EXPECT_EQ(r.status, kExitFailure);
  EXPECT_NE(r.err.find(Example("B-401-refused.nc1") +
                       ":10: piece B-401: profile code I (beam) is not made on this line"),
            std::string::npos) << r.err;
  EXPECT_NE(r.err.find(Example("A-202.nc1") + ":31: piece A-202: hole 14 at X 1600 Y 60 on FL is "
                                              "threaded: not punchable on this line, left out"),
            std::string::npos);
  EXPECT_NE(r.err.find((work / "none.nc1").string() + ": cannot be read: "), std::string::npos);
  EXPECT_NE(r.out.find("nested: 1 bar, lower bound 1"), std::string::npos) << r.out;
  EXPECT_NE(Slurp(job).find("PCE_NAM=A-202"), std::string::npos);

  for (auto bad : {std::vector<std::string>{"import", Example("A-201.nc1")},
                   std::vector<std::string>{"import", "-o", job},
                   std::vector<std::string>{"import", "--bar", "12 m", "-o", job, Example("A-201.nc1")},
                   std::vector<std::string>{"import", "--kerf", "-1", "-o", job, Example("A-201.nc1")}})
    EXPECT_EQ(Cli(bad).status, kExitUsage) << bad[1];
  for (const char* command : {"import", "preview"}) {
    r = Cli({command, "--help"});
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_EQ(r.out.rfind(std::string("usage: barpost ") + command, 0), 0u) << r.out;
  }
  fs::remove_all(work);
}

TEST(DstvRoundTrip, EveryHoleIsPunchedAtItsPlaceOrReported) {
  fs::path work = fs::temp_directory_path() / "barpost_dstv_round_trip";
  fs::remove_all(work);
  fs::create_directories(work);
  fs::copy_file(kSource / "examples/machine.ini", work / "m.ini");
  fs::copy(kSource / "examples/MACRO_MK", work / "MACRO_MK");
  const std::vector<std::string> files = {Example("A-201.nc1"), Example("A-202.nc1"),
                                          Example("P-301.nc1")};
  std::vector<std::string> args = {"import", "--bar", "6000,12000", "--kerf", "3", "-o",
                                   (work / "job.cam").string()};
  args.insert(args.end(), files.begin(), files.end());
  CliRun r = Cli(args);
  ASSERT_EQ(r.status, kExitOk) << r.err;
  setenv("BARPOST_UI", "auto", 1);
  r = Cli({"process", (work / "m.ini").string(), "ANGLE1", (work / "job.cam").string(),
           (work / "B1.MPF").string()});
  ASSERT_EQ(r.status, kExitOk) << r.out << r.err;
  r = Cli({"preview", (work / "m.ini").string(), "ANGLE1", "--program",
           (work / "B1.MPF").string(), "-o", (work / "b.svg").string()});
  ASSERT_EQ(r.status, kExitOk) << r.out << r.err;

  // The punched holes as the picture of the program shows them.
  std::multimap<std::string, std::pair<double, double>> punched;  // face -> x, y
  for (const preview::SvgElement& e : preview::SvgElements(Slurp(work / "b.svg"))) {
    auto cls = e.attrs.find("class");
    if (cls == e.attrs.end() || cls->second.rfind("op hole", 0) != 0) continue;
    punched.emplace(e.attrs.at("data-face"),
                    std::make_pair(std::stod(e.attrs.at("data-x")), std::stod(e.attrs.at("data-y"))));
  }

  // Where each piece lies on the bars: the line (driving quadrant 4) walks
  // the items of each bar in order; a piece takes its length and the kerf.
  std::map<std::string, std::vector<double>> at;  // piece -> starts
  CCam cam;
  cam.SetFile((work / "job.cam").string());
  double x = 0;
  while (cam.Lire_Entites(kRecordBar))
    for (const Cam_Item& item : cam.m_aItems)
      for (int k = 0; k < item.m_nQty; ++k) {
        at[item.m_sPceNam].push_back(x);
        x += item.m_dLength + 3;
      }

  std::size_t expected = 0, reported = 0;
  for (const std::string& file : files) {
    dstv::Part part;
    std::vector<dstv::Message> messages;
    ASSERT_TRUE(dstv::ReadPart(Slurp(file), file, &part, &messages));
    dstv::JobPiece piece;
    ASSERT_TRUE(dstv::MapPart(part, &piece, &messages));
    for (const dstv::Hole& h : part.holes) {
      bool not_punchable = false;
      for (const dstv::Message& m : messages)
        not_punchable |= m.line == h.line && m.severity == dstv::Severity::kNotMade &&
                         m.text.find("not punchable") != std::string::npos;
      if (not_punchable) {
        ++reported;
        continue;
      }
      const std::string face = dstv::LevelOfFace(part.header.code, h.face) == 0 ? "FL" : "NL";
      ASSERT_EQ(at[part.header.piece].size(), static_cast<std::size_t>(part.header.quantity));
      for (double start : at[part.header.piece]) {
        ++expected;
        bool found = false;
        auto range = punched.equal_range(face);
        for (auto it = range.first; it != range.second && !found; ++it)
          found = std::fabs(it->second.first - (start + h.x)) < 0.01 &&
                  std::fabs(it->second.second - h.y) < 0.01;
        EXPECT_TRUE(found) << file << ":" << h.line << " at X " << start + h.x;
      }
    }
  }
  EXPECT_EQ(reported, 2u);  // A-202's blind and threaded holes
  EXPECT_EQ(expected, 2 * 6u + 4 + 4 * 5u);
  EXPECT_EQ(punched.size(), expected);  // and no hole besides them
  fs::remove_all(work);
}

}  // namespace
