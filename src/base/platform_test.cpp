#include "base/platform.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

TEST(Platform, BothSeparatorsSplitPaths) {
  EXPECT_TRUE(platform::IsPathSeparator('/'));
  EXPECT_TRUE(platform::IsPathSeparator('\\'));
  EXPECT_EQ(platform::LastSeparator("C:\\NC\\B12.MPF"), 5u);
  EXPECT_EQ(platform::LastSeparator("a/b\\c"), 3u);
  EXPECT_EQ(platform::JoinPath("dir/", "f"), "dir/f");
  EXPECT_EQ(platform::JoinPath("dir\\", "f"), "dir\\f");
  EXPECT_EQ(platform::JoinPath("", "f"), "f");
}

TEST(Platform, ReplaceFileAtomicallyKeepsOldOrNew) {
  fs::path dir = fs::temp_directory_path() / "barpost_platform_test";
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::string path = (dir / "m.ini").string();
  std::string error;
  ASSERT_TRUE(platform::ReplaceFileAtomically(path, "one\r\n", &error)) << error;
  ASSERT_TRUE(platform::ReplaceFileAtomically(path, "two\r\n", &error)) << error;
  std::string text;
  ASSERT_TRUE(platform::ReadWholeFile(path, &text, &error));
  EXPECT_EQ(text, "two\r\n");
  // No temporary file is left beside it.
  int files = 0;
  for (auto& e : fs::directory_iterator(dir)) files += e.is_regular_file();
  EXPECT_EQ(files, 1);
  // A directory that does not exist: an error with the system's reason.
  EXPECT_FALSE(platform::ReplaceFileAtomically((dir / "no" / "x.ini").string(), "x", &error));
  EXPECT_FALSE(error.empty());
  fs::remove_all(dir);
}

namespace {

std::string ReadOrEmpty(const std::string& path) {
  std::string text, error;
  platform::ReadWholeFile(path, &text, &error);
  return text;
}

int RegularFiles(const fs::path& dir) {
  int files = 0;
  for (auto& e : fs::directory_iterator(dir)) files += e.is_regular_file();
  return files;
}

int g_fail_at = 0;  // the step, counted from 1, that the hook fails
int g_steps = 0;
int FailOneStep(const char*) { return ++g_steps == g_fail_at ? EIO : 0; }

}  // namespace

TEST(Platform, AFailedStepOfAReplacementLeavesTheOldFileAlone) {
  fs::path dir = fs::temp_directory_path() / "barpost_platform_steps";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string path = (dir / "m.ini").string();
  const std::string old_text = "[M]\r\nMotrice=4\r\n";
  const std::string new_text(3000, 'n');  // six pieces of 512 bytes
  std::string error;
  for (g_fail_at = 1;; ++g_fail_at) {
    ASSERT_TRUE(platform::ReplaceFileAtomically(path, old_text, &error)) << error;
    g_steps = 0;
    platform::SetFileStepHookForTesting(FailOneStep);
    bool ok = platform::ReplaceFileAtomically(path, new_text, &error);
    platform::SetFileStepHookForTesting(nullptr);
    EXPECT_EQ(RegularFiles(dir), 1) << "a temporary file was left behind at step " << g_fail_at;
    if (ok) {
      EXPECT_EQ(ReadOrEmpty(path), new_text);
      break;
    }
    EXPECT_EQ(error, platform::SystemErrorText(EIO));
    EXPECT_EQ(ReadOrEmpty(path), old_text) << "step " << g_fail_at;
  }
  // open, six writes, sync, close and rename: ten steps could fail.
  EXPECT_EQ(g_fail_at, 11);
  fs::remove_all(dir);
}

