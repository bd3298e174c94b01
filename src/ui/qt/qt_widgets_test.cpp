// The Qt windows driven as a user drives them, on Qt's offscreen platform.
// With --screenshot DIR the program instead saves a picture of each dialog
// and each page of the "Options" sheet into DIR.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include <QAbstractButton>
#include <QApplication>

#include <clocale>
#include <cstdio>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPdfWriter>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>
#include <QtTest/QtTest>

#include "base/platform.h"
#include "config/options.h"
#include "config/tables.h"
#include "ui/front_end.h"
#include "ui/qt/edit_grid.h"
#include "ui/qt/field_checks.h"
#include "ui/qt/option_sheet.h"
#include "ui/qt/setup_dialog.h"
#include "ui/qt/snapshot.h"
#include "ui/qt/window_plugin.h"
#include "ui/setup.h"
#include "ui/setup_test_util.h"
#include "ui/window_adapters.h"

namespace {

void SetUnits(std::initializer_list<rec_uni> rows) {
  g_options.units.RemoveAll();
  for (const rec_uni& row : rows) g_options.units.Add(row);
  while (g_options.units.GetSize() < CSetup::kUnits) g_options.units.Add(rec_uni{});
}

rec_uni Unit(const char* level, const char* mfunc, const char* diameter) {
  rec_uni row;
  row.level = level;
  row.mfunc = mfunc;
  row.diameter = diameter;
  return row;
}

// Runs check once a modal window is up (the dialog under test runs its own
// event loop), then lets the dialog go on.
void WhenModal(std::function<void(QWidget*)> check) {
  auto* timer = new QTimer;
  timer->setInterval(20);
  QObject::connect(timer, &QTimer::timeout, [timer, check] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    timer->stop();
    timer->deleteLater();
    check(modal);
  });
  timer->start();
}

// Types text into a grid cell through the cell's editor and commits it, as
// a user does with Enter.
void TypeCell(CEditGrid* grid, int row, int column, const QString& text) {
  QModelIndex index = grid->model()->index(row, column);
  grid->setCurrentIndex(index);
  grid->edit(index);
  QLineEdit* editor = nullptr;  // the open one, not one closed a moment ago
  for (QLineEdit* child : grid->viewport()->findChildren<QLineEdit*>())
    if (!child->isHidden()) editor = child;
  QVERIFY(editor);
  editor->selectAll();
  QTest::keyClicks(editor, text);
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();  // the view commits the edit from its queue
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TypeInto(QLineEdit* edit, const QString& text) {
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClicks(edit, text);
}

QColor Background(const QTableWidget* table, int row) {
  return table->item(row, 1)->background().color();
}
QColor Foreground(const QTableWidget* table, int row) {
  return table->item(row, 1)->foreground().color();
}

OptionValues SampleOptions() {
  OptionValues o;
  o.Motrice = 4;
  o.Mark_Cod = "20";
  o.Mark_Auto_PLM = 1;
  for (int i = 0; i < CSetup::kUnits; ++i) o.units.Add(rec_uni{});
  o.units[0] = Unit("1", "12", "22");
  o.units[0].axis = "Y1";
  o.poincons.Add(CPoincon(22, 12, 5));
  o.poincons.Add(CPoincon(18, 10, 3));
  o.outils.Add(CMagasin(0, 12, 12, 0));
  o.outils.Add(CMagasin(4, 12, 40, 0));
  o.outils.Add(CMagasin(3, 0, 40, 20));
  o.Categ = "NNNNNNNNNONNNNNNNNNO";
  o.Defaut = "00000000000000000000";
  o.XSym = o.YSym = o.Rotat = "NNNNNNNNNONNNNNNNNNO";
  o.Mark_Cat = "OOOOOOOOOOOOOOOOOOOO";
  o.OrgDef = "44114121141444111424";
  return o;
}

}  // namespace

class CWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void typingAFittingSizeTurnsTheRowGreenThroughThePlugin();
  void manyHoleTypesScroll();
  void messagesAreMessageBoxes();
  void pagesNeverShownChangeNothing();
  void profilesPageSavesTwentyCharacters();
  void profilesRefuseAnOriginThatIsNoInteger();
  void profilesFocusBandsFollowTheFocus();
  void punchingRowsBecomeSortedPunches();
  void nibblingRowsFollowTheToolKindRule();
  void clampsHiddenUnlessSiemens();
  void markingControlsNeedAToolCode();
  void editsTakeCapitalsAndDigits();
  void fieldsTheMachineCannotUseAreMarked();
  void refusedKeystrokesSayWhy();
  void lengthsShowTheirUnit();
  void gridCellsThatAreNoNumberAreMarked();
  void gridMovesRowsAndPrintsPages();
  void optionSheetThroughThePlugin();
  void pluginIsLookedForBesideTheModule();
};

