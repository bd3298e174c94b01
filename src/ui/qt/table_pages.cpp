// The pages "Punching" and "Nibbling": the two tables of the options, each
// edited in a grid that always ends with an empty row to type into.
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "base/text.h"
#include "ui/qt/edit_grid.h"
#include "ui/qt/option_pages.h"
#include "ui/qt/pictures.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/window_plugin.h"

namespace {

// A size as the grids show it, with its decimals (3 for the punches): nothing for 0.
QString SizeCell(double value, int decimals) {
  return value == 0 ? QString() : QString::number(value, 'f', decimals);
}

// A cell as a number, as atof reads it: empty or not a number is 0.
double CellValue(const CEditGrid* grid, int row, int column) {
  return ToDouble(FromQt(grid->Text(row, column)));
}

// Marks the grid's cells in columns from first on that hold no length; such
// a cell counts as 0 and its row may be dropped at OK.
void CheckLengths(CEditGrid* grid, const COptionRules& rules, int first) {
  grid->SetCellCheck([&rules, first](int column, const QString& text) {
    if (column < first) return QString();
    FieldCheck check = rules.CheckField(OptionField::kLength, FromQt(text), 0);
    return check.state == FieldState::kUsable ? QString() : ToQt(check.reason);
  });
}

// The line under a grid that gives the unit of its columns.
QLabel* UnitLine(const COptionRules& rules, const QString& columns) {
  auto* line = new QLabel(columns + " in " + ToQt(rules.FieldUnit(OptionField::kLength, 0)));
  line->setObjectName("unitLine");
  return line;
}

// The grid keeps an empty row at its end: editing the last row or moving
// rows behind it adds one.
void KeepEmptyLastRow(CEditGrid* grid) {
  if (grid->rowCount() == 0 || !grid->RowEmpty(grid->rowCount() - 1))
    grid->insertRow(grid->rowCount());
}

}  // namespace

// ---------------------------------------------------------------- Punching

CPropertyPoinconnage::CPropertyPoinconnage(OptionValues& options, const COptionRules& rules,
                                           QWidget* parent)
    : COptionPage(options, rules, parent) {
  auto* box = new QGroupBox("Off-center punches");
  auto* boxLayout = new QVBoxLayout(box);
  m_grid = new CEditGrid({"Punching Ø", "Tool Ø", "Offset"});
  CheckLengths(m_grid, m_rules, 0);
  connect(m_grid, &CEditGrid::MarksChanged, this, &COptionPage::MarksChanged);
  boxLayout->addWidget(m_grid);
  boxLayout->addWidget(UnitLine(m_rules, "Punching Ø, Tool Ø and Offset"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(box);

  connect(m_grid, &CEditGrid::CellEdited, this, [this](int row) {
    if (row == m_grid->rowCount() - 1) m_grid->insertRow(m_grid->rowCount());
  });
  connect(m_grid, &CEditGrid::RowsMoved, this, [this] { KeepEmptyLastRow(m_grid); });
}

void CPropertyPoinconnage::Load() {
  const auto& punches = m_options.poincons;
  m_grid->setRowCount(punches.GetSize() + 1);
  for (int row = 0; row < punches.GetSize(); ++row) {
    m_grid->SetText(row, 0, SizeCell(punches[row].m_dDiameter, 3));
    m_grid->SetText(row, 1, SizeCell(punches[row].m_dTool, 3));
    m_grid->SetText(row, 2, SizeCell(punches[row].m_dOffset, 3));
  }
}

int CPropertyPoinconnage::MarkedCount() const { return m_grid->MarkedCount(); }

void CPropertyPoinconnage::Ok() {
  auto& punches = m_options.poincons;
  punches.RemoveAll();
  for (int row = 0; row < m_grid->rowCount(); ++row) {
    double diameter = CellValue(m_grid, row, 0);
    double tool = CellValue(m_grid, row, 1);
    double offset = CellValue(m_grid, row, 2);
    if (tool > 0 && diameter > 0) punches.Add(CPoincon(diameter, tool, offset));
  }
}

// ---------------------------------------------------------------- Nibbling

CPropertyMagasin::CPropertyMagasin(OptionValues& options, const COptionRules& rules,
                                   QWidget* parent)
    : COptionPage(options, rules, parent) {
  m_roughness = new QLineEdit;
  m_roughness->setObjectName("roughness");
  m_checks->Check(m_roughness, OptionField::kLength);
  auto* form = new QFormLayout;
  form->addRow("Roughness", m_checks->WithUnit(m_roughness));
  m_grid = new CEditGrid({"T", "Diameter", "Length", " Width"});
  m_grid->SetColumnReadOnly(kKind);
  CheckLengths(m_grid, m_rules, kDiameter);
  connect(m_grid, &CEditGrid::MarksChanged, this, &COptionPage::MarksChanged);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(m_grid);
  layout->addWidget(UnitLine(m_rules, "Diameter, Length and Width"));

  connect(m_grid, &CEditGrid::CellEdited, this, &CPropertyMagasin::RowEdited);
  connect(m_grid, &CEditGrid::RowsMoved, this, [this] { KeepEmptyLastRow(m_grid); });
}

void CPropertyMagasin::Load() {
  m_roughness->setText(ToQt(m_options.Rugosite));
  const auto& tools = m_options.outils;
  m_grid->setRowCount(tools.GetSize() + 1);
  for (int row = 0; row < tools.GetSize(); ++row) {
    const CMagasin& tool = tools[row];
    int kind = tool.m_cKind;
    m_grid->SetPicture(row, kKind, ToolPicture(kind), kind);
    if (kind != kRectangularTool) m_grid->SetText(row, kDiameter, SizeCell(tool.m_dDiameter, 2));
    if (kind == kRectangularTool || kind == kOblongTool)
      m_grid->SetText(row, kLength, SizeCell(tool.m_dLength, 2));
    if (kind == kRectangularTool) m_grid->SetText(row, kWidth, SizeCell(tool.m_dWidth, 2));
  }
}

bool CPropertyMagasin::Store() {
  m_options.Rugosite = FromQt(m_roughness->text());
  return true;
}

void CPropertyMagasin::RowEdited(int row) {
  int kind = TypedToolKind(CellValue(m_grid, row, kLength), CellValue(m_grid, row, kWidth));
  m_grid->SetPicture(row, kKind, ToolPicture(kind), kind);
  if (row == m_grid->rowCount() - 1) m_grid->insertRow(m_grid->rowCount());
}

int CPropertyMagasin::MarkedCount() const {
  return m_checks->MarkedCount() + m_grid->MarkedCount();
}

void CPropertyMagasin::Ok() {
  auto& tools = m_options.outils;
  tools.RemoveAll();
  for (int row = 0; row < m_grid->rowCount(); ++row) {
    CMagasin tool;
    if (m_rules.ToolFromSizes(CellValue(m_grid, row, kDiameter), CellValue(m_grid, row, kLength),
                              CellValue(m_grid, row, kWidth), &tool))
      tools.Add(tool);
  }
}
