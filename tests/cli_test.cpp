// The command-line host: usage, results in words and exit statuses.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/sha256.h"
#include "base/test_support.h"
#include "cli/cli.h"
#include "cli_run.h"

namespace fs = std::filesystem;

namespace {

using test_support::Slurp;

TEST(Cli, UsageHelpAndVersion) {
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* says;  // at the start of a line of standard output or error
  };
  const Case cases[] = {
      {{}, kExitUsage, "barpost: no command given"},
      {{"frobnicate"}, kExitUsage, "barpost: unknown command 'frobnicate'"},
      {{"process", "a.ini"}, kExitUsage, "barpost: process takes 4 arguments"},
      {{"process", "--frob", "a", "b", "c", "d"}, kExitUsage, "barpost: "},
      {{"--help"}, kExitOk, "usage: barpost"},
      {{"--version"}, kExitOk, "barpost "},
      {{"process", "--help"}, kExitOk, "usage: barpost process"},
      {{"export", "--help"}, kExitOk, "usage: barpost export"},
      {{"transmit", "--help"}, kExitOk, "usage: barpost transmit"},
      {{"config", "--help"}, kExitOk, "usage: barpost config"},
      {{"identity", "--help"}, kExitOk, "usage: barpost identity"},
      {{"inspect", "--help"}, kExitOk, "usage: barpost inspect"},
  };
  for (const Case& c : cases) {
    CliRun r = Cli(c.args);
    EXPECT_EQ(r.status, c.status) << c.says;
    EXPECT_NE(("\n" + r.out + r.err).find(std::string("\n") + c.says), std::string::npos)
        << c.says << "\n" << r.out << r.err;
  }
}

TEST(Cli, ResultsInWordsAndStatuses) {
  const fs::path dir = test_support::MakeTempDir("barpost_cli_test");
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

  // Without --module: the module beside the program (here the tests'
  // program, in the build folder with the module). A module that cannot be
  // loaded is named with the system's reason.
  unsetenv("BARPOST_MODULE");
  r = Cli({"identity", "-x"}, false);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "45\n");
  r = Cli({"--module", (dir / "nothing.so").string(), "identity", "A"}, false);
  EXPECT_EQ(r.status, kExitFailure);
  EXPECT_NE(r.err.find("cannot load the module " + (dir / "nothing.so").string() + ": "),
            std::string::npos) << r.err;
  EXPECT_EQ(r.err.find(": \n"), std::string::npos) << "no reason given: " << r.err;
  fs::remove_all(dir);
}

// The command line checks what it can before it calls the module, and never
// hides what the module reported: a typo fails here rather than adding a
// machine, writing an empty program or copying nothing in silence.
TEST(Cli, ChecksBeforeTheCallAndReportsTheModulesErrors) {
  const fs::path dir = test_support::MakeTempDir("barpost_cli_checks");
  fs::create_directories(dir / "nc");
  const std::string ini = (dir / "m.ini").string();
  const std::string job = (dir / "job.cam").string();
  fs::copy(fs::path(BARPOST_SOURCE_DIR) / "examples" / "machine.ini", ini);
  fs::copy(fs::path(BARPOST_SOURCE_DIR) / "examples" / "job.cam", job);
  const std::string ini_before = Slurp(ini);
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
  EXPECT_EQ(Slurp(ini), ini_before);

  // The module cannot write the copy (Dir is D:\NC\ANGLE1\ here): the host
  // protocol calls it done, the command fails with the module's message. The
  // log a shop keeps has a record of every call.
  const std::string log = (dir / "calls.log").string();
  CliRun r = Cli({"--log", log, "process", ini, "ANGLE1", job, nc});
  EXPECT_EQ(r.status, kExitOk) << r.err;
  r = Cli({"--log", log, "transmit", ini, "ANGLE1", nc});
  EXPECT_EQ(r.status, kExitReported) << r.err;
  EXPECT_NE(r.err.find("the module reported an error"), std::string::npos) << r.err;
  const std::string record = Slurp(log);
  EXPECT_NE(record.find(" Traitement\nini: " + ini), std::string::npos) << record;
  // Which job, which tooling, which program, byte for byte.
  const std::string program = Slurp(nc);
  EXPECT_NE(record.find("\nread: " + job + " (7 records)\n"), std::string::npos) << record;
  EXPECT_NE(record.find("\nwrote: " + nc + " (332 lines, sha256 " + Sha256Hex(program) +
                        ")\nresult: 0\n"),
            std::string::npos)
      << record;
  EXPECT_NE(record.find(" Transmission\n"), std::string::npos) << record;
  EXPECT_NE(record.find("\nerror: "), std::string::npos) << record;
  fs::remove_all(dir);
}

