// The three primitives every line of an NC program goes through: the line
// writer (line numbers), the number formatter (unit, X scaling, decimals) and
// plain appends. Comments depend on the control and live with the control
// writers. All text is built in one string; lines end with CR LF because the
// controls expect it whatever platform wrote the file.
#ifndef BARPOST_OUTPUT_NC_TEXT_H_
#define BARPOST_OUTPUT_NC_TEXT_H_

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

// Largest text FormatNumberTo can produce (the largest double in fixed notation).
inline constexpr std::size_t kNumberBufferSize = 400;

// Formats a length in millimetres for the program: inches with 4 decimals
// (value / 25.4), millimetres with 3 decimals and trailing zeros and dot cut.
// With x_flag and off_r99 > 0 the value is scaled by off_r99 / 10 (the X
// axis of machines whose X counts in other steps). Writes into buf (at least
// kNumberBufferSize characters) and returns the length.
std::size_t FormatNumberTo(char* buf, double value, bool x_flag, int inch, double off_r99);
std::string FormatNumber(double value, bool x_flag, int inch, double off_r99);

// The line writer. Text is gathered in a buffer of the writer's own and
// goes to `out` a few kilobytes at a time, when the writer is destroyed and
// whenever out() is asked for, so the many short words of a line cost no
// call each.
class NcText {
 public:
  // numbering: the option Ligne is on. inch: 1 for a program in inches.
  // off_r99: the X scaling factor (0 or less: none).
  NcText(std::string& out, bool numbering, int inch, double off_r99)
      : out_(out), numbering_(numbering), inch_(inch), off_r99_(off_r99) {}
  ~NcText() { Spill(); }
  NcText(const NcText&) = delete;
  NcText& operator=(const NcText&) = delete;

  // The counter value before the first numbered line and the text put
  // between a line number and the line ("" or ": ").
  void SetNumbering(int counter, std::string_view after_number) {
    counter_ = counter;
    after_number_ = after_number;
    counter_text_len_ = 0;
  }

  // Starts a numbered line: the counter grows by 2 whether or not numbers
  // are written, so jump targets computed from it stay right.
  void Line();
  // Text appended to the current line.
  void Put(std::string_view text) {
    const std::size_t n = text.size();
    if (n > kShort) return PutLong(text);
    if (kRoom - len_ < kShort) Spill();
    char* to = buffer_ + len_;
    const char* from = text.data();
    // Short words in at most two moves of fixed size, which the compiler
    // makes plain loads and stores.
    if (n >= 8) {
      std::memcpy(to, from, 8);
      std::memcpy(to + n - 8, from + n - 8, 8);
    } else if (n >= 4) {
      std::memcpy(to, from, 4);
      std::memcpy(to + n - 4, from + n - 4, 4);
    } else {
      for (std::size_t i = 0; i < n; ++i) to[i] = from[i];
    }
    len_ += n;
  }
  void Put(char c) {
    if (len_ == kRoom) Spill();
    buffer_[len_++] = c;
  }
  // count times the character c.
  void Put(std::size_t count, char c) {
    for (std::size_t i = 0; i < count; ++i) Put(c);
  }
  void PutInt(long long value);
  // A formatted length; x: the X scaling applies.
  void PutNumber(double value, bool x);
  // printf-style append for the rare formats with widths or decimals.
  void PutF(const char* format, ...)
#if defined(__GNUC__)
      __attribute__((format(printf, 2, 3)))
#endif
      ;
  void EndLine() { Put("\r\n"); }

  // Whole lines: numbered, and unnumbered.
  void Numbered(std::string_view text) {
    Line();
    Put(text);
    EndLine();
  }
  void Plain(std::string_view text) {
    Put(text);
    EndLine();
  }

  std::string Number(double value, bool x) const {
    return FormatNumber(value, x, inch_, off_r99_);
  }
  int counter() const { return counter_; }
  // Characters written so far.
  std::size_t size() const { return out_.size() + len_; }
  // Everything written so far, the current line included.
  std::string& out() {
    Spill();
    return out_;
  }

 private:
  static constexpr std::size_t kShort = 16;
  static constexpr std::size_t kRoom = 8192;

  void Spill() {
    out_.append(buffer_, len_);
    len_ = 0;
  }
  void PutLong(std::string_view text) {
    Spill();
    out_.append(text);
  }

  std::string& out_;
  bool numbering_;
  int inch_;
  double off_r99_;
  int counter_ = 0;
  std::string_view after_number_;
  char buffer_[kRoom];
  std::size_t len_ = 0;
  // The decimal digits of counter_, kept up to date by Line (0: none yet).
  char counter_text_[16] = {};
  std::size_t counter_text_len_ = 0;
};

#endif  // BARPOST_OUTPUT_NC_TEXT_H_
