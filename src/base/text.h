// Number conversions and formatting shared by every subsystem.
#ifndef BARPOST_BASE_TEXT_H_
#define BARPOST_BASE_TEXT_H_

#include <string>
#include <string_view>

// Numbers are read and written the same way whatever locale the host
// process has set: a decimal point, never a comma.

// The decimal number at the start of text, as atof reads it in the C locale
// (leading blanks skipped, the rest ignored; hexadecimal is not read). Text
// that is not a number reads as 0, and so does a value that is not finite
// ("nan", "inf", 1e999): no coordinate of a program may come out as NaN.
double ToDouble(std::string_view text);

// The whole number at the start of text, as atoi reads it. Text that is not a
// number reads as 0; a number too large for an int saturates.
int ToInt(std::string_view text);

// value with exactly `decimals` decimals (0 to 6), rounded as printf's
// "%0.*f" does in the C locale.
std::string FixedText(double value, int decimals);
// A whole number as text.
std::string IntText(long long value);

// printf into a std::string. For texts and whole numbers only: the formats of
// fractions follow the process locale.
std::string Format(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// name made a plain file name that stays in its folder on every system:
// each '/', '\\', ':', control character and character Windows refuses in a
// file name ('*', '?', '"', '<', '>', '|') becomes '_', and a name made of
// dots only ("." or "..") has every dot made '_'.
std::string FileNameOnly(std::string_view name);

// Text with leading and trailing blanks (space, tab, CR, LF) removed.
std::string_view Trim(std::string_view text);

// The capital of c in the hosts' 8-bit code page (Windows-1252): a-z, the
// accented small letters 0xE0-0xFE but the division sign, and the small
// s, oe and z with caron and y with diaeresis; c itself otherwise.
char UpperCase1252(char c);

// Case-insensitive comparison of two ASCII texts.
bool EqualsNoCase(std::string_view a, std::string_view b);

#endif  // BARPOST_BASE_TEXT_H_
