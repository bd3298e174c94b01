// The page "Profiles": per profile category whether it is worked, what may
// be done with it, its default transformation and its default origin. The
// controls exchange with working arrays that the sheet fills from the
// category strings; OK writes them back. A 100 ms timer follows the keyboard
// focus and marks the column and the row of the focused control with green
// bands behind the controls.
#include <charconv>
#include <initializer_list>

#include "base/text.h"
#include "ui/win32/option_pages.h"
#include "ui/win32/pictures.h"
#include "ui/win32/resource.h"
#include "ui/win32/win32_ui.h"

namespace win32ui {

namespace {

constexpr int kRowsPerBlock = kCategories / 2;
constexpr int kColumns = 10;  // category, 4 authorisations, 4 defaults, origin
constexpr UINT_PTR kFocusTimer = 1;
constexpr UINT kFocusInterval = 100;  // ms
constexpr COLORREF kBand = RGB(150, 230, 150);

// The control of a column for category i; the radio button of the default
// transformation t for the columns 5 to 8.
int ControlId(int column, int i) {
  switch (column) {
    case 0: return IDC_PROFILE_ENABLED1 + i;
    case 1: return IDC_PROFILE_XSYM1 + i;
    case 2: return IDC_PROFILE_YSYM1 + i;
    case 3: return IDC_PROFILE_ROT1 + i;
    case 4: return IDC_PROFILE_MARK1 + i;
    case 9: return IDC_PROFILE_ORIGIN1 + i;
    default: return IDC_PROFILE_DEFAULT1 + 4 * i + (column - 5);
  }
}

// An integer as the dialog exchange takes it: blanks around an optional
// sign and digits, nothing else.
bool ParseInteger(const std::string& text, int* value) {
  std::string_view t = Trim(text);
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  if (t.empty()) return false;
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), *value);
  return ec == std::errc() && end == t.data() + t.size();
}

}  // namespace


namespace {

class CPropertyProfil : public COptionPage {
 public:
  CPropertyProfil(OptionValues& options, ProfileArrays& arrays)
      : COptionPage(options, IDD_PROFILES), m_arrays(arrays) {}

 protected:
  void Load() override {
    for (int i = 0; i < kCategories; ++i) {
      SetChecked(m_page, IDC_PROFILE_ENABLED1 + i, m_arrays.enabled[i]);
      SetChecked(m_page, IDC_PROFILE_XSYM1 + i, m_arrays.xSymmetry[i]);
      SetChecked(m_page, IDC_PROFILE_YSYM1 + i, m_arrays.ySymmetry[i]);
      SetChecked(m_page, IDC_PROFILE_ROT1 + i, m_arrays.rotation[i]);
      SetChecked(m_page, IDC_PROFILE_MARK1 + i, m_arrays.marking[i]);
      CheckRadio(m_page, IDC_PROFILE_DEFAULT1 + 4 * i, 4, m_arrays.transformation[i]);
      SetText(m_page, IDC_PROFILE_ORIGIN1 + i, std::to_string(m_arrays.origin[i]));
    }
    EnableRows();
    SetTimer(m_page, kFocusTimer, kFocusInterval, nullptr);
  }

  bool Store() override {
    int origins[kCategories];
    for (int i = 0; i < kCategories; ++i) {
      if (!ParseInteger(Text(m_page, IDC_PROFILE_ORIGIN1 + i), &origins[i])) {
        MessageBoxA(GetParent(m_page), "Please enter an integer.", "Options",
                    MB_OK | MB_ICONEXCLAMATION);
        HWND edit = GetDlgItem(m_page, IDC_PROFILE_ORIGIN1 + i);
        SetFocus(edit);
        SendMessageA(edit, EM_SETSEL, 0, -1);
        return false;
      }
    }
    for (int i = 0; i < kCategories; ++i) {
      m_arrays.enabled[i] = Checked(m_page, IDC_PROFILE_ENABLED1 + i);
      m_arrays.xSymmetry[i] = Checked(m_page, IDC_PROFILE_XSYM1 + i);
      m_arrays.ySymmetry[i] = Checked(m_page, IDC_PROFILE_YSYM1 + i);
      m_arrays.rotation[i] = Checked(m_page, IDC_PROFILE_ROT1 + i);
      m_arrays.marking[i] = Checked(m_page, IDC_PROFILE_MARK1 + i);
      m_arrays.transformation[i] = CheckedRadio(m_page, IDC_PROFILE_DEFAULT1 + 4 * i, 4);
      m_arrays.origin[i] = origins[i];
    }
    return true;
  }

  void Ok() override { WriteProfileArrays(m_arrays, m_options); }

