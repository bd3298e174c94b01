// Numbers and lengths as the job file writes them: decimal numbers, and in
// inch records also fractions of an inch. Lengths are always millimetres
// inside the library; the unit only matters in text.
#ifndef BARPOST_CAM_LENGTH_TEXT_H_
#define BARPOST_CAM_LENGTH_TEXT_H_

#include <string>
#include <string_view>

namespace cam {

inline constexpr double kMmPerInch = 25.4;

// The common plain decimals ("40", "-62.5", "0.15") of at most 15 digits,
// nothing around them: the digits make a whole number below 2^53 and the
// power of ten is exact, so one division gives the correctly rounded value,
// the same that from_chars gives. False for any other form.
inline bool ReadPlainDecimal(std::string_view s, double* value) {
  static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  std::size_t i = 0;
  const bool negative = !s.empty() && s[0] == '-';
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) ++i;
  unsigned long long digits = 0;
  int count = 0;
  int decimals = -1;  // digits after the point, -1 before it
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (c >= '0' && c <= '9') {
      digits = digits * 10 + static_cast<unsigned long long>(c - '0');
      if (++count > 15) return false;
      if (decimals >= 0) ++decimals;
    } else if (c == '.' && decimals < 0) {
      decimals = 0;
    } else {
      return false;
    }
  }
  if (count == 0) return false;
  double v = static_cast<double>(digits);
  if (decimals > 0) v /= kPowers[decimals];
  *value = negative ? -v : v;
  return true;
}

// Reads a decimal number ("12", "-30.5", "+.5", "1e2"), blanks around it
// allowed. False when the whole text is not such a number or its value does
// not fit a double; *value is then 0.
bool ReadDecimal(std::string_view text, double* value);

// The decimal number of text, 0 when it is not one.
double NumberOf(std::string_view text);

// A whole number: the decimal number of text truncated toward zero and held
// within [low, high]; 0 when the text is not a number.
long long WholeOf(std::string_view text, long long low, long long high);

// Reads a length written in millimetres (inch false) or inches (inch true)
// and returns millimetres. Inches may be written as fractions: "7/8",
// "1-3/16", "1 3/16", each with an optional sign. False (and 0) when the text
// is not a length.
bool ReadLength(std::string_view text, bool inch, double* mm);
double LengthOf(std::string_view text, bool inch);

// Display text of a length given in millimetres. Millimetres: at most two
// decimals, trailing zeros and point dropped ("2500", "20.5"). Inches: the
// nearest sixteenth as a fraction ("7/8", "1 3/16", "12") when the value lies
// within 0.001 in of it, otherwise at most four decimals. Never "-0".
std::string LengthText(double mm, bool inch);

// The shortest decimal text that reads back as exactly the same double.
std::string ExactText(double value);

}  // namespace cam

#endif  // BARPOST_CAM_LENGTH_TEXT_H_
