#include "base/platform.h"

#include <gtest/gtest.h>

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