void CWindowsTest::typingAFittingSizeTurnsTheRowGreenThroughThePlugin() {
  std::unique_ptr<CFrontEnd> gui = MakeGuiFrontEnd();
  QVERIFY2(gui, "the Qt plugin did not load");
  QCOMPARE(QString(gui->Name()), QString("gui"));

  SetUnits({Unit("1", "12", "18"), Unit("2", "13", "30"), Unit("", "", "")});
  CSetup setup;
  setup.AddHole(Hole(0, 22));
  setup.AddHole(Hole(1, 30));

  bool checked = false;
  WhenModal([&](QWidget* dialog) {
    QCOMPARE(dialog->windowTitle(), QString("Setup machine %00001"));
    auto* table = dialog->findChild<QTableWidget*>();
    auto* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    auto* size1 = dialog->findChild<QLineEdit*>("size1");
    QVERIFY(table && ok && size1);
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(table->item(0, 0)->text(), QString("FL"));
    QCOMPARE(table->item(1, 0)->text(), QString("NL"));
    QCOMPARE(Background(table, 0), QColor(255, 0, 0));
    QCOMPARE(Foreground(table, 0), QColor(255, 255, 255));
    QCOMPARE(Background(table, 1), QColor(0, 255, 0));
    QCOMPARE(Foreground(table, 1), QColor(0, 0, 0));
    // Not by colour alone: a word in the fit column, a line under the lists.
    QCOMPARE(table->horizontalHeaderItem(1)->text(), QString("Diameter"));
    QCOMPARE(table->item(0, 2)->text(), QString("no unit"));
    QCOMPARE(table->item(1, 2)->text(), QString("fits"));
    auto* summary = dialog->findChild<QLabel*>("summary");
    QVERIFY(summary && summary->isVisible());
    QCOMPARE(summary->text(), QString("1 of 2 hole types fits no unit: FL 22."));
    QVERIFY(!ok->isEnabled());
    QVERIFY(dialog->findChild<QLineEdit*>("size3")->isHidden());  // no level, no size
    QVERIFY(!dialog->findChild<QLineEdit*>("size2")->isHidden());
    bool metric = false;
    for (QLabel* label : dialog->findChildren<QLabel*>()) metric |= label->text() == "Metrique";
    QVERIFY(metric);

    TypeInto(size1, "2");  // "2" fits nothing yet
    QCOMPARE(Background(table, 0), QColor(255, 0, 0));
    QTest::keyClicks(size1, "2");
    QCOMPARE(Background(table, 0), QColor(0, 255, 0));
    QCOMPARE(Foreground(table, 0), QColor(0, 0, 0));
    QCOMPARE(table->item(0, 2)->text(), QString("fits"));
    QCOMPARE(summary->text(), QString("Every hole type fits a unit."));
    QVERIFY(ok->isEnabled());
    checked = true;
    QTest::mouseClick(ok, Qt::LeftButton);
  });
  QCOMPARE(gui->RunSetup(setup), int(IDOK));
  QVERIFY(checked);
  QCOMPARE(QString::fromStdString(g_options.units[0].diameter), QString("22"));
}

void CWindowsTest::manyHoleTypesScroll() {
  SetUnits({Unit("1", "12", "22")});
  CSetup setup;
  for (int i = 0; i < 12; ++i) setup.AddHole(Hole(i % 2, 10 + i));
  CSetupAdapter view(setup);
  CSetupDialog dialog(view);
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  QCOMPARE(dialog.ProgramTable()->rowCount(), 12);  // none cut off
  QVERIFY(dialog.ProgramTable()->verticalScrollBar()->maximum() > 0);
  QCOMPARE(dialog.ProgramTable()->item(11, 1)->text(), QString("21"));
  QVERIFY(!dialog.OkButton()->isEnabled());
}

void CWindowsTest::messagesAreMessageBoxes() {
  std::unique_ptr<CFrontEnd> gui = MakeGuiFrontEnd();
  QVERIFY(gui);
  for (MessageIcon icon : {MessageIcon::kError, MessageIcon::kInformation}) {
    bool seen = false;
    WhenModal([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      QVERIFY(box);
      QCOMPARE(box->icon(),
               icon == MessageIcon::kError ? QMessageBox::Critical : QMessageBox::Information);
      QCOMPARE(box->text(), QString("Middle remnant will be used"));
      QCOMPARE(box->buttons().size(), 1);
      seen = true;
      box->button(QMessageBox::Ok)->click();
    });
    gui->ShowMessage("Middle remnant will be used", icon);
    QVERIFY(seen);
  }
}

