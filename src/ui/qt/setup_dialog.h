// The "Setup machine" window: the six punching units with their sizes on the
// left, the job's hole types on the right, green (and "fits") where a unit
// serves them, and under both a line that says what keeps OK disabled.
#ifndef BARPOST_UI_QT_SETUP_DIALOG_H_
#define BARPOST_UI_QT_SETUP_DIALOG_H_

#include <QDialog>

#include "ui/qt/window_plugin.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class CSetupDialog : public QDialog {
  Q_OBJECT

 public:
  // Initialises setup and shows its rows.
  explicit CSetupDialog(CSetupView& setup, QWidget* parent = nullptr);

  QLineEdit* SizeEdit(int unit) const { return m_sizes[unit]; }
  QLabel* LevelLabel(int unit) const { return m_levels[unit]; }
  QLabel* UnitLabel(int unit) const { return m_units[unit]; }
  QTableWidget* ProgramTable() const { return m_program; }
  QPushButton* OkButton() const { return m_ok; }
  QLabel* StatusLabel() const { return m_status; }
  QLabel* SummaryLabel() const { return m_summary; }

 private:
  void ShowUnits();
  void ShowProgram();
  void SizeEdited(int unit, const QString& text);

  CSetupView& m_setup;
  QLabel* m_levels[CSetup::kUnits] = {};
  QLabel* m_units[CSetup::kUnits] = {};
  QLineEdit* m_sizes[CSetup::kUnits] = {};
  QTableWidget* m_program = nullptr;
  QLabel* m_status = nullptr;
  QLabel* m_summary = nullptr;
  QPushButton* m_ok = nullptr;
};

#endif  // BARPOST_UI_QT_SETUP_DIALOG_H_
