// Numbers and lengths as the job file writes them: decimal numbers, and in
// inch records also fractions of an inch. Lengths are always millimetres
// inside the library; the unit only matters in text.
#ifndef BARPOST_CAM_LENGTH_TEXT_H_
#define BARPOST_CAM_LENGTH_TEXT_H_

#include <string>
#include <string_view>

namespace cam {

inline constexpr double kMmPerInch = 25.4;

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
