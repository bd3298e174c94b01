#include <windows.h>
#include <commctrl.h>

#include "ui/win32/win32_front_end.h"

#include <cstdio>

#include "ui/setup.h"
#include "ui/win32/win32_ui.h"

// The dialog results of the front end are the system's own.
static_assert(IDOK == 1 && IDCANCEL == 2);

namespace win32ui {

HINSTANCE ModuleInstance() {
  HMODULE self = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                         GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&ModuleInstance), &self);
  return self;
}

HWND OwnerWindow() {
  HWND active = GetActiveWindow();
  return active ? GetAncestor(active, GA_ROOTOWNER) : nullptr;
}

void InitControls() {
  static bool done = false;
  if (done) return;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES |
                                                     ICC_STANDARD_CLASSES};
  done = InitCommonControlsEx(&controls) != FALSE;
}

std::string Text(HWND window) {
  int length = GetWindowTextLengthA(window);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  int n = GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(n > 0 ? n : 0));
  return text;
}

std::string Text(HWND dialog, int id) { return Text(GetDlgItem(dialog, id)); }

void SetText(HWND dialog, int id, const std::string& text) {
  SetDlgItemTextA(dialog, id, text.c_str());
}

int Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0; }

void SetChecked(HWND dialog, int id, int value) {
  CheckDlgButton(dialog, id, value != 0 ? BST_CHECKED : BST_UNCHECKED);
}

int CheckedRadio(HWND dialog, int first, int count) {
  for (int i = 0; i < count; ++i)
    if (IsDlgButtonChecked(dialog, first + i) == BST_CHECKED) return i;
  return -1;
}

void CheckRadio(HWND dialog, int first, int count, int index) {
  for (int i = 0; i < count; ++i)
    CheckDlgButton(dialog, first + i, i == index ? BST_CHECKED : BST_UNCHECKED);
}

void Enable(HWND dialog, int id, bool enabled) { EnableWindow(GetDlgItem(dialog, id), enabled); }

void Show(HWND dialog, int id, bool visible) {
  ShowWindow(GetDlgItem(dialog, id), visible ? SW_SHOWNA : SW_HIDE);
}

}  // namespace win32ui

namespace {

// A desktop the user sees: the process's window station is the interactive
// one. Services and tasks that run without a session have none.
bool DesktopVisible() {
  HWINSTA station = GetProcessWindowStation();
  USEROBJECTFLAGS flags{};
  if (!station ||
      !GetUserObjectInformationA(station, UOI_FLAGS, &flags, sizeof flags, nullptr))
    return false;
  return (flags.dwFlags & WSF_VISIBLE) != 0;
}

class CWin32FrontEnd : public CFrontEnd {
 public:
  const char* Name() const override { return "gui"; }

  int RunSetup(CSetup& setup) override {
    return win32ui::RunSetupDialog(setup, win32ui::OwnerWindow());
  }

  int RunOptionSheet(OptionValues& options, const std::string& machine) override {
    return win32ui::RunOptionSheet(options, machine, win32ui::OwnerWindow());
  }

  void ShowMessage(const std::string& text, MessageIcon icon) override {
    UINT type = MB_OK | MB_SETFOREGROUND |
                (icon == MessageIcon::kError ? MB_ICONERROR : MB_ICONINFORMATION);
    HWND owner = win32ui::OwnerWindow();
    if (!owner) type |= MB_TASKMODAL;
    if (MessageBoxA(owner, text.c_str(), "barpost", type) == 0) {
      // No box could be shown: the text is not lost.
      std::fprintf(stderr, "barpost: %s\n", text.c_str());
    }
  }
};

}  // namespace

std::unique_ptr<CFrontEnd> MakeWin32FrontEnd() {
  if (!DesktopVisible()) return nullptr;
  return std::make_unique<CWin32FrontEnd>();
}
