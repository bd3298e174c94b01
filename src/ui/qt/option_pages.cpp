// The pages "General", "Offsets", "Nesting" and "Marking": edits, checks and
// button groups bound to the option fields.
#include "ui/qt/option_pages.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/qt/qt_text.h"

namespace {

QString RowName(int i) { return QString("#%1").arg(i + 1); }

// Radio buttons with ids 0, 1, ... in a group box laid out in a row (or a
// column).
QButtonGroup* AddRadios(QWidget* owner, QGroupBox* box, const QStringList& captions,
                        bool vertical) {
  auto* group = new QButtonGroup(owner);
  QBoxLayout* layout = vertical ? static_cast<QBoxLayout*>(new QVBoxLayout(box))
                                : static_cast<QBoxLayout*>(new QHBoxLayout(box));
  for (int id = 0; id < captions.size(); ++id) {
    auto* button = new QRadioButton(captions[id]);
    group->addButton(button, id);
    layout->addWidget(button);
  }
  layout->addStretch();
  return group;
}

QLineEdit* NewEdit(const QString& name = QString()) {
  auto* edit = new QLineEdit;
  if (!name.isEmpty()) edit->setObjectName(name);
  return edit;
}

void Show(QLineEdit* edit, const std::string& text) { edit->setText(ToQt(text)); }
void Take(const QLineEdit* edit, std::string& field) { field = FromQt(edit->text()); }
void Show(QCheckBox* check, int value) { check->setChecked(value != 0); }
void Take(const QCheckBox* check, int& field) { field = check->isChecked() ? 1 : 0; }

}  // namespace

COptionPage::COptionPage(OptionValues& options, const COptionRules& rules, QWidget* parent)
    : QWidget(parent),
      m_options(options),
      m_rules(rules),
      m_checks(new CFieldChecks(rules, options.Unite, this)) {
  connect(m_checks, &CFieldChecks::MarksChanged, this, &COptionPage::MarksChanged);
}

// ---------------------------------------------------------------- General

CPropertyGeneral::CPropertyGeneral(OptionValues& options, const COptionRules& rules,
                                   QWidget* parent)
    : COptionPage(options, rules, parent) {
  auto* quadrantBox = new QGroupBox("Driving quadrant");
  m_quadrant = new QButtonGroup(this);
  auto* quadrants = new QGridLayout(quadrantBox);
  // Laid out as the quadrants lie: 2 1 over 3 4.
  const int cell[4][2] = {{0, 1}, {0, 0}, {1, 0}, {1, 1}};
  for (int id = 0; id < 4; ++id) {
    auto* button = new QRadioButton(QString::number(id + 1));
    m_quadrant->addButton(button, id);
    quadrants->addWidget(button, cell[id][0], cell[id][1]);
  }

  auto* unitBox = new QGroupBox("Unit");
  m_unit = AddRadios(this, unitBox, {"CAM", "Millimeter", "Inch"}, true);
  // The sizes of the punching units are read in the unit chosen here.
  connect(m_unit, &QButtonGroup::idClicked, m_checks, &CFieldChecks::SetUnite);
  auto* cncBox = new QGroupBox("CNC type");
  m_cnc = AddRadios(this, cncBox, {"Siemens 840Di", "Fagor", "Ocean Clipper"}, true);
  auto* optionsBox = new QGroupBox("Options");
  auto* optionsLayout = new QVBoxLayout(optionsBox);
  m_lineNumbering = new QCheckBox("Line numbering");
  optionsLayout->addWidget(m_lineNumbering);
  optionsLayout->addStretch();

  auto* punchBox = new QGroupBox("Punching device");
  auto* punches = new QGridLayout(punchBox);
  const char* titles[] = {"Level", "Y axis code", "M function", "Diameter"};
  for (int c = 0; c < 4; ++c) punches->addWidget(new QLabel(titles[c]), 0, c + 1);
  for (int i = 0; i < kUnitRows; ++i) {
    punches->addWidget(new QLabel(RowName(i)), i + 1, 0);
    m_level[i] = NewEdit(QString("level%1").arg(i + 1));
    m_axis[i] = NewEdit(QString("axis%1").arg(i + 1));
    m_mfunc[i] = NewEdit(QString("mfunc%1").arg(i + 1));
    m_diameter[i] = NewEdit(QString("diameter%1").arg(i + 1));
    m_checks->Check(m_level[i], OptionField::kLevel);
    m_checks->Check(m_axis[i], OptionField::kAxisCode, true);
    m_checks->Check(m_mfunc[i], OptionField::kMFunction, true);
    m_checks->Check(m_diameter[i], OptionField::kUnitSize);
    punches->addWidget(m_level[i], i + 1, 1);
    punches->addWidget(m_axis[i], i + 1, 2);
    punches->addWidget(m_mfunc[i], i + 1, 3);
    punches->addWidget(m_checks->WithUnit(m_diameter[i]), i + 1, 4);
  }
  punches->setColumnStretch(4, 2);

  auto* cuttingBox = new QGroupBox("Cutting device");
  auto* cutting = new QFormLayout(cuttingBox);
  m_cutting = NewEdit("cutting");
  m_checks->Check(m_cutting, OptionField::kMFunction, true);
  cutting->addRow("M function", m_cutting);

  auto* directory = new QFormLayout;
  m_directory = NewEdit("directory");
  directory->addRow("Directory", m_directory);

  auto* top = new QHBoxLayout;
  top->addWidget(quadrantBox);
  top->addWidget(unitBox);
  top->addWidget(cncBox);
  top->addWidget(optionsBox);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(punchBox);
  layout->addWidget(cuttingBox);
  layout->addLayout(directory);
  layout->addStretch();
}

