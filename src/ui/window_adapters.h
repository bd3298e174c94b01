// The module's side of the window plugin's contract: the views through
// which the windows reach a CSetup and the option rules, so that every call
// runs the module's own code on the module's own objects.
#ifndef BARPOST_UI_WINDOW_ADAPTERS_H_
#define BARPOST_UI_WINDOW_ADAPTERS_H_

#include <string>

#include "config/tables.h"
#include "ui/option_rules.h"
#include "ui/qt/window_plugin.h"
#include "ui/setup.h"

// The windows' view of a CSetup.
class CSetupAdapter : public CSetupView {
 public:
  explicit CSetupAdapter(CSetup& setup) : m_setup(setup) {}
  void Initialise() override { m_setup.Initialise(); }
  void SetSizeText(int unit, const std::string& text) override { m_setup.SetSizeText(unit, text); }
  std::string SizeText(int unit) const override { return m_setup.SizeText(unit); }
  std::string Caption() const override { return m_setup.Caption(); }
  std::string Status() const override { return m_setup.Status(); }
  CSetup::UnitRow Unit(int unit) const override { return m_setup.Unit(unit); }
  int ProgramCount() const override { return static_cast<int>(m_setup.Program().size()); }
  CSetup::ProgramRow ProgramRow(int row) const override {
    return m_setup.Program()[static_cast<std::size_t>(row)];
  }
  std::string Summary() const override { return m_setup.Summary(); }
  bool OkEnabled() const override { return m_setup.OkEnabled(); }

 private:
  CSetup& m_setup;
};

class CModuleOptionRules : public COptionRules {
 public:
  bool ToolFromSizes(double diameter, double length, double width,
                     CMagasin* tool) const override {
    return ::ToolFromSizes(diameter, length, width, tool);
  }
  FieldCheck CheckField(OptionField field, const std::string& text, int unite) const override {
    return CheckOptionField(field, text, unite);
  }
  std::string FieldUnit(OptionField field, int unite) const override {
    return OptionFieldUnit(field, unite);
  }
  std::string FieldHint(OptionField field, int unite) const override {
    return OptionFieldHint(field, unite);
  }
};

#endif  // BARPOST_UI_WINDOW_ADAPTERS_H_
