#include "ui/win32/grid.h"

#include <windowsx.h>

namespace win32ui {
namespace {

constexpr const char* kGridProperty = "barpost.grid";

CListGrid* GridOf(HWND window) {
  return static_cast<CListGrid*>(GetPropA(window, kGridProperty));
}

}  // namespace

CListGrid::~CListGrid() {
  if (m_list && IsWindow(m_list)) {
    EndEdit(false);
    SetWindowLongPtrA(m_list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_listProc));
    RemovePropA(m_list, kGridProperty);
  }
}

void CListGrid::Attach(HWND dialog, int id, const std::vector<Column>& columns) {
  m_list = GetDlgItem(dialog, id);
  m_columns = columns;
  ListView_SetExtendedListViewStyle(
      m_list, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES | LVS_EX_LABELTIP);
  for (std::size_t c = 0; c < columns.size(); ++c) {
    RECT width{0, 0, columns[c].width, 0};
    MapDialogRect(dialog, &width);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(columns[c].title);
    column.cx = width.right;
    column.iSubItem = static_cast<int>(c);
    SendMessageW(m_list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
  }
  SetPropA(m_list, kGridProperty, this);
  m_listProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(m_list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CListGrid::ListProc)));
}

void CListGrid::SetImageList(HIMAGELIST images) {
  ListView_SetImageList(m_list, images, LVSIL_SMALL);
}

int CListGrid::RowCount() const { return ListView_GetItemCount(m_list); }

void CListGrid::SetRowCount(int rows) {
  EndEdit(true);
  while (RowCount() > rows) ListView_DeleteItem(m_list, RowCount() - 1);
  while (RowCount() < rows) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = RowCount();
    item.pszText = const_cast<char*>("");
    item.iImage = I_IMAGENONE;
    SendMessageA(m_list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    for (std::size_t c = 1; c < m_columns.size(); ++c) SetPicture(item.iItem, static_cast<int>(c), -1);
  }
}

