// The editable grid of the "Punching" and "Nibbling" pages: a header row of
// fixed titles over any number of text rows, edited in place. A text cut off
// by its column shows whole in a tool tip; whole rows are selected and can be
// dragged to another place; the grid prints itself, each page footed
// "Page %d of %d".
#ifndef BARPOST_UI_QT_EDIT_GRID_H_
#define BARPOST_UI_QT_EDIT_GRID_H_

#include <functional>

#include <QList>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QTableWidget>

class QPagedPaintDevice;

class CEditGrid : public QTableWidget {
  Q_OBJECT

 public:
  explicit CEditGrid(const QStringList& titles, QWidget* parent = nullptr);

  QString Text(int row, int column) const;
  void SetText(int row, int column, const QString& text);
  // A picture instead of a text; tag is kept with it (the tool kind).
  void SetPicture(int row, int column, const QPixmap& picture, int tag);
  int PictureTag(int row, int column) const;  // -1 without a picture
  // The user cannot type into the cells of this column.
  void SetColumnReadOnly(int column);
  bool RowEmpty(int row) const;

  // Marks each text cell whose text check finds unusable: tinted, with the
  // reason as its tool tip. check(column, text) gives the reason, or nothing
  // when the text is fine; it runs whenever a cell's text is set or edited.
  using CellCheck = std::function<QString(int column, const QString& text)>;
  void SetCellCheck(CellCheck check);
  bool CellMarked(int row, int column) const;
  int MarkedCount() const;

  // Moves the given rows, keeping their order, in front of row before
  // (rowCount() for the end). What a drag of selected rows does.
  void MoveRows(QList<int> rows, int before);

  // Paints the rows up to the last one that holds a text on the pages of
  // device, the header row on each page and "Page %d of %d" under it.
  // Returns the number of pages.
  int PrintTo(QPagedPaintDevice& device) const;
  // Asks for a printer and prints (or, without Qt's print support, asks for
  // a PDF file).
  void Print();

 signals:
  // The user has finished editing a cell of row.
  void CellEdited(int row);
  // Rows were moved to another place.
  void RowsMoved();
  // A cell became marked or no longer is.
  void MarksChanged();

 protected:
  bool viewportEvent(QEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void CheckCell(QTableWidgetItem* cell);

  QList<int> m_readOnly;
  CellCheck m_check;
  bool m_marking = false;
};

#endif  // BARPOST_UI_QT_EDIT_GRID_H_
