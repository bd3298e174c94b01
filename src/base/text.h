// Number conversions and formatting shared by every subsystem.
#ifndef BARPOST_BASE_TEXT_H_
#define BARPOST_BASE_TEXT_H_

#include <string>
#include <string_view>

// The decimal number at the start of text, as atof reads it (leading blanks
// skipped, the rest ignored). Text that is not a number reads as 0, and so
// does a value that is not finite ("nan", "inf", 1e999): no coordinate of a
// program may come out as NaN.
double ToDouble(std::string_view text);

// The whole number at the start of text, as atoi reads it. Text that is not a
// number reads as 0; a number too large for an int saturates.
int ToInt(std::string_view text);

// printf into a std::string.
std::string Format(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Text with leading and trailing blanks (space, tab, CR, LF) removed.
std::string_view Trim(std::string_view text);

// Case-insensitive comparison of two ASCII texts.
bool EqualsNoCase(std::string_view a, std::string_view b);

#endif  // BARPOST_BASE_TEXT_H_
