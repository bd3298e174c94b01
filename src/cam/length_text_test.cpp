#include "cam/length_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

namespace cam {
namespace {

TEST(LengthText, ReadsDecimalNumbersOnly) {
  const std::pair<const char*, double> cases[] = {
      {"12", 12},   {"-30.5", -30.5}, {"1e2", 100}, {" +.5 ", 0.5}, {"5.", 5},   {"1E-1", 0.1},  {"-2e+1", -20},
      {"", 0},      {"-", 0},         {".", 0},     {"12abc", 0},   {"1e", 0},   {"1e+", 0},     {"nan", 0},
      {"inf", 0},   {"-inf", 0},      {"0x10", 0},  {"1e999", 0},   {"1 2", 0},  {"--1", 0},     {"+-1", 0}};
  for (auto [text, value] : cases) {
    double v = -1;
    EXPECT_EQ(ReadDecimal(text, &v), value != 0) << text;
    EXPECT_EQ(v, value) << text;
  }
  // Plain decimals are read without from_chars: the same bits, sign of zero
  // included, for every length of digits and place of the point.
  std::mt19937_64 rng(13);
  for (int i = 0; i < 20000; ++i) {
    std::string text = i % 3 == 0 ? "-" : i % 7 == 0 ? "+" : "";
    const int digits = 1 + static_cast<int>(rng() % 17);
    const int point = static_cast<int>(rng() % static_cast<unsigned>(digits + 2));  // digits + 1: none
    for (int d = 0; d < digits; ++d)
      text += std::string(d == point ? "." : "") + static_cast<char>('0' + rng() % (i % 5 == 0 ? 2 : 10));
    double v = 0, expected = 0;
    std::from_chars(text.data() + (text[0] == '+'), text.data() + text.size(), expected);
    ASSERT_TRUE(ReadDecimal(text, &v)) << text;
    ASSERT_EQ(std::bit_cast<std::uint64_t>(v), std::bit_cast<std::uint64_t>(expected)) << text;
  }
  for (auto [text, whole] : {std::pair{"2.9", 2}, {"-2.9", -2}, {"1e300", 5}, {"-1e300", -5}, {"x", 0}, {"5", 5}})
    EXPECT_EQ(WholeOf(text, -5, 5), whole) << text;
}

TEST(LengthText, ReadsLengthsInBothUnits) {
  const struct {
    const char* text;
    bool inch;
    double mm;
  } cases[] = {
      {"2500", false, 2500},    {"20.5", false, 20.5},       {"7/8", false, 0},         {"1 3/16", false, 0},
      {"2", true, 50.8},        {"7/8", true, 22.225},       {"1-3/16", true, 30.1625}, {"1 \t 3/16", true, 30.1625},
      {"-7/8", true, -22.225},  {"-1 3/16", true, -30.1625}, {"+1-1/2", true, 38.1},    {"0.5", true, 12.7},
      {"1/0", true, 0},         {"1/", true, 0},             {"/2", true, 0},           {"1 2", true, 0},
      {"1--3/16", true, 0},     {"1.5/2", true, 0},          {"3/16 1", true, 0},       {"1 -3/16", true, 0},
      {"1e400", true, 0},       {"1e307", true, 0},          {"1", true, 25.4},         {"12 ", true, 304.8},
  };
  for (const auto& c : cases) EXPECT_NEAR(LengthOf(c.text, c.inch), c.mm, 1e-9) << c.text;
}

TEST(LengthText, WritesMillimetresAndInches) {
  const struct {
    double mm;
    bool inch;
    const char* text;
  } cases[] = {
      {2500, false, "2500"}, {20.5, false, "20.5"}, {20.256, false, "20.26"}, {-20.5, false, "-20.5"},
      {-0.0, false, "0"}, {-0.001, false, "0"}, {0.1, false, "0.1"}, {22.225, true, "7/8"},
      {30.1625, true, "1 3/16"}, {304.8, true, "12"}, {-22.225, true, "-7/8"}, {-30.1625, true, "-1 3/16"},
      {12.7, true, "1/2"}, {-0.0, true, "0"}, {-0.01, true, "0"}, {25.4 * 1.0005, true, "1"},
      {25.4 * 1.01, true, "1.01"}, {25.4 * 1.12345, true, "1.1235"}, {25.4 * -1.01, true, "-1.01"},
      {NAN, false, "0"}, {INFINITY, true, "0"},
  };
  for (const auto& c : cases) EXPECT_EQ(LengthText(c.mm, c.inch), c.text) << c.mm;
  for (int n = -40; n <= 40; ++n) {  // sixteenths read back to the same value
    const double mm = n / 16.0 * kMmPerInch;
    EXPECT_NEAR(LengthOf(LengthText(mm, true), true), mm, 1e-9) << n;
  }
  EXPECT_FALSE(LengthText(1e300, true).empty());
  for (double v : {0.0, -0.0, 0.1, 1.0 / 3, -123.456, 1e300, 5e-324}) {
    double back = 1;
    ASSERT_TRUE(ReadDecimal(ExactText(v), &back)) << ExactText(v);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(back), std::bit_cast<std::uint64_t>(v));
  }
}

}  // namespace
}  // namespace cam
