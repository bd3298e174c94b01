// The "Options" sheet: seven pages on tabs, OK and Cancel. A page is built
// and filled when it is first shown; only pages that were shown store their
// controls and run their part of OK.
#ifndef BARPOST_UI_QT_OPTION_SHEET_H_
#define BARPOST_UI_QT_OPTION_SHEET_H_

#include <QDialog>

#include "ui/qt/option_pages.h"

class CTableRules;
class QTabWidget;

class COption : public QDialog {
  Q_OBJECT

 public:
  enum Page { kGeneral, kOffsets, kPunching, kNibbling, kNesting, kMarking, kProfiles, kPages };

  COption(OptionValues& options, const CTableRules& rules, QWidget* parent = nullptr);

  QTabWidget* Tabs() const { return m_tabs; }
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

  OptionValues& m_options;
  const CTableRules& m_rules;
  ProfileArrays m_profiles;
  QTabWidget* m_tabs;
  QWidget* m_holders[kPages] = {};
  COptionPage* m_pages[kPages] = {};
  int m_current = -1;
};

#endif  // BARPOST_UI_QT_OPTION_SHEET_H_
