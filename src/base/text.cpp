#include "base/text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {

// The blanks atof and atoi skip before a number, in the C locale.
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The text after leading blanks and an optional '+' (from_chars takes a
// '-' itself but no '+').
std::string_view NumberStart(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  text.remove_prefix(i);
  if (!text.empty() && text.front() == '+' && (text.size() < 2 || text[1] != '-'))
    text.remove_prefix(1);
  return text;
}

}  // namespace

double ToDouble(std::string_view text) {
  text = NumberStart(text);
  double v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v,
                                   std::chars_format::general);
  (void)end;
  if (ec != std::errc()) return 0.0;
  return std::isfinite(v) ? v : 0.0;
}

int ToInt(std::string_view text) {
  text = NumberStart(text);
  bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  long long v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    v = v * 10 + (c - '0');
    if (v > 1LL << 32) break;  // beyond any int either way
  }
  if (negative) v = -v;
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

std::string FixedText(double value, int decimals) {
  char buf[400];  // the longest double in fixed notation with 6 decimals fits
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed,
                                 decimals < 0 ? 0 : decimals > 6 ? 6 : decimals);
  if (ec != std::errc()) return std::string();
  return std::string(buf, end);
}

std::string IntText(long long value) {
  char buf[24];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  (void)ec;
  return std::string(buf, end);
}

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  char small[256];
  int n = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  std::string out;
  if (n < 0) {
    va_end(copy);
    return out;
  }
  if (static_cast<std::size_t>(n) < sizeof small) {
    out.assign(small, static_cast<std::size_t>(n));
  } else {
    std::vector<char> big(static_cast<std::size_t>(n) + 1);
    std::vsnprintf(big.data(), big.size(), format, copy);
    out.assign(big.data(), static_cast<std::size_t>(n));
  }
  va_end(copy);
  return out;
}

std::string FileNameOnly(std::string_view name) {
  std::string out(name);
  for (char& c : out) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F || std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos)
      c = '_';
  }
  if (!out.empty() && out.find_first_not_of('.') == std::string::npos)
    std::fill(out.begin(), out.end(), '_');
  return out;
}

std::string_view Trim(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  std::size_t first = 0, last = text.size();
  while (first < last && blank(text[first])) ++first;
  while (last > first && blank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

char UpperCase1252(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7))
    return static_cast<char>(u - 0x20);
  switch (u) {
    case 0x9A: return static_cast<char>(0x8A);  // s with caron
    case 0x9C: return static_cast<char>(0x8C);  // oe
    case 0x9E: return static_cast<char>(0x8E);  // z with caron
    case 0xFF: return static_cast<char>(0x9F);  // y with diaeresis
    default: return c;
  }
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}
