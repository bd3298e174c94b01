// Drives the module's dialogs from a second thread through window messages,
// as a person at the machine would with mouse and keyboard.
#ifndef BARPOST_TESTS_WIN32_WINDOW_DRIVER_H_
#define BARPOST_TESTS_WIN32_WINDOW_DRIVER_H_

#include <windows.h>

#include <functional>
#include <string>

namespace window_driver {

// Runs call on this thread (it shows a modal dialog) while drive works the
// first window of this process whose caption starts with caption. A
// dialog still open when drive is done, or one that never comes up, is
// cancelled after a while and reported as a failure, so that call returns.
int Driven(const std::function<int()>& call, const char* caption,
           const std::function<void(HWND)>& drive);

// The first visible top-level window of this process whose caption starts
// with caption, other than other; nullptr after timeout_ms.
HWND WaitForWindow(const char* caption, HWND other = nullptr, int timeout_ms = 10000);

std::string WindowText(HWND window);
// The child window whose text is text, or nullptr.
HWND FindText(HWND parent, const char* text);
// The texts of all child windows, one a line.
std::string AllText(HWND parent);

// Controls of a dialog or page.
void Type(HWND dialog, int id, const std::string& text);  // as if typed: EN_CHANGE follows
void Click(HWND dialog, int id);                          // a button, check or radio button
void PressDialogButton(HWND dialog, int id);              // IDOK, IDCANCEL: posted

// Property sheets.
HWND CurrentPage(HWND sheet);
HWND ShowPage(HWND sheet, int index);  // as a click on the tab: the page left stores
void PressButton(HWND sheet, int button);  // PSBTN_OK, PSBTN_CANCEL: posted

// The editable grids (list views).
int Rows(HWND list);
std::string CellText(HWND list, int row, int column);
int CellImage(HWND list, int row, int column);
// A click on the cell, the text typed into its edit, then Enter.
void TypeCell(HWND list, int row, int column, const std::string& text);

// The window as the screen shows it, saved as a PNG file.
bool SaveWindowPicture(HWND window, const std::string& path);

}  // namespace window_driver

#endif  // BARPOST_TESTS_WIN32_WINDOW_DRIVER_H_
