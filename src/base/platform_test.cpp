#include "base/platform.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "base/test_support.h"

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
int FailOneStep(const char*) { return ++g_steps == g_fail_at ? test_support::kIoError : 0; }

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
    EXPECT_EQ(error, platform::SystemErrorText(test_support::kIoError));
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
#ifdef _WIN32
  // The read-only mark binds every user, administrators too.
  std::string reason;
  EXPECT_FALSE(platform::ReplaceFileAtomically(path, "changed\r\n", &reason));
  EXPECT_EQ(reason, platform::SystemErrorText(test_support::kAccessDenied));
#else
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
#endif
  EXPECT_EQ(ReadOrEmpty(path), "locked\r\n");
  EXPECT_EQ(RegularFiles(dir), 1);
  fs::permissions(path, fs::perms::owner_all);
  fs::remove_all(dir);
}

#ifndef _WIN32
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
#endif  // !_WIN32

// What the system reports is its own text for its own error numbers, and a
// failed read says why.
TEST(Platform, SystemErrorTexts) {
  fs::path dir = test_support::MakeTempDir("barpost_error_texts");
  std::string text, error;
  // A folder in place of a file, and a file in a folder that is not there.
  EXPECT_FALSE(platform::ReadWholeFile(dir.string(), &text, &error));
#ifdef _WIN32
  // The system's own code, not an errno value read as one: as a Win32 code,
  // EACCES (13) would read "The data is invalid".
  EXPECT_EQ(error, platform::SystemErrorText(ERROR_DIRECTORY));
  EXPECT_NE(error, platform::SystemErrorText(ERROR_INVALID_DATA));
#else
  EXPECT_EQ(error, platform::SystemErrorText(EISDIR));
#endif
  EXPECT_FALSE(platform::ReadWholeFile((dir / "no" / "m.ini").string(), &text, &error));
#ifdef _WIN32
  EXPECT_EQ(error, platform::SystemErrorText(ERROR_PATH_NOT_FOUND));
#else
  EXPECT_EQ(error, platform::SystemErrorText(ENOENT));
#endif
  // One line, as it goes into a message after a path.
  EXPECT_EQ(error.find_first_of("\r\n"), std::string::npos);
  fs::remove_all(dir);
}

#ifdef _WIN32
// Paths are 8-bit in the ANSI code page, written with '\'; the system takes
// '/' as well. A name with a letter beyond ASCII (0xE9 in code page 1252)
// reaches the same file through every call.
TEST(Platform, WindowsPathsInTheAnsiCodePage) {
  fs::path dir = test_support::MakeTempDir("barpost_paths");
  ASSERT_FALSE(dir.empty());
  const std::string base = dir.string();
  const std::string name = std::string("Ligne-") + static_cast<char>(0xE9) + ".ini";
  const std::string backslashed = base + "\\" + name;
  const std::string slashed = base + "/" + name;
  std::string error, text;
  ASSERT_TRUE(platform::ReplaceFileAtomically(backslashed, "one\r\n", &error)) << error;
  ASSERT_TRUE(platform::ReplaceFileAtomically(slashed, "two\r\n", &error)) << error;
  ASSERT_TRUE(platform::ReadWholeFile(backslashed, &text, &error)) << error;
  EXPECT_EQ(text, "two\r\n");
  EXPECT_EQ(RegularFiles(dir), 1);
  EXPECT_EQ(platform::LastSeparator(backslashed), base.size());
  EXPECT_EQ(platform::JoinPath(base, name), backslashed);
  fs::remove_all(dir);
}
#endif
