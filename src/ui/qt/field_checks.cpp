#include "ui/qt/field_checks.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolTip>
#include <QValidator>

#include "ui/qt/qt_text.h"
#include "ui/qt/window_plugin.h"

namespace {

// A tool tip that wraps: Qt wraps rich text only.
QString TipText(const QString& text) { return "<p>" + text.toHtmlEscaped() + "</p>"; }

// Asks the module's rules about every change the user types: a change to a
// text no usable text begins with is refused. Qt lets a text that was
// already refused (one read from the INI file) be mended step by step.
class CRuleValidator : public QValidator {
 public:
  CRuleValidator(const COptionRules& rules, OptionField field, const int& unite, bool capitals,
                 QObject* parent)
      : QValidator(parent), m_rules(rules), m_field(field), m_unite(unite), m_capitals(capitals) {}

  State validate(QString& input, int&) const override {
    if (m_capitals) input = input.toUpper();
    FieldCheck check = m_rules.CheckField(m_field, FromQt(input), m_unite);
    switch (check.state) {
      case FieldState::kUsable:
        return Acceptable;
      case FieldState::kUnusable:
        return Intermediate;
      case FieldState::kRefused:
        m_refusal = TipText(ToQt(check.reason));
        return Invalid;
    }
    return Acceptable;
  }

  // Why the last change was refused.
  QString Refusal() const { return m_refusal; }

 private:
  const COptionRules& m_rules;
  OptionField m_field;
  const int& m_unite;
  bool m_capitals;
  mutable QString m_refusal;
};

}  // namespace

QColor MarkedFieldColor() { return QColor(255, 214, 214); }

CFieldChecks::CFieldChecks(const COptionRules& rules, int unite, QObject* parent)
    : QObject(parent), m_rules(rules), m_unite(unite) {}

void CFieldChecks::Check(QLineEdit* edit, OptionField field, bool capitals) {
  Entry entry;
  entry.edit = edit;
  entry.field = field;
  entry.palette = edit->palette();
  entry.sign = edit->addAction(edit->style()->standardIcon(QStyle::SP_MessageBoxWarning),
                               QLineEdit::TrailingPosition);
  entry.sign->setVisible(false);
  std::string unit = m_rules.FieldUnit(field, m_unite);
  if (!unit.empty()) {
    entry.unit = new QLabel(ToQt(unit));
    entry.unit->setObjectName(edit->objectName() + "Unit");
    QSizePolicy policy = entry.unit->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    entry.unit->setSizePolicy(policy);
    edit->installEventFilter(this);
  }
  if (!edit->validator()) {
    auto* validator = new CRuleValidator(m_rules, field, m_unite, capitals, edit);
    edit->setValidator(validator);
    // A refused keystroke says why where the operator looks.
    connect(edit, &QLineEdit::inputRejected, this, [edit, validator] {
      if (edit->hasFocus())
        QToolTip::showText(edit->mapToGlobal(QPoint(0, edit->height())), validator->Refusal(),
                           edit);
    });
  }
  connect(edit, &QLineEdit::textChanged, this, [this, edit] {
    if (Entry* e = Find(edit)) Update(*e);
  });
  m_entries.append(entry);
  Update(m_entries.last());
}

QWidget* CFieldChecks::WithUnit(QLineEdit* edit) {
  const Entry* entry = Find(edit);
  if (!entry || !entry->unit) return edit;
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(edit, 1);
  layout->addWidget(entry->unit);
  return row;
}

void CFieldChecks::SetUnite(int unite) {
  m_unite = unite;
  for (Entry& entry : m_entries) {
    if (entry.unit) entry.unit->setText(ToQt(m_rules.FieldUnit(entry.field, m_unite)));
    Update(entry);
  }
}

bool CFieldChecks::Marked(const QLineEdit* edit) const {
  const Entry* entry = Find(edit);
  return entry && entry->marked;
}

int CFieldChecks::MarkedCount() const {
  int count = 0;
  for (const Entry& entry : m_entries) count += entry.marked ? 1 : 0;
  return count;
}

QLabel* CFieldChecks::UnitLabel(const QLineEdit* edit) const {
  const Entry* entry = Find(edit);
  return entry ? entry->unit : nullptr;
}

QAction* CFieldChecks::Sign(const QLineEdit* edit) const {
  const Entry* entry = Find(edit);
  return entry ? entry->sign : nullptr;
}

CFieldChecks::Entry* CFieldChecks::Find(const QLineEdit* edit) {
  for (Entry& entry : m_entries)
    if (entry.edit == edit) return &entry;
  return nullptr;
}

const CFieldChecks::Entry* CFieldChecks::Find(const QLineEdit* edit) const {
  for (const Entry& entry : m_entries)
    if (entry.edit == edit) return &entry;
  return nullptr;
}

void CFieldChecks::Update(Entry& entry) {
  FieldCheck check = m_rules.CheckField(entry.field, FromQt(entry.edit->text()), m_unite);
  bool marked = check.state != FieldState::kUsable;
  QString hint = TipText(ToQt(m_rules.FieldHint(entry.field, m_unite)));
  QString tip = marked ? TipText(ToQt(check.reason)) : hint;
  entry.edit->setToolTip(tip);
  entry.sign->setToolTip(tip);
  if (entry.unit) entry.unit->setToolTip(hint);
  if (marked == entry.marked) return;
  entry.marked = marked;
  entry.sign->setVisible(marked);
  QPalette palette = entry.palette;
  if (marked) palette.setColor(QPalette::Base, MarkedFieldColor());
  entry.edit->setPalette(palette);
  emit MarksChanged();
}

// A unit goes with its edit: hidden with it, disabled with it.
bool CFieldChecks::eventFilter(QObject* watched, QEvent* event) {
  QEvent::Type type = event->type();
  if (type == QEvent::ShowToParent || type == QEvent::HideToParent ||
      type == QEvent::EnabledChange) {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    const Entry* entry = Find(edit);
    if (entry && entry->unit) {
      if (type == QEvent::EnabledChange)
        entry->unit->setEnabled(edit->isEnabled());
      else
        entry->unit->setVisible(type == QEvent::ShowToParent);
    }
  }
  return QObject::eventFilter(watched, event);
}
