// No configuration is lost when a save of the options is interrupted: after
// a kill at any moment of SaveOptions, or a failure of any one of its system
// calls, the INI file is byte for byte either the old file or the new one.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "base/platform.h"
#include "base/test_support.h"
#include "base/text.h"
#include "child_process.h"
#include "config/options.h"
#include "engine/traitement.h"

namespace fs = std::filesystem;

namespace {

using test_support::Slurp;

using test_support::Spit;

// The example machine with a long list of off-centre punches and tools, so
// that a save writes more than a hundred kilobytes.
std::string OldIni() {
  std::string text = Slurp(fs::path(BARPOST_SOURCE_DIR) / "examples" / "machine.ini");
  std::string rows;
  for (int i = 0; i < 1500; ++i)
    rows += Format("Poincon%d=%d.000,%d.000,1.500,\r\nOutil%d=0,%d.00,%d.00,0.00\r\n", i,
                   20 + i, 10 + i, i, 5 + i, 5 + i);
  std::size_t at = text.find("Poincon0=");
  return text.insert(at, rows);
}

// What a job changes before it saves: every kind of key.
void ChangeOptions() {
  g_options.Motrice = 2;
  g_options.Mark_X = "75";
  g_options.units[2].diameter = "24";
  g_options.poincons.RemoveAll();
  for (int i = 0; i < 1200; ++i) g_options.poincons.Add(CPoincon(30 + i, 12 + i, 2.25));
  g_options.outils.RemoveAll();
  for (int i = 0; i < 2000; ++i) g_options.outils.Add(CMagasin(4, 9 + i, 40 + i, 0));
}

// Loads, changes and saves the section of path; true when saved.
bool LoadChangeSave(const std::string& path, std::string* error) {
  LoadOptions(path, "ANGLE1");
  ChangeOptions();
  return SaveOptions(path, "ANGLE1", error);
}

class SaveInterrupt : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("barpost_save_interrupt_" + std::to_string(test_support::ProcessId()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    path_ = (dir_ / "machine.ini").string();
    old_ = OldIni();
    // The file a complete save leaves behind.
    Spit(path_, old_);
    std::string error;
    ASSERT_TRUE(LoadChangeSave(path_, &error)) << error;
    new_ = Slurp(path_);
    ASSERT_NE(new_, old_);
    ASSERT_GT(new_.size(), 100000u);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path dir_;
  std::string path_;
  std::string old_;
  std::string new_;
};

int g_fail_at = 0;  // the system call, counted from 1, that fails
int g_calls = 0;
int FailOneCall(const char*) { return ++g_calls == g_fail_at ? test_support::kNoSpace : 0; }

int SlowStep(const char*) {
  std::this_thread::sleep_for(std::chrono::microseconds(100));
  return 0;
}

// The child's task: loads the options of the file, changes them, says it is
// ready and saves them, each system call of the save a little slower, so
// that the kills fall all along it however busy the machine is.
int SaveSlowly(const hardening::ChildArgs& args) {
  LoadOptions(args.at(0), "ANGLE1");
  ChangeOptions();
  platform::SetFileStepHookForTesting(SlowStep);
  hardening::ChildReady();
  return SaveOptions(args.at(0), "ANGLE1") ? 0 : 1;
}
const hardening::ChildTaskName kSaveSlowly("save_slowly", &SaveSlowly);

TEST_F(SaveInterrupt, AFailureAtAnyWriteLeavesTheOldFile) {
  int failures = 0;
  for (g_fail_at = 1;; ++g_fail_at) {
    Spit(path_, old_);
    g_calls = 0;
    platform::SetFileStepHookForTesting(FailOneCall);
    std::string error;
    bool saved = LoadChangeSave(path_, &error);
    platform::SetFileStepHookForTesting(nullptr);
    const std::string now = Slurp(path_);
    if (saved) {
      EXPECT_EQ(now, new_);
      break;
    }
    ++failures;
    ASSERT_EQ(now, old_) << "after a failure at call " << g_fail_at;
    EXPECT_EQ(error, path_ + ": " + platform::SystemErrorText(test_support::kNoSpace));
    ASSERT_LT(g_fail_at, 100000) << "the save never succeeds";
  }
  // Every piece of the text was a chance to fail, and no temporary file
  // stays behind.
  EXPECT_GT(failures, static_cast<int>(new_.size() / 512));
  int files = 0;
  for (const auto& entry : fs::directory_iterator(dir_)) files += entry.is_regular_file();
  EXPECT_EQ(files, 1);

  // The one-key write of the program name behaves the same.
  Spit(path_, old_);
  g_fail_at = 1;
  g_calls = 0;
  platform::SetFileStepHookForTesting(FailOneCall);
  std::string error;
  EXPECT_FALSE(WriteIniKey(path_, "ANGLE1", "Nomfic", "0007_01", &error));
  platform::SetFileStepHookForTesting(nullptr);
  EXPECT_EQ(Slurp(path_), old_);
}

TEST_F(SaveInterrupt, AKillAtAnyMomentLeavesTheOldOrTheNewFile) {
  // The child says when it starts to save; the parent kills it that many
  // microseconds later.
  auto save_in_child = [&](long delay_us, std::string* state) {
    Spit(path_, old_);
    hardening::ChildProcess child;
    ASSERT_TRUE(child.Start("save_slowly", {path_}));
    if (delay_us >= 0) {
      std::this_thread::sleep_for(std::chrono::microseconds(delay_us));
      child.Kill();
    }
    child.Wait();
    const std::string now = Slurp(path_);
    *state = now == old_ ? "old" : now == new_ ? "new" : "torn";
  };

  // How long an uninterrupted save takes (from the moment the child is
  // ready, as the kills count it).
  const auto start = std::chrono::steady_clock::now();
  std::string state;
  save_in_child(-1, &state);
  ASSERT_EQ(state, "new");
  const long save_us = std::chrono::duration_cast<std::chrono::microseconds>(
                           std::chrono::steady_clock::now() - start)
                           .count();

  // Kills from the first instant to well after the save is done.
  int olds = 0, news = 0;
  const int kSteps = 40;
  for (int i = 0; i <= kSteps; ++i) {
    const long delay = save_us * 2 * i / kSteps;
    save_in_child(delay, &state);
    ASSERT_NE(state, "torn") << "killed " << delay << " us into a save of " << save_us << " us";
    (state == "old" ? olds : news) += 1;
  }
  std::printf("save of %zu bytes, %ld us; %d kills left the old file, %d the new one\n",
              new_.size(), save_us, olds, news);
  EXPECT_GT(olds, 0);
  EXPECT_GT(news, 0);
  // A killed save may leave its temporary file; never a second INI file.
  for (const auto& entry : fs::directory_iterator(dir_)) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "machine.ini" || name.rfind(".bp", 0) == 0) << name;
  }
}