void CWindowsTest::pagesNeverShownChangeNothing() {
  OptionValues o = SampleOptions();
  o.poincons.RemoveAll();
  o.poincons.Add(CPoincon(22.12345, 12, 5));  // the page would round it to 22.123
  o.outils.Add(CMagasin(1, 14, 0, 0));         // the page would make it a round tool
  o.Defaut = "XY";                             // the page would write 20 characters
  o.Categ = "N";
  CModuleOptionRules rules;
  COption sheet(o, rules, "ANGLE1");
  QCOMPARE(sheet.Tabs()->count(), int(COption::kPages));
  const char* titles[] = {"General", "Offsets", "Punching", "Nibbling",
                          "Nesting", "Marking", "Profiles"};
  for (int i = 0; i < COption::kPages; ++i) QCOMPARE(sheet.Tabs()->tabText(i), QString(titles[i]));
  QCOMPARE(sheet.windowTitle(), QString("Options"));
  auto* buttons = sheet.findChild<QDialogButtonBox*>();
  QCOMPARE(buttons->standardButtons(), QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  QVERIFY(sheet.PageAt(COption::kGeneral));
  for (int i = COption::kOffsets; i < COption::kPages; ++i) QVERIFY(!sheet.PageAt(i));

  sheet.accept();
  QCOMPARE(sheet.result(), int(QDialog::Accepted));
  QCOMPARE(o.poincons.GetSize(), 1);
  QCOMPARE(o.poincons[0].m_dDiameter, 22.12345);
  QCOMPARE(o.outils.GetSize(), 4);
  QCOMPARE(int(o.outils[3].m_cKind), 1);
  QCOMPARE(QString::fromStdString(o.Defaut), QString("XY"));
  QCOMPARE(QString::fromStdString(o.Categ), QString("N"));
}

void CWindowsTest::profilesPageSavesTwentyCharacters() {
  OptionValues o = SampleOptions();
  o.Defaut = "XYR0X";
  o.OrgDef = "12";
  CModuleOptionRules rules;
  COption sheet(o, rules, "ANGLE1");
  sheet.ShowPage(COption::kProfiles);
  auto* page = sheet.Get<CPropertyProfil>(COption::kProfiles);
  QVERIFY(page);
  QCOMPARE(page->m_transformation[0]->checkedId(), 1);
  QCOMPARE(page->m_transformation[1]->checkedId(), 2);
  QCOMPARE(page->m_transformation[2]->checkedId(), 3);
  QCOMPARE(page->m_transformation[4]->checkedId(), 1);
  for (int i = 5; i < kCategories; ++i) QCOMPARE(page->m_transformation[i]->checkedId(), 0);
  QCOMPARE(page->m_origin[1]->text(), QString("2"));
  QCOMPARE(page->m_origin[7]->text(), QString("0"));
  QCOMPARE(page->m_enabled[0]->text(), QString("&A"));
  QCOMPARE(page->m_enabled[10]->text(), QString("&I"));
  // Row Y (index 9) is enabled, row A is not: its controls follow.
  QVERIFY(page->m_origin[9]->isEnabled());
  QVERIFY(!page->m_origin[0]->isEnabled());
  page->m_enabled[0]->click();
  QVERIFY(page->m_origin[0]->isEnabled());
  page->m_transformation[19]->button(3)->click();

  sheet.accept();
  QCOMPARE(QString::fromStdString(o.Defaut), QString("XYR0X00000000000000R"));
  QCOMPARE(QString::fromStdString(o.OrgDef), QString("12000000000000000000"));
  QCOMPARE(QString::fromStdString(o.Categ), QString("ONNNNNNNNONNNNNNNNNO"));
}

void CWindowsTest::profilesRefuseAnOriginThatIsNoInteger() {
  OptionValues o = SampleOptions();
  CModuleOptionRules rules;
  COption sheet(o, rules, "ANGLE1");
  sheet.show();
  sheet.ShowPage(COption::kProfiles);
  auto* page = sheet.Get<CPropertyProfil>(COption::kProfiles);
  page->m_origin[9]->setText("x");
  bool refused = false;
  WhenModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    QVERIFY(box);
    refused = box->text() == "Please enter an integer.";
    box->button(QMessageBox::Ok)->click();
  });
  sheet.ShowPage(COption::kGeneral);
  QVERIFY(refused);
  QCOMPARE(sheet.Tabs()->currentIndex(), int(COption::kProfiles));  // kept on the page
  page->m_origin[9]->setText("3");
  sheet.accept();
  QCOMPARE(o.OrgDef[9], '3');
}

void CWindowsTest::profilesFocusBandsFollowTheFocus() {
  OptionValues o = SampleOptions();
  CModuleOptionRules rules;
  COption sheet(o, rules, "ANGLE1");
  sheet.show();
  QVERIFY(QTest::qWaitForWindowExposed(&sheet));
  sheet.ShowPage(COption::kProfiles);
  auto* page = sheet.Get<CPropertyProfil>(COption::kProfiles);
  sheet.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&sheet));
  page->m_origin[19]->setFocus();  // category R, right block, last row
  QTRY_COMPARE_WITH_TIMEOUT(page->BandColumn(), 9, 1000);
  QCOMPARE(page->BandBlock(), 1);
  QCOMPARE(page->BandRow(), 10);
  page->m_enabled[12]->setFocus();  // the check of M, right block, third row
  QTRY_COMPARE_WITH_TIMEOUT(page->BandColumn(), 0, 1000);
  QCOMPARE(page->BandRow(), 3);
  page->m_xSymmetry[9]->setFocus();  // Y, left block, last row
  QTRY_COMPARE_WITH_TIMEOUT(page->BandColumn(), 1, 1000);
  QCOMPARE(page->BandBlock(), 0);
  QCOMPARE(page->BandRow(), 10);
}

