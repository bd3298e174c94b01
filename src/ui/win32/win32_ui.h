// What the Win32 dialogs share: the module that holds their templates, the
// host's window that owns them, and the exchange of texts, checks and
// radio buttons with the controls.
#ifndef BARPOST_UI_WIN32_WIN32_UI_H_
#define BARPOST_UI_WIN32_WIN32_UI_H_

#include <windows.h>

#include <string>

class CSetup;
struct OptionValues;

namespace win32ui {

// The module (DLL or program) this code is linked into: the templates of
// barpost.rc are looked up there, not in the host's program.
HINSTANCE ModuleInstance();
// The window the dialogs are modal to: the host's active window, if any.
HWND OwnerWindow();
// Registers the common controls (list view, property sheet) once.
void InitControls();

// "Setup machine" and the "Options" sheet, modal; IDOK or IDCANCEL.
int RunSetupDialog(CSetup& setup, HWND owner);
int RunOptionSheet(OptionValues& options, const std::string& machine, HWND owner);

// Texts of controls, 8-bit in the ANSI code page.
std::string Text(HWND window);
std::string Text(HWND dialog, int id);
void SetText(HWND dialog, int id, const std::string& text);
// Check boxes: 1 checked, 0 not.
int Checked(HWND dialog, int id);
void SetChecked(HWND dialog, int id, int value);
// A group of count radio buttons with consecutive ids from first: the index
// of the checked one, -1 when none is checked.
int CheckedRadio(HWND dialog, int first, int count);
// Checks the button of index and no other; an index out of range checks none.
void CheckRadio(HWND dialog, int first, int count, int index);
void Enable(HWND dialog, int id, bool enabled);
void Show(HWND dialog, int id, bool visible);

}  // namespace win32ui

#endif  // BARPOST_UI_WIN32_WIN32_UI_H_
