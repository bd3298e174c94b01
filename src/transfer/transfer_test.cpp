#include "transfer/transfer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/platform.h"
#include "base/test_support.h"
#include "config/options.h"
#include "engine/module_state.h"
#include "ui/front_end.h"
#include "ui/setup.h"

namespace fs = std::filesystem;

namespace {

using test_support::Slurp;

TEST(Transfer, Names) {
  EXPECT_EQ(ExportFileName(12, 4), "000012_004");
  // The separator the system writes ('\\' on Windows) after either kind.
  const std::string sep(1, platform::PreferredSeparator());
  EXPECT_EQ(TransmissionPath("/nc/", "0007_03"), "/nc" + sep + "0007_03.MPF");
  EXPECT_EQ(TransmissionPath("/nc", "0007_03"), "/nc" + sep + "0007_03.MPF");
  EXPECT_EQ(TransmissionPath("C:\\NC\\", "0007_03"), "C:\\NC" + sep + "0007_03.MPF");
  EXPECT_EQ(TransmissionPath("/nc/", ""), "/nc" + sep + ".MPF");
  EXPECT_EQ(TextModeCopy("a\nb\r\nc\rd\n"), "a\r\nb\r\nc\rd\r\n");
}

TEST(Transfer, TransmissionCopiesTheLastProgramIntoDir) {
  fs::path dir = fs::temp_directory_path() / "barpost_transfer_test";
  fs::remove_all(dir);
  fs::create_directories(dir / "machine");
  g_sIniFile = (dir / "m.ini").string();
  g_sMachine = "M";
  std::ofstream(g_sIniFile, std::ios::binary)
      << "[M]\r\nDir=" << (dir / "machine").string() << "/\r\nNomfic=0007_03\r\n";
  std::string program = "N2;Piece mark\r\n" + std::string(600, 'X') + "\r\nM30\r\n";
  std::ofstream(dir / "source.nc", std::ios::binary) << program;

  EXPECT_EQ(RunTransmission((dir / "source.nc").string()), 0);
  EXPECT_EQ(Slurp(dir / "machine" / "0007_03.MPF"), program);
  // A copy in text mode: bare LF line ends arrive as CR LF.
  std::ofstream(dir / "source.nc", std::ios::binary) << "N2 G0\nN4 M30\n";
  EXPECT_EQ(RunTransmission((dir / "source.nc").string()), 0);
  EXPECT_EQ(Slurp(dir / "machine" / "0007_03.MPF"), "N2 G0\r\nN4 M30\r\n");

  // A missing source: 2004 and no file.
  EXPECT_EQ(RunTransmission((dir / "none.nc").string()), 2004);

  // A directory that cannot be written to: silent, result 0.
  std::ofstream(g_sIniFile, std::ios::binary)
      << "[M]\r\nDir=" << (dir / "missing").string() << "\r\nNomfic=X\r\n";
  EXPECT_EQ(RunTransmission((dir / "source.nc").string()), 0);
  EXPECT_FALSE(fs::exists(dir / "missing" / "X.MPF"));
  fs::remove_all(dir);
}

TEST(Transfer, TransmissionOfAFolderIs2004AndWritesNothing) {
  fs::path dir = fs::temp_directory_path() / "barpost_transfer_folder_test";
  fs::remove_all(dir);
  fs::create_directories(dir / "machine");
  fs::create_directories(dir / "source.nc");
  g_sIniFile = (dir / "m.ini").string();
  g_sMachine = "M";
  std::ofstream(g_sIniFile, std::ios::binary)
      << "[M]\r\nDir=" << (dir / "machine").string() << "/\r\nNomfic=0007_03\r\n";
  EXPECT_EQ(RunTransmission((dir / "source.nc").string()), 2004);
  EXPECT_FALSE(fs::exists(dir / "machine" / "0007_03.MPF"));
  fs::remove_all(dir);
}

// Cancels the first "Setup machine" it is shown, confirms the others.
class CancelFirst : public CFrontEnd {
 public:
  const char* Name() const override { return "test"; }
  int RunSetup(CSetup& setup) override {
    setup.Initialise();
    holes.push_back(setup.Holes().GetSize());
    return ++shown == 1 ? IDCANCEL : IDOK;
  }
  int RunOptionSheet(OptionValues&, const std::string&) override { return IDCANCEL; }
  void ShowMessage(const std::string&, MessageIcon) override {}
  int shown = 0;
  std::vector<int> holes;
};

TEST(Transfer, ExportationWritesTheFirstConfirmedBarUnderItsNumbers) {
  fs::path dir = fs::temp_directory_path() / "barpost_export_test";
  fs::remove_all(dir);
  fs::create_directories(dir);
  g_sIniFile = (dir / "m.ini").string();
  g_sMachine = "M";
  std::ofstream(g_sIniFile, std::ios::binary)
      << "[M]\r\nMotrice=1\r\nUnite1=1,Y1,12,,22\r\nUnite2=1,Y2,13,,18\r\n";
  std::ofstream(dir / "job.cam", std::ios::binary)
      << "*PIECE\nPCE_NAM=A\nCATEGORY=Y\nLENGTH=1000\nHOLE d=22 x=10 y=30\n"
         "*PIECE\nPCE_NAM=B\nCATEGORY=Y\nLENGTH=1000\nHOLE d=18 x=10 y=30\n"
         "*BAR\nBAR_LEN=6000\nBAR_BON=11\nBAR_IDT=1\nITEM pce=A length=1000 qty=1\n"
         "*BAR\nBAR_LEN=6000\nBAR_BON=12\nBAR_IDT=4\nITEM pce=B length=1000 qty=1\n";
  CancelFirst front_end;
  SetFrontEndForTesting(&front_end);
  fs::path cwd = fs::current_path();
  fs::current_path(dir);
  EXPECT_EQ(RunExportation("x.nc", (dir / "job.cam").string()), 0);
  fs::current_path(cwd);
  SetFrontEndForTesting(nullptr);

  // One dialog per bar, each showing that bar's holes only.
  EXPECT_EQ(front_end.shown, 2);
  EXPECT_EQ(front_end.holes, (std::vector<int>{1, 1}));
  EXPECT_FALSE(fs::exists(dir / "000011_001"));
  ASSERT_TRUE(fs::exists(dir / "000012_004"));
  EXPECT_GT(fs::file_size(dir / "000012_004"), 0u);
  // Nomfic takes the writer's own name for the program.
  EXPECT_NE(Slurp(dir / "m.ini").find("Nomfic=0012_04\r\n"), std::string::npos);
  fs::remove_all(dir);
}

}  // namespace
