// The contract between the module and its Qt windows.
//
// The windows live in a plugin of their own (libbarpost_qt.so) so that the
// module loads and runs on a machine without Qt. The module loads the plugin
// when it first needs a window and asks it for one object through the one C
// function the plugin exports.
//
// The plugin carries no copy of the module's state: no g_options, no CSetup
// code, no table rules. Everything it reads or changes it is handed through
// the calls below, and everything it asks of the module goes through a
// virtual call into the module's own objects. This header therefore holds
// abstract classes and plain data only.
#ifndef BARPOST_UI_QT_WINDOW_PLUGIN_H_
#define BARPOST_UI_QT_WINDOW_PLUGIN_H_

#include <string>

#include "ui/front_end.h"
#include "ui/option_rules.h"
#include "ui/setup.h"

struct OptionValues;
class CMagasin;

// Changes whenever a class of this header, or a type it hands over, changes
// shape; the module refuses a plugin built for another. 2: the summary line
// and the fit word of "Setup machine". 3: the machine's name and the field
// rules for the "Options" sheet.
constexpr int kWindowPluginVersion = 3;

// "Setup machine" as the window sees it. The module implements it over its
// CSetup; the window only reads the rows and hands back typed sizes.
class CSetupView {
 public:
  virtual ~CSetupView() = default;
  virtual void Initialise() = 0;
  // Stores a typed size into the unit row and refreshes the hole types.
  virtual void SetSizeText(int unit, const std::string& text) = 0;
  virtual std::string SizeText(int unit) const = 0;
  virtual std::string Caption() const = 0;
  virtual std::string Status() const = 0;
  virtual CSetup::UnitRow Unit(int unit) const = 0;
  virtual int ProgramCount() const = 0;
  virtual CSetup::ProgramRow ProgramRow(int row) const = 0;
  virtual std::string Summary() const = 0;
  virtual bool OkEnabled() const = 0;
};

// Rules of the options that the pages apply but the module owns
// (ui/option_rules.h, config/tables.h).
class COptionRules {
 public:
  virtual ~COptionRules() = default;
  // The tool-kind rule: a magazine row from typed sizes; false to drop it.
  virtual bool ToolFromSizes(double diameter, double length, double width,
                             CMagasin* tool) const = 0;
  // What the machine makes of a field's text; its unit; what it takes.
  virtual FieldCheck CheckField(OptionField field, const std::string& text, int unite) const = 0;
  virtual std::string FieldUnit(OptionField field, int unite) const = 0;
  virtual std::string FieldHint(OptionField field, int unite) const = 0;
};

// What the plugin offers: the front end's three dialogs on the objects the
// module hands over.
class CWindowFrontEnd {
 public:
  virtual ~CWindowFrontEnd() = default;
  virtual int RunSetup(CSetupView& setup) = 0;
  // machine: the name of the machine (its INI section), shown in the sheet.
  virtual int RunOptionSheet(OptionValues& options, const std::string& machine,
                             const COptionRules& rules) = 0;
  virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;
};

// The plugin's one export: the windows, or nullptr when they cannot be shown
// (no display, or a plugin of another version).
#define BARPOST_QT_FACTORY "barpost_make_qt_front_end"
extern "C" {
using MakeWindowFrontEndFn = CWindowFrontEnd* (*)(int version);
}

#endif  // BARPOST_UI_QT_WINDOW_PLUGIN_H_