void CWindowsTest::punchingRowsBecomeSortedPunches() {
  OptionValues o = SampleOptions();
  CModuleOptionRules rules;
  COption sheet(o, rules, "ANGLE1");
  sheet.show();
  sheet.ShowPage(COption::kPunching);
  CEditGrid* grid = sheet.Get<CPropertyPoinconnage>(COption::kPunching)->m_grid;
  QCOMPARE(grid->horizontalHeaderItem(0)->text(), QString("Punching Ø"));
  QCOMPARE(grid->horizontalHeaderItem(1)->text(), QString("Tool Ø"));
  QCOMPARE(grid->horizontalHeaderItem(2)->text(), QString("Offset"));
  QCOMPARE(grid->rowCount(), 3);  // two punches and the empty row
  QCOMPARE(grid->Text(0, 0), QString("18.000"));
  QCOMPARE(grid->Text(1, 2), QString("5.000"));
  QVERIFY(grid->RowEmpty(2));

  TypeCell(grid, 2, 0, "26");
  QCOMPARE(grid->rowCount(), 4);  // a new empty row behind the edited last one
  TypeCell(grid, 2, 1, "8");
  TypeCell(grid, 2, 2, "4.5");
  TypeCell(grid, 3, 0, "20");  // no tool: dropped
  QCOMPARE(grid->rowCount(), 5);
  TypeCell(grid, 0, 2, "0");  // offset 0 is kept
  sheet.accept();

  QCOMPARE(o.poincons.GetSize(), 3);
  QCOMPARE(o.poincons[0].m_dDiameter, 26.0);  // ordered by tool diameter
  QCOMPARE(o.poincons[0].m_dTool, 8.0);
  QCOMPARE(o.poincons[0].m_dOffset, 4.5);
  QCOMPARE(o.poincons[1].m_dDiameter, 18.0);
  QCOMPARE(o.poincons[1].m_dOffset, 0.0);
  QCOMPARE(o.poincons[2].m_dTool, 12.0);
}

void CWindowsTest::nibblingRowsFollowTheToolKindRule() {
  OptionValues o = SampleOptions();
  o.Rugosite = "0.5";
  CModuleOptionRules rules;
  COption sheet(o, rules, "ANGLE1");
  sheet.show();
  sheet.ShowPage(COption::kNibbling);
  auto* page = sheet.Get<CPropertyMagasin>(COption::kNibbling);
  CEditGrid* grid = page->m_grid;
  QCOMPARE(grid->horizontalHeaderItem(3)->text(), QString(" Width"));
  QCOMPARE(page->m_roughness->text(), QString("0.5"));
  QCOMPARE(grid->rowCount(), 4);
  // Round: diameter only; oblong: diameter and length; rectangular: length and width.
  QCOMPARE(grid->PictureTag(0, 0), 0);
  QCOMPARE(grid->Text(0, 1), QString("12.00"));
  QCOMPARE(grid->Text(0, 2), QString());
  QCOMPARE(grid->PictureTag(1, 0), 4);
  QCOMPARE(grid->Text(1, 2), QString("40.00"));
  QCOMPARE(grid->PictureTag(2, 0), 3);
  QCOMPARE(grid->Text(2, 1), QString());
  QCOMPARE(grid->Text(2, 3), QString("20.00"));

  grid->setRowCount(0);  // start again from an empty magazine
  grid->setRowCount(1);
  TypeCell(grid, 0, 1, "12");  // round, length 12
  QCOMPARE(grid->PictureTag(0, 0), 0);
  TypeCell(grid, 1, 1, "12");
  TypeCell(grid, 1, 2, "40");  // oblong
  QCOMPARE(grid->PictureTag(1, 0), 4);
  TypeCell(grid, 2, 2, "40");
  TypeCell(grid, 2, 3, "20");  // rectangular, no diameter
  QCOMPARE(grid->PictureTag(2, 0), 3);
  TypeCell(grid, 3, 1, "abc");  // not a number: dropped
  QCOMPARE(grid->rowCount(), 5);
  sheet.accept();

  QCOMPARE(o.outils.GetSize(), 3);
  QCOMPARE(int(o.outils[0].m_cKind), 0);
  QCOMPARE(o.outils[0].m_dLength, 12.0);
  QCOMPARE(int(o.outils[1].m_cKind), 4);
  QCOMPARE(o.outils[1].m_dDiameter, 12.0);
  QCOMPARE(o.outils[1].m_dLength, 40.0);
  QCOMPARE(int(o.outils[2].m_cKind), 3);
  QCOMPARE(o.outils[2].m_dDiameter, 0.0);
  QCOMPARE(o.outils[2].m_dWidth, 20.0);
}

void CWindowsTest::clampsHiddenUnlessSiemens() {
  CModuleOptionRules rules;
  {
    OptionValues o = SampleOptions();
    o.Cnc = 1;
    COption sheet(o, rules, "ANGLE1");
    sheet.show();
    sheet.ShowPage(COption::kOffsets);
    auto* page = sheet.Get<CPropertyOffset>(COption::kOffsets);
    for (int i = 0; i < kUnitRows; ++i) {
      QVERIFY(page->m_clampOpen[i]->isHidden());
      QVERIFY(page->m_clampClose[i]->isHidden());
      QVERIFY(!page->m_toolX[i]->isHidden());
    }
    bool labels = false;
    for (QLabel* label : page->findChildren<QLabel*>()) labels |= label->text() == "Open";
    QVERIFY(labels);
  }
  {
    // Cnc changed on "General" before "Offsets" is first shown.
    OptionValues o = SampleOptions();
    COption sheet(o, rules, "ANGLE1");
    sheet.show();
    sheet.Get<CPropertyGeneral>(COption::kGeneral)->m_cnc->button(1)->click();
    sheet.ShowPage(COption::kOffsets);
    QCOMPARE(o.Cnc, 1);
    QVERIFY(sheet.Get<CPropertyOffset>(COption::kOffsets)->m_clampOpen[0]->isHidden());
    sheet.ShowPage(COption::kGeneral);
    sheet.Get<CPropertyGeneral>(COption::kGeneral)->m_cnc->button(0)->click();
    sheet.ShowPage(COption::kOffsets);  // filled once: still as last exchanged
    QVERIFY(sheet.Get<CPropertyOffset>(COption::kOffsets)->m_clampOpen[0]->isHidden());
    sheet.ShowPage(COption::kNesting);  // leaving it exchanges again
    QVERIFY(!sheet.Get<CPropertyOffset>(COption::kOffsets)->m_clampOpen[0]->isHidden());
  }
}

