// What the machine can use in the edits of the "Options" sheet, and why it
// cannot use the rest. Every front end's windows apply these rules and only
// show their answers: a refused keystroke, a marked field, the reason.
#ifndef BARPOST_UI_OPTION_RULES_H_
#define BARPOST_UI_OPTION_RULES_H_

#include <string>
#include <string_view>

// The kinds of edit that follow a rule.
enum class OptionField : int {
  kLevel,      // level of a punching unit: empty, 1 (FL) or 2 (NL)
  kAxisCode,   // Y axis code of a punching unit: at most two characters
  kMFunction,  // an M function: digits
  kUnitSize,   // size mounted on a punching unit: 22, or a slot 22X60-45
  kLength,     // a length or an offset, in millimetres
  kNumber,     // a number without a unit (a factor, a count)
};

enum class FieldState : int {
  kUsable,    // the machine reads the text as it is meant
  kUnusable,  // the machine cannot use it; typing more may mend it ("22X")
  kRefused,   // nothing that begins so is usable: a keystroke making it is refused
};

struct FieldCheck {
  FieldState state = FieldState::kUsable;
  std::string reason;  // for the operator; empty when usable
};

// Checks text against the rule of field. unite is the machine's `Unite`
// (0 as the job file says, 1 millimetres, 2 inches): the unit in which the
// sizes of the punching units are read. The other lengths are always
// millimetres.
FieldCheck CheckOptionField(OptionField field, std::string_view text, int unite);

// The unit of field as shown beside its edit: "mm", "inch", "mm or inch"
// (Unite 0: the job file's unit), or empty for a field without a unit.
std::string OptionFieldUnit(OptionField field, int unite);

// What the field takes, for its tool tip while it is usable.
std::string OptionFieldHint(OptionField field, int unite);

#endif  // BARPOST_UI_OPTION_RULES_H_
