// The command-line host: usage, results in words and exit statuses.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "base/sha256.h"
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
  std::ofstream(dir / "job.cam") << "*PIECE\nPCE_NAM=P\nCATEGORY=Y\nLENGTH=100\nHOLE d=22 x=10 y=5\n";
  setenv("BARPOST_UI", "cancel", 1);
  CliRun r = Cli({"process", "--create", ini, "LINE", (dir / "job.cam").string(),
                  (dir / "P.MPF").string()});
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

// The command line checks what it can before it calls the module, and never
// hides what the module reported: a typo fails here rather than adding a
// machine, writing an empty program or copying nothing in silence.
TEST(Cli, ChecksBeforeTheCallAndReportsTheModulesErrors) {
  fs::path dir = fs::temp_directory_path() / "barpost_cli_checks";
  fs::remove_all(dir);
  fs::create_directories(dir / "nc");
  const std::string ini = (dir / "m.ini").string();
  const std::string job = (dir / "job.cam").string();
  fs::copy(fs::path(BARPOST_SOURCE_DIR) / "examples" / "machine.ini", ini);
  fs::copy(fs::path(BARPOST_SOURCE_DIR) / "examples" / "job.cam", job);
  const std::string ini_before = [&] {
    std::ifstream in(ini, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }();
  setenv("BARPOST_UI", "auto", 1);
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* says;
  };
  const std::string nc = (dir / "nc" / "B1.MPF").string();
  const Case cases[] = {
      {{"process", ini, "ANGLE1", (dir / "none.cam").string(), nc}, kExitFailure,
       "none.cam does not exist"},
      {{"process", ini, "ANGLE1", (dir / "nc").string(), nc}, kExitFailure,
       "is not a regular file"},
      {{"process", ini, "ANGLE1", job, (dir / "none" / "B1.MPF").string()}, kExitFailure,
       "folder of the program"},
      {{"process", ini, "ANGLE1", job, (dir / "nc" / ".." / "job.cam").string()}, kExitFailure,
       "is the job file"},
      {{"process", ini, "ANGLE1", job, ini}, kExitFailure, "is the INI file"},
#ifndef _WIN32
      {{"process", ini, "ANGLE1", job, "/dev/full"}, kExitFailure, "is not a regular file"},
#endif
      {{"process", ini, "ANGEL1", job, nc}, kExitFailure, "there is no machine ANGEL1"},
      {{"export", ini, "ANGEL1", nc, job}, kExitFailure, "--create"},
      {{"transmit", ini, "ANGEL1", nc}, kExitFailure, "there is no machine ANGEL1"},
      {{"config", ini, "ANGLE1\n[X]", "--create"}, kExitFailure, "holds a line break"},
  };
  for (const Case& c : cases) {
    CliRun r = Cli(c.args);
    EXPECT_EQ(r.status, c.status) << c.args[0] << " " << c.says << "\n" << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
  }
  {
    std::ifstream in(ini, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), ini_before);
  }

  // The module cannot write the copy (Dir is D:\NC\ANGLE1\ here): the host
  // protocol calls it done, the command fails with the module's message. The
  // log a shop keeps has a record of every call.
  const std::string log = (dir / "calls.log").string();
  CliRun r = Cli({"--log", log, "process", ini, "ANGLE1", job, nc});
  EXPECT_EQ(r.status, kExitOk) << r.err;
  r = Cli({"--log", log, "transmit", ini, "ANGLE1", nc});
  EXPECT_EQ(r.status, kExitReported) << r.err;
  EXPECT_NE(r.err.find("the module reported an error"), std::string::npos) << r.err;
  const std::string record = [&] {
    std::ifstream in(log);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }();
  EXPECT_NE(record.find(" Traitement\nini: " + ini), std::string::npos) << record;
  // Which job, which tooling, which program, byte for byte.
  const std::string program = [&] {
    std::ifstream in(nc, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }();
  EXPECT_NE(record.find("\nread: " + job + " (7 records)\n"), std::string::npos) << record;
  EXPECT_NE(record.find("\nwrote: " + nc + " (332 lines, sha256 " + Sha256Hex(program) +
                        ")\nresult: 0\n"),
            std::string::npos)
      << record;
  EXPECT_NE(record.find(" Transmission\n"), std::string::npos) << record;
  EXPECT_NE(record.find("\nerror: "), std::string::npos) << record;
  fs::remove_all(dir);
}

}  // namespace
