// The seven pages of the "Options" sheet. A page holds no option values of
// its own: it fills its controls from the options when it is first shown
// (Load), stores them back when it is left and at OK (Store), and runs its
// part of OK (Ok) when the sheet ends with OK. Pages never shown do none of
// this: the property sheet creates a page's window only when it is shown.
#ifndef BARPOST_UI_WIN32_OPTION_PAGES_H_
#define BARPOST_UI_WIN32_OPTION_PAGES_H_

#include <windows.h>

#include <memory>
#include <string>

#include "config/options.h"
#include "ui/profile_arrays.h"

namespace win32ui {

constexpr int kUnitRows = 6;

class COptionPage {
 public:
  COptionPage(OptionValues& options, int dialog_id) : m_options(options), m_dialogId(dialog_id) {}
  virtual ~COptionPage() = default;
  COptionPage(const COptionPage&) = delete;
  COptionPage& operator=(const COptionPage&) = delete;

  int DialogId() const { return m_dialogId; }
  // Set by the sheet: becomes true when the sheet ends with OK.
  bool* m_pOkPressed = nullptr;

  // The page's dialog procedure; the page is the PROPSHEETPAGE's lParam.
  static INT_PTR CALLBACK Proc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);

 protected:
  virtual void Load() = 0;
  // False when a value is refused: the page has said so and keeps the user.
  virtual bool Store() { return true; }
  virtual void Ok() {}
  // Any other message; TRUE when handled.
  virtual INT_PTR Message(UINT message, WPARAM wparam, LPARAM lparam);

  OptionValues& m_options;
  HWND m_page = nullptr;

 private:
  int m_dialogId;
};


// A size as the grids show it: fixed with decimals, nothing for 0.
std::string SizeCell(double value, int decimals);

std::unique_ptr<COptionPage> MakeGeneralPage(OptionValues& options);
std::unique_ptr<COptionPage> MakeOffsetsPage(OptionValues& options);
std::unique_ptr<COptionPage> MakePunchingPage(OptionValues& options);
std::unique_ptr<COptionPage> MakeNibblingPage(OptionValues& options);
std::unique_ptr<COptionPage> MakeNestingPage(OptionValues& options);
std::unique_ptr<COptionPage> MakeMarkingPage(OptionValues& options);
std::unique_ptr<COptionPage> MakeProfilesPage(OptionValues& options, ProfileArrays& arrays);

}  // namespace win32ui

#endif  // BARPOST_UI_WIN32_OPTION_PAGES_H_
