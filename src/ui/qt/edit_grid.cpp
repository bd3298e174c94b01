#include "ui/qt/edit_grid.h"

#include <algorithm>

#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMenu>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QStyledItemDelegate>
#include <QToolTip>

#include "ui/qt/field_checks.h"

#ifdef BARPOST_QT_PRINTSUPPORT
#include <QPrintDialog>
#include <QPrinter>
#endif

namespace {

constexpr int kTagRole = Qt::UserRole + 1;
constexpr int kMarkRole = Qt::UserRole + 2;
constexpr int kPictureColumnWidth = 34;

// Tells the grid when an edit is committed, with the row it was in.
class CCommitDelegate : public QStyledItemDelegate {
 public:
  explicit CCommitDelegate(CEditGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override {
    QStyledItemDelegate::setModelData(editor, model, index);
    emit m_grid->CellEdited(index.row());
  }

 private:
  CEditGrid* m_grid;
};

}  // namespace

CEditGrid::CEditGrid(const QStringList& titles, QWidget* parent) : QTableWidget(parent) {
  setColumnCount(static_cast<int>(titles.size()));
  setHorizontalHeaderLabels(titles);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  horizontalHeader()->setHighlightSections(false);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed);
  setItemDelegate(new CCommitDelegate(this));
  // Rows are dragged within the grid; the drop moves them itself.
  setDragEnabled(true);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DragDrop);
  setDefaultDropAction(Qt::CopyAction);
  setDragDropOverwriteMode(false);
  setDropIndicatorShown(true);
  setWordWrap(false);
  connect(this, &QTableWidget::itemChanged, this, &CEditGrid::CheckCell);
}

void CEditGrid::SetCellCheck(CellCheck check) {
  m_check = std::move(check);
  for (int row = 0; row < rowCount(); ++row)
    for (int column = 0; column < columnCount(); ++column)
      if (QTableWidgetItem* cell = item(row, column)) CheckCell(cell);
}

bool CEditGrid::CellMarked(int row, int column) const {
  const QTableWidgetItem* cell = item(row, column);
  return cell && cell->data(kMarkRole).toBool();
}

int CEditGrid::MarkedCount() const {
  int count = 0;
  for (int row = 0; row < rowCount(); ++row)
    for (int column = 0; column < columnCount(); ++column) count += CellMarked(row, column) ? 1 : 0;
  return count;
}

void CEditGrid::CheckCell(QTableWidgetItem* cell) {
  if (!m_check || m_marking || m_readOnly.contains(cell->column())) return;
  QString reason = m_check(cell->column(), cell->text());
  bool marked = !reason.isEmpty();
  if (marked == cell->data(kMarkRole).toBool() && reason == cell->toolTip()) return;
  m_marking = true;  // the mark changes the cell too
  cell->setData(kMarkRole, marked);
  cell->setToolTip(reason);
  cell->setBackground(marked ? QBrush(MarkedFieldColor()) : QBrush());
  m_marking = false;
  emit MarksChanged();
}

QString CEditGrid::Text(int row, int column) const {
  const QTableWidgetItem* cell = item(row, column);
  return cell ? cell->text() : QString();
}

void CEditGrid::SetText(int row, int column, const QString& text) {
  QTableWidgetItem* cell = item(row, column);
  if (!cell) {
    cell = new QTableWidgetItem;
    if (m_readOnly.contains(column)) cell->setFlags(cell->flags() & ~Qt::ItemIsEditable);
    setItem(row, column, cell);
  }
  cell->setText(text);
}

void CEditGrid::SetPicture(int row, int column, const QPixmap& picture, int tag) {
  SetText(row, column, QString());
  QTableWidgetItem* cell = item(row, column);
  cell->setData(Qt::DecorationRole, picture);
  cell->setData(kTagRole, tag);
  cell->setTextAlignment(Qt::AlignCenter);
}

int CEditGrid::PictureTag(int row, int column) const {
  const QTableWidgetItem* cell = item(row, column);
  if (!cell || !cell->data(kTagRole).isValid()) return -1;
  return cell->data(kTagRole).toInt();
}

void CEditGrid::SetColumnReadOnly(int column) {
  m_readOnly.append(column);
  horizontalHeader()->setSectionResizeMode(column, QHeaderView::Fixed);
  setColumnWidth(column, kPictureColumnWidth);
  for (int row = 0; row < rowCount(); ++row)
    if (QTableWidgetItem* cell = item(row, column))
      cell->setFlags(cell->flags() & ~Qt::ItemIsEditable);
}

bool CEditGrid::RowEmpty(int row) const {
  for (int column = 0; column < columnCount(); ++column)
    if (!m_readOnly.contains(column) && !Text(row, column).trimmed().isEmpty()) return false;
  return true;
}