std::string CListGrid::Text(int row, int column) const {
  char buffer[512] = {0};
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = sizeof buffer;
  LRESULT n = SendMessageA(m_list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  return std::string(buffer, static_cast<std::size_t>(n > 0 ? n : 0));
}

void CListGrid::SetText(int row, int column, const std::string& text) {
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = const_cast<char*>(text.c_str());
  SendMessageA(m_list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

void CListGrid::SetPicture(int row, int column, int image) {
  LVITEMA item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  item.iSubItem = column;
  item.iImage = image < 0 ? I_IMAGENONE : image;
  SendMessageA(m_list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

int CListGrid::Picture(int row, int column) const {
  LVITEMA item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  item.iSubItem = column;
  if (!SendMessageA(m_list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return -1;
  return item.iImage < 0 ? -1 : item.iImage;
}

bool CListGrid::RowEmpty(int row) const {
  for (std::size_t c = 0; c < m_columns.size(); ++c)
    if (!Text(row, static_cast<int>(c)).empty()) return false;
  return true;
}

bool CListGrid::Editable(int column) const {
  return column >= 0 && column < static_cast<int>(m_columns.size()) &&
         !m_columns[static_cast<std::size_t>(column)].read_only;
}

bool CListGrid::BeginEdit(int row, int column) {
  EndEdit(true);
  if (row < 0 || row >= RowCount() || !Editable(column)) return false;
  ListView_SetItemState(m_list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(m_list, row, FALSE);
  RECT cell{};
  cell.top = column;
  cell.left = column == 0 ? LVIR_LABEL : LVIR_BOUNDS;
  if (!SendMessageA(m_list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell))) return false;
  if (column == 0) cell.right = cell.left + ListView_GetColumnWidth(m_list, 0);
  m_edit = CreateWindowExA(0, "EDIT", Text(row, column).c_str(),
                           WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, cell.left, cell.top,
                           cell.right - cell.left, cell.bottom - cell.top, m_list, nullptr,
                           reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(m_list, GWLP_HINSTANCE)),
                           nullptr);
  if (!m_edit) return false;
  m_editRow = row;
  m_editColumn = column;
  SendMessageA(m_edit, WM_SETFONT, SendMessageA(m_list, WM_GETFONT, 0, 0), FALSE);
  SetPropA(m_edit, kGridProperty, this);
  m_editProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(m_edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CListGrid::EditProc)));
  SendMessageA(m_edit, EM_SETSEL, 0, -1);
  SetFocus(m_edit);
  return true;
}

void CListGrid::EndEdit(bool keep) { Finish(keep, true); }

void CListGrid::Finish(bool keep, bool refocus) {
  if (!m_edit) return;
  HWND edit = m_edit;
  m_edit = nullptr;  // the edit's losing the focus below must not end it twice
  const int row = m_editRow;
  std::string text;
  {
    int length = GetWindowTextLengthA(edit);
    text.resize(static_cast<std::size_t>(length) + 1);
    text.resize(static_cast<std::size_t>(GetWindowTextA(edit, text.data(), length + 1)));
  }
  if (keep) SetText(row, m_editColumn, text);
  RemovePropA(edit, kGridProperty);
  SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_editProc));
  if (refocus && GetFocus() == edit) SetFocus(m_list);
  DestroyWindow(edit);
  m_editRow = m_editColumn = -1;
  if (keep && on_cell_edited) on_cell_edited(row);
}

LRESULT CALLBACK CListGrid::ListProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  CListGrid* grid = GridOf(window);
  if (!grid) return DefWindowProcA(window, message, wparam, lparam);
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      LVHITTESTINFO hit{};
      hit.pt = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
      if (SendMessageA(window, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) >= 0 &&
          hit.iItem >= 0) {
        SetFocus(window);
        if (!grid->BeginEdit(hit.iItem, hit.iSubItem))
          ListView_SetItemState(window, hit.iItem, LVIS_SELECTED | LVIS_FOCUSED,
                                LVIS_SELECTED | LVIS_FOCUSED);
        return 0;
      }
      grid->EndEdit(true);
      break;
    }
    case WM_KEYDOWN:
      if (wparam == VK_F2) {
        int row = ListView_GetNextItem(window, -1, LVNI_FOCUSED);
        for (int c = 0; c < static_cast<int>(grid->m_columns.size()); ++c)
          if (grid->BeginEdit(row, c)) return 0;
      }
      break;
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL:
      grid->EndEdit(true);
      break;
    case WM_NOTIFY:
      // Columns resized under an open edit: keep the text, close the edit.
      if (reinterpret_cast<NMHDR*>(lparam)->code == HDN_BEGINTRACKW ||
          reinterpret_cast<NMHDR*>(lparam)->code == HDN_BEGINTRACKA)
        grid->EndEdit(true);
      break;
    default:
      break;
  }
  return CallWindowProcA(grid->m_listProc, window, message, wparam, lparam);
}

LRESULT CALLBACK CListGrid::EditProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  CListGrid* grid = GridOf(window);
  if (!grid) return DefWindowProcA(window, message, wparam, lparam);
  WNDPROC base = grid->m_editProc;
  switch (message) {
    case WM_GETDLGCODE:
      // Enter, Escape and Tab belong to the edit, not to the sheet's buttons.
      return DLGC_WANTALLKEYS | CallWindowProcA(base, window, message, wparam, lparam);
    case WM_KEYDOWN:
      if (wparam == VK_RETURN) {
        grid->EndEdit(true);
        return 0;
      }
      if (wparam == VK_ESCAPE) {
        grid->EndEdit(false);
        return 0;
      }
      if (wparam == VK_TAB) {
        int row = grid->m_editRow;
        int column = grid->m_editColumn;
        grid->EndEdit(true);
        // On to the next cell that can be typed into, row after row.
        const int columns = static_cast<int>(grid->m_columns.size());
        for (int step = 1; step <= columns * 2; ++step) {
          int c = column + step;
          int r = row + c / columns;
          if (r >= grid->RowCount()) break;
          if (grid->BeginEdit(r, c % columns)) break;
        }
        return 0;
      }
      break;
    case WM_CHAR:
      if (wparam == '\r' || wparam == '\t' || wparam == 27) return 0;  // no beep
      break;
    case WM_KILLFOCUS:
      if (grid->m_edit == window) {
        LRESULT result = CallWindowProcA(base, window, message, wparam, lparam);
        grid->Finish(true, false);  // the focus is on its way elsewhere
        return result;
      }
      break;
    default:
      break;
  }
  return CallWindowProcA(base, window, message, wparam, lparam);
}

}  // namespace win32ui