TEST(Platform, AReadOnlyFileIsNotReplaced) {
  fs::path dir = fs::temp_directory_path() / "barpost_platform_read_only";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string path = (dir / "m.ini").string();
  std::string error;
  ASSERT_TRUE(platform::ReplaceFileAtomically(path, "locked\r\n", &error)) << error;
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  // Permissions do not bind root: check as an ordinary user.
  fs::permissions(dir, fs::perms::all);
  fflush(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
    std::string reason;
    bool replaced = platform::ReplaceFileAtomically(path, "changed\r\n", &reason);
    _exit(!replaced && reason == platform::SystemErrorText(EACCES) ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(ReadOrEmpty(path), "locked\r\n");
  EXPECT_EQ(RegularFiles(dir), 1);
  fs::remove_all(dir);
}

TEST(Platform, AtomicFileKeepsLinksOwnersAndLongNames) {
  fs::path dir = fs::temp_directory_path() / "barpost_platform_links";
  fs::remove_all(dir);
  fs::create_directories(dir / "real");
  const fs::path real = dir / "real" / "m.ini";
  std::string error;
  ASSERT_TRUE(platform::ReplaceFileAtomically(real.string(), "old", &error)) << error;
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  if (geteuid() == 0) {
    ASSERT_EQ(::chown(real.c_str(), 65534, 65534), 0);
  }
  fs::create_symlink(fs::path("real") / "m.ini", dir / "link.ini");

  // Written through the link: the link stays a link, its target is the new file.
  ASSERT_TRUE(platform::ReplaceFileAtomically((dir / "link.ini").string(), "new", &error)) << error;
  EXPECT_TRUE(fs::is_symlink(dir / "link.ini"));
  EXPECT_EQ(ReadOrEmpty(real.string()), "new");
  struct stat st;
  ASSERT_EQ(::stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  if (geteuid() == 0) {
    EXPECT_EQ(st.st_uid, 65534u);
  }
  EXPECT_EQ(RegularFiles(dir / "real"), 1);

  // A name as long as the system allows still leaves room for the temporary one.
  const std::string longest = (dir / std::string(255, 'n')).string();
  EXPECT_TRUE(platform::ReplaceFileAtomically(longest, "x", &error)) << error;

  // What is not a regular file is never replaced by one.
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
  EXPECT_FALSE(platform::ReplaceFileAtomically((dir / "fifo").string(), "x", &error));
  EXPECT_EQ(error, "a FIFO, not a regular file");
  EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
  EXPECT_FALSE(platform::ReplaceFileAtomically((dir / "real").string(), "x", &error));
  EXPECT_TRUE(fs::is_directory(dir / "real"));
  fs::remove_all(dir);
}

TEST(Platform, ReadingNeverWaitsAndKnowsItsLimits) {
  fs::path dir = fs::temp_directory_path() / "barpost_platform_reads";
  fs::remove_all(dir);
  fs::create_directories(dir);
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);  // no writer: an open would wait
  std::string error;
  ASSERT_TRUE(platform::ReplaceFileAtomically((dir / "ten").string(), "0123456789", &error));
  struct Case {
    std::string path;
    std::size_t limit;
    platform::ReadResult result;
    const char* says;
  };
  const Case cases[] = {
      {(dir / "fifo").string(), 100, platform::ReadResult::kNotRegular, "a FIFO"},
      {"/dev/zero", 100, platform::ReadResult::kNotRegular, "a device"},
      {dir.string(), 100, platform::ReadResult::kNotRegular, "Is a directory"},
      {(dir / "none").string(), 100, platform::ReadResult::kMissing, "No such file"},
      {(dir / "ten").string(), 9, platform::ReadResult::kTooLarge, "larger than 9 bytes"},
      {(dir / "ten").string(), 10, platform::ReadResult::kOk, ""},
  };
  for (const Case& c : cases) {
    std::string text = "stale";
    error.clear();
    EXPECT_EQ(platform::ReadRegularFile(c.path, c.limit, &text, &error), c.result) << c.path;
    EXPECT_NE(error.find(c.says), std::string::npos) << c.path << ": " << error;
    EXPECT_EQ(text, c.result == platform::ReadResult::kOk ? "0123456789" : "") << c.path;
  }
  // The same file, however it is spelt.
  fs::create_symlink("ten", dir / "link");
  EXPECT_TRUE(platform::SameFile((dir / "link").string(), (dir / "." / "ten").string()));
  EXPECT_FALSE(platform::SameFile((dir / "ten").string(), (dir / "none").string()));
  fs::remove_all(dir);
}

TEST(Platform, AFullDiskLeavesTheOldFile) {
  if (geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
  fs::path dir = fs::temp_directory_path() / "barpost_platform_full";
  fs::remove_all(dir);
  fs::create_directories(dir);
  ASSERT_EQ(std::system(("mount -t tmpfs -o size=64k tmpfs " + dir.string()).c_str()), 0);
  const std::string path = (dir / "B1.MPF").string();
  std::string error;
  ASSERT_TRUE(platform::ReplaceFileAtomically(path, "old program", &error)) << error;
  EXPECT_FALSE(platform::ReplaceFileAtomically(path, std::string(200000, 'N'), &error));
  EXPECT_EQ(error, platform::SystemErrorText(ENOSPC));
  EXPECT_EQ(ReadOrEmpty(path), "old program");
  EXPECT_EQ(RegularFiles(dir), 1);
  EXPECT_EQ(std::system(("umount " + dir.string()).c_str()), 0);
  fs::remove_all(dir);
}
