#include "window_driver.h"

#include <commctrl.h>
#include <gdiplus.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace window_driver {
namespace {

bool StartsWith(const std::string& text, const char* prefix) {
  return text.rfind(prefix, 0) == 0;
}

std::vector<HWND> OwnWindows() {
  std::vector<HWND> windows;
  EnumWindows(
      [](HWND window, LPARAM list) -> BOOL {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid == GetCurrentProcessId() && IsWindowVisible(window))
          reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// Ends whatever dialog of this process is still open.
void CancelEverything() {
  for (HWND window : OwnWindows()) {
    PostMessageA(window, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  }
}

}  // namespace

int Driven(const std::function<int()>& call, const char* caption,
           const std::function<void(HWND)>& drive) {
  std::atomic<bool> done{false};
  std::thread driver([&] {
    HWND window = WaitForWindow(caption);
    if (!window) {
      ADD_FAILURE() << "no window \"" << caption << "\" came up";
    } else {
      drive(window);
    }
    for (int waited = 0; !done && waited < 10000; waited += 20) Sleep(20);
    while (!done) {
      ADD_FAILURE() << "the dialog was still open after the driver was done";
      CancelEverything();
      Sleep(500);
    }
  });
  int result = call();
  done = true;
  driver.join();
  return result;
}

HWND WaitForWindow(const char* caption, HWND other, int timeout_ms) {
  for (int waited = 0; waited <= timeout_ms; waited += 20) {
    for (HWND window : OwnWindows())
      if (window != other && StartsWith(WindowText(window), caption)) return window;
    Sleep(20);
  }
  return nullptr;
}

std::string WindowText(HWND window) {
  char buffer[1024] = {0};
  SendMessageA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

namespace {
struct TextSearch {
  const char* text;
  HWND found;
  std::string all;
};
}  // namespace

HWND FindText(HWND parent, const char* text) {
  TextSearch search{text, nullptr, {}};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<TextSearch*>(data);
        if (WindowText(child) == s->text) {
          s->found = child;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string AllText(HWND parent) {
  TextSearch search{nullptr, nullptr, {}};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM data) -> BOOL {
        reinterpret_cast<TextSearch*>(data)->all += WindowText(child) + "\n";
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.all;
}

void Type(HWND dialog, int id, const std::string& text) {
  SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void PressDialogButton(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

HWND CurrentPage(HWND sheet) {
  return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

HWND ShowPage(HWND sheet, int index) {
  SendMessageA(sheet, PSM_SETCURSEL, index, 0);
  return CurrentPage(sheet);
}

void PressButton(HWND sheet, int button) { PostMessageA(sheet, PSM_PRESSBUTTON, button, 0); }

int Rows(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

std::string CellText(HWND list, int row, int column) {
  char buffer[512] = {0};
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = sizeof buffer;
  SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  return buffer;
}

int CellImage(HWND list, int row, int column) {
  LVITEMA item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  item.iSubItem = column;
  if (!SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return -1;
  return item.iImage;
}

void TypeCell(HWND list, int row, int column, const std::string& text) {
  RECT cell{};
  cell.top = column;
  cell.left = column == 0 ? LVIR_LABEL : LVIR_BOUNDS;
  SendMessageA(list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
  LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
  SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(list, WM_LBUTTONUP, 0, at);
  HWND edit = FindWindowExA(list, nullptr, "Edit", nullptr);
  ASSERT_NE(edit, nullptr) << "no edit over cell " << row << "," << column;
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
}

bool SaveWindowPicture(HWND window, const std::string& path) {
  RECT r;
  GetWindowRect(window, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(dc, bitmap);
  BitBlt(dc, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);

  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  bool saved = false;
  {
    Gdiplus::Bitmap picture(bitmap, nullptr);
    // The PNG encoder of GDI+.
    const CLSID png = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    std::wstring wide(path.begin(), path.end());
    saved = picture.Save(wide.c_str(), &png, nullptr) == Gdiplus::Ok;
  }
  Gdiplus::GdiplusShutdown(token);
  DeleteObject(bitmap);
  return saved;
}

}  // namespace window_driver
