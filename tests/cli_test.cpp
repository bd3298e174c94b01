// The command-line host: usage, results in words and exit statuses.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <sstream>

#include "base/test_support.h"
#include "cli/cli.h"

namespace fs = std::filesystem;

namespace {

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

TEST(Cli, UsageErrorsAreStatusTwoWithAMessage) {
  CliRun r = Cli({});
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_NE(r.err.find("no command given"), std::string::npos);
  r = Cli({"frobnicate"});
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_NE(r.err.find("unknown command 'frobnicate'"), std::string::npos);
  r = Cli({"process", "a.ini"});
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_NE(r.err.find("process takes 4 arguments"), std::string::npos);
  r = Cli({"process", "--frob", "a", "b", "c", "d"});
  EXPECT_EQ(r.status, kExitUsage);
}

TEST(Cli, HelpAndVersion) {
  CliRun r = Cli({"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("usage: barpost"), std::string::npos);
  for (const char* command : {"process", "export", "transmit", "config", "identity", "inspect"}) {
    r = Cli({command, "--help"});
    EXPECT_EQ(r.status, 0) << command;
    EXPECT_NE(r.out.find(std::string("usage: barpost ") + command), std::string::npos);
  }
  r = Cli({"--version"});
  EXPECT_EQ(r.out.rfind("barpost ", 0), 0u);
}

TEST(Cli, ResultsInWordsAndStatuses) {
  fs::path dir = fs::temp_directory_path() / "barpost_cli_test";
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::string ini = (dir / "m.ini").string();
  setenv("BARPOST_UI", "cancel", 1);
  CliRun r = Cli({"process", ini, "LINE", (dir / "none.cam").string(), (dir / "P.MPF").string()});
  EXPECT_EQ(r.status, kExitCancelled);
  EXPECT_NE(r.out.find("1008 (cancelled at \"Setup machine\""), std::string::npos) << r.out;
  setenv("BARPOST_UI", "auto", 1);

  r = Cli({"transmit", ini, "LINE", (dir / "none.nc").string()});
  EXPECT_EQ(r.status, kExitNoSource);
  EXPECT_NE(r.out.find("2004"), std::string::npos);

  r = Cli({"identity", "-x"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "45\n");

  std::vector<std::string> args = {"barpost", "--module", (dir / "nothing.so").string(),
                                   "identity", "A"};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  std::ostringstream out, err;
  EXPECT_EQ(RunCli(static_cast<int>(argv.size()), argv.data(), out, err), kExitFailure);
  EXPECT_NE(err.str().find("cannot load the module"), std::string::npos);
  fs::remove_all(dir);
}

}  // namespace