void CWindowsTest::markingControlsNeedAToolCode() {
  OptionValues o = SampleOptions();
  o.Mark_Cod.clear();
  o.Mark_Auto = 1;
  CModuleOptionRules rules;
  COption sheet(o, rules, "ANGLE1");
  sheet.show();
  sheet.ShowPage(COption::kMarking);
  auto* page = sheet.Get<CPropertyMarquage>(COption::kMarking);
  QVERIFY(!page->m_always->isEnabled());
  QVERIFY(!page->m_x->isEnabled());
  QVERIFY(!page->m_contract->isEnabled());
  page->m_toolCode->setText("20");
  QVERIFY(!page->m_x->isEnabled());  // not before the page stores
  page->m_autoPlm->click();          // stores the page
  QCOMPARE(o.Mark_Auto_PLM, 0);      // SampleOptions had it on
  QCOMPARE(QString::fromStdString(o.Mark_Cod), QString("20"));
  QVERIFY(page->m_always->isEnabled());
  QVERIFY(page->m_y->isEnabled());
  QVERIFY(page->m_part->isEnabled());
  page->m_auto->click();  // neither automatic marking now
  QVERIFY(!page->m_always->isEnabled());
  QVERIFY(!page->m_part->isEnabled());
  page->m_level->button(2)->click();
  QCOMPARE(o.Mark_Niv, 2);
}

void CWindowsTest::editsTakeCapitalsAndDigits() {
  OptionValues o = SampleOptions();
  CModuleOptionRules rules;
  COption sheet(o, rules, "ANGLE1");
  sheet.show();
  auto* general = sheet.Get<CPropertyGeneral>(COption::kGeneral);
  QVERIFY(general->m_quadrant->button(3)->isChecked());  // Motrice 4
  TypeInto(general->m_axis[1], "y2");
  TypeInto(general->m_mfunc[1], "m13a");  // M functions take digits only
  TypeInto(general->m_cutting, "m25");
  QCOMPARE(general->m_axis[1]->text(), QString("Y2"));
  QCOMPARE(general->m_mfunc[1]->text(), QString("13"));
  general->m_quadrant->button(1)->click();
  sheet.ShowPage(COption::kOffsets);
  QCOMPARE(QString::fromStdString(o.units[1].axis), QString("Y2"));
  QCOMPARE(QString::fromStdString(o.units[1].mfunc), QString("13"));
  QCOMPARE(QString::fromStdString(o.Fctcoupe), QString("25"));
  QCOMPARE(o.Motrice, 2);
  auto* offsets = sheet.Get<CPropertyOffset>(COption::kOffsets);
  TypeInto(offsets->m_speed, "12a3.4");
  QCOMPARE(offsets->m_speed->text(), QString("1234"));
  sheet.ShowPage(COption::kNesting);
  auto* nesting = sheet.Get<CPropertyMeb>(COption::kNesting);
  TypeInto(nesting->m_sc, "1.5");
  TypeInto(nesting->m_sl, "1.5");
  QCOMPARE(nesting->m_sc->text(), QString("15"));  // digits only
  QCOMPARE(nesting->m_sl->text(), QString("1.5"));  // a number
  TypeInto(nesting->m_sl, "1x0");
  QCOMPARE(nesting->m_sl->text(), QString("10"));
  sheet.accept();
  QCOMPARE(QString::fromStdString(o.SC), QString("15"));
  QCOMPARE(QString::fromStdString(o.SL), QString("10"));
  QCOMPARE(QString::fromStdString(o.Mark_Speed), QString("1234"));
}

namespace {

bool Marked(const QLineEdit* edit) {
  return edit->palette().color(QPalette::Base) == MarkedFieldColor();
}

// A marked edit: tinted, a warning sign, the reason as tool tip.
void VerifyMarked(COptionPage* page, QLineEdit* edit, const QString& reason) {
  QVERIFY2(page->Checks()->Marked(edit), qPrintable(edit->objectName()));
  QVERIFY(Marked(edit));
  QVERIFY(page->Checks()->Sign(edit)->isVisible());
  QVERIFY2(edit->toolTip().contains(reason), qPrintable(edit->toolTip()));
  QCOMPARE(page->Checks()->Sign(edit)->toolTip(), edit->toolTip());
}

void VerifyUnmarked(COptionPage* page, QLineEdit* edit) {
  QVERIFY2(!page->Checks()->Marked(edit), qPrintable(edit->toolTip()));
  QVERIFY(!Marked(edit));
  QVERIFY(!page->Checks()->Sign(edit)->isVisible());
  QVERIFY(!edit->toolTip().contains("cannot be used"));
}

}  // namespace

