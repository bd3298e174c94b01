#include "base/text.h"

#include <gtest/gtest.h>

TEST(Text, NumbersReadLikeTheCLibraryButNeverNonFinite) {
  EXPECT_DOUBLE_EQ(ToDouble("12.5"), 12.5);
  EXPECT_DOUBLE_EQ(ToDouble("  -3e2xyz"), -300.0);
  EXPECT_DOUBLE_EQ(ToDouble("abc"), 0.0);
  EXPECT_DOUBLE_EQ(ToDouble(""), 0.0);
  EXPECT_DOUBLE_EQ(ToDouble("nan"), 0.0);
  EXPECT_DOUBLE_EQ(ToDouble("inf"), 0.0);
  EXPECT_DOUBLE_EQ(ToDouble("1e999"), 0.0);
  EXPECT_EQ(ToInt("42abc"), 42);
  EXPECT_EQ(ToInt(" -7"), -7);
  EXPECT_EQ(ToInt("x1"), 0);
  EXPECT_EQ(ToInt("99999999999999"), 2147483647);
}

TEST(Text, FormatTrimAndCase) {
  EXPECT_EQ(Format("%04i_%02i", 7, 3), "0007_03");
  std::string long_text(1000, 'a');
  EXPECT_EQ(Format("%s!", long_text.c_str()).size(), 1001u);
  EXPECT_EQ(Trim("  a b \r\n"), "a b");
  EXPECT_EQ(Trim(" \t "), "");
  EXPECT_TRUE(EqualsNoCase("Machine", "MACHINE"));
  EXPECT_FALSE(EqualsNoCase("Machine", "Machin"));
}
