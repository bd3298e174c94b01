#include "transfer/transfer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "config/options.h"
#include "engine/module_state.h"

namespace fs = std::filesystem;

namespace {

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(Transfer, Names) {
  EXPECT_EQ(ExportFileName(12, 4), "000012_004");
  EXPECT_EQ(TransmissionPath("/nc/", "0007_03"), "/nc/0007_03.MPF");
  EXPECT_EQ(TransmissionPath("/nc", "0007_03"), "/nc/0007_03.MPF");
  EXPECT_EQ(TransmissionPath("C:\\NC\\", "0007_03"), "C:\\NC/0007_03.MPF");
  EXPECT_EQ(TransmissionPath("/nc/", ""), "/nc/.MPF");
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

  // A missing source: 2004 and no file.
  EXPECT_EQ(RunTransmission((dir / "none.nc").string()), 2004);

  // A directory that cannot be written to: silent, result 0.
  std::ofstream(g_sIniFile, std::ios::binary)
      << "[M]\r\nDir=" << (dir / "missing").string() << "\r\nNomfic=X\r\n";
  EXPECT_EQ(RunTransmission((dir / "source.nc").string()), 0);
  EXPECT_FALSE(fs::exists(dir / "missing" / "X.MPF"));
  fs::remove_all(dir);
}

}  // namespace