void CWindowsTest::fieldsTheMachineCannotUseAreMarked() {
  OptionValues o = SampleOptions();
  o.Unite = 1;
  o.units[1] = Unit("3", "M13", "22,5");
  o.units[1].axis = "Y12";
  o.units[2] = Unit("2", "14", "22X");
  o.Off_X[0] = "12,5";
  CModuleOptionRules rules;
  COption sheet(o, rules, "ANGLE1");
  sheet.show();
  QCOMPARE(sheet.windowTitle(), QString("Options"));
  QCOMPARE(sheet.MachineLine()->text(), QString("Machine: ANGLE1"));
  QVERIFY(sheet.MachineLine()->isVisible());
  auto* general = sheet.Get<CPropertyGeneral>(COption::kGeneral);
  // What the file holds is shown as it stands, and marked.
  QCOMPARE(general->m_level[1]->text(), QString("3"));
  VerifyMarked(general, general->m_level[1], "1 (FL), 2 (NL) or empty");
  VerifyMarked(general, general->m_mfunc[1], "digits only");
  VerifyMarked(general, general->m_axis[1], "at most two characters");
  VerifyMarked(general, general->m_diameter[1], "comma");
  VerifyMarked(general, general->m_diameter[2], "length is missing");
  VerifyUnmarked(general, general->m_level[0]);
  VerifyUnmarked(general, general->m_diameter[0]);
  QVERIFY(general->m_diameter[0]->toolTip().contains("22X60-45"));  // the rule, while usable
  QCOMPARE(general->MarkedCount(), 5);
  QVERIFY(!sheet.Tabs()->tabIcon(COption::kGeneral).isNull());
  QVERIFY(sheet.Tabs()->tabToolTip(COption::kGeneral).startsWith("5 fields marked"));

  // A field read from the file can be mended key by key.
  general->m_axis[1]->setFocus();
  general->m_axis[1]->end(false);
  QTest::keyClick(general->m_axis[1], Qt::Key_Backspace);
  QCOMPARE(general->m_axis[1]->text(), QString("Y1"));
  VerifyUnmarked(general, general->m_axis[1]);
  QTest::keyClicks(general->m_diameter[2], "60-4");
  VerifyUnmarked(general, general->m_diameter[2]);
  QTest::keyClicks(general->m_diameter[2], "-");  // "22X60-4-": refused
  QCOMPARE(general->m_diameter[2]->text(), QString("22X60-4"));
  QTest::keyClick(general->m_diameter[2], Qt::Key_Backspace);  // "22X60-": no angle yet
  VerifyMarked(general, general->m_diameter[2], "angle is missing");
  TypeInto(general->m_level[1], "2");
  VerifyUnmarked(general, general->m_level[1]);
  QCOMPARE(general->MarkedCount(), 3);

  // OK is not held back: a marked text is stored as it stands.
  sheet.ShowPage(COption::kOffsets);
  auto* offsets = sheet.Get<CPropertyOffset>(COption::kOffsets);
  VerifyMarked(offsets, offsets->m_toolX[0], "decimal point");
  VerifyUnmarked(offsets, offsets->m_toolX[1]);
  QVERIFY(!sheet.Tabs()->tabIcon(COption::kOffsets).isNull());
  QVERIFY(sheet.Tabs()->tabIcon(COption::kNesting).isNull());
  sheet.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  QCOMPARE(sheet.result(), int(QDialog::Accepted));
  QCOMPARE(QString::fromStdString(o.units[1].level), QString("2"));
  QCOMPARE(QString::fromStdString(o.units[1].mfunc), QString("M13"));
  QCOMPARE(QString::fromStdString(o.units[1].diameter), QString("22,5"));
  QCOMPARE(QString::fromStdString(o.units[2].diameter), QString("22X60-"));
  QCOMPARE(QString::fromStdString(o.Off_X[0]), QString("12,5"));
}

void CWindowsTest::refusedKeystrokesSayWhy() {
  OptionValues o = SampleOptions();
  CModuleOptionRules rules;
  COption sheet(o, rules, "ANGLE1");
  sheet.show();
  sheet.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&sheet));
  auto* general = sheet.Get<CPropertyGeneral>(COption::kGeneral);
  QLineEdit* level = general->m_level[2];
  level->setFocus();
  QTest::keyClicks(level, "3");
  QCOMPARE(level->text(), QString());
  QTRY_VERIFY(QToolTip::isVisible());
  QVERIFY2(QToolTip::text().contains("2 (NL)"), qPrintable(QToolTip::text()));
  QTest::keyClicks(level, "21");  // one character: "2" stays
  QCOMPARE(level->text(), QString("2"));
  general->m_diameter[2]->setFocus();
  TypeInto(general->m_diameter[2], "22,5");
  QCOMPARE(general->m_diameter[2]->text(), QString("225"));
  QVERIFY(QToolTip::text().contains("decimal point"));
  TypeInto(general->m_axis[2], "y1x");
  QCOMPARE(general->m_axis[2]->text(), QString("Y1"));
}

