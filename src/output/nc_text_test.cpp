#include "output/nc_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "output/output_test_util.h"

TEST(FormatNumber, MillimetresDropTrailingZeros) {
  EXPECT_EQ(FormatNumber(12.5, false, 0, 0), "12.5");
  EXPECT_EQ(FormatNumber(12, false, 0, 0), "12");
  EXPECT_EQ(FormatNumber(0.0004, false, 0, 0), "0");
  EXPECT_EQ(FormatNumber(-0.0004, false, 0, 0), "-0");
  EXPECT_EQ(FormatNumber(12.3456, false, 0, 0), "12.346");
  EXPECT_EQ(FormatNumber(100, false, 0, 0), "100");  // zeros before the dot stay
  EXPECT_EQ(FormatNumber(-250.05, false, 0, 0), "-250.05");
}

TEST(FormatNumber, RoundsLikePrintf) {
  // Exact binary ties (k / 2048) and ordinary values: the same digits as
  // printf, which the machines' programs were always written with.
  for (int k = -20000; k <= 20000; k += 7) {
    for (double v : {k / 2048.0, k * 0.1234567, k * 25.4 / 3}) {
      char expected[64];
      std::snprintf(expected, sizeof expected, "%0.4f", v / 25.4);
      ASSERT_EQ(FormatNumber(v, false, 1, 0), expected) << v;
      std::snprintf(expected, sizeof expected, "%0.3f", v);
      std::string mm = expected;
      while (mm.back() == '0') mm.pop_back();
      if (mm.back() == '.') mm.pop_back();
      ASSERT_EQ(FormatNumber(v, false, 0, 0), mm) << v;
    }
  }
}

TEST(FormatNumber, RoundsLikePrintfAtAnyMagnitude) {
  // Coordinates as jobs make them (a few decimals), values a hair off a
  // tie, and numbers up to where no shortcut applies.
  std::mt19937_64 rng(5);
  std::vector<double> values = {0.0, -0.0, 0.0625, -0.0625, 0.00005, 1e13, 1.5e13, 1e300};
  for (int i = 0; i < 100000; ++i) {
    const double scale = std::pow(10.0, static_cast<int>(rng() % 16) - 4);
    const double v = static_cast<double>(static_cast<long long>(rng() % 2000001) - 1000000) /
                     static_cast<double>(1 + rng() % 1000) * scale;
    values.push_back(v);
    values.push_back(std::nextafter(std::round(v * 1000) / 1000 + 0.0005, 0.0));
  }
  for (double v : values) {
    char expected[400];
    std::snprintf(expected, sizeof expected, "%0.4f", v / 25.4);
    ASSERT_EQ(FormatNumber(v, false, 1, 0), expected) << v;
    std::snprintf(expected, sizeof expected, "%0.3f", v);
    std::string mm = expected;
    while (mm.back() == '0') mm.pop_back();
    if (mm.back() == '.') mm.pop_back();
    ASSERT_EQ(FormatNumber(v, false, 0, 0), mm) << v;
  }
}

TEST(FormatNumber, InchesKeepFourDecimals) {
  EXPECT_EQ(FormatNumber(25.4, false, 1, 0), "1.0000");
  EXPECT_EQ(FormatNumber(12.7, false, 1, 0), "0.5000");
  EXPECT_EQ(FormatNumber(0, true, 1, 0), "0.0000");
}

TEST(FormatNumber, XScaling) {
  EXPECT_EQ(FormatNumber(100, true, 0, 5), "50");
  EXPECT_EQ(FormatNumber(100, false, 0, 5), "100");
  EXPECT_EQ(FormatNumber(100, true, 0, 0), "100");
  EXPECT_EQ(FormatNumber(100, true, 0, -3), "100");
  EXPECT_EQ(FormatNumber(254, true, 1, 5), "5.0000");
}

TEST(FormatNumber, HugeValuesFit) {
  EXPECT_EQ(FormatNumber(1e308, false, 0, 0).size(), 309u);
  EXPECT_EQ(FormatNumber(-1.7976931348623157e308, false, 1, 0).size(), 1u + 307 + 1 + 4);
}

TEST(NcText, LineNumbersRunInStepsOfTwo) {
  std::string out;
  NcText nc(out, true, 0, 0);
  nc.Numbered("G90");
  nc.Line();
  nc.Put('X');
  nc.PutNumber(12.5, false);
  nc.Put("M5");
  nc.EndLine();
  nc.Plain("INCH");
  nc.Numbered("M30");
  EXPECT_EQ(nc.out(), "N2G90\r\nN4X12.5M5\r\nINCH\r\nN6M30\r\n");
}

TEST(NcText, LineNumbersCarryAcrossDigits) {
  for (int start : {0, -2, 96, 9990}) {
    std::string out, expected;
    NcText nc(out, true, 0, 0);
    nc.SetNumbering(start, start < 0 ? ": " : "");
    for (int n = start + 2; n <= start + 2400; n += 2) {
      nc.Numbered("G");
      expected += "N" + std::to_string(n) + (start < 0 ? ": " : "") + "G\r\n";
    }
    ASSERT_EQ(nc.out(), expected) << start;
  }
}

TEST(NcText, WithoutNumbersTheCounterStillAdvances) {
  std::string out;
  NcText nc(out, false, 0, 0);
  nc.Numbered("G90");
  nc.Numbered("G91");
  EXPECT_EQ(nc.counter(), 4);
  EXPECT_EQ(Lf(nc.out()), "G90\nG91\n");
}

TEST(NcText, ClipperNumbersFromZeroWithColon) {
  std::string out;
  NcText nc(out, true, 0, 0);
  nc.SetNumbering(-2, ": ");
  nc.Numbered("SHEAR(0, 10)");
  nc.Numbered("MOVE(X,  162.4)");
  EXPECT_EQ(Lf(nc.out()), "N0: SHEAR(0, 10)\nN2: MOVE(X,  162.4)\n");
}

TEST(NcText, PutFHandlesLongTexts) {
  std::string out;
  NcText nc(out, false, 0, 0);
  const std::string long_text(2000, 'a');
  nc.PutF("<%s>", long_text.c_str());
  EXPECT_EQ(nc.out(), "<" + long_text + ">");
}
