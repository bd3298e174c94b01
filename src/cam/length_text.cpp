#include "cam/length_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <numeric>

#include "base/text.h"

namespace cam {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::size_t SkipDigits(std::string_view s, std::size_t i) {
  while (i < s.size() && IsDigit(s[i])) ++i;
  return i;
}

// True when s (no blanks) is exactly: sign? (digits [. digits?] | . digits)
// exponent?, the decimal form the job file allows (no "inf", "nan", hex).
bool IsDecimalForm(std::string_view s) {
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t int_end = SkipDigits(s, i);
  bool digits = int_end > i;
  i = int_end;
  if (i < s.size() && s[i] == '.') {
    std::size_t frac_end = SkipDigits(s, i + 1);
    digits = digits || frac_end > i + 1;
    i = frac_end;
  }
  if (!digits) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t exp_end = SkipDigits(s, i);
    if (exp_end == i) return false;
    i = exp_end;
  }
  return i == s.size();
}

// An unsigned run of digits as a double (fractions of an inch).
bool ReadDigits(std::string_view s, double* value) {
  if (s.empty() || SkipDigits(s, 0) != s.size()) return false;
  return ReadDecimal(s, value);
}

// "num/den", both plain digit runs, den not 0.
bool ReadFraction(std::string_view s, double* value) {
  std::size_t slash = s.find('/');
  if (slash == std::string_view::npos) return false;
  double num = 0;
  double den = 0;
  if (!ReadDigits(s.substr(0, slash), &num) || !ReadDigits(s.substr(slash + 1), &den) || den == 0)
    return false;
  *value = num / den;
  return true;
}

// Inch fractions: "7/8", "1-3/16", "1 3/16" (blanks between the whole and
// the fraction), without the sign.
bool ReadInchFraction(std::string_view s, double* value) {
  if (ReadFraction(s, value)) return true;
  std::size_t whole_end = SkipDigits(s, 0);
  if (whole_end == 0 || whole_end == s.size()) return false;
  std::size_t frac = whole_end;
  if (s[frac] == '-') {
    ++frac;
  } else {
    while (frac < s.size() && IsBlank(s[frac])) ++frac;
    if (frac == whole_end) return false;
  }
  double whole = 0;
  double part = 0;
  if (!ReadDigits(s.substr(0, whole_end), &whole) || !ReadFraction(s.substr(frac), &part))
    return false;
  *value = whole + part;
  return std::isfinite(*value);
}

std::string DropTrailingZeros(std::string s) {
  if (s.find('.') != std::string::npos) {
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
  }
  if (s == "-0") s = "0";
  return s;
}

std::string SixteenthsText(long long sixteenths) {
  if (sixteenths == 0) return "0";
  std::string sign = sixteenths < 0 ? "-" : "";
  unsigned long long n = static_cast<unsigned long long>(std::llabs(sixteenths));
  unsigned long long whole = n / 16;
  unsigned long long num = n % 16;
  if (num == 0) return sign + std::to_string(whole);
  unsigned long long den = 16;
  unsigned long long g = std::gcd(num, den);
  num /= g;
  den /= g;
  std::string fraction = std::to_string(num) + "/" + std::to_string(den);
  if (whole == 0) return sign + fraction;
  return sign + std::to_string(whole) + " " + fraction;
}

}  // namespace

bool ReadDecimal(std::string_view text, double* value) {
  *value = 0;
  if (ReadPlainDecimal(text, value)) return true;  // no blanks around it either
  std::string_view s = Trim(text);
  if (ReadPlainDecimal(s, value)) return true;
  if (!IsDecimalForm(s)) return false;
  if (s.front() == '+') s.remove_prefix(1);
  double v = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
  if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) return false;
  *value = v;
  return true;
}

double NumberOf(std::string_view text) {
  double v = 0;
  ReadDecimal(text, &v);
  return v;
}

long long WholeOf(std::string_view text, long long low, long long high) {
  double v = std::trunc(NumberOf(text));
  if (v <= static_cast<double>(low)) return low;
  if (v >= static_cast<double>(high)) return high;
  return static_cast<long long>(v);
}

bool ReadLength(std::string_view text, bool inch, double* mm) {
  *mm = 0;
  double v = 0;
  if (ReadDecimal(text, &v)) {
    double result = inch ? v * kMmPerInch : v;
    if (!std::isfinite(result)) return false;
    *mm = result;
    return true;
  }
  if (!inch) return false;
  std::string_view s = Trim(text);
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (!ReadInchFraction(s, &v)) return false;
  double result = (negative ? -v : v) * kMmPerInch;
  if (!std::isfinite(result)) return false;
  *mm = result;
  return true;
}

double LengthOf(std::string_view text, bool inch) {
  double mm = 0;
  ReadLength(text, inch, &mm);
  return mm;
}

std::string LengthText(double mm, bool inch) {
  if (!std::isfinite(mm)) mm = 0;
  if (!inch) return DropTrailingZeros(FixedText(mm, 2));
  double in = mm / kMmPerInch;
  if (std::fabs(in) < 1e14) {
    long long sixteenths = std::llround(in * 16);
    if (std::fabs(in - static_cast<double>(sixteenths) / 16) <= 0.001 + 1e-12)
      return SixteenthsText(sixteenths);
  }
  return DropTrailingZeros(FixedText(in, 4));
}

std::string ExactText(double value) {
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  if (ec != std::errc()) return "0";
  return std::string(buffer, end);
}

}  // namespace cam
