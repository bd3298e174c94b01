#include "ui/option_rules.h"

#include <string>

#include <gtest/gtest.h>

namespace {

constexpr FieldState kOk = FieldState::kUsable;
constexpr FieldState kMark = FieldState::kUnusable;
constexpr FieldState kRefuse = FieldState::kRefused;

TEST(OptionRulesTest, FieldsAsTheMachineReadsThem) {
  using F = OptionField;
  struct Case {
    OptionField field;
    const char* text;
    int unite;
    FieldState state;
    const char* reason_part;  // a piece of the reason, "" for no reason
  };
  const Case cases[] = {
      {F::kLevel, "", 0, kOk, ""}, {F::kLevel, "1", 0, kOk, ""}, {F::kLevel, "2", 0, kOk, ""},
      {F::kLevel, "3", 0, kRefuse, "1 (FL), 2 (NL) or empty"}, {F::kLevel, " 1", 0, kRefuse, ""},
      {F::kLevel, "12", 0, kRefuse, "\"12\""}, {F::kMFunction, "", 0, kOk, ""},
      {F::kMFunction, "0125", 0, kOk, ""}, {F::kMFunction, "M12", 0, kRefuse, "digits only"},
      {F::kMFunction, "1 2", 0, kRefuse, ""},
      {F::kMFunction, "XMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM", 0, kRefuse,  // quoted by its start
       "\"XMMMMMMMMMMMMMMMMMMMMMMM...\" cannot be used: "},
      {F::kMFunction, "XMMMMMMMMMMMMMMMMMMMMMMM", 0, kRefuse,
       "\"XMMMMMMMMMMMMMMMMMMMMMMM\" cannot"},
      {F::kAxisCode, "Y1", 0, kOk, ""}, {F::kAxisCode, "", 0, kOk, ""},
      {F::kAxisCode, "Y12", 0, kRefuse, "at most two characters"},
      {F::kAxisCode, "Y,", 0, kRefuse, "comma"},  // it would split the unit row
      // Sizes: a length, or width X length - angle, as the unit row is parsed.
      {F::kUnitSize, "", 1, kOk, ""}, {F::kUnitSize, " 22.5 ", 1, kOk, ""},
      {F::kUnitSize, "22X60-45", 1, kOk, ""}, {F::kUnitSize, "22x60", 1, kOk, ""},
      {F::kUnitSize, "22X60-179.9", 1, kOk, ""}, {F::kUnitSize, "22,5", 1, kRefuse, "comma"},
      {F::kUnitSize, "22mm", 1, kRefuse, "22X60-45"}, {F::kUnitSize, "22X60X5", 1, kRefuse, ""},
      {F::kUnitSize, "22X", 1, kMark, "length is missing"},
      {F::kUnitSize, "X60", 1, kMark, "width is missing"},
      {F::kUnitSize, "22X60-", 1, kMark, "angle is missing"},
      {F::kUnitSize, "22X60-180", 1, kMark, "180 degrees"},
      {F::kUnitSize, "22X60--30", 1, kMark, "180 degrees"},
      {F::kUnitSize, "22X60-4-", 1, kRefuse, ""},  // nothing usable begins so
      {F::kUnitSize, "0", 1, kMark, "above 0"},
      {F::kUnitSize, "22-45", 1, kMark, "22X60-45"},  // the machine reads no size
      {F::kUnitSize, "1.2.3", 1, kMark, ""},
      // Fractions of an inch where the sizes may be in inches.
      {F::kUnitSize, "7/8", 1, kMark, ""}, {F::kUnitSize, "7/8", 2, kOk, ""},
      {F::kUnitSize, "1-3/16", 0, kOk, ""}, {F::kUnitSize, "7/8X2 1/2-90", 2, kOk, ""},
      {F::kUnitSize, "7/8X2-1/2", 2, kRefuse, ""},  // the "-" starts the angle
      {F::kLength, "", 0, kOk, ""}, {F::kLength, "-12.5", 0, kOk, ""},
      {F::kLength, "1e3", 0, kOk, ""}, {F::kLength, "12,5", 0, kRefuse, "decimal point"},
      {F::kLength, "12 mm", 0, kRefuse, "millimetres"}, {F::kLength, "-", 0, kMark, ""},
      {F::kLength, " 1.5e", 0, kMark, ""}, {F::kLength, "1.2.3", 0, kRefuse, ""},
      {F::kLength, "12-", 0, kRefuse, ""}, {F::kLength, "1e999", 0, kMark, ""},
      {F::kNumber, "1.5", 0, kOk, ""}, {F::kNumber, "x", 0, kRefuse, "a number"},
  };
  for (const Case& c : cases) {
    FieldCheck check = CheckOptionField(c.field, c.text, c.unite);
    SCOPED_TRACE(std::string("field ") + std::to_string(static_cast<int>(c.field)) + " \"" +
                 c.text + "\" unite " + std::to_string(c.unite) + ": " + check.reason);
    EXPECT_EQ(check.state, c.state);
    EXPECT_EQ(check.reason.empty(), c.state == kOk);
    EXPECT_NE(check.reason.find(c.reason_part), std::string::npos);
  }
  // Units and hints: the sizes of the units follow Unite; offsets are added
  // to millimetre positions whatever the program's unit.
  const char* units[][3] = {{"1", "mm", "millimetres"}, {"2", "inch", "inches"},
                            {"0", "mm or inch", "job file"}, {"7", "mm or inch", "job file"}};
  for (const auto& u : units) {
    EXPECT_EQ(OptionFieldUnit(F::kUnitSize, std::stoi(u[0])), u[1]);
    EXPECT_NE(OptionFieldHint(F::kUnitSize, std::stoi(u[0])).find(u[2]), std::string::npos) << u[0];
  }
  EXPECT_EQ(OptionFieldUnit(F::kLength, 2) + "/" + OptionFieldUnit(F::kNumber, 1), "mm/");
}

}  // namespace