void CPropertyGeneral::Load() {
  CheckButton(m_quadrant, m_options.Motrice - 1);
  CheckButton(m_unit, m_options.Unite);
  m_checks->SetUnite(m_options.Unite);
  CheckButton(m_cnc, m_options.Cnc);
  Show(m_lineNumbering, m_options.Ligne);
  for (int i = 0; i < kUnitRows; ++i) {
    rec_uni row = i < m_options.units.GetSize() ? m_options.units[i] : rec_uni{};
    Show(m_level[i], row.level);
    Show(m_axis[i], row.axis);
    Show(m_mfunc[i], row.mfunc);
    Show(m_diameter[i], row.diameter);
  }
  Show(m_cutting, m_options.Fctcoupe);
  Show(m_directory, m_options.Dir);
}

bool CPropertyGeneral::Store() {
  // No button checked reads as -1, as the button index does.
  m_options.Motrice = m_quadrant->checkedId() + 1;
  m_options.Unite = m_unit->checkedId();
  m_options.Cnc = m_cnc->checkedId();
  Take(m_lineNumbering, m_options.Ligne);
  while (m_options.units.GetSize() < kUnitRows) m_options.units.Add(rec_uni{});
  for (int i = 0; i < kUnitRows; ++i) {
    rec_uni& row = m_options.units[i];  // the spare field has no control and stays
    Take(m_level[i], row.level);
    Take(m_axis[i], row.axis);
    Take(m_mfunc[i], row.mfunc);
    Take(m_diameter[i], row.diameter);
  }
  Take(m_cutting, m_options.Fctcoupe);
  Take(m_directory, m_options.Dir);
  return true;
}

// ---------------------------------------------------------------- Offsets