void CEditGrid::MoveRows(QList<int> rows, int before) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  rows.removeIf([this](int row) { return row < 0 || row >= rowCount(); });
  if (rows.isEmpty()) return;
  before = std::clamp(before, 0, rowCount());

  QList<QList<QTableWidgetItem*>> moved;
  for (int row : rows) {
    QList<QTableWidgetItem*> cells;
    for (int column = 0; column < columnCount(); ++column) cells.append(takeItem(row, column));
    moved.append(cells);
  }
  int removedAbove = 0;
  for (auto it = rows.crbegin(); it != rows.crend(); ++it) {
    removeRow(*it);
    if (*it < before) ++removedAbove;
  }
  int at = before - removedAbove;
  clearSelection();
  for (int k = 0; k < moved.size(); ++k) {
    insertRow(at + k);
    for (int column = 0; column < columnCount(); ++column)
      setItem(at + k, column, moved[k][column]);
    selectRow(at + k);
  }
  emit RowsMoved();
}

bool CEditGrid::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    QModelIndex index = indexAt(help->pos());
    QString text = index.isValid() ? index.data().toString() : QString();
    QString reason = index.isValid() ? index.data(Qt::ToolTipRole).toString() : QString();
    QRect cell = visualRect(index);
    // A marked cell says why; others show their text when the column cuts it off.
    if (!reason.isEmpty()) {
      QToolTip::showText(help->globalPos(), reason, viewport(), cell);
    } else if (!text.isEmpty() && fontMetrics().horizontalAdvance(text) + 8 > cell.width()) {
      QToolTip::showText(help->globalPos(), text, viewport(), cell);
    } else {
      QToolTip::hideText();
      event->ignore();
    }
    return true;
  }
  return QTableWidget::viewportEvent(event);
}

void CEditGrid::dropEvent(QDropEvent* event) {
  if (event->source() != this) {
    event->ignore();
    return;
  }
  QPoint at = event->position().toPoint();
  int before = indexAt(at).row();
  if (before < 0) {
    before = rowCount();
  } else if (dropIndicatorPosition() == QAbstractItemView::BelowItem) {
    ++before;
  }
  QList<int> rows;
  for (const QModelIndex& index : selectionModel()->selectedRows()) rows.append(index.row());
  MoveRows(rows, before);
  // Copy, not move: the view must not remove the dragged rows again.
  event->setDropAction(Qt::CopyAction);
  event->accept();
}

void CEditGrid::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* print = menu.addAction(tr("Print..."));
  if (menu.exec(event->globalPos()) == print) Print();
}

int CEditGrid::PrintTo(QPagedPaintDevice& device) const {
  int rows = rowCount();
  while (rows > 0 && RowEmpty(rows - 1)) --rows;

  QPainter p(&device);
  QFont font = this->font();
  font.setPointSizeF(10);
  p.setFont(font);
  const QFontMetrics metrics = p.fontMetrics();
  const int rowHeight = metrics.height() * 3 / 2;
  const QRect page(0, 0, device.width(), device.height());
  const int footer = rowHeight * 2;
  const int perPage = std::max(1, (page.height() - footer) / rowHeight - 1);
  const int pages = std::max(1, (rows + perPage - 1) / perPage);

  // The page is shared out as the grid shares its width.
  QList<int> widths;
  int total = 0;
  for (int column = 0; column < columnCount(); ++column) total += std::max(1, columnWidth(column));
  for (int column = 0; column < columnCount(); ++column)
    widths.append(page.width() * std::max(1, columnWidth(column)) / std::max(1, total));

  auto drawRow = [&](int y, auto cellText, auto cellPicture, bool header) {
    int x = 0;
    for (int column = 0; column < columnCount(); ++column) {
      QRect box(x, y, widths[column], rowHeight);
      if (header) p.fillRect(box, QColor(225, 225, 225));
      p.drawRect(box);
      QPixmap picture = cellPicture(column);
      if (!picture.isNull()) {
        QSize size = picture.size().scaled(box.size() * 7 / 10, Qt::KeepAspectRatio);
        QRect target(QPoint(0, 0), size);
        target.moveCenter(box.center());
        p.drawPixmap(target, picture);
      } else {
        p.drawText(box.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft,
                   metrics.elidedText(cellText(column), Qt::ElideRight, box.width() - 8));
      }
      x += widths[column];
    }
  };

  for (int pageIndex = 0; pageIndex < pages; ++pageIndex) {
    if (pageIndex > 0) device.newPage();
    drawRow(
        0, [&](int column) { return horizontalHeaderItem(column)->text(); },
        [](int) { return QPixmap(); }, true);
    int first = pageIndex * perPage;
    for (int row = first; row < std::min(rows, first + perPage); ++row) {
      drawRow(
          (row - first + 1) * rowHeight, [&](int column) { return Text(row, column); },
          [&](int column) {
            const QTableWidgetItem* cell = item(row, column);
            return cell ? cell->data(Qt::DecorationRole).value<QPixmap>() : QPixmap();
          },
          false);
    }
    p.drawText(QRect(0, page.height() - footer, page.width(), footer), Qt::AlignCenter,
               QString::asprintf("Page %d of %d", pageIndex + 1, pages));
  }
  return pages;
}

void CEditGrid::Print() {
#ifdef BARPOST_QT_PRINTSUPPORT
  QPrinter printer;
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() == QDialog::Accepted) PrintTo(printer);
#else
  QString file = QFileDialog::getSaveFileName(this, tr("Print"), QString(), tr("PDF (*.pdf)"));
  if (file.isEmpty()) return;
  QPdfWriter writer(file);
  PrintTo(writer);
#endif
}
