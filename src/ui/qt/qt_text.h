// Texts between the module (8-bit, the host's code page) and Qt, and the
// small edit behaviours the pages share.
#ifndef BARPOST_UI_QT_QT_TEXT_H_
#define BARPOST_UI_QT_QT_TEXT_H_

#include <string>

#include <QString>

class QButtonGroup;
class QLineEdit;

// Byte for byte: every 8-bit text comes back unchanged.
QString ToQt(const std::string& text);
std::string FromQt(const QString& text);

// Typing limited to the digits 0 to 9.
void AcceptDigitsOnly(QLineEdit* edit);

// Checks the button with id, or none when no button has it.
void CheckButton(QButtonGroup* group, int id);

#endif  // BARPOST_UI_QT_QT_TEXT_H_