// The child's task for the program: runs the job of args[0] into args[1]
// with the options of args[2], each write of the program a little slower, as
// on a slow disk.
int WriteProgramSlowly(const hardening::ChildArgs& args) {
  platform::SetFileStepHookForTesting(SlowStep);
  hardening::ChildReady();
  CTraitement job(args.at(2), "ANGLE1", args.at(0), args.at(1), 1, 0, 0);
  return job.Process();
}
const hardening::ChildTaskName kWriteProgramSlowly("write_program_slowly", &WriteProgramSlowly);

// The same for the NC program: a job killed at any moment leaves the
// previous program or the new one at its path, never a cut-off or empty one.
TEST(ProgramInterrupt, AKillAtAnyMomentLeavesTheOldOrTheNewProgram) {
  const fs::path dir = test_support::MakeTempDir("barpost_program_interrupt");
  const fs::path examples = fs::path(BARPOST_SOURCE_DIR) / "examples";
  const std::string ini = (dir / "machine.ini").string();
  const std::string nc = (dir / "B1.MPF").string();
  const std::string cam = (dir / "job.cam").string();
  // The example's pieces on eighty bars: a program of some 180 kilobytes.
  std::string job = Slurp(examples / "job.cam");
  const std::string bar = job.substr(job.find("*BAR"), job.find("*END") - job.find("*BAR"));
  job.erase(job.find("*BAR"));
  for (int i = 0; i < 40; ++i) job += bar;  // two bars each time
  Spit(cam, job);
  Spit(ini, Slurp(examples / "machine.ini"));
  {
    CTraitement first(ini, "ANGLE1", cam, nc, 1, 0, 0);
    ASSERT_EQ(first.Process(), 0);
  }
  const std::string new_program = Slurp(nc);
  ASSERT_GT(new_program.size(), 150000u);
  const std::string old_program = "N2;an older program\r\nN4M30\r\n";

  auto job_in_child = [&](long delay_us) {
    Spit(nc, old_program);
    hardening::ChildProcess child;
    EXPECT_TRUE(child.Start("write_program_slowly", {cam, nc, ini}));
    const auto start = std::chrono::steady_clock::now();
    if (delay_us >= 0) {
      std::this_thread::sleep_for(std::chrono::microseconds(delay_us));
      child.Kill();
    }
    child.Wait();
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now() - start)
        .count();
  };
  const long job_us = job_in_child(-1);
  ASSERT_EQ(Slurp(nc), new_program);
  int olds = 0, news = 0;
  for (int i = 0; i <= 30; ++i) {
    job_in_child(job_us * 2 * i / 30);
    const std::string now = Slurp(nc);
    ASSERT_TRUE(now == old_program || now == new_program)
        << "a kill " << job_us * 2 * i / 30 << " us into a job of " << job_us
        << " us left " << now.size() << " bytes";
    (now == old_program ? olds : news) += 1;
  }
  std::printf("job of %ld us; %d kills left the old program, %d the new one\n", job_us, olds,
              news);
  EXPECT_GT(olds, 0);
  EXPECT_GT(news, 0);
  fs::remove_all(dir);
}

}  // namespace
