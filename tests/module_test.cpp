// The module as a host sees it: loaded at run time, called through its six
// plain-named entry points, each call recorded in the log BARPOST_LOG names.
// What the bad-input catalogue (tests/hardening) runs through them, and the
// export table (check_exports.cmake), are not repeated here.
#include <gtest/gtest.h>
#include <stdlib.h>
#ifdef __linux__
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/platform.h"
#include "base/test_support.h"
#include "host/barpost.h"

namespace fs = std::filesystem;

namespace {

using test_support::Slurp;
using test_support::Spit;

class Module : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    handle_ = platform::LoadModule(BARPOST_MODULE_PATH, &error);
    ASSERT_NE(handle_, nullptr) << error;
  }
  static void TearDownTestSuite() { platform::UnloadModule(handle_); }
  void SetUp() override {
    setenv("BARPOST_UI", "auto", 1);
    setenv("BARPOST_LOG", log_.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("BARPOST_LOG");
    fs::remove_all(dir_);
  }

  template <typename Fn>
  static Fn Get(const char* name) {
    return reinterpret_cast<Fn>(platform::ModuleSymbol(handle_, name));
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  // How many lines of the log start with text.
  int Logged(const std::string& text) const {
    std::istringstream log(Slurp(log_));
    int n = 0;
    for (std::string line; std::getline(log, line);) n += line.rfind(text, 0) == 0;
    return n;
  }

  static void* handle_;
  fs::path dir_ = test_support::MakeTempDir("barpost_module");
  const std::string ini_ = Path("machine.ini"), log_ = Path("calls.log");
};
void* Module::handle_ = nullptr;

TEST_F(Module, IdentityIsTheFirstByteAsASignedValue) {
  auto identity = Get<BarpostIdentityFn>("Identity");
  EXPECT_EQ(identity(""), 0);
  EXPECT_EQ(identity("A12"), 'A');
  EXPECT_EQ(identity("\xE9t\xE9"), -23);
  EXPECT_EQ(identity(nullptr), 0);
}

TEST_F(Module, ConfigExportSavesOnlyOnOk) {
  auto config = Get<BarpostConfigFn>("Config_Export");
  const std::string before = "; our line\r\n[LINE]\r\nMotrice=2\r\nOwnKey=kept\r\n";
  Spit(ini_, before);
  setenv("BARPOST_UI", "cancel", 1);
  config(ini_.c_str(), "LINE");
  EXPECT_EQ(Slurp(ini_), before);
  setenv("BARPOST_UI", "auto", 1);
  config(ini_.c_str(), "LINE");
  EXPECT_EQ(Slurp(ini_).rfind(before, 0), 0u);
  EXPECT_NE(Slurp(ini_).find("Fctcoupe=25\r\n"), std::string::npos);
  // Config_Transmission only remembers where the configuration is.
  Get<BarpostConfigFn>("Config_Transmission")(Path("other.ini").c_str(), "LINE");
  EXPECT_FALSE(fs::exists(Path("other.ini")));
}

// A machine name that cannot be an INI section is told by every entry point,
// which then does nothing: no program, no copy, no INI file.
TEST_F(Module, AnUnusableMachineIsToldAndNothingIsDone) {
  const char* machine = "LINE\n[X]";
  const std::string job = Path("job.cam"), program = Path("P1.MPF");
  Spit(job, "*PIECE\nPCE_NAM=P1\nCATEGORY=Y\nLENGTH=1000\n");
  EXPECT_EQ(Get<BarpostTraitementFn>("Traitement")(ini_.c_str(), machine, job.c_str(),
                                                   program.c_str(), "1", "", ""),
            BARPOST_SETUP_CANCELLED);
  EXPECT_EQ(Get<BarpostExportationFn>("Exportation")(ini_.c_str(), machine, "x.nc", job.c_str()),
            BARPOST_OK);
  EXPECT_EQ(Get<BarpostTransmissionFn>("Transmission")(ini_.c_str(), machine, job.c_str(), "",
                                                       "", ""),
            BARPOST_OK);
  Get<BarpostConfigFn>("Config_Export")(ini_.c_str(), machine);
  EXPECT_EQ(Logged("error: The machine name \"LINE\" holds a line break"), 4);
  EXPECT_FALSE(fs::exists(ini_));
  EXPECT_FALSE(fs::exists(program));
}

#ifdef __linux__
// An exception that escapes the work (here the memory for a job larger than
// the host's address space leaves room for) is told as an internal error,
// and the call ends with its failure result: the host goes on.
TEST_F(Module, AnEscapingExceptionIsToldAndEndsTheCall) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "AddressSanitizer reserves the address space itself";
#endif
  const std::string job = Path("job.cam");
  Spit(job, "");
  fs::resize_file(job, 200u << 20);  // within the size limit for jobs; sparse
  long pages = 0;
  std::ifstream("/proc/self/statm") >> pages;
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_AS, &old), 0);
  rlimit tight = old;
  tight.rlim_cur = std::min<rlim_t>(
      old.rlim_max, static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) +
                        (64u << 20));
  ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
  const int processed = Get<BarpostTraitementFn>("Traitement")(
      ini_.c_str(), "LINE", job.c_str(), Path("P1.MPF").c_str(), "1", "", "");
  const int exported =
      Get<BarpostExportationFn>("Exportation")(ini_.c_str(), "LINE", "x.nc", job.c_str());
  setrlimit(RLIMIT_AS, &old);
  EXPECT_EQ(processed, BARPOST_SETUP_CANCELLED);
  EXPECT_EQ(exported, BARPOST_OK);
  EXPECT_EQ(Logged("error: Internal error: std::bad_alloc"), 2) << Slurp(log_);
  EXPECT_FALSE(fs::exists(Path("P1.MPF")));
}
#endif

}  // namespace