// What a machine holds that the line cannot use, found before a job runs.
TEST(Cli, MachinesAndTheirCheck) {
  const fs::path dir = test_support::MakeTempDir("barpost_cli_machines");
  const std::string ini = (dir / "m.ini").string();
  std::ofstream(ini, std::ios::binary)
      << "[BAD]\r\nCnc=7\r\nUnite=1\r\nUnite1=3,Y1,11,,22\r\nUnite2=1,Y22X,12,,22\r\n"
         "Unite3=1,Y3,1A,,22.5\r\nUnite4=1,Y4,14,,18X\r\nUnite5=2,Y5,25,,22\r\nFctcoupe=25\r\n"
         "Dir=\r\nPoincon0=30.000,12.000,2.000,\r\nOutil0=0,26.00,26.00,0.00\r\n"
         "Outil1=3,0.00,40.00,20.00\r\nMark_Device=2\r\nMark_Cod=\r\nMark_String=ABC\r\n"
         "Mark_LgCar=0\r\n"
         "[ Good ]\r\nCnc=2\r\nUnite=2\r\nDir=/nc/\r\nUnite1=1,Y1,12,,22\r\nFctcoupe=25\r\n";
  CliRun r = Cli({"machines", ini});
  EXPECT_EQ(r.status, kExitOk);
  EXPECT_NE(r.out.find("BAD              Fagor (unknown Cnc)  mm"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Good             Ocean Clipper        inch             /nc/"),
            std::string::npos)
      << r.out;

  r = Cli({"check", ini, "BAD"});
  EXPECT_EQ(r.status, kExitFailure);
  for (const char* finding :
       {"Cnc: 7 is no control", "Unite1: \"3\" cannot be used: a punching unit's level",
        "Unite2: \"Y22X\" cannot be used: a Y axis code",
        "Unite3: \"1A\" cannot be used: an M function", "Unite4: \"18X\" cannot be used",
        "Unite5: M function 25 is used by Unite5, Fctcoupe", "Dir: empty",
        "Poincon0: no punching unit carries holes of 30.000", "Outil0: no punching unit",
        "Outil1: a rectangular tool", "Mark_Cod: empty", "Mark_LgCar:",
        "Mark_Device: the Signoscript needs its character macros"})
    EXPECT_NE(("\n" + r.out).find(std::string("\n") + finding), std::string::npos)
        << finding << "\n" << r.out;
  r = Cli({"check", ini, "good"});
  EXPECT_EQ(r.status, kExitOk) << r.out;
  EXPECT_EQ(r.out, "good: nothing to report\n");

  // process says it before it starts.
  setenv("BARPOST_UI", "cancel", 1);
  r = Cli({"process", ini, "BAD", ini, (dir / "B1.MPF").string()});
  EXPECT_NE(r.err.find("barpost: warning: BAD: Dir: empty"), std::string::npos) << r.err;
  setenv("BARPOST_UI", "auto", 1);
  fs::remove_all(dir);
}

TEST(Cli, HelpSuggestionsAndWhoAnswers) {
  CliRun r = Cli({"help", "check"});
  EXPECT_EQ(r.status, kExitOk);
  EXPECT_EQ(r.out.rfind("usage: barpost check INI MACHINE\n", 0), 0u) << r.out;
  r = Cli({"prcoess", "a", "b", "c", "d"});
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_NE(r.err.find("unknown command 'prcoess'; did you mean 'process'?"), std::string::npos);
  r = Cli({"tr"});
  EXPECT_NE(r.err.find("did you mean 'transmit'?"), std::string::npos) << r.err;
  r = Cli({"frobnicate"});
  EXPECT_EQ(r.err.find("did you mean"), std::string::npos) << r.err;
  r = Cli({"--ui", "cancle", "identity", "A"});
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_NE(r.err.find("--ui cancle: choose gui, tty, auto or cancel"), std::string::npos);
  setenv("BARPOST_UI", "atuo", 1);
  r = Cli({"identity", "A"});
  EXPECT_EQ(r.status, kExitUsage);
  r = Cli({"--ui", "auto", "identity", "A"});
  EXPECT_EQ(r.status, kExitOk);
  EXPECT_STREQ(std::getenv("BARPOST_UI"), "auto");
}

}  // namespace
