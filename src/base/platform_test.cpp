#include "base/platform.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "base/test_support.h"

namespace fs = std::filesystem;

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

class Platform : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE((dir_ = test_support::MakeTempDir("barpost-platform")).empty()); }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

}  // namespace

TEST(PlatformPaths, BothSeparatorsSplitPaths) {
  EXPECT_TRUE(platform::IsPathSeparator('/'));
  EXPECT_TRUE(platform::IsPathSeparator('\\'));
  EXPECT_EQ(platform::LastSeparator("C:\\NC\\B12.MPF"), 5u);
  EXPECT_EQ(platform::LastSeparator("a/b\\c"), 3u);
  EXPECT_EQ(platform::JoinPath("dir/", "f"), "dir/f");
  EXPECT_EQ(platform::JoinPath("dir\\", "f"), "dir\\f");
  EXPECT_EQ(platform::JoinPath("", "f"), "f");
}

TEST_F(Platform, ReplaceFileAtomicallyKeepsOldOrNew) {
  std::string path = (dir_ / "m.ini").string();
  std::string error;
  ASSERT_TRUE(platform::ReplaceFileAtomically(path, "one\r\n", &error)) << error;
  ASSERT_TRUE(platform::ReplaceFileAtomically(path, "two\r\n", &error)) << error;
  EXPECT_EQ(ReadOrEmpty(path), "two\r\n");
  EXPECT_EQ(RegularFiles(dir_), 1);  // no temporary file beside it
  // A directory that does not exist: an error with the system's reason.
  EXPECT_FALSE(platform::ReplaceFileAtomically((dir_ / "no" / "x.ini").string(), "x", &error));
  EXPECT_FALSE(error.empty());
}

#ifndef _WIN32
TEST_F(Platform, AtomicFileKeepsLinksOwnersAndLongNames) {
  const fs::path dir = dir_;
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
}

TEST_F(Platform, ReadingNeverWaitsAndKnowsItsLimits) {
  const fs::path dir = dir_;
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
}

TEST_F(Platform, AFullDiskLeavesTheOldFile) {
  if (geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
  const fs::path dir = dir_ / "disk";
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
}
#endif  // !_WIN32

// What the system reports is its own text for its own error numbers, and a
// failed read says why.
TEST_F(Platform, SystemErrorTexts) {
  const fs::path dir = dir_;
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
}

#ifdef _WIN32
// Paths are 8-bit in the ANSI code page, written with '\'; the system takes
// '/' as well. A name with a letter beyond ASCII (0xE9 in code page 1252)
// reaches the same file through every call.
TEST_F(Platform, WindowsPathsInTheAnsiCodePage) {
  const fs::path dir = dir_;
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
}
#endif
