// "Setup machine" (dialog 2061): the six punching units with their sizes on
// the left, the job's hole types on the right, green where a unit serves
// them and red where none does. OK is enabled only when all are green.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "ui/setup.h"
#include "ui/win32/resource.h"
#include "ui/win32/win32_ui.h"

namespace win32ui {
namespace {

constexpr int kProgramRows = 8;       // more hole types scroll
constexpr int kMaxSizeText = 99;      // what the INI file keeps of a value

int UnitId(int unit) { return unit == 0 ? IDC_SETUP_UNIT1 : IDC_SETUP_UNIT2 + unit - 1; }
int ProgramSizeId(int row) { return row < 3 ? IDC_PROGRAM_SIZE1 + row : IDC_PROGRAM_SIZE4 + row - 3; }

COLORREF ToColor(const Rgb& c) { return RGB(c.r, c.g, c.b); }

class CSetupWindow {
 public:
  explicit CSetupWindow(CSetup& setup) : m_setup(setup) {}

  static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lparam);
    auto* self = reinterpret_cast<CSetupWindow*>(GetWindowLongPtrA(dialog, DWLP_USER));
    return self ? self->Handle(dialog, message, wparam, lparam) : FALSE;
  }

 private:
  INT_PTR Handle(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
      case WM_INITDIALOG:
        m_dialog = dialog;
        Initialise();
        return TRUE;
      case WM_COMMAND: {
        int id = LOWORD(wparam);
        if (HIWORD(wparam) == EN_CHANGE && id >= IDC_SETUP_SIZE1 &&
            id < IDC_SETUP_SIZE1 + CSetup::kUnits) {
          if (!m_loading) {
            m_setup.SetSizeText(id - IDC_SETUP_SIZE1, Text(dialog, id));  // refreshes
            ShowProgram();
          }
          return TRUE;
        }
        if (id == IDOK) {
          if (m_setup.OkEnabled()) EndDialog(dialog, IDOK);
          return TRUE;
        }
        if (id == IDCANCEL) {
          EndDialog(dialog, IDCANCEL);
          return TRUE;
        }
        return FALSE;
      }
      case WM_CTLCOLORSTATIC: {
        int row = RowOfSizeCell(GetDlgCtrlID(reinterpret_cast<HWND>(lparam)));
        int k = m_top + row;
        if (row < 0 || k >= static_cast<int>(m_setup.Program().size())) return FALSE;
        const CSetup::ProgramRow& hole = m_setup.Program()[static_cast<std::size_t>(k)];
        HDC dc = reinterpret_cast<HDC>(wparam);
        SetTextColor(dc, ToColor(hole.text));
        SetBkColor(dc, ToColor(hole.background));
        SetDCBrushColor(dc, ToColor(hole.background));
        return reinterpret_cast<INT_PTR>(GetStockObject(DC_BRUSH));
      }
      case WM_VSCROLL: {
        if (reinterpret_cast<HWND>(lparam) != GetDlgItem(dialog, IDC_PROGRAM_SCROLL)) return FALSE;
        int last = std::max(0, static_cast<int>(m_setup.Program().size()) - kProgramRows);
        int top = m_top;
        switch (LOWORD(wparam)) {
          case SB_LINEUP: --top; break;
          case SB_LINEDOWN: ++top; break;
          case SB_PAGEUP: top -= kProgramRows; break;
          case SB_PAGEDOWN: top += kProgramRows; break;
          case SB_TOP: top = 0; break;
          case SB_BOTTOM: top = last; break;
          case SB_THUMBTRACK:
          case SB_THUMBPOSITION: top = HIWORD(wparam); break;
          default: break;
        }
        m_top = std::clamp(top, 0, last);
        ShowProgram();
        return TRUE;
      }
      default:
        return FALSE;
    }
  }

  static int RowOfSizeCell(int id) {
    for (int row = 0; row < kProgramRows; ++row)
      if (ProgramSizeId(row) == id) return row;
    return -1;
  }

  void Initialise() {
    m_setup.Initialise();
    m_loading = true;
    for (int i = 0; i < CSetup::kUnits; ++i) {
      const CSetup::UnitRow& row = m_setup.Unit(i);
      SetText(m_dialog, IDC_SETUP_LEVEL1 + i, row.level);
      SetText(m_dialog, UnitId(i), row.unit);
      SendDlgItemMessageA(m_dialog, IDC_SETUP_SIZE1 + i, EM_LIMITTEXT, kMaxSizeText, 0);
      SetText(m_dialog, IDC_SETUP_SIZE1 + i, m_setup.SizeText(i));
      Show(m_dialog, IDC_SETUP_SIZE1 + i, row.size_visible);
    }
    m_loading = false;
    SetText(m_dialog, IDC_SETUP_STATUS, m_setup.Status());
    SetWindowTextA(m_dialog, m_setup.Caption().c_str());
    ShowProgram();
  }

  // The eight "Program" rows from m_top on, the scroll bar and OK.
  void ShowProgram() {
    const auto& program = m_setup.Program();
    const int count = static_cast<int>(program.size());
    m_top = std::clamp(m_top, 0, std::max(0, count - kProgramRows));
    for (int row = 0; row < kProgramRows; ++row) {
      int k = m_top + row;
      const bool used = k < count;
      SetText(m_dialog, IDC_PROGRAM_LEVEL1 + row,
              used ? program[static_cast<std::size_t>(k)].level : std::string());
      SetText(m_dialog, ProgramSizeId(row),
              used ? program[static_cast<std::size_t>(k)].size : std::string());
      // The fit in a word too, so that it does not rest on colour alone.
      SetText(m_dialog, IDC_PROGRAM_FIT1 + row,
              used ? program[static_cast<std::size_t>(k)].fit : std::string());
      InvalidateRect(GetDlgItem(m_dialog, ProgramSizeId(row)), nullptr, TRUE);
    }
    HWND scroll = GetDlgItem(m_dialog, IDC_PROGRAM_SCROLL);
    if (count > kProgramRows) {
      SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, count - 1, kProgramRows,
                      m_top, 0};
      SetScrollInfo(scroll, SB_CTL, &info, TRUE);
    }
    ShowWindow(scroll, count > kProgramRows ? SW_SHOWNA : SW_HIDE);
    SetText(m_dialog, IDC_SETUP_SUMMARY, m_setup.Summary());
    Enable(m_dialog, IDOK, m_setup.OkEnabled());
  }

  CSetup& m_setup;
  HWND m_dialog = nullptr;
  bool m_loading = false;
  int m_top = 0;  // first hole type shown
};

}  // namespace

int RunSetupDialog(CSetup& setup, HWND owner) {
  InitControls();
  CSetupWindow window(setup);
  INT_PTR result = DialogBoxParamA(ModuleInstance(), MAKEINTRESOURCEA(IDD_SETUP), owner,
                                   &CSetupWindow::Proc, reinterpret_cast<LPARAM>(&window));
  return result == IDOK ? IDOK : IDCANCEL;
}

}  // namespace win32ui