CPropertyOffset::CPropertyOffset(OptionValues& options, const COptionRules& rules,
                                 QWidget* parent)
    : COptionPage(options, rules, parent) {
  auto* toolsBox = new QGroupBox("Tools X");
  auto* tools = new QFormLayout(toolsBox);
  auto* clampsBox = new QGroupBox("Clamps X");
  auto* clamps = new QGridLayout(clampsBox);
  clamps->addWidget(new QLabel("Open"), 0, 1);
  clamps->addWidget(new QLabel("Close"), 0, 2);
  for (int i = 0; i < kUnitRows; ++i) {
    m_toolX[i] = NewEdit(QString("toolX%1").arg(i + 1));
    m_clampOpen[i] = NewEdit(QString("clampOpen%1").arg(i + 1));
    m_clampClose[i] = NewEdit(QString("clampClose%1").arg(i + 1));
    for (QLineEdit* edit : {m_toolX[i], m_clampOpen[i], m_clampClose[i]})
      m_checks->Check(edit, OptionField::kLength);
    tools->addRow(RowName(i), m_checks->WithUnit(m_toolX[i]));
    clamps->addWidget(new QLabel(RowName(i)), i + 1, 0);
    clamps->addWidget(m_checks->WithUnit(m_clampOpen[i]), i + 1, 1);
    clamps->addWidget(m_checks->WithUnit(m_clampClose[i]), i + 1, 2);
  }
  // A hidden edit keeps its place, so the labels stay where they are.
  for (QLineEdit* edit : m_clampOpen) {
    QSizePolicy policy = edit->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    edit->setSizePolicy(policy);
  }
  for (QLineEdit* edit : m_clampClose) {
    QSizePolicy policy = edit->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    edit->setSizePolicy(policy);
  }
  clamps->setRowStretch(kUnitRows + 1, 1);

  auto* offsetsBox = new QGroupBox("Offsets");
  auto* offsets = new QFormLayout(offsetsBox);
  m_cutting = NewEdit("offCutting");
  m_marking = NewEdit("offMarking");
  m_gearing = NewEdit("offGearing");
  m_originYZ = NewEdit("offOriginYZ");
  for (QLineEdit* edit : {m_cutting, m_marking, m_originYZ})
    m_checks->Check(edit, OptionField::kLength);
  m_checks->Check(m_gearing, OptionField::kNumber);
  offsets->addRow("Cutting", m_checks->WithUnit(m_cutting));
  offsets->addRow("Marking", m_checks->WithUnit(m_marking));
  offsets->addRow("Gearing X", m_gearing);
  offsets->addRow("Origin YZ", m_checks->WithUnit(m_originYZ));

  auto* parametersBox = new QGroupBox("Parameters");
  auto* parameters = new QFormLayout(parametersBox);
  m_speed = NewEdit("speed");
  AcceptDigitsOnly(m_speed);
  m_checks->Check(m_speed, OptionField::kNumber);
  parameters->addRow("Signoscript speed", m_speed);

  auto* right = new QVBoxLayout;
  right->addWidget(offsetsBox);
  right->addWidget(parametersBox);
  right->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(toolsBox, 0, Qt::AlignTop);
  layout->addWidget(clampsBox, 0, Qt::AlignTop);
  layout->addLayout(right);
}

void CPropertyOffset::Load() {
  for (int i = 0; i < kUnitRows; ++i) {
    Show(m_toolX[i], m_options.Off_X[i]);
    Show(m_clampOpen[i], m_options.Clamp_Open[i]);
    Show(m_clampClose[i], m_options.Clamp_Close[i]);
  }
  Show(m_cutting, m_options.Off_Scie);
  Show(m_marking, m_options.Off_Marq);
  Show(m_gearing, m_options.Off_R99);
  Show(m_originYZ, m_options.Off_YZ);
  Show(m_speed, m_options.Mark_Speed);
  ShowClamps();
}

bool CPropertyOffset::Store() {
  for (int i = 0; i < kUnitRows; ++i) {
    Take(m_toolX[i], m_options.Off_X[i]);
    Take(m_clampOpen[i], m_options.Clamp_Open[i]);
    Take(m_clampClose[i], m_options.Clamp_Close[i]);
  }
  Take(m_cutting, m_options.Off_Scie);
  Take(m_marking, m_options.Off_Marq);
  Take(m_gearing, m_options.Off_R99);
  Take(m_originYZ, m_options.Off_YZ);
  Take(m_speed, m_options.Mark_Speed);
  ShowClamps();
  return true;
}

void CPropertyOffset::ShowClamps() {
  bool siemens = m_options.Cnc == 0;
  for (int i = 0; i < kUnitRows; ++i) {
    m_clampOpen[i]->setVisible(siemens);
    m_clampClose[i]->setVisible(siemens);
  }
}

// ---------------------------------------------------------------- Nesting