void CWindowsTest::lengthsShowTheirUnit() {
  OptionValues o = SampleOptions();
  o.Unite = 2;
  o.units[1] = Unit("1", "13", "7/8");
  CModuleOptionRules rules;
  COption sheet(o, rules, "ANGLE1");
  sheet.show();
  auto* general = sheet.Get<CPropertyGeneral>(COption::kGeneral);
  QLabel* unit = general->Checks()->UnitLabel(general->m_diameter[1]);
  QVERIFY(unit && unit->isVisible());
  QCOMPARE(unit->text(), QString("inch"));
  VerifyUnmarked(general, general->m_diameter[1]);  // a fraction of an inch
  general->m_unit->button(1)->click();  // "Millimeter"
  QCOMPARE(unit->text(), QString("mm"));
  VerifyMarked(general, general->m_diameter[1], "22X60-45");
  general->m_unit->button(0)->click();  // "CAM": as the job file says
  QCOMPARE(unit->text(), QString("mm or inch"));
  QVERIFY(unit->toolTip().contains("job file"));
  VerifyUnmarked(general, general->m_diameter[1]);
  QVERIFY(!general->Checks()->UnitLabel(general->m_level[1]));

  // Offsets and marking positions are millimetres whatever the programs are in.
  sheet.ShowPage(COption::kOffsets);
  auto* offsets = sheet.Get<CPropertyOffset>(COption::kOffsets);
  for (QLineEdit* edit : {offsets->m_toolX[0], offsets->m_clampOpen[5], offsets->m_originYZ})
    QCOMPARE(offsets->Checks()->UnitLabel(edit)->text(), QString("mm"));
  QVERIFY(!offsets->Checks()->UnitLabel(offsets->m_gearing));
  sheet.ShowPage(COption::kGeneral);
  general->m_cnc->button(1)->click();  // Fagor: no clamps, and no units beside them
  sheet.ShowPage(COption::kOffsets);
  sheet.ShowPage(COption::kMarking);
  QVERIFY(offsets->m_clampOpen[0]->isHidden());
  QVERIFY(offsets->Checks()->UnitLabel(offsets->m_clampOpen[0])->isHidden());
  auto* marking = sheet.Get<CPropertyMarquage>(COption::kMarking);
  QCOMPARE(marking->Checks()->UnitLabel(marking->m_x)->text(), QString("mm"));
  QCOMPARE(marking->Checks()->UnitLabel(marking->m_x)->isEnabled(), marking->m_x->isEnabled());
  sheet.ShowPage(COption::kNibbling);
  auto* nibbling = sheet.Get<CPropertyMagasin>(COption::kNibbling);
  QCOMPARE(nibbling->Checks()->UnitLabel(nibbling->m_roughness)->text(), QString("mm"));
  QCOMPARE(nibbling->findChild<QLabel*>("unitLine")->text(),
           QString("Diameter, Length and Width in mm"));
}

void CWindowsTest::gridCellsThatAreNoNumberAreMarked() {
  OptionValues o = SampleOptions();
  CModuleOptionRules rules;
  COption sheet(o, rules, "ANGLE1");
  sheet.show();
  sheet.ShowPage(COption::kNibbling);
  auto* page = sheet.Get<CPropertyMagasin>(COption::kNibbling);
  CEditGrid* grid = page->m_grid;
  QCOMPARE(grid->MarkedCount(), 0);
  TypeCell(grid, 3, 1, "1x2");
  QVERIFY(grid->CellMarked(3, 1));
  QCOMPARE(grid->item(3, 1)->background().color(), MarkedFieldColor());
  QVERIFY(grid->item(3, 1)->toolTip().contains("number of millimetres"));
  QVERIFY(!sheet.Tabs()->tabIcon(COption::kNibbling).isNull());
  TypeCell(grid, 3, 1, "12");
  QVERIFY(!grid->CellMarked(3, 1));
  QVERIFY(grid->item(3, 1)->toolTip().isEmpty());
  QVERIFY(sheet.Tabs()->tabIcon(COption::kNibbling).isNull());
  sheet.ShowPage(COption::kPunching);
  CEditGrid* punches = sheet.Get<CPropertyPoinconnage>(COption::kPunching)->m_grid;
  TypeCell(punches, 2, 2, "5,5");
  QVERIFY(punches->CellMarked(2, 2));
  QVERIFY(punches->item(2, 2)->toolTip().contains("decimal point"));
}

void CWindowsTest::gridMovesRowsAndPrintsPages() {
  CEditGrid grid({"A", "B"});
  grid.setRowCount(4);
  for (int row = 0; row < 3; ++row) grid.SetText(row, 0, QString::number(row));
  grid.MoveRows({0}, 3);  // the first row behind the third
  QCOMPARE(grid.Text(0, 0), QString("1"));
  QCOMPARE(grid.Text(2, 0), QString("0"));
  grid.MoveRows({1, 2}, 0);
  QCOMPARE(grid.Text(0, 0), QString("2"));
  QCOMPARE(grid.Text(1, 0), QString("0"));
  QCOMPARE(grid.Text(2, 0), QString("1"));
  QVERIFY(grid.RowEmpty(3));

  QTemporaryDir dir;
  QPdfWriter one(dir.filePath("one.pdf"));
  QCOMPARE(grid.PrintTo(one), 1);
  grid.setRowCount(300);
  grid.SetText(299, 1, "last");
  QPdfWriter many(dir.filePath("many.pdf"));
  int pages = grid.PrintTo(many);
  QVERIFY(pages > 1);
  QFile pdf(dir.filePath("many.pdf"));
  QVERIFY(pdf.open(QIODevice::ReadOnly));
  // One page object per page.
  QString text = QString::fromLatin1(pdf.readAll());
  QCOMPARE(int(text.count(QRegularExpression("/Type\\s*/Page[^s]"))), pages);
}

