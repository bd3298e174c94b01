// The editable grid of the "Punching" and "Nibbling" pages: a list view in
// report style whose header is the row of fixed column titles, each cell
// edited in place. A click on a cell (or F2 on the selected row) opens an
// edit over it; Enter, Tab or a click elsewhere keeps the text, Escape drops
// it. Cells may show a picture of the list's image list instead of a text;
// a text cut off by its column shows whole in a tip.
#ifndef BARPOST_UI_WIN32_GRID_H_
#define BARPOST_UI_WIN32_GRID_H_

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace win32ui {

class CListGrid {
 public:
  struct Column {
    const wchar_t* title;
    int width;  // in dialog units
    bool read_only = false;
  };

  CListGrid() = default;
  ~CListGrid();
  CListGrid(const CListGrid&) = delete;
  CListGrid& operator=(const CListGrid&) = delete;

  // Takes over the list view control id of dialog and gives it its columns.
  void Attach(HWND dialog, int id, const std::vector<Column>& columns);
  // Pictures for SetPicture; the grid does not own the list.
  void SetImageList(HIMAGELIST images);
  HWND Window() const { return m_list; }

  int RowCount() const;
  void SetRowCount(int rows);
  void AddRow() { SetRowCount(RowCount() + 1); }
  std::string Text(int row, int column) const;
  void SetText(int row, int column, const std::string& text);
  // The picture of a cell, an index into the image list; -1 for none.
  void SetPicture(int row, int column, int image);
  int Picture(int row, int column) const;
  bool RowEmpty(int row) const;

  // Called with the row when the user has finished editing one of its cells.
  std::function<void(int row)> on_cell_edited;

  // Opens the in-place edit on a cell; false for a cell that cannot be
  // typed into. EndEdit closes it, keeping its text when keep is true.
  bool BeginEdit(int row, int column);
  void EndEdit(bool keep);
  HWND EditWindow() const { return m_edit; }

 private:
  static LRESULT CALLBACK ListProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  bool Editable(int column) const;
  // Closes the edit; gives the focus back to the list when the edit has it.
  void Finish(bool keep, bool refocus);

  HWND m_list = nullptr;
  WNDPROC m_listProc = nullptr;
  std::vector<Column> m_columns;
  HWND m_edit = nullptr;
  WNDPROC m_editProc = nullptr;
  int m_editRow = -1;
  int m_editColumn = -1;
};

}  // namespace win32ui

#endif  // BARPOST_UI_WIN32_GRID_H_
