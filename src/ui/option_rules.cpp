#include "ui/option_rules.h"

#include "base/text.h"
#include "cam/length_text.h"

namespace {

constexpr std::size_t kQuotedChars = 24;  // of a long text, the reason quotes its start

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllOf(std::string_view text, std::string_view allowed) {
  return text.find_first_not_of(allowed) == std::string_view::npos;
}

std::size_t SkipDigits(std::string_view s, std::size_t i) {
  while (i < s.size() && IsDigit(s[i])) ++i;
  return i;
}

// True when more typing can still make a decimal number of text (blanks
// around it aside): sign? digits? (. digits?)? (e sign? digits?)?
bool DecimalPrefix(std::string_view text) {
  std::string_view s = Trim(text);
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  i = SkipDigits(s, i);
  if (i < s.size() && s[i] == '.') i = SkipDigits(s, i + 1);
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    i = SkipDigits(s, i);
  }
  return i == s.size();
}

std::string Quoted(std::string_view text) {
  if (text.size() > kQuotedChars) return "\"" + std::string(text.substr(0, kQuotedChars)) + "...\"";
  return "\"" + std::string(text) + "\"";
}

FieldCheck Usable() { return {}; }
FieldCheck Unusable(std::string_view text, const std::string& why) {
  return {FieldState::kUnusable, Quoted(text) + " cannot be used: " + why};
}
FieldCheck Refused(std::string_view text, const std::string& why) {
  return {FieldState::kRefused, Quoted(text) + " cannot be used: " + why};
}

// The sizes of the punching units are read in the program's unit: `Unite`
// 1 millimetres, 2 inches, otherwise the job file's unit.
bool SizesMayBeInches(int unite) { return unite != 1; }

const char kCommaInRow[] =
    "a comma cannot stand in a punching unit row; write a decimal point (22.5).";
const char kDecimalComma[] = "write a decimal point, not a comma (12.5).";
const char kSizeForm[] =
    "a size is a length (22) or a slot size: width X length - angle (22X60-45).";

// A length of a unit size above 0, in the unit the sizes are read in.
// Empty reason when it is one.
std::string SizePart(std::string_view part, int unite, const char* missing) {
  part = Trim(part);
  if (part.empty()) return missing;
  double mm = 0;
  if (!cam::ReadLength(part, SizesMayBeInches(unite), &mm)) return kSizeForm;
  if (!(mm > 0)) return "a size is above 0.";
  return {};
}

// What the unit size parser reads (ParseUnitSize): a length, or the width,
// "X", the length and, behind the first "-" after the "X", the angle.
FieldCheck CheckUnitSize(std::string_view text, int unite) {
  if (text.find(',') != std::string_view::npos) return Refused(text, kCommaInRow);
  if (!AllOf(text, "0123456789.+-/ \tXxeE")) return Refused(text, kSizeForm);
  std::string_view s = Trim(text);
  std::size_t x = s.find_first_of("Xx");
  if (x != std::string_view::npos && s.find_first_of("Xx", x + 1) != std::string_view::npos)
    return Refused(text, kSizeForm);
  if (s.empty()) return Usable();
  if (x == std::string_view::npos) {
    std::string why = SizePart(s, unite, kSizeForm);
    return why.empty() ? Usable() : Unusable(text, why);
  }
  std::size_t dash = s.find('-', x + 1);
  std::string_view length = s.substr(x + 1, dash == std::string_view::npos ? s.npos : dash - x - 1);
  std::string why =
      SizePart(s.substr(0, x), unite, "the slot's width is missing before the X (22X60-45).");
  if (why.empty())
    why = SizePart(length, unite, "the slot's length is missing after the X (22X60-45).");
  if (dash != std::string_view::npos && !DecimalPrefix(s.substr(dash + 1)))
    return Refused(text, kSizeForm);  // "22X60-4-", "22X60-45X"
  if (why.empty() && dash != std::string_view::npos) {
    std::string_view angle_text = Trim(s.substr(dash + 1));
    double angle = 0;
    if (angle_text.empty())
      why = "the slot's angle is missing after the - (22X60-45).";
    else if (!cam::ReadDecimal(angle_text, &angle))
      why = kSizeForm;
    else if (angle < 0 || angle >= 180)
      why = "a slot's angle is from 0 up to, not including, 180 degrees.";
  }
  return why.empty() ? Usable() : Unusable(text, why);
}

FieldCheck CheckNumber(std::string_view text, const char* form) {
  if (Trim(text).empty()) return Usable();
  if (text.find(',') != std::string_view::npos) return Refused(text, kDecimalComma);
  if (!DecimalPrefix(text)) return Refused(text, form);
  double value = 0;
  if (!cam::ReadDecimal(text, &value)) return Unusable(text, form);
  return Usable();
}

}  // namespace

FieldCheck CheckOptionField(OptionField field, std::string_view text, int unite) {
  switch (field) {
    case OptionField::kLevel:
      if (text.empty() || text == "1" || text == "2") return Usable();
      return Refused(text, "a punching unit's level is 1 (FL), 2 (NL) or empty (no unit).");
    case OptionField::kAxisCode:
      if (text.find(',') != std::string_view::npos) return Refused(text, kCommaInRow);
      if (text.size() > 2) return Refused(text, "a Y axis code has at most two characters (Y1).");
      return Usable();
    case OptionField::kMFunction:
      for (char c : text)
        if (!IsDigit(c))
          return Refused(text, "an M function is written in digits only (12 for M12).");
      return Usable();
    case OptionField::kUnitSize:
      return CheckUnitSize(text, unite);
    case OptionField::kLength:
      return CheckNumber(text, "a length is a number of millimetres (12.5).");
    case OptionField::kNumber:
      return CheckNumber(text, "the value is a number (1.5).");
  }
  return Usable();
}

std::string OptionFieldUnit(OptionField field, int unite) {
  switch (field) {
    case OptionField::kUnitSize:
      return unite == 1 ? "mm" : unite == 2 ? "inch" : "mm or inch";
    case OptionField::kLength:
      return "mm";
    default:
      return {};
  }
}

std::string OptionFieldHint(OptionField field, int unite) {
  switch (field) {
    case OptionField::kLevel:
      return "1 (FL, first level), 2 (NL, second level), or empty for a unit that is not used";
    case OptionField::kAxisCode:
      return "At most two characters (Y1)";
    case OptionField::kMFunction:
      return "Digits only (12 for M12)";
    case OptionField::kUnitSize: {
      std::string unit =
          unite == 1   ? "millimetres"
          : unite == 2 ? "inches"
                       : "the job file's unit (millimetres, or inches for a job in inches)";
      return "A length in " + unit +
             " (22), or a slot size: width X length - angle in degrees (22X60-45)";
    }
    case OptionField::kLength:
      return "A number of millimetres (12.5)";
    case OptionField::kNumber:
      return "A number (1.5)";
  }
  return {};
}
