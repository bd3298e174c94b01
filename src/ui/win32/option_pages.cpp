// The pages "General", "Offsets", "Nesting" and "Marking": edits, checks and
// radio buttons bound to the option fields.
#include "ui/win32/option_pages.h"

#include <initializer_list>

#include "ui/win32/resource.h"
#include "ui/win32/win32_ui.h"

namespace win32ui {
namespace {

// ---------------------------------------------------------------- General

class CPropertyGeneral : public COptionPage {
 public:
  explicit CPropertyGeneral(OptionValues& options) : COptionPage(options, IDD_GENERAL) {}

 protected:
  void Load() override {
    CheckRadio(m_page, IDC_QUADRANT1, 4, m_options.Motrice - 1);
    CheckRadio(m_page, IDC_UNIT_CAM, 3, m_options.Unite);
    CheckRadio(m_page, IDC_CNC_SIEMENS, 3, m_options.Cnc);
    SetChecked(m_page, IDC_LINE_NUMBERING, m_options.Ligne);
    for (int i = 0; i < kUnitRows; ++i) {
      rec_uni row = i < m_options.units.GetSize() ? m_options.units[i] : rec_uni{};
      SetText(m_page, IDC_LEVEL1 + i, row.level);
      SetText(m_page, IDC_AXIS1 + i, row.axis);
      SetText(m_page, IDC_MFUNC1 + i, row.mfunc);
      SetText(m_page, IDC_DIAMETER1 + i, row.diameter);
    }
    SetText(m_page, IDC_CUTTING_MFUNC, m_options.Fctcoupe);
    SetText(m_page, IDC_DIRECTORY, m_options.Dir);
  }

  bool Store() override {
    // No button checked reads as -1, as the button index does.
    m_options.Motrice = CheckedRadio(m_page, IDC_QUADRANT1, 4) + 1;
    m_options.Unite = CheckedRadio(m_page, IDC_UNIT_CAM, 3);
    m_options.Cnc = CheckedRadio(m_page, IDC_CNC_SIEMENS, 3);
    m_options.Ligne = Checked(m_page, IDC_LINE_NUMBERING);
    while (m_options.units.GetSize() < kUnitRows) m_options.units.Add(rec_uni{});
    for (int i = 0; i < kUnitRows; ++i) {
      rec_uni& row = m_options.units[i];  // the spare field has no control and stays
      row.level = Text(m_page, IDC_LEVEL1 + i);
      row.axis = Text(m_page, IDC_AXIS1 + i);
      row.mfunc = Text(m_page, IDC_MFUNC1 + i);
      row.diameter = Text(m_page, IDC_DIAMETER1 + i);
    }
    m_options.Fctcoupe = Text(m_page, IDC_CUTTING_MFUNC);
    m_options.Dir = Text(m_page, IDC_DIRECTORY);
    return true;
  }
};

// ---------------------------------------------------------------- Offsets

class CPropertyOffset : public COptionPage {
 public:
  explicit CPropertyOffset(OptionValues& options) : COptionPage(options, IDD_OFFSETS) {}

 protected:
  void Load() override {
    for (int i = 0; i < kUnitRows; ++i) {
      SetText(m_page, IDC_TOOLX1 + i, m_options.Off_X[i]);
      SetText(m_page, IDC_CLAMP_OPEN1 + i, m_options.Clamp_Open[i]);
      SetText(m_page, IDC_CLAMP_CLOSE1 + i, m_options.Clamp_Close[i]);
    }
    SetText(m_page, IDC_OFF_CUTTING, m_options.Off_Scie);
    SetText(m_page, IDC_OFF_MARKING, m_options.Off_Marq);
    SetText(m_page, IDC_OFF_GEARING, m_options.Off_R99);
    SetText(m_page, IDC_OFF_ORIGIN_YZ, m_options.Off_YZ);
    SetText(m_page, IDC_SPEED, m_options.Mark_Speed);
    ShowClamps();
  }

  bool Store() override {
    for (int i = 0; i < kUnitRows; ++i) {
      m_options.Off_X[i] = Text(m_page, IDC_TOOLX1 + i);
      m_options.Clamp_Open[i] = Text(m_page, IDC_CLAMP_OPEN1 + i);
      m_options.Clamp_Close[i] = Text(m_page, IDC_CLAMP_CLOSE1 + i);
    }
    m_options.Off_Scie = Text(m_page, IDC_OFF_CUTTING);
    m_options.Off_Marq = Text(m_page, IDC_OFF_MARKING);
    m_options.Off_R99 = Text(m_page, IDC_OFF_GEARING);
    m_options.Off_YZ = Text(m_page, IDC_OFF_ORIGIN_YZ);
    m_options.Mark_Speed = Text(m_page, IDC_SPEED);
    ShowClamps();
    return true;
  }

 private:
  // The clamps are moved by the Siemens 840Di only; their labels stay.
  void ShowClamps() {
    bool siemens = m_options.Cnc == 0;
    for (int i = 0; i < kUnitRows; ++i) {
      Show(m_page, IDC_CLAMP_OPEN1 + i, siemens);
      Show(m_page, IDC_CLAMP_CLOSE1 + i, siemens);
    }
  }
};

// ---------------------------------------------------------------- Nesting

class CPropertyMeb : public COptionPage {
 public:
  explicit CPropertyMeb(OptionValues& options) : COptionPage(options, IDD_NESTING) {}

