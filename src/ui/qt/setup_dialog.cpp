#include "ui/qt/setup_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/qt/qt_text.h"

namespace {

constexpr int kProgramRowsShown = 8;  // more hole types scroll
constexpr int kMaxSizeText = 99;      // what the INI file keeps of a value

QColor ToColor(const Rgb& c) { return QColor(c.r, c.g, c.b); }

QTableWidgetItem* Cell(const QString& text) {
  auto* cell = new QTableWidgetItem(text);
  cell->setFlags(Qt::ItemIsEnabled);
  return cell;
}

}  // namespace

CSetupDialog::CSetupDialog(CSetupView& setup, QWidget* parent) : QDialog(parent), m_setup(setup) {
  setWindowTitle("Setup machine");

  auto* units = new QGroupBox("Setup");
  auto* grid = new QGridLayout(units);
  grid->addWidget(new QLabel("Level"), 0, 0);
  grid->addWidget(new QLabel("Unit"), 0, 1);
  grid->addWidget(new QLabel("Diameter"), 0, 2);
  for (int i = 0; i < CSetup::kUnits; ++i) {
    m_levels[i] = new QLabel("*");
    m_units[i] = new QLabel("*");
    m_sizes[i] = new QLineEdit;
    m_sizes[i]->setMaxLength(kMaxSizeText);
    m_sizes[i]->setObjectName(QString("size%1").arg(i + 1));
    grid->addWidget(m_levels[i], i + 1, 0);
    grid->addWidget(m_units[i], i + 1, 1);
    grid->addWidget(m_sizes[i], i + 1, 2);
    connect(m_sizes[i], &QLineEdit::textEdited, this,
            [this, i](const QString& text) { SizeEdited(i, text); });
  }
  grid->setColumnStretch(2, 1);
  grid->setRowStretch(CSetup::kUnits + 1, 1);

  auto* holes = new QGroupBox("Program");
  auto* holesLayout = new QVBoxLayout(holes);
  // The fit column says in a word what the colour of the size says.
  m_program = new QTableWidget(0, 3);
  m_program->setHorizontalHeaderLabels({"Level", "Diameter", "Fit"});
  m_program->verticalHeader()->hide();
  m_program->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  m_program->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  m_program->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
  m_program->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
  m_program->setSelectionMode(QAbstractItemView::NoSelection);
  m_program->setFocusPolicy(Qt::NoFocus);
  m_program->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_program->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  m_program->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  int rowHeight = m_program->verticalHeader()->defaultSectionSize();
  m_program->setFixedHeight(m_program->horizontalHeader()->sizeHint().height() +
                            kProgramRowsShown * rowHeight + 2 * m_program->frameWidth());
  holesLayout->addWidget(m_program);

  auto* tables = new QHBoxLayout;
  tables->addWidget(units, 3);
  tables->addWidget(holes, 2);

  m_summary = new QLabel;
  m_summary->setObjectName("summary");
  m_summary->setWordWrap(true);

  m_status = new QLabel;
  m_status->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  m_ok = buttons->button(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(m_status, 1);
  bottom->addWidget(buttons);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(tables);
  layout->addWidget(m_summary);
  layout->addLayout(bottom);

  m_setup.Initialise();
  ShowUnits();
  ShowProgram();
  setWindowTitle(ToQt(m_setup.Caption()));
  m_status->setText(ToQt(m_setup.Status()));
  resize(sizeHint().expandedTo(QSize(540, 0)));
}

void CSetupDialog::ShowUnits() {
  for (int i = 0; i < CSetup::kUnits; ++i) {
    CSetup::UnitRow row = m_setup.Unit(i);
    m_levels[i]->setText(ToQt(row.level));
    m_units[i]->setText(ToQt(row.unit));
    m_sizes[i]->setText(ToQt(m_setup.SizeText(i)));
    m_sizes[i]->setVisible(row.size_visible);
  }
}

void CSetupDialog::ShowProgram() {
  int count = m_setup.ProgramCount();
  m_program->setRowCount(count);
  for (int k = 0; k < count; ++k) {
    CSetup::ProgramRow row = m_setup.ProgramRow(k);
    m_program->setItem(k, 0, Cell(ToQt(row.level)));
    QTableWidgetItem* size = Cell(ToQt(row.size));
    QTableWidgetItem* fit = Cell(ToQt(row.fit));
    for (QTableWidgetItem* cell : {size, fit}) {
      cell->setForeground(ToColor(row.text));
      cell->setBackground(ToColor(row.background));
    }
    m_program->setItem(k, 1, size);
    m_program->setItem(k, 2, fit);
  }
  m_summary->setText(ToQt(m_setup.Summary()));
  m_ok->setEnabled(m_setup.OkEnabled());
}

void CSetupDialog::SizeEdited(int unit, const QString& text) {
  m_setup.SetSizeText(unit, FromQt(text));  // refreshes the hole types
  ShowProgram();
}