  INT_PTR Message(UINT message, WPARAM wparam, LPARAM lparam) override {
    switch (message) {
      case WM_COMMAND: {
        int id = LOWORD(wparam);
        if (HIWORD(wparam) == BN_CLICKED && id >= IDC_PROFILE_ENABLED1 &&
            id < IDC_PROFILE_ENABLED1 + kCategories) {
          Store();
          EnableRows();
          return TRUE;
        }
        return FALSE;
      }
      case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lparam);
        int i = static_cast<int>(item->CtlID) - IDC_PROFILE_PICTURE1;
        if (i < 0 || i >= kCategories) return FALSE;
        SetDCBrushColor(item->hDC, InBand(item->hwndItem) ? kBand : GetSysColor(COLOR_3DFACE));
        FillRect(item->hDC, &item->rcItem, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        DrawProfile(item->hDC, item->rcItem, kCategoryLetters[i]);
        return TRUE;
      }
      case WM_TIMER:
        if (wparam == kFocusTimer) FollowFocus();
        return TRUE;
      case WM_ERASEBKGND: {
        HDC dc = reinterpret_cast<HDC>(wparam);
        RECT all;
        GetClientRect(m_page, &all);
        FillRect(dc, &all, GetSysColorBrush(COLOR_3DFACE));
        if (m_bandBlock >= 0) {
          SetDCBrushColor(dc, kBand);
          HBRUSH band = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
          RECT column = ColumnBand(), row = RowBand();
          FillRect(dc, &column, band);
          FillRect(dc, &row, band);
        }
        SetWindowLongPtrA(m_page, DWLP_MSGRESULT, TRUE);
        return TRUE;
      }
      case WM_CTLCOLORBTN:
      case WM_CTLCOLORSTATIC: {
        HWND control = reinterpret_cast<HWND>(lparam);
        // Edits keep their own face (a disabled one asks as a static does).
        char kind[16] = {0};
        GetClassNameA(control, kind, sizeof kind);
        if (lstrcmpiA(kind, "Edit") == 0 || !InBand(control)) return FALSE;
        HDC dc = reinterpret_cast<HDC>(wparam);
        SetBkColor(dc, kBand);
        SetDCBrushColor(dc, kBand);
        return reinterpret_cast<INT_PTR>(GetStockObject(DC_BRUSH));
      }
      case WM_DESTROY:
        KillTimer(m_page, kFocusTimer);
        return FALSE;
      default:
        return FALSE;
    }
  }

 private:
  void EnableRows() {
    for (int i = 0; i < kCategories; ++i) {
      bool on = Checked(m_page, IDC_PROFILE_ENABLED1 + i) != 0;
      for (int column = 1; column < kColumns; ++column) Enable(m_page, ControlId(column, i), on);
    }
  }

  RECT ControlRect(int id) const {
    RECT r{};
    HWND control = GetDlgItem(m_page, id);
    if (!control) return r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, m_page, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  // The column from its heading down, and the row across its block.
  RECT ColumnBand() const {
    RECT band = ControlRect(IDC_PROFILE_HEADING1 + 10 * m_bandBlock + m_bandColumn);
    for (int row = 0; row < kRowsPerBlock; ++row) {
      RECT cell = ControlRect(ControlId(m_bandColumn, m_bandBlock * kRowsPerBlock + row));
      UnionRect(&band, &band, &cell);
    }
    InflateRect(&band, 3, 2);
    return band;
  }

  RECT RowBand() const {
    int i = m_bandBlock * kRowsPerBlock + m_bandRow;
    RECT band = ControlRect(IDC_PROFILE_PICTURE1 + i);
    for (int column = 0; column < kColumns; ++column) {
      RECT cell = ControlRect(ControlId(column, i));
      UnionRect(&band, &band, &cell);
    }
    InflateRect(&band, 3, 2);
    return band;
  }

  bool InBand(HWND control) const {
    if (m_bandBlock < 0) return false;
    RECT r, column = ColumnBand(), row = RowBand(), overlap;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, m_page, reinterpret_cast<POINT*>(&r), 2);
    return IntersectRect(&overlap, &r, &column) || IntersectRect(&overlap, &r, &row);
  }

  // A band is moved only when the focus goes to another column or row.
  void FollowFocus() {
    HWND focus = GetFocus();
    if (!focus || GetParent(focus) != m_page) return;
    int id = GetDlgCtrlID(focus);
    for (int i = 0; i < kCategories; ++i)
      for (int column = 0; column < kColumns; ++column) {
        if (ControlId(column, i) != id) continue;
        int block = i / kRowsPerBlock, row = i % kRowsPerBlock;
        if (block == m_bandBlock && column == m_bandColumn && row == m_bandRow) return;
        m_bandBlock = block;
        m_bandColumn = column;
        m_bandRow = row;
        RedrawWindow(m_page, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
        return;
      }
  }

  ProfileArrays& m_arrays;
  int m_bandBlock = -1, m_bandColumn = -1, m_bandRow = -1;
};

}  // namespace

std::unique_ptr<COptionPage> MakeProfilesPage(OptionValues& options, ProfileArrays& arrays) {
  return std::make_unique<CPropertyProfil>(options, arrays);
}

}  // namespace win32ui
