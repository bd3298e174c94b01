#include "output/nc_text.h"

#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

std::size_t FormatNumberTo(char* buf, double value, bool x_flag, int inch, double off_r99) {
  const bool in_inches = inch != 0;
  double v = in_inches ? value / 25.4 : value;
  // Written as a division by (10 / r) to round exactly like the controls'
  // own post-processors always did.
  if (x_flag && off_r99 > 0) v = v / (10 / off_r99);
  const int decimals = in_inches ? 4 : 3;
  // to_chars in fixed notation rounds exactly like printf("%0.*f").
  auto [end, ec] = std::to_chars(buf, buf + kNumberBufferSize - 1, v, std::chars_format::fixed,
                                 decimals);
  // The buffer holds the longest double with four decimals, so to_chars
  // cannot run short.
  std::size_t n = ec == std::errc() ? static_cast<std::size_t>(end - buf) : 0;
  if (!in_inches && n > 1 && std::memchr(buf + 1, '.', n - 1) != nullptr) {
    while (n > 0 && buf[n - 1] == '0') --n;
    if (n > 0 && buf[n - 1] == '.') --n;
  }
  buf[n] = '\0';
  return n;
}

std::string FormatNumber(double value, bool x_flag, int inch, double off_r99) {
  char buf[kNumberBufferSize];
  return std::string(buf, FormatNumberTo(buf, value, x_flag, inch, off_r99));
}

void NcText::Line() {
  counter_ += 2;
  if (!numbering_) return;
  out_.push_back('N');
  PutInt(counter_);
  out_.append(after_number_);
}

void NcText::PutInt(long long value) {
  char buf[24];
  auto result = std::to_chars(buf, buf + sizeof buf, value);
  out_.append(buf, result.ptr);
}

void NcText::PutNumber(double value, bool x) {
  char buf[kNumberBufferSize];
  out_.append(buf, FormatNumberTo(buf, value, x, inch_, off_r99_));
}

void NcText::PutF(const char* format, ...) {
  char buf[512];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(buf, sizeof buf, format, args);
  va_end(args);
  if (n < 0) return;
  if (static_cast<std::size_t>(n) < sizeof buf) {
    out_.append(buf, static_cast<std::size_t>(n));
    return;
  }
  std::vector<char> big(static_cast<std::size_t>(n) + 1);
  va_start(args, format);
  std::vsnprintf(big.data(), big.size(), format, args);
  va_end(args);
  out_.append(big.data(), static_cast<std::size_t>(n));
}
