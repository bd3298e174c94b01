#include "base/text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

#include "base/test_support.h"

// A host may set a decimal-comma locale (setlocale(LC_ALL, "")); numbers
// must read and print the same under it.
class DecimalCommaLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(std::setlocale(LC_ALL, test_support::kDecimalCommaLocale), nullptr)
        << "generate the locale de_DE.UTF-8 (scripts/install-deps.sh does)";
    ASSERT_EQ(std::strtod("312.5", nullptr), 312.0) << "the locale reads a comma";
  }
  void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

TEST_F(DecimalCommaLocale, NumbersKeepTheirPoint) {
  EXPECT_EQ(ToDouble("312.5"), 312.5);
  EXPECT_EQ(ToDouble("1,5"), 1.0);
  EXPECT_EQ(FixedText(100, 2), "100.00");
  EXPECT_EQ(FixedText(-0.125, 2), "-0.12");  // halves go to even, as printf does
  EXPECT_EQ(FixedText(2.5, 0), "2");
  EXPECT_EQ(IntText(-2147483648LL), "-2147483648");
}

TEST(Text, NumbersReadLikeTheCLibraryButNeverNonFinite) {
  EXPECT_DOUBLE_EQ(ToDouble(" +.5e1x"), 5.0);
  EXPECT_DOUBLE_EQ(ToDouble("0x10"), 0.0);
  EXPECT_EQ(ToInt("+12"), 12);
  EXPECT_EQ(ToInt("-99999999999999"), -2147483647 - 1);
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

TEST(Text, FileNamesStayInTheirFolder) {
  EXPECT_EQ(FileNameOnly("A123"), "A123");
  EXPECT_EQ(FileNameOnly("../x"), ".._x");
  EXPECT_EQ(FileNameOnly("..\\C:x"), ".._C_x");
  EXPECT_EQ(FileNameOnly(".."), "__");
  EXPECT_EQ(FileNameOnly("a\nb\x7f*?\"<>|"), "a_b_______");
  EXPECT_EQ(FileNameOnly("0007_03.v2"), "0007_03.v2");
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
