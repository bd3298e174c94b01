#include "transfer/transfer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/call_log.h"
#include "base/platform.h"
#include "base/test_support.h"
#include "config/options.h"
#include "engine/module_state.h"
#include "ui/front_end.h"
#include "ui/setup.h"

namespace fs = std::filesystem;
using test_support::Slurp;
using test_support::Spit;

namespace {

// Dir without its trailing separator of either kind, then the separator the
// system writes ('\\' on Windows).
TEST(Transfer, TransmissionPath) {
  const std::string sep(1, platform::PreferredSeparator());
  EXPECT_EQ(TransmissionPath("C:\\NC\\", "0007_03"), "C:\\NC" + sep + "0007_03.MPF");
  EXPECT_EQ(TransmissionPath("/nc", "0007_03"), "/nc" + sep + "0007_03.MPF");
}

// The last program goes to <Dir>/<Nomfic>.MPF as a text-mode copy, which
// the call's log records; a missing source or one beyond the size limit is
// 2004; a folder that cannot be written to is told, with result 0.
TEST(Transfer, TransmissionCopiesTheLastProgramIntoDir) {
  const fs::path dir = test_support::MakeTempDir("barpost_transfer");
  fs::create_directories(dir / "machine");
  g_sIniFile = (dir / "m.ini").string();
  g_sMachine = "M";
  const std::string dest = (dir / "machine" / "0007_03.MPF").string();
  Spit(g_sIniFile, "[M]\r\nDir=" + (dir / "machine").string() + "/\r\nNomfic=0007_03\r\n");
  const std::string log = (dir / "calls.log").string();
  setenv("BARPOST_LOG", log.c_str(), 1);
  setenv("BARPOST_LOG_BRIEF", "1", 1);
  const std::string long_line = "N2;Piece mark\r\n" + std::string(600, 'X') + "\r\nM30\r\n";
  const std::pair<std::string, std::string> copies[] = {
      {long_line, long_line}, {"N2 G0\nN4\rM30\n", "N2 G0\r\nN4\rM30\r\n"}};
  for (const auto& [program, copy] : copies) {
    Spit(dir / "source.nc", program);
    call_log::Begin("Transmission", {});
    EXPECT_EQ(RunTransmission((dir / "source.nc").string()), 0);
    call_log::End(0);
    EXPECT_EQ(Slurp(dest), copy);
  }
  unsetenv("BARPOST_LOG");
  unsetenv("BARPOST_LOG_BRIEF");
  EXPECT_NE(Slurp(log).find("wrote: " + dest + " (3 lines)\nresult: 0\n"), std::string::npos);
  EXPECT_NE(Slurp(log).find("wrote: " + dest + " (2 lines)\nresult: 0\n"), std::string::npos);

  Spit(g_sIniFile, "[M]\r\nDir=" + (dir / "missing").string() + "\r\nNomfic=X\r\n");
  EXPECT_EQ(RunTransmission(dest), 0);  // told
  EXPECT_FALSE(fs::exists(dir / "missing"));
  EXPECT_EQ(RunTransmission((dir / "none.nc").string()), 2004);
  fs::resize_file(dir / "source.nc", (1u << 30) + 1);  // beyond 1 GB; sparse, nothing is read
  EXPECT_EQ(RunTransmission((dir / "source.nc").string()), 2004);
  fs::remove_all(dir);
}

// Cancels the first "Setup machine" it is shown, confirms the others.
class CancelFirst : public CFrontEnd {
 public:
  const char* Name() const override { return "test"; }
  int RunSetup(CSetup& setup) override {
    setup.Initialise();
    holes.push_back(setup.Holes().GetSize());
    return holes.size() == 1 ? IDCANCEL : IDOK;
  }
  int RunOptionSheet(OptionValues&, const std::string&) override { return IDCANCEL; }
  void ShowMessage(const std::string&, MessageIcon) override {}
  std::vector<int> holes;
};

// One dialog per bar, each showing that bar's holes only; the first bar
// confirmed is written under its numbers, and Nomfic takes the writer's own
// name for it.
TEST(Transfer, ExportationWritesTheFirstConfirmedBarUnderItsNumbers) {
  const fs::path dir = test_support::MakeTempDir("barpost_export");
  g_sIniFile = (dir / "m.ini").string();
  g_sMachine = "M";
  Spit(g_sIniFile, "[M]\r\nMotrice=1\r\nUnite1=1,Y1,12,,22\r\nUnite2=1,Y2,13,,18\r\n");
  Spit(dir / "job.cam",
       "*PIECE\nPCE_NAM=A\nCATEGORY=Y\nLENGTH=1000\nHOLE d=22 x=10 y=30\n"
       "*PIECE\nPCE_NAM=B\nCATEGORY=Y\nLENGTH=1000\nHOLE d=18 x=10 y=30\n"
       "*BAR\nBAR_LEN=6000\nBAR_BON=11\nBAR_IDT=1\nITEM pce=A length=1000 qty=1\n"
       "*BAR\nBAR_LEN=6000\nBAR_BON=12\nBAR_IDT=4\nITEM pce=B length=1000 qty=1\n");
  CancelFirst front_end;
  SetFrontEndForTesting(&front_end);
  const fs::path cwd = fs::current_path();
  fs::current_path(dir);
  EXPECT_EQ(RunExportation("x.nc", (dir / "job.cam").string()), 0);
  fs::current_path(cwd);
  SetFrontEndForTesting(nullptr);
  EXPECT_EQ(front_end.holes, (std::vector<int>{1, 1}));
  EXPECT_FALSE(fs::exists(dir / "000011_001"));
  EXPECT_NE(Slurp(dir / "000012_004").find("M13"), std::string::npos);
  EXPECT_NE(Slurp(g_sIniFile).find("Nomfic=0012_04\r\n"), std::string::npos);
  fs::remove_all(dir);
}

}  // namespace