 protected:
  void Load() override {
    SetText(m_page, IDC_SC, m_options.SC);
    SetText(m_page, IDC_SP, m_options.SP);
    SetText(m_page, IDC_SL, m_options.SL);
    SetText(m_page, IDC_SRS, m_options.SRS);
    CheckRadio(m_page, IDC_TEC0, 2, m_options.TEC);
  }

  bool Store() override {
    m_options.SC = Text(m_page, IDC_SC);
    m_options.SP = Text(m_page, IDC_SP);
    m_options.SL = Text(m_page, IDC_SL);
    m_options.SRS = Text(m_page, IDC_SRS);
    m_options.TEC = CheckedRadio(m_page, IDC_TEC0, 2);
    return true;
  }
};

// ---------------------------------------------------------------- Marking

struct TextControl {
  int id;
  std::string OptionValues::*field;
};
const TextControl kMarkingTexts[] = {
    {IDC_MARK_X, &OptionValues::Mark_X},         {IDC_MARK_Y, &OptionValues::Mark_Y},
    {IDC_MARK_XMIN, &OptionValues::Mark_XMin},   {IDC_MARK_NBCAR, &OptionValues::Mark_NbCar},
    {IDC_MARK_LGCAR, &OptionValues::Mark_LgCar}, {IDC_MARK_HTCAR, &OptionValues::Mark_HtCar},
    {IDC_MARK_COD, &OptionValues::Mark_Cod},     {IDC_MARK_OFF, &OptionValues::Mark_Off},
    {IDC_MARK_SEP, &OptionValues::Mark_Sep},     {IDC_MARK_STRING, &OptionValues::Mark_String},
};

struct CheckControl {
  int id;
  int OptionValues::*field;
};
const CheckControl kMarkingChecks[] = {
    {IDC_MARK_AUTO, &OptionValues::Mark_Auto},
    {IDC_MARK_AUTO_PLM, &OptionValues::Mark_Auto_PLM},
    {IDC_MARK_ALWAYS, &OptionValues::Mark_Forcer},
    {IDC_MARK_CONTRACT, &OptionValues::markContract},
    {IDC_MARK_JOB, &OptionValues::markJob},
    {IDC_MARK_DRAWING, &OptionValues::markDrawing},
    {IDC_MARK_ASSEMBLY, &OptionValues::markAssembly},
    {IDC_MARK_PART, &OptionValues::markPart},
};

class CPropertyMarquage : public COptionPage {
 public:
  explicit CPropertyMarquage(OptionValues& options) : COptionPage(options, IDD_MARKING) {}

 protected:
  void Load() override {
    for (const CheckControl& c : kMarkingChecks) SetChecked(m_page, c.id, m_options.*c.field);
    for (const TextControl& t : kMarkingTexts) SetText(m_page, t.id, m_options.*t.field);
    CheckRadio(m_page, IDC_MARK_ASCENDING, 2, m_options.Mark_Sens);
    CheckRadio(m_page, IDC_MARK_LEVEL0, 3, m_options.Mark_Niv);
    CheckRadio(m_page, IDC_MARK_DEVICE0, 3, m_options.Mark_Device);
    EnableControls();
  }

  bool Store() override {
    for (const CheckControl& c : kMarkingChecks) m_options.*c.field = Checked(m_page, c.id);
    for (const TextControl& t : kMarkingTexts) m_options.*t.field = Text(m_page, t.id);
    m_options.Mark_Sens = CheckedRadio(m_page, IDC_MARK_ASCENDING, 2);
    m_options.Mark_Niv = CheckedRadio(m_page, IDC_MARK_LEVEL0, 3);
    m_options.Mark_Device = CheckedRadio(m_page, IDC_MARK_DEVICE0, 3);
    EnableControls();
    return true;
  }

  INT_PTR Message(UINT message, WPARAM wparam, LPARAM) override {
    if (message != WM_COMMAND || HIWORD(wparam) != BN_CLICKED) return FALSE;
    int id = LOWORD(wparam);
    // These clicks store the whole page at once, which re-evaluates what may
    // be used.
    if (id == IDC_MARK_AUTO || id == IDC_MARK_AUTO_PLM ||
        (id >= IDC_MARK_LEVEL0 && id < IDC_MARK_LEVEL0 + 3)) {
      Store();
      return TRUE;
    }
    return FALSE;
  }

 private:
  // Which controls may be used, from the options as last stored.
  void EnableControls() {
    bool code = !m_options.Mark_Cod.empty();
    bool automatic = (m_options.Mark_Auto != 0 || m_options.Mark_Auto_PLM != 0) && code;
    for (int id : {IDC_MARK_ALWAYS, IDC_MARK_X, IDC_MARK_Y, IDC_MARK_X_LABEL, IDC_MARK_Y_LABEL})
      Enable(m_page, id, automatic);
    bool detail = m_options.Mark_Auto != 0 && code;
    for (int id = IDC_MARK_CONTRACT; id <= IDC_MARK_PART; ++id) Enable(m_page, id, detail);
  }
};

}  // namespace

std::unique_ptr<COptionPage> MakeGeneralPage(OptionValues& options) {
  return std::make_unique<CPropertyGeneral>(options);
}
std::unique_ptr<COptionPage> MakeOffsetsPage(OptionValues& options) {
  return std::make_unique<CPropertyOffset>(options);
}
std::unique_ptr<COptionPage> MakeNestingPage(OptionValues& options) {
  return std::make_unique<CPropertyMeb>(options);
}
std::unique_ptr<COptionPage> MakeMarkingPage(OptionValues& options) {
  return std::make_unique<CPropertyMarquage>(options);
}

}  // namespace win32ui
