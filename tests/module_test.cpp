// The module as a host sees it: loaded at run time, called through its six
// plain-named entry points.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/platform.h"
#include "base/test_support.h"
#include "host/barpost.h"

namespace fs = std::filesystem;

namespace {

using test_support::Slurp;

class Module : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    handle_ = platform::LoadModule(BARPOST_MODULE_PATH, &error);
    ASSERT_NE(handle_, nullptr) << error;
  }
  static void TearDownTestSuite() { platform::UnloadModule(handle_); }

  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           (std::string("barpost_module_") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    setenv("BARPOST_UI", "auto", 1);
  }
  void TearDown() override { fs::remove_all(dir_); }

  template <typename Fn>
  static Fn Get(const char* name) {
    auto fn = reinterpret_cast<Fn>(platform::ModuleSymbol(handle_, name));
    EXPECT_NE(fn, nullptr) << name;
    return fn;
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  static void* handle_;
  fs::path dir_;
};
void* Module::handle_ = nullptr;

TEST_F(Module, OnlyTheEntryPointsAreVisible) {
  for (const char* name : {"Traitement", "Exportation", "Transmission", "Config_Export",
                           "Config_Transmission", "Identity"})
    EXPECT_NE(platform::ModuleSymbol(handle_, name), nullptr) << name;
  for (const char* name : {"g_options", "LoadOptions", "_Z11LoadOptionsRKNSt7__cxx1112basic_"
                                                       "stringIcSt11char_traitsIcESaIcEEES6_"})
    EXPECT_EQ(platform::ModuleSymbol(handle_, name), nullptr) << name;
}

TEST_F(Module, IdentityIsTheFirstByteAsASignedValue) {
  auto identity = Get<BarpostIdentityFn>("Identity");
  EXPECT_EQ(identity(""), 0);
  EXPECT_EQ(identity("A12"), 'A');
  EXPECT_EQ(identity("\xE9t\xE9"), -23);
  EXPECT_EQ(identity(nullptr), 0);
}

TEST_F(Module, CancelledSetupReturns1008AndStillWritesEveryOption) {
  auto traitement = Get<BarpostTraitementFn>("Traitement");
  setenv("BARPOST_UI", "cancel", 1);
  std::string ini = Path("machine.ini");
  EXPECT_EQ(traitement(ini.c_str(), "LINE", Path("none.cam").c_str(), Path("P1.MPF").c_str(), "1",
                       "", ""),
            1008);
  EXPECT_FALSE(fs::exists(Path("P1.MPF")));
  std::string text = Slurp(ini);
  for (const char* key : {"[LINE]", "Motrice=4", "Cnc=0", "Ligne=1", "Mark_Speed=3000",
                          "Mark_Typ=1", "Categ=NNNNNNNNNONNNNNNNNNO", "OrgDef=44114121141444111424",
                          "Unite1=,,,,", "Unite6=,,,,", "Fctcoupe=25", "Dir=C:\\Temp\\",
                          "Poincon0=\r\n", "Rugosite=\r\n", "Outil0=\r\n", "Off_Rugosite="})
    EXPECT_NE(text.find(key), std::string::npos) << key;
  EXPECT_EQ(text.find("Nomfic"), std::string::npos);
}

TEST_F(Module, AnUnreadableJobConfirmedGivesAnEmptyProgram) {
  auto traitement = Get<BarpostTraitementFn>("Traitement");
  std::string ini = Path("machine.ini");
  EXPECT_EQ(traitement(ini.c_str(), "LINE", Path("none.cam").c_str(), Path("B12.MPF").c_str(),
                       "", "x", nullptr),
            0);
  ASSERT_TRUE(fs::exists(Path("B12.MPF")));
  EXPECT_EQ(fs::file_size(Path("B12.MPF")), 0u);
}

TEST_F(Module, ConfigExportSavesOnlyOnOk) {
  auto config = Get<BarpostConfigFn>("Config_Export");
  std::string ini = Path("machine.ini");
  const std::string before = "; our line\r\n[LINE]\r\nMotrice=2\r\nOwnKey=kept\r\n";
  std::ofstream(ini, std::ios::binary) << before;
  setenv("BARPOST_UI", "cancel", 1);
  config(ini.c_str(), "LINE");
  EXPECT_EQ(Slurp(ini), before);

  setenv("BARPOST_UI", "auto", 1);
  config(ini.c_str(), "LINE");
  std::string after = Slurp(ini);
  EXPECT_EQ(after.rfind("; our line\r\n[LINE]\r\nMotrice=2\r\nOwnKey=kept\r\n", 0), 0u);
  EXPECT_NE(after.find("Fctcoupe=25\r\n"), std::string::npos);

  // Config_Transmission only remembers where the configuration is.
  auto remember = Get<BarpostConfigFn>("Config_Transmission");
  remember(Path("other.ini").c_str(), "LINE");
  EXPECT_FALSE(fs::exists(Path("other.ini")));
}

TEST_F(Module, TransmissionOfAMissingSourceIs2004) {
  auto transmission = Get<BarpostTransmissionFn>("Transmission");
  std::string ini = Path("machine.ini");
  EXPECT_EQ(transmission(ini.c_str(), "LINE", Path("none.nc").c_str(), nullptr, nullptr, nullptr),
            2004);
  auto exportation = Get<BarpostExportationFn>("Exportation");
  EXPECT_EQ(exportation(ini.c_str(), "LINE", "x.nc", Path("none.cam").c_str()), 0);
}

}  // namespace
