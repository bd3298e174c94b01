#include "output/nc_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "output/output_test_util.h"

// Only the X axis is scaled, by Off_R99 / 10, and only for an Off_R99 above 0.
TEST(FormatNumber, XScalingAndHugeValues) {
  EXPECT_EQ(FormatNumber(100, true, 0, 5), "50");
  EXPECT_EQ(FormatNumber(254, true, 1, 5), "5.0000");
  EXPECT_EQ(FormatNumber(100, false, 0, 5), "100");
  EXPECT_EQ(FormatNumber(100, true, 0, 0), "100");
  EXPECT_EQ(FormatNumber(100, true, 0, -3), "100");
  EXPECT_EQ(FormatNumber(1e308, false, 0, 0).size(), 309u);
  EXPECT_EQ(FormatNumber(-1.7976931348623157e308, false, 1, 0).size(), 1u + 307 + 1 + 4);
}

// The same digits as printf, which the machines' programs were always
// written with: exact binary ties (k / 2048), coordinates as jobs make them,
// values a hair off a tie, and numbers up to where no shortcut applies.
TEST(FormatNumber, RoundsLikePrintf) {
  std::vector<double> values = {0.0, -0.0, 0.0625, -0.0625, 0.00005, 1e13, 1.5e13, 1e300};
  for (int k = -20000; k <= 20000; k += 7)
    for (double v : {k / 2048.0, k * 0.1234567, k * 25.4 / 3}) values.push_back(v);
  std::mt19937_64 rng(5);
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

// Line numbers run in steps of two across any number of digits, with the
// text after the number the control wants; without numbers the counter
// still advances, for the jump targets. Words of every length arrive whole.
TEST(NcText, LinesArriveWhole) {
  for (int start : {0, -2, 96, 9990}) {
    for (bool numbering : {true, false}) {
      std::string out, expected;
      NcText nc(out, numbering, 0, 0);
      nc.SetNumbering(start, start < 0 ? ": " : "");
      for (int n = start + 2, length = 0; n <= start + 2400; n += 2, ++length) {
        std::string word;
        for (int i = 0; i < length; ++i) word += static_cast<char>('a' + (i * 7 + n) % 26);
        nc.Line();
        nc.Put('X');
        nc.PutNumber(12.5, false);
        nc.Put(word);
        nc.PutF("<%s>", word.c_str());
        nc.EndLine();
        nc.Plain("INCH");
        expected += (numbering ? "N" + std::to_string(n) + (start < 0 ? ": " : "") : "") + "X12.5" +
                    word + "<" + word + ">\nINCH\n";
      }
      ASSERT_EQ(Lf(nc.out()), expected) << start;
      EXPECT_EQ(nc.counter(), start + 2400);
    }
  }
}
