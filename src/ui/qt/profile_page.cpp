// The page "Profiles": per profile category whether it is worked, what may
// be done with it, its default transformation and its default origin. The
// controls exchange with working arrays that the sheet fills from the
// category strings; OK writes them back.
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QRadioButton>
#include <QTimer>

#include "ui/qt/option_pages.h"
#include "ui/qt/pictures.h"
#include "ui/qt/qt_text.h"

namespace {

constexpr int kRowsPerBlock = kCategories / 2;
constexpr int kFocusInterval = 100;  // ms
const QColor kBand(150, 230, 150);

}  // namespace


CPropertyProfil::CPropertyProfil(OptionValues& options, const COptionRules& rules,
                                 ProfileArrays& arrays, QWidget* parent)
    : COptionPage(options, rules, parent), m_arrays(arrays) {
  auto* blocks = new QHBoxLayout(this);
  for (int block = 0; block < 2; ++block) {
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    grid->addWidget(new QLabel("Authorization"), 0, 1, 1, 4, Qt::AlignCenter);
    grid->addWidget(new QLabel("Default"), 0, 5, 1, 4, Qt::AlignCenter);
    const char* headings[kColumns] = {"", "X", "Y", "R", "M", "0", "X", "Y", "R", ""};
    for (int column = 0; column < kColumns; ++column) {
      auto* heading = new QLabel(headings[column]);
      heading->setAlignment(Qt::AlignCenter);
      grid->addWidget(heading, 1, column);
      m_cells[block][column][0] = heading;
    }
    for (int r = 0; r < kRowsPerBlock; ++r) {
      int i = block * kRowsPerBlock + r;
      char letter = kCategoryLetters[i];
      m_enabled[i] = new QCheckBox(QString("&") + QChar::fromLatin1(letter));
      m_enabled[i]->setIcon(ProfilePicture(letter));
      m_xSymmetry[i] = new QCheckBox;
      m_ySymmetry[i] = new QCheckBox;
      m_rotation[i] = new QCheckBox;
      m_marking[i] = new QCheckBox;
      m_transformation[i] = new QButtonGroup(this);
      m_origin[i] = new QLineEdit;
      m_origin[i]->setObjectName(QString("origin%1").arg(QChar::fromLatin1(letter)));
      m_origin[i]->setFixedWidth(m_origin[i]->fontMetrics().horizontalAdvance("0000") + 12);

      QWidget* row[kColumns] = {m_enabled[i], m_xSymmetry[i], m_ySymmetry[i], m_rotation[i],
                                m_marking[i], nullptr,      nullptr,         nullptr,
                                nullptr,      m_origin[i]};
      for (int id = 0; id < 4; ++id) {
        auto* button = new QRadioButton;
        m_transformation[i]->addButton(button, id);
        row[5 + id] = button;
      }
      for (int column = 0; column < kColumns; ++column) {
        grid->addWidget(row[column], r + 2, column,
                        column == 0 ? Qt::AlignLeft : Qt::AlignCenter);
        m_cells[block][column][r + 1] = row[column];
      }
      connect(m_enabled[i], &QCheckBox::clicked, this, [this] {
        Store();
        EnableRows();
      });
    }
    grid->setRowStretch(kRowsPerBlock + 2, 1);
    blocks->addLayout(grid);
    if (block == 0) blocks->addSpacing(24);
  }

  // The focus bands follow the keyboard focus while the page exists; the
  // timer goes with the page.
  m_timer = new QTimer(this);
  m_timer->setInterval(kFocusInterval);
  connect(m_timer, &QTimer::timeout, this, &CPropertyProfil::FollowFocus);
  m_timer->start();
}

void CPropertyProfil::Load() {
  for (int i = 0; i < kCategories; ++i) {
    m_enabled[i]->setChecked(m_arrays.enabled[i] != 0);
    m_xSymmetry[i]->setChecked(m_arrays.xSymmetry[i] != 0);
    m_ySymmetry[i]->setChecked(m_arrays.ySymmetry[i] != 0);
    m_rotation[i]->setChecked(m_arrays.rotation[i] != 0);
    m_marking[i]->setChecked(m_arrays.marking[i] != 0);
    CheckButton(m_transformation[i], m_arrays.transformation[i]);
    m_origin[i]->setText(QString::number(m_arrays.origin[i]));
  }
  EnableRows();
}

bool CPropertyProfil::Store() {
  int origins[kCategories];
  for (int i = 0; i < kCategories; ++i) {
    bool ok = false;
    origins[i] = m_origin[i]->text().trimmed().toInt(&ok);
    if (!ok) {
      QMessageBox::warning(this, "Options", "Please enter an integer.");
      m_origin[i]->setFocus();
      m_origin[i]->selectAll();
      return false;
    }
  }
  for (int i = 0; i < kCategories; ++i) {
    m_arrays.enabled[i] = m_enabled[i]->isChecked();
    m_arrays.xSymmetry[i] = m_xSymmetry[i]->isChecked();
    m_arrays.ySymmetry[i] = m_ySymmetry[i]->isChecked();
    m_arrays.rotation[i] = m_rotation[i]->isChecked();
    m_arrays.marking[i] = m_marking[i]->isChecked();
    m_arrays.transformation[i] = m_transformation[i]->checkedId();
    m_arrays.origin[i] = origins[i];
  }
  return true;
}

void CPropertyProfil::Ok() { WriteProfileArrays(m_arrays, m_options); }

void CPropertyProfil::EnableRows() {
  for (int i = 0; i < kCategories; ++i) {
    bool on = m_enabled[i]->isChecked();
    for (QWidget* control : std::initializer_list<QWidget*>{
             m_xSymmetry[i], m_ySymmetry[i], m_rotation[i], m_marking[i], m_origin[i]})
      control->setEnabled(on);
    for (QAbstractButton* button : m_transformation[i]->buttons()) button->setEnabled(on);
  }
}

void CPropertyProfil::FollowFocus() {
  QWidget* focus = QApplication::focusWidget();
  if (!focus) return;
  for (int block = 0; block < 2; ++block)
    for (int column = 0; column < kColumns; ++column)
      for (int row = 1; row <= kRowsPerBlock; ++row) {
        if (m_cells[block][column][row] != focus) continue;
        if (block == m_bandBlock && column == m_bandColumn && row == m_bandRow) return;
        m_bandBlock = block;
        m_bandColumn = column;
        m_bandRow = row;
        update();
        return;
      }
}

QRect CPropertyProfil::CellRect(int block, int column, int row) const {
  const QWidget* cell = m_cells[block][column][row];
  return cell ? cell->geometry() : QRect();
}

void CPropertyProfil::paintEvent(QPaintEvent* event) {
  COptionPage::paintEvent(event);
  if (m_bandBlock < 0) return;
  QPainter p(this);
  // The column from its heading down, then the row across the block.
  QRect column = CellRect(m_bandBlock, m_bandColumn, 0);
  for (int row = 1; row <= kRowsPerBlock; ++row)
    column = column.united(CellRect(m_bandBlock, m_bandColumn, row));
  QRect row;
  for (int c = 0; c < kColumns; ++c) row = row.united(CellRect(m_bandBlock, c, m_bandRow));
  p.fillRect(column.adjusted(-3, -2, 3, 2), kBand);
  p.fillRect(row.adjusted(-3, -2, 3, 2), kBand);
}
