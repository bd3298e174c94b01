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

namespace {

// The machine whose options the sheet shows. The caption stays "Options";
// the name stands in a line of its own beside OK and Cancel. One sheet at a
// time: the module runs one call at a time.
std::string g_machine;

int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM) {
  if (message != PSCB_INITIALIZED || g_machine.empty()) return 0;
  RECT ok, tabs;
  GetWindowRect(GetDlgItem(sheet, IDOK), &ok);
  GetWindowRect(PropSheet_GetTabControl(sheet), &tabs);
  MapWindowPoints(nullptr, sheet, reinterpret_cast<POINT*>(&ok), 2);
  MapWindowPoints(nullptr, sheet, reinterpret_cast<POINT*>(&tabs), 2);
  const std::string text = "Machine: " + g_machine;
  HWND line = CreateWindowExA(0, "STATIC", text.c_str(),
                              WS_CHILD | WS_VISIBLE | SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX,
                              tabs.left, ok.top, ok.left - tabs.left - 8, ok.bottom - ok.top,
                              sheet, nullptr, ModuleInstance(), nullptr);
  SendMessageA(line, WM_SETFONT, SendMessageA(sheet, WM_GETFONT, 0, 0), FALSE);
  return 0;
}

}  // namespace

int RunOptionSheet(OptionValues& options, const std::string& machine, HWND owner) {
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
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_NOCONTEXTHELP | PSH_USECALLBACK;
  header.pfnCallback = &SheetCallback;
  header.hwndParent = owner;
  header.hInstance = ModuleInstance();
  header.pszCaption = "Options";
  header.nPages = static_cast<UINT>(sheets.size());
  header.ppsp = sheets.data();
  // Without an Apply button the pages hear PSN_APPLY only from OK; the
  // sheet's own result says whether something changed, not which button.
  g_machine = machine;
  PropertySheetA(&header);
  g_machine.clear();
  return ok ? IDOK : IDCANCEL;
}

}  // namespace win32ui