CPropertyMeb::CPropertyMeb(OptionValues& options, const COptionRules& rules, QWidget* parent)
    : COptionPage(options, rules, parent) {
  m_sc = NewEdit("sc");
  m_sp = NewEdit("sp");
  m_sl = NewEdit("sl");
  m_srs = NewEdit("srs");
  AcceptDigitsOnly(m_sc);
  AcceptDigitsOnly(m_sp);
  AcceptDigitsOnly(m_srs);
  for (QLineEdit* edit : {m_sc, m_sp, m_sl, m_srs}) m_checks->Check(edit, OptionField::kNumber);
  auto* tecBox = new QGroupBox("TEC");
  m_tec = AddRadios(this, tecBox, {"0", "1"}, false);

  auto* form = new QFormLayout;
  form->addRow("SC", m_sc);
  form->addRow("SP", m_sp);
  form->addRow("SL", m_sl);
  form->addRow("SRS", m_srs);
  auto* column = new QVBoxLayout;
  column->addLayout(form);
  column->addWidget(tecBox);
  column->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(column);
  layout->addStretch();
}

void CPropertyMeb::Load() {
  Show(m_sc, m_options.SC);
  Show(m_sp, m_options.SP);
  Show(m_sl, m_options.SL);
  Show(m_srs, m_options.SRS);
  CheckButton(m_tec, m_options.TEC);
}

bool CPropertyMeb::Store() {
  Take(m_sc, m_options.SC);
  Take(m_sp, m_options.SP);
  Take(m_sl, m_options.SL);
  Take(m_srs, m_options.SRS);
  m_options.TEC = m_tec->checkedId();
  return true;
}

// ---------------------------------------------------------------- Marking

CPropertyMarquage::CPropertyMarquage(OptionValues& options, const COptionRules& rules,
                                     QWidget* parent)
    : COptionPage(options, rules, parent) {
  m_auto = new QCheckBox("Automatic marking (Post Pro)");
  m_autoPlm = new QCheckBox("Automatic marking (PLM)");
  m_always = new QCheckBox("Always");

  auto* directionBox = new QGroupBox;
  m_direction = AddRadios(this, directionBox, {"Ascending", "Descending"}, false);
  auto* levelBox = new QGroupBox("Level");
  m_level = AddRadios(this, levelBox, {"0", "1", "2"}, false);

  auto* detailBox = new QGroupBox("Detail");
  auto* detail = new QVBoxLayout(detailBox);
  m_contract = new QCheckBox("Contract");
  m_job = new QCheckBox("Job");
  m_drawing = new QCheckBox("Drawing");
  m_assembly = new QCheckBox("Assembly mark");
  m_part = new QCheckBox("Part");
  for (QCheckBox* check : {m_contract, m_job, m_drawing, m_assembly, m_part})
    detail->addWidget(check);

  m_x = NewEdit("markX");
  m_y = NewEdit("markY");
  m_xMin = NewEdit("markXMin");
  m_characters = NewEdit("markNbCar");
  m_charWidth = NewEdit("markLgCar");
  m_charHeight = NewEdit("markHtCar");
  for (QLineEdit* edit : {m_x, m_y, m_xMin, m_characters, m_charWidth, m_charHeight})
    AcceptDigitsOnly(edit);
  m_toolCode = NewEdit("markCod");
  m_toolOffset = NewEdit("markOff");
  for (QLineEdit* edit : {m_x, m_y, m_xMin, m_charWidth, m_charHeight, m_toolOffset})
    m_checks->Check(edit, OptionField::kLength);
  m_checks->Check(m_characters, OptionField::kNumber);
  m_separator = NewEdit("markSep");
  m_string = NewEdit("markString");

  auto* form = new QFormLayout;
  m_xLabel = new QLabel("X Position");
  m_yLabel = new QLabel("Y Position");
  form->addRow(m_xLabel, m_checks->WithUnit(m_x));
  form->addRow(m_yLabel, m_checks->WithUnit(m_y));
  form->addRow("X Minimum", m_checks->WithUnit(m_xMin));
  form->addRow("# characters", m_characters);
  form->addRow("Character width", m_checks->WithUnit(m_charWidth));
  form->addRow("Character height", m_checks->WithUnit(m_charHeight));
  form->addRow("Tool code", m_toolCode);
  form->addRow("Tool offset", m_checks->WithUnit(m_toolOffset));
  form->addRow("Separator", m_separator);

  auto* deviceBox = new QGroupBox("Marking device");
  m_device = AddRadios(this, deviceBox, {"None", "Signomat", "Signoscript"}, false);

  auto* left = new QVBoxLayout;
  left->addWidget(m_auto);
  left->addWidget(m_autoPlm);
  left->addWidget(m_always);
  left->addWidget(directionBox);
  left->addWidget(levelBox);
  left->addWidget(detailBox);
  left->addStretch();
  auto* right = new QVBoxLayout;
  right->addLayout(form);
  right->addWidget(deviceBox);
  auto* stringRow = new QFormLayout;
  stringRow->addRow("Marking string", m_string);
  right->addLayout(stringRow);
  right->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left);
  layout->addLayout(right, 1);

  // These clicks store the whole page at once, which re-evaluates what may
  // be used.
  connect(m_auto, &QCheckBox::clicked, this, [this] { Store(); });
  connect(m_autoPlm, &QCheckBox::clicked, this, [this] { Store(); });
  connect(m_level, &QButtonGroup::idClicked, this, [this] { Store(); });
}

