#include "ui/qt/qt_text.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

QString ToQt(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQt(const QString& text) { return text.toLatin1().toStdString(); }

void AcceptDigitsOnly(QLineEdit* edit) {
  edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
}

void CheckButton(QButtonGroup* group, int id) {
  if (QAbstractButton* button = group->button(id)) {
    button->setChecked(true);
    return;
  }
  // An exclusive group keeps one button checked; let go of it for a moment.
  group->setExclusive(false);
  for (QAbstractButton* button : group->buttons()) button->setChecked(false);
  group->setExclusive(true);
}
