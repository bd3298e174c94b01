// The module's field rules on the edits of one page of the "Options" sheet.
// A keystroke the rules refuse does not change the text, and the reason
// shows at the edit; a text the machine cannot use (typed, or read from the
// INI file) marks its edit: a tinted field, a warning sign and the reason
// as the tool tip. The data exchange is untouched: a marked text is stored
// as it stands. A length shows its unit beside its edit.
#ifndef BARPOST_UI_QT_FIELD_CHECKS_H_
#define BARPOST_UI_QT_FIELD_CHECKS_H_

#include <QList>
#include <QObject>
#include <QPalette>
#include <QString>

#include "ui/option_rules.h"

class COptionRules;
class QAction;
class QLabel;
class QLineEdit;
class QWidget;

// The tint of a marked field or grid cell.
QColor MarkedFieldColor();

class CFieldChecks : public QObject {
  Q_OBJECT

 public:
  // unite: the machine's Unite, the unit of the punching units' sizes.
  CFieldChecks(const COptionRules& rules, int unite, QObject* parent = nullptr);

  // Puts field's rule on edit. capitals: what is typed turns into capitals.
  // An edit that has a validator of its own (digits only) keeps it, and the
  // rule only marks.
  void Check(QLineEdit* edit, OptionField field, bool capitals = false);
  // For a layout: edit with its unit to its right, or edit alone when its
  // field has no unit. The unit hides and shows with the edit.
  QWidget* WithUnit(QLineEdit* edit);

  // Unite changed on the "General" page: units and marks follow.
  void SetUnite(int unite);

  bool Marked(const QLineEdit* edit) const;
  int MarkedCount() const;
  QLabel* UnitLabel(const QLineEdit* edit) const;  // nullptr without a unit
  // The sign a marked edit shows; its tool tip is the reason.
  QAction* Sign(const QLineEdit* edit) const;

 signals:
  // An edit became marked or no longer is.
  void MarksChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Entry {
    QLineEdit* edit = nullptr;
    OptionField field = OptionField::kNumber;
    QLabel* unit = nullptr;
    QAction* sign = nullptr;
    QPalette palette;  // as the edit had it before any mark
    bool marked = false;
  };
  Entry* Find(const QLineEdit* edit);
  const Entry* Find(const QLineEdit* edit) const;
  void Update(Entry& entry);

  const COptionRules& m_rules;
  int m_unite;
  QList<Entry> m_entries;
};

#endif  // BARPOST_UI_QT_FIELD_CHECKS_H_
