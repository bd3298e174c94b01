// The "Options" sheet: seven pages on tabs, OK and Cancel, no Apply. The
// system's property sheet does the exchange the pages need: PSN_KILLACTIVE
// when a page is left and before OK (the page may refuse), then PSN_APPLY
// to every page that was created, which is every page that was shown.
#include <windows.h>
#include <commctrl.h>

#include <charconv>
#include <memory>
#include <vector>

#include "ui/win32/option_pages.h"
#include "ui/win32/resource.h"
#include "ui/win32/win32_ui.h"

namespace win32ui {

std::string SizeCell(double value, int decimals) {
  if (value == 0) return std::string();
  char buffer[400];
  auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  return ec == std::errc() ? std::string(buffer, end) : std::string();
}

INT_PTR COptionPage::Message(UINT, WPARAM, LPARAM) { return FALSE; }

INT_PTR CALLBACK COptionPage::Proc(HWND page, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<COptionPage*>(reinterpret_cast<PROPSHEETPAGEA*>(lparam)->lParam);
    SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    self->m_page = page;
    self->Load();
    return TRUE;
  }
  auto* self = reinterpret_cast<COptionPage*>(GetWindowLongPtrA(page, DWLP_USER));
  if (!self) return FALSE;
  if (message == WM_NOTIFY) {
    switch (reinterpret_cast<NMHDR*>(lparam)->code) {
      case PSN_KILLACTIVE:
        // TRUE keeps the user on the page.
        SetWindowLongPtrA(page, DWLP_MSGRESULT, self->Store() ? FALSE : TRUE);
        return TRUE;
      case PSN_APPLY:
        if (self->m_pOkPressed) *self->m_pOkPressed = true;
        self->Ok();
        SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
        return TRUE;
      default:
        break;
    }
  }
  return self->Message(message, wparam, lparam);
}

int RunOptionSheet(OptionValues& options, HWND owner) {
  InitControls();
  // The working arrays of "Profiles" come from the category strings now,
  // whether or not the page is ever shown.
  ProfileArrays profiles = ReadProfileArrays(options);
  std::unique_ptr<COptionPage> pages[] = {
      MakeGeneralPage(options),  MakeOffsetsPage(options), MakePunchingPage(options),
      MakeNibblingPage(options), MakeNestingPage(options), MakeMarkingPage(options),
      MakeProfilesPage(options, profiles)};
  bool ok = false;
  std::vector<PROPSHEETPAGEA> sheets;
  for (auto& page : pages) {
    page->m_pOkPressed = &ok;
    PROPSHEETPAGEA sheet{};
    sheet.dwSize = sizeof sheet;
    sheet.dwFlags = PSP_DEFAULT;
    sheet.hInstance = ModuleInstance();
    sheet.pszTemplate = MAKEINTRESOURCEA(page->DialogId());
    sheet.pfnDlgProc = &COptionPage::Proc;
    sheet.lParam = reinterpret_cast<LPARAM>(page.get());
    sheets.push_back(sheet);
  }
  PROPSHEETHEADERA header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_NOCONTEXTHELP;
  header.hwndParent = owner;
  header.hInstance = ModuleInstance();
  header.pszCaption = "Options";
  header.nPages = static_cast<UINT>(sheets.size());
  header.ppsp = sheets.data();
  // Without an Apply button the pages hear PSN_APPLY only from OK; the
  // sheet's own result says whether something changed, not which button.
  PropertySheetA(&header);
  return ok ? IDOK : IDCANCEL;
}

}  // namespace win32ui
