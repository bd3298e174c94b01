#include "output/nc_text.h"

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// v with 3 (millimetres) or 4 (inches) decimals as printf("%0.*f") writes
// it, millimetres without trailing zeros and dot, for the values of a
// program (below 2^44 thousandths): the number of characters, or 0 when v
// lies too near the middle between two last digits to tell the rounding
// from its product with the scale, or is too large.
//
// p = v * scale is within 2^-9 of the exact product; when p is more than
// 2^-8 away from the middle between two whole numbers, the exact product
// rounds to the same whole number as p, as printf rounds it.
std::size_t FixedDigits(char* buf, double v, bool inches) {
  const double p = v * (inches ? 1e4 : 1e3);
  if (!(std::fabs(p) < 0x1p44)) return 0;
  const long long r = static_cast<long long>(p + (p < 0 ? -0.5 : 0.5));
  if (!(std::fabs(p - static_cast<double>(r)) <= 0.5 - 0x1p-8)) return 0;
  const unsigned long long a = static_cast<unsigned long long>(r < 0 ? -r : r);
  // Constant divisors, which the compiler turns into multiplications.
  const unsigned long long whole = inches ? a / 10000 : a / 1000;
  unsigned fraction = static_cast<unsigned>(inches ? a % 10000 : a % 1000);
  char* out = buf;
  if (std::signbit(v)) *out++ = '-';  // printf writes -0.000 too
  out = std::to_chars(out, buf + 32, whole).ptr;
  int decimals = inches ? 4 : 3;
  if (!inches) {
    // Millimetres: trailing zeros and then the dot are left out.
    while (decimals > 0 && fraction % 10 == 0) {
      fraction /= 10;
      --decimals;
    }
  }
  if (decimals > 0) {
    *out++ = '.';
    for (int d = decimals - 1; d >= 0; --d, fraction /= 10)
      out[d] = static_cast<char>('0' + fraction % 10);
    out += decimals;
  }
  *out = '\0';
  return static_cast<std::size_t>(out - buf);
}

}  // namespace

std::size_t FormatNumberTo(char* buf, double value, bool x_flag, int inch, double off_r99) {
  const bool in_inches = inch != 0;
  double v = in_inches ? value / 25.4 : value;
  // Written as a division by (10 / r) to round exactly like the controls'
  // own post-processors always did.
  if (x_flag && off_r99 > 0) v = v / (10 / off_r99);
  if (std::size_t n = FixedDigits(buf, v, in_inches)) return n;
  // to_chars in fixed notation rounds exactly like printf("%0.*f"). The
  // buffer holds the longest double with four decimals, so it cannot run
  // short.
  auto [end, ec] = std::to_chars(buf, buf + kNumberBufferSize - 1, v, std::chars_format::fixed,
                                 in_inches ? 4 : 3);
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
  const int previous = counter_;
  counter_ += 2;
  if (!numbering_) return;
  if (counter_text_len_ > 0 && previous >= 0 && counter_text_[counter_text_len_ - 1] < '8') {
    counter_text_[counter_text_len_ - 1] += 2;  // the digits of the previous number, plus 2
  } else if (counter_text_len_ > 0 && previous >= 0 && counter_ > 0) {
    // Add 2 to the digits of the previous number.
    std::size_t i = counter_text_len_;
    int carry = 2;
    while (carry != 0 && i > 0) {
      const int digit = counter_text_[--i] - '0' + carry;
      counter_text_[i] = static_cast<char>('0' + digit % 10);
      carry = digit / 10;
    }
    if (carry != 0) {
      std::memmove(counter_text_ + 1, counter_text_, counter_text_len_++);
      counter_text_[0] = static_cast<char>('0' + carry);
    }
  } else {
    auto result = std::to_chars(counter_text_, counter_text_ + sizeof counter_text_, counter_);
    counter_text_len_ = static_cast<std::size_t>(result.ptr - counter_text_);
  }
  if (kRoom - len_ < sizeof counter_text_ + 1) Spill();
  char* to = buffer_ + len_;
  to[0] = 'N';
  // Character by character: the digits were just written so, and a wider
  // load of them would wait for those writes.
  for (std::size_t i = 0; i < counter_text_len_; ++i) to[1 + i] = counter_text_[i];
  len_ += 1 + counter_text_len_;
  if (!after_number_.empty()) Put(after_number_);
}

void NcText::PutInt(long long value) {
  char buf[24];
  auto result = std::to_chars(buf, buf + sizeof buf, value);
  Put(std::string_view(buf, static_cast<std::size_t>(result.ptr - buf)));
}

void NcText::PutNumber(double value, bool x) {
  if (kRoom - len_ < kNumberBufferSize) Spill();
  len_ += FormatNumberTo(buffer_ + len_, value, x, inch_, off_r99_);
}

void NcText::PutF(const char* format, ...) {
  Spill();
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
