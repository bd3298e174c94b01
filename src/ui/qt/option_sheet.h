// The "Options" sheet: the machine's name over seven pages on tabs, OK and
// Cancel. A page is built and filled when it is first shown; only pages that
// were shown store their controls and run their part of OK. A tab whose page
// has marked fields shows a warning sign.
#ifndef BARPOST_UI_QT_OPTION_SHEET_H_
#define BARPOST_UI_QT_OPTION_SHEET_H_

#include <QDialog>

#include "ui/qt/option_pages.h"

#include <string>

class COptionRules;
class QLabel;
class QTabWidget;

class COption : public QDialog {
  Q_OBJECT

 public:
  enum Page { kGeneral, kOffsets, kPunching, kNibbling, kNesting, kMarking, kProfiles, kPages };

  // machine: the machine's name (its INI section), shown above the tabs.
  COption(OptionValues& options, const COptionRules& rules, const std::string& machine,
          QWidget* parent = nullptr);

  QTabWidget* Tabs() const { return m_tabs; }
  QLabel* MachineLine() const { return m_machine; }
  // The page on tab index, nullptr until it has been shown.
  COptionPage* PageAt(int index) const { return m_pages[index]; }
  template <typename T>
  T* Get(Page index) const { return static_cast<T*>(m_pages[index]); }
  // Shows the page of index (as a click on its tab does).
  void ShowPage(int index);

  // OK: the current page stores its controls, then every shown page runs its
  // part of OK.
  void accept() override;

 private:
  void TabChanged(int index);
  COptionPage* MakePage(int index);
  void ShowMarks(int index);

  OptionValues& m_options;
  const COptionRules& m_rules;
  ProfileArrays m_profiles;
  QLabel* m_machine;
  QTabWidget* m_tabs;
  QWidget* m_holders[kPages] = {};
  COptionPage* m_pages[kPages] = {};
  int m_current = -1;
};

#endif  // BARPOST_UI_QT_OPTION_SHEET_H_