void CWindowsTest::optionSheetThroughThePlugin() {
  std::unique_ptr<CFrontEnd> gui = MakeGuiFrontEnd();
  QVERIFY(gui);
  g_options = SampleOptions();
  bool seen = false;
  WhenModal([&](QWidget* modal) {
    QCOMPARE(modal->windowTitle(), QString("Options"));
    auto* machine = modal->findChild<QLabel*>("machine");
    QVERIFY(machine);
    QCOMPARE(machine->text(), QString("Machine: ANGLE1"));
    auto* tabs = modal->findChild<QTabWidget*>();
    QVERIFY(tabs);
    tabs->setCurrentIndex(COption::kPunching);
    auto* grid = tabs->widget(COption::kPunching)->findChild<QTableWidget*>();
    QVERIFY(grid);
    QCOMPARE(grid->rowCount(), 3);
    seen = true;
    modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  });
  QCOMPARE(gui->RunOptionSheet(g_options, "ANGLE1"), int(IDOK));
  QVERIFY(seen);
  QCOMPARE(g_options.poincons.GetSize(), 2);
  QCOMPARE(g_options.poincons[0].m_dTool, 10.0);

  WhenModal([](QWidget* modal) {
    modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
  });
  QCOMPARE(gui->RunOptionSheet(g_options, "ANGLE1"), int(IDCANCEL));
}

void CWindowsTest::pluginIsLookedForBesideTheModule() {
  // Linked into this program, the module's code lives in the program; the
  // build puts the plugin beside it.
  QString dir = QString::fromStdString(platform::ModuleDirectory());
  QCOMPARE(dir, QCoreApplication::applicationDirPath() + "/");
  QVERIFY(QFile::exists(dir + "libbarpost_qt.so"));
}

// ------------------------------------------------------------ screenshots

namespace {

bool SavePicture(QWidget& widget, const QString& file, QWidget* popup = nullptr) {
  bool saved = SaveWindowPicture(widget, file, popup);
  std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(file));
  return saved;
}

int Screenshots(const QString& dir) {
  QDir().mkpath(dir);
  LoadOptions(BARPOST_SOURCE_DIR "/examples/machine.ini", "ANGLE1");
  bool ok = true;

  CSetup setup;
  setup.AddHole(Hole(0, 22));
  setup.AddHole(Hole(0, 14));
  setup.AddHole(Hole(1, 22));
  setup.AddHole(Hole(1, 18));
  setup.AddHole(Hole(0, 22, 4, 60, 45));
  {
    CSetupAdapter view(setup);
    CSetupDialog dialog(view);
    dialog.show();
    ok &= SavePicture(dialog, dir + "/setup-machine.png");
  }
  for (int i = 0; i < 9; ++i) setup.AddHole(Hole(i % 2, 24 + 2 * i));
  {
    CSetupAdapter view(setup);
    CSetupDialog dialog(view);
    dialog.show();
    ok &= SavePicture(dialog, dir + "/setup-machine-scrolling.png");
  }

  CModuleOptionRules rules;
  OptionValues options = g_options;
  COption sheet(options, rules, "ANGLE1");
  sheet.show();
  const char* names[] = {"general", "offsets", "punching", "nibbling",
                         "nesting", "marking", "profiles"};
  for (int i = 0; i < COption::kPages; ++i) {
    sheet.ShowPage(i);
    if (i == COption::kProfiles) {
      auto* page = sheet.Get<CPropertyProfil>(COption::kProfiles);
      QApplication::setActiveWindow(&sheet);
      page->m_origin[9]->setFocus();  // category Y: the focus bands
      QTest::qWait(250);
    }
    ok &= SavePicture(sheet, dir + "/options-" + names[i] + ".png");
  }

  // A size typed with a decimal comma, as the operator sees it: the marked
  // field and its tool tip.
  {
    OptionValues marked = g_options;
    marked.units[2].diameter = "22,5";
    COption markedSheet(marked, rules, "ANGLE1");
    markedSheet.show();
    QApplication::setActiveWindow(&markedSheet);
    auto* general = markedSheet.Get<CPropertyGeneral>(COption::kGeneral);
    QLineEdit* edit = general->m_diameter[2];
    QApplication::processEvents();
    QToolTip::showText(edit->mapToGlobal(QPoint(0, edit->height())), edit->toolTip(), edit);
    QTest::qWait(300);
    QWidget* tip = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->inherits("QTipLabel") && w->isVisible()) tip = w;
    ok &= tip != nullptr;
    ok &= SavePicture(markedSheet, dir + "/options-marked-field.png", tip);
    QToolTip::hideText();
  }

  QMessageBox box(QMessageBox::Critical, "barpost",
                  "Cannot create /tmp/none/B1.MPF: No such file or directory", QMessageBox::Ok);
  box.show();
  ok &= SavePicture(box, dir + "/message-error.png");
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  QString screenshots;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--screenshot") == 0) screenshots = argv[i + 1];
  // Run by hand, the tests still open no window on the screen.
  if (screenshots.isEmpty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  if (qEnvironmentVariableIsEmpty("BARPOST_UI")) qputenv("BARPOST_UI", "auto");
  QApplication app(argc, argv);
  if (!screenshots.isEmpty()) return Screenshots(screenshots);
  // Run under a decimal-comma locale, Qt must have made it the process's own,
  // or that run proves nothing.
  if (qEnvironmentVariable("LC_ALL").startsWith("de_DE") &&
      std::strcmp(std::localeconv()->decimal_point, ",") != 0) {
    std::fprintf(stderr, "the locale %s is not in force (is it installed?)\n",
                 qgetenv("LC_ALL").constData());
    return 1;
  }
  CWindowsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "qt_widgets_test.moc"
