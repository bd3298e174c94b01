// The seven pages of the "Options" sheet. A page holds no option values of
// its own: it fills its controls from the options when it is first shown
// (Load) and stores them back when it is left and at OK (Store). The
// controls are public so that tests and screenshots can drive them.
#ifndef BARPOST_UI_QT_OPTION_PAGES_H_
#define BARPOST_UI_QT_OPTION_PAGES_H_

#include <QWidget>

#include "config/options.h"
#include "ui/profile_arrays.h"
#include "ui/qt/field_checks.h"

class CEditGrid;
class COptionRules;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTimer;

constexpr int kUnitRows = 6;

class COptionPage : public QWidget {
  Q_OBJECT

 public:
  // rules: the module's rules of the options, which the page's edits follow.
  COptionPage(OptionValues& options, const COptionRules& rules, QWidget* parent = nullptr);
  // Options into the controls.
  virtual void Load() = 0;
  // Controls into the options; false when a value is refused (the page has
  // said so and keeps the user).
  virtual bool Store() { return true; }
  // The page's part of OK, after the current page has stored its controls.
  virtual void Ok() {}

  // The rules on the page's edits.
  CFieldChecks* Checks() const { return m_checks; }
  // Fields and cells that are marked: the machine cannot use their text.
  virtual int MarkedCount() const { return m_checks->MarkedCount(); }

 signals:
  void MarksChanged();

 protected:
  OptionValues& m_options;
  const COptionRules& m_rules;
  CFieldChecks* m_checks;
};

// "General": quadrant, unit, control, numbering, directory, punching units.
class CPropertyGeneral : public COptionPage {
  Q_OBJECT

 public:
  CPropertyGeneral(OptionValues& options, const COptionRules& rules, QWidget* parent = nullptr);
  void Load() override;
  bool Store() override;

  QButtonGroup* m_quadrant;  // ids 0..3: Motrice - 1
  QButtonGroup* m_unit;      // ids 0..2: Unite
  QButtonGroup* m_cnc;       // ids 0..2: Cnc
  QLineEdit* m_level[kUnitRows];
  QLineEdit* m_axis[kUnitRows];
  QLineEdit* m_mfunc[kUnitRows];
  QLineEdit* m_diameter[kUnitRows];
  QLineEdit* m_cutting;
  QCheckBox* m_lineNumbering;
  QLineEdit* m_directory;
};

// "Offsets": unit X offsets, clamps, device offsets, Signoscript speed.
class CPropertyOffset : public COptionPage {
  Q_OBJECT

 public:
  CPropertyOffset(OptionValues& options, const COptionRules& rules, QWidget* parent = nullptr);
  void Load() override;
  bool Store() override;

  QLineEdit* m_toolX[kUnitRows];
  QLineEdit* m_clampOpen[kUnitRows];
  QLineEdit* m_clampClose[kUnitRows];
  QLineEdit* m_cutting;
  QLineEdit* m_marking;
  QLineEdit* m_gearing;
  QLineEdit* m_originYZ;
  QLineEdit* m_speed;

 private:
  // The clamps are moved by the Siemens 840Di only.
  void ShowClamps();
};

// "Punching": the off-centre punch table.
class CPropertyPoinconnage : public COptionPage {
  Q_OBJECT

 public:
  CPropertyPoinconnage(OptionValues& options, const COptionRules& rules, QWidget* parent = nullptr);
  void Load() override;
  void Ok() override;
  int MarkedCount() const override;

  CEditGrid* m_grid;
};

// "Nibbling": roughness and the tool magazine.
class CPropertyMagasin : public COptionPage {
  Q_OBJECT

 public:
  CPropertyMagasin(OptionValues& options, const COptionRules& rules, QWidget* parent = nullptr);
  void Load() override;
  bool Store() override;
  void Ok() override;
  int MarkedCount() const override;

  QLineEdit* m_roughness;
  CEditGrid* m_grid;
  enum Column { kKind, kDiameter, kLength, kWidth };

 private:
  void RowEdited(int row);
};

// "Nesting".
class CPropertyMeb : public COptionPage {
  Q_OBJECT

 public:
  CPropertyMeb(OptionValues& options, const COptionRules& rules, QWidget* parent = nullptr);
  void Load() override;
  bool Store() override;

  QLineEdit* m_sc;
  QLineEdit* m_sp;
  QLineEdit* m_sl;
  QLineEdit* m_srs;
  QButtonGroup* m_tec;
};

// "Marking".
class CPropertyMarquage : public COptionPage {
  Q_OBJECT

 public:
  CPropertyMarquage(OptionValues& options, const COptionRules& rules, QWidget* parent = nullptr);
  void Load() override;
  bool Store() override;

  QCheckBox* m_auto;
  QCheckBox* m_autoPlm;
  QCheckBox* m_always;
  QButtonGroup* m_direction;  // Mark_Sens
  QButtonGroup* m_level;      // Mark_Niv
  QCheckBox* m_contract;
  QCheckBox* m_job;
  QCheckBox* m_drawing;
  QCheckBox* m_assembly;
  QCheckBox* m_part;
  QLineEdit* m_x;
  QLineEdit* m_y;
  QLineEdit* m_xMin;
  QLineEdit* m_characters;
  QLineEdit* m_charWidth;
  QLineEdit* m_charHeight;
  QLineEdit* m_toolCode;
  QLineEdit* m_toolOffset;
  QLineEdit* m_separator;
  QButtonGroup* m_device;  // Mark_Device
  QLineEdit* m_string;

 private:
  // Which controls may be used, from the options as last stored.
  void Enable();
  QLabel* m_xLabel;
  QLabel* m_yLabel;
};


// "Profiles": what may be done with each profile category.
class CPropertyProfil : public COptionPage {
  Q_OBJECT

 public:
  CPropertyProfil(OptionValues& options, const COptionRules& rules, ProfileArrays& arrays,
                  QWidget* parent = nullptr);
  void Load() override;
  bool Store() override;
  void Ok() override;

  QCheckBox* m_enabled[kCategories];
  QCheckBox* m_xSymmetry[kCategories];
  QCheckBox* m_ySymmetry[kCategories];
  QCheckBox* m_rotation[kCategories];
  QCheckBox* m_marking[kCategories];
  QButtonGroup* m_transformation[kCategories];
  QLineEdit* m_origin[kCategories];

  // The focus bands: block (0 left, 1 right), column and row of the control
  // with the focus; -1 when none of the page's controls has it.
  int BandBlock() const { return m_bandBlock; }
  int BandColumn() const { return m_bandColumn; }
  int BandRow() const { return m_bandRow; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  static constexpr int kColumns = 10;  // category, 4 authorisations, 4 defaults, origin
  void EnableRows();
  void FollowFocus();
  QRect CellRect(int block, int column, int row) const;

  ProfileArrays& m_arrays;
  QWidget* m_cells[2][kColumns][kCategories / 2 + 1] = {};  // row 0: the headings
  QTimer* m_timer;
  int m_bandBlock = -1, m_bandColumn = -1, m_bandRow = -1;
};

#endif  // BARPOST_UI_QT_OPTION_PAGES_H_