void CPropertyMarquage::Load() {
  Show(m_auto, m_options.Mark_Auto);
  Show(m_autoPlm, m_options.Mark_Auto_PLM);
  Show(m_always, m_options.Mark_Forcer);
  CheckButton(m_direction, m_options.Mark_Sens);
  CheckButton(m_level, m_options.Mark_Niv);
  Show(m_contract, m_options.markContract);
  Show(m_job, m_options.markJob);
  Show(m_drawing, m_options.markDrawing);
  Show(m_assembly, m_options.markAssembly);
  Show(m_part, m_options.markPart);
  Show(m_x, m_options.Mark_X);
  Show(m_y, m_options.Mark_Y);
  Show(m_xMin, m_options.Mark_XMin);
  Show(m_characters, m_options.Mark_NbCar);
  Show(m_charWidth, m_options.Mark_LgCar);
  Show(m_charHeight, m_options.Mark_HtCar);
  Show(m_toolCode, m_options.Mark_Cod);
  Show(m_toolOffset, m_options.Mark_Off);
  Show(m_separator, m_options.Mark_Sep);
  CheckButton(m_device, m_options.Mark_Device);
  Show(m_string, m_options.Mark_String);
  Enable();
}

bool CPropertyMarquage::Store() {
  Take(m_auto, m_options.Mark_Auto);
  Take(m_autoPlm, m_options.Mark_Auto_PLM);
  Take(m_always, m_options.Mark_Forcer);
  m_options.Mark_Sens = m_direction->checkedId();
  m_options.Mark_Niv = m_level->checkedId();
  Take(m_contract, m_options.markContract);
  Take(m_job, m_options.markJob);
  Take(m_drawing, m_options.markDrawing);
  Take(m_assembly, m_options.markAssembly);
  Take(m_part, m_options.markPart);
  Take(m_x, m_options.Mark_X);
  Take(m_y, m_options.Mark_Y);
  Take(m_xMin, m_options.Mark_XMin);
  Take(m_characters, m_options.Mark_NbCar);
  Take(m_charWidth, m_options.Mark_LgCar);
  Take(m_charHeight, m_options.Mark_HtCar);
  Take(m_toolCode, m_options.Mark_Cod);
  Take(m_toolOffset, m_options.Mark_Off);
  Take(m_separator, m_options.Mark_Sep);
  m_options.Mark_Device = m_device->checkedId();
  Take(m_string, m_options.Mark_String);
  Enable();
  return true;
}

void CPropertyMarquage::Enable() {
  bool code = !m_options.Mark_Cod.empty();
  bool automatic = (m_options.Mark_Auto != 0 || m_options.Mark_Auto_PLM != 0) && code;
  for (QWidget* control : std::initializer_list<QWidget*>{m_always, m_x, m_y, m_xLabel, m_yLabel})
    control->setEnabled(automatic);
  bool detail = m_options.Mark_Auto != 0 && code;
  for (QCheckBox* check : {m_contract, m_job, m_drawing, m_assembly, m_part})
    check->setEnabled(detail);
}
