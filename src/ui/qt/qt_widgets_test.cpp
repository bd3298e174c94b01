// The Qt windows driven as an operator drives them, on Qt's offscreen
// platform. (Pictures of them: barpost_qt_screenshots.)
#include <clocale>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>

#include <QtTest>
#include <QtWidgets>

#include "base/test_support.h"
#include "config/options.h"
#include "ui/front_end.h"
#include "ui/qt/edit_grid.h"
#include "ui/qt/option_sheet.h"
#include "ui/setup_test_util.h"
#include "ui/window_adapters.h"

namespace {

// Runs check once a modal window is up (the dialog under test runs its own
// event loop), then lets the dialog go on.
void WhenModal(std::function<void(QWidget*)> check) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, check] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      delete timer;
      check(modal);
    }
  });
  timer->start(20);
}

void ClickButton(QWidget* dialog, QDialogButtonBox::StandardButton which) {
  dialog->findChild<QDialogButtonBox*>()->button(which)->click();
}

void TypeInto(QLineEdit* edit, const QString& text) {
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClicks(edit, text);
}

// Types text into a grid cell through the cell's editor and commits it with Enter.
void TypeCell(CEditGrid* grid, int row, int column, const QString& text) {
  grid->setCurrentIndex(grid->model()->index(row, column));
  grid->edit(grid->currentIndex());
  QLineEdit* editor = nullptr;  // the open one, not one closed a moment ago
  for (QLineEdit* child : grid->viewport()->findChildren<QLineEdit*>())
    if (!child->isHidden()) editor = child;
  QVERIFY(editor);
  TypeInto(editor, text);
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();  // the view commits the edit from its queue
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A machine of examples/machine.ini, with every field that a page shows set
// away from its value in an empty OptionValues.
OptionValues Machine() {
  LoadOptions(BARPOST_SOURCE_DIR "/examples/machine.ini", "ANGLE1");
  OptionValues o = g_options;
  o.Cnc = o.Unite = o.Mark_Niv = 2;
  o.Mark_Auto = o.Mark_Forcer = o.Mark_Sens = o.TEC = 1;
  o.markContract = o.markJob = o.markDrawing = o.markAssembly = 1;
  o.SRS = o.SP = o.Off_R99 = "1.5";
  o.Defaut = "XYR0XYR0XYR0XYR0XYR0";
  o.poincons.Add(CPoincon(18, 10, 3));
  o.outils.Add(CMagasin(3, 0, 40, 20));
  return o;
}

// The machine's section as the module saves it, line by line.
QStringList IniText(const OptionValues& options) {
  QTemporaryDir dir;
  std::string file = dir.filePath("machine.ini").toStdString();
  g_options = options;
  SaveOptions(file, "M1");
  return QString::fromStdString(test_support::Slurp(file)).split("\r\n");
}

// How an edit shows the machine's rule: the reason while marked (tinted, a
// warning sign, the reason as tool tip of both), else nothing.
QString Mark(COptionPage* page, QLineEdit* edit) {
  CFieldChecks* checks = page->Checks();
  bool marked = checks->Marked(edit);
  if (marked != (edit->palette().color(QPalette::Base) == MarkedFieldColor()) ||
      marked != checks->Sign(edit)->isVisible() || checks->Sign(edit)->toolTip() != edit->toolTip())
    return "shown otherwise";
  return marked ? edit->toolTip() : QString();
}

}  // namespace

class CWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void setupOkOnlyWhenEveryHoleTypeFits();
  void messagesAndTheSheetThroughThePlugin();
  void okStoresEveryShownPage();
  void editsFollowTheMachinesRules();
};

void CWindowsTest::setupOkOnlyWhenEveryHoleTypeFits() {
  std::unique_ptr<CFrontEnd> gui = MakeGuiFrontEnd();  // the plugin, from beside the module
  QVERIFY2(gui, "the Qt plugin did not load");
  QCOMPARE(QString(gui->Name()), QString("gui"));
  SetUnits({{"1", "12", "18"}, {"2", "13", "30"}, {"", "", ""}});
  CSetup setup;
  setup.AddHole(Hole(0, 22));
  setup.AddHole(Hole(1, 30));
  for (auto button : {QDialogButtonBox::Cancel, QDialogButtonBox::Ok}) {
    QStringList seen;  // each row: level, size, fit, colours; the line under them; OK
    WhenModal([&](QWidget* dialog) {
      auto* table = dialog->findChild<QTableWidget*>();
      auto* size1 = dialog->findChild<QLineEdit*>("size1");
      seen << dialog->windowTitle() + " " + dialog->findChild<QLineEdit*>("size2")->text();
      seen << QString("size3 hidden: %1").arg(dialog->findChild<QLineEdit*>("size3")->isHidden());
      QStringList labels;  // of the units: level and M function; the status
      for (QLabel* label : dialog->findChildren<QLabel*>()) labels << label->text();
      seen << labels.join(" ");
      for (const char* typed : {"", "22"}) {
        TypeInto(size1, typed);
        for (int r = 0; r < table->rowCount(); ++r) {
          auto cell = [&](int column) { return table->item(r, column); };
          seen << cell(0)->text() + " " + cell(1)->text() + " " + cell(2)->text() + " " +
                      cell(1)->foreground().color().name() + cell(2)->background().color().name();
        }
        seen << dialog->findChild<QLabel*>("summary")->text();
        seen << QString("OK %1").arg(
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->isEnabled());
      }
      ClickButton(dialog, button);
    });
    g_options.units[0].diameter = "";
    QCOMPARE(gui->RunSetup(setup), button == QDialogButtonBox::Ok ? int(IDOK) : int(IDCANCEL));
    QCOMPARE(seen.join("\n"), QString("Setup machine %00001 30\nsize3 hidden: 1\n"
                                      "Level Unit Diameter FL M12 NL M13  *  *  *  * 1 of 2 hole "
                                      "types fits no unit: FL 22. Metrique\n"
                                      "FL 22 no unit #ffffff#ff0000\nNL 30 fits #000000#00ff00\n"
                                      "1 of 2 hole types fits no unit: FL 22.\nOK 0\n"
                                      "FL 22 fits #000000#00ff00\nNL 30 fits #000000#00ff00\n"
                                      "Every hole type fits a unit.\nOK 1"));
    QCOMPARE(QString::fromStdString(g_options.units[0].diameter), QString("22"));  // kept
  }
}

void CWindowsTest::messagesAndTheSheetThroughThePlugin() {
  for (const char* choice : {"", "gui"}) {  // windows where there is a display, or by choice
    qputenv("BARPOST_UI", choice);
    QCOMPARE(QString(FrontEnd().Name()), QString("gui"));
  }
  qputenv("BARPOST_UI", "auto");
  std::unique_ptr<CFrontEnd> gui = MakeGuiFrontEnd();
  QStringList seen;
  for (MessageIcon icon : {MessageIcon::kError, MessageIcon::kWarning, MessageIcon::kInformation}) {
    WhenModal([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      seen << QString("%1 %2 %3").arg(box->icon()).arg(box->text()).arg(box->buttons().size());
      box->button(QMessageBox::Ok)->click();
    });
    gui->ShowMessage("Middle remnant", icon);
  }
  for (auto button : {QDialogButtonBox::Ok, QDialogButtonBox::Cancel}) {
    WhenModal([&](QWidget* modal) {
      seen << modal->windowTitle() + " " + modal->findChild<QLabel*>("machine")->text();
      ClickButton(modal, button);
    });
    seen << QString::number(gui->RunOptionSheet(g_options, "ANGLE1"));
  }
  QCOMPARE(seen.join(", "), QString("3 Middle remnant 1, 2 Middle remnant 1, 1 Middle remnant 1, "
                                    "Options Machine: ANGLE1, 1, Options Machine: ANGLE1, 2"));
}

// Every page that was shown stores its controls at OK, as they were filled
// or edited; a page never shown changes nothing, not even what it would round.
void CWindowsTest::okStoresEveryShownPage() {
  const OptionValues machine = Machine();
  OptionValues o = machine, expected = machine;
  CModuleOptionRules rules;
  COption sheet(o, rules, "ANGLE1");
  sheet.show();
  for (int i = 0; i < COption::kPages; ++i) sheet.ShowPage(i);
  auto* punches = sheet.Get<CPropertyPoinconnage>(COption::kPunching)->m_grid;
  auto* tools = sheet.Get<CPropertyMagasin>(COption::kNibbling)->m_grid;
  const int loaded = tools->rowCount();  // three tools and the row to type into
  tools->setRowCount(1);  // an empty magazine
  struct Cell {
    CEditGrid* grid;
    int row, column;
    const char* text;
  };
  // The grids end in an empty row to type into. A punch without a tool, a
  // tool that is no number are dropped; an offset 0 is kept. A tool is round
  // with a diameter, oblong with a length too, rectangular with a length and
  // a width. A cell that is no length is marked.
  for (const Cell& c : {Cell{punches, 2, 0, "26"}, {punches, 2, 1, "8"}, {punches, 2, 2, "4.5"},
                        {punches, 3, 0, "20"}, {punches, 0, 2, "0"}, {punches, 1, 2, "5,5"},
                        {tools, 0, 1, "12"}, {tools, 1, 1, "12"}, {tools, 1, 2, "40"},
                        {tools, 2, 2, "40"}, {tools, 2, 3, "20"}, {tools, 3, 1, "abc"}}) {
    sheet.ShowPage(c.grid == tools ? COption::kNibbling : COption::kPunching);
    TypeCell(c.grid, c.row, c.column, c.text);
  }
  tools->MoveRows({0}, 3);  // rows dragged elsewhere, in their order: oblong, rectangular, round
  tools->MoveRows({2, 1, 5, 2}, 0);  // rectangular, round, oblong; no row 5 to move
  QCOMPARE(QString("%1 %2 %3 %4%5%6").arg(loaded).arg(punches->rowCount()).arg(tools->rowCount())
               .arg(tools->PictureTag(0, 0)).arg(tools->PictureTag(1, 0))
               .arg(tools->PictureTag(2, 0)),
           QString("4 5 5 304"));
  QVERIFY(punches->CellMarked(1, 2) && punches->item(1, 2)->toolTip().contains("decimal point"));
  QVERIFY(tools->CellMarked(3, 1) && tools->item(3, 1)->toolTip().contains("millimetres"));
  QVERIFY(!sheet.Tabs()->tabIcon(COption::kNibbling).isNull());
  sheet.ShowPage(COption::kPunching);
  TypeCell(punches, 1, 2, "5.5");
  QVERIFY(!punches->CellMarked(1, 2) && sheet.Tabs()->tabIcon(COption::kPunching).isNull());
  expected.poincons.RemoveAll();  // ordered by tool diameter
  for (CPoincon p : {CPoincon(26, 22, 5.5), CPoincon(18, 10, 0), CPoincon(26, 8, 4.5)})
    expected.poincons.Add(p);
  expected.outils.RemoveAll();
  for (CMagasin t : {CMagasin(3, 0, 40, 20), CMagasin(0, 12, 12, 0), CMagasin(4, 12, 40, 0)})
    expected.outils.Add(t);

  o = OptionValues();  // what the controls show must come back
  o.LgBarre = machine.LgBarre;  // the one field of the machine that no page shows
  for (int i = 0; i < COption::kPages; ++i) sheet.ShowPage(i);  // leaving a page stores it
  auto* profiles = sheet.Get<CPropertyProfil>(COption::kProfiles);
  profiles->m_enabled[0]->click();  // these store into the working arrays at once
  profiles->m_xSymmetry[0]->click();
  profiles->m_transformation[19]->button(3)->click();
  profiles->m_origin[19]->setText("7");
  expected.Categ[0] = expected.XSym[0] = 'O';
  expected.Defaut[19] = 'R';
  expected.OrgDef[19] = '7';
  ClickButton(&sheet, QDialogButtonBox::Ok);
  QCOMPARE(sheet.result(), int(QDialog::Accepted));
  QCOMPARE(IniText(o), IniText(expected));

  o = machine;
  o.poincons[0] = CPoincon(22.12345, 12, 5);  // the page would round it to 22.123
  o.outils.Add(CMagasin(1, 14, 0, 0));        // the page would make it a round tool
  o.Defaut = "XY";                            // the page would write 20 characters
  expected = o;
  COption untouched(o, rules, "ANGLE1");
  untouched.accept();
  QCOMPARE(IniText(o), IniText(expected));
}

// What the operator types is refused key by key where the machine could not
// read it, and says why; a text the machine cannot use, typed or read from
// the file, is marked and stored as it stands.
void CWindowsTest::editsFollowTheMachinesRules() {
  OptionValues o = Machine();
  o.Unite = 1;  // millimetres: no fractions of an inch
  o.units[1] = {"3", "Y12", "M13", "", "22,5"};
  o.units[2].diameter = "22X";
  o.units[3].diameter = "7/8";
  o.Off_X[0] = "12,5";
  CModuleOptionRules rules;
  COption sheet(o, rules, "ANGLE1");
  sheet.show();
  sheet.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&sheet));
  struct Typing {
    int page;
    const char *edit, *typed;  // typed: nullptr for the text of the file
    const char *shown, *why, *mark;  // why: the tool tip of the last key refused
  };
  const Typing typings[] = {
      {COption::kGeneral, "level2", nullptr, "3", nullptr, "1 (FL), 2 (NL) or empty"},
      {COption::kGeneral, "mfunc2", nullptr, "M13", nullptr, "digits only"},
      {COption::kGeneral, "axis2", nullptr, "Y12", nullptr, "at most two characters"},
      {COption::kGeneral, "diameter2", nullptr, "22,5", nullptr, "comma"},
      {COption::kGeneral, "diameter3", nullptr, "22X", nullptr, "length is missing"},
      {COption::kGeneral, "diameter4", nullptr, "7/8", nullptr, "22X60-45"},
      {COption::kGeneral, "diameter1", nullptr, "22", nullptr, ""},
      {COption::kGeneral, "level3", "3", "", "1 (FL), 2 (NL) or empty", ""},
      {COption::kGeneral, "level3", "21", "2", nullptr, ""},
      {COption::kGeneral, "diameter5", "22,5", "225", "write a decimal point", ""},
      {COption::kGeneral, "diameter6", "22X60-4-", "22X60-4", "width X length - angle", ""},
      {COption::kGeneral, "diameter6", "22X60-", "22X60-", nullptr, "angle is missing"},
      {COption::kGeneral, "axis3", "y1x", "Y1", "at most two characters", ""},  // in capitals
      {COption::kGeneral, "mfunc3", "m13a", "13", "digits only", ""},
      {COption::kGeneral, "cutting", "m25", "25", nullptr, ""},
      {COption::kOffsets, "toolX1", nullptr, "12,5", nullptr, "decimal point"},
      {COption::kOffsets, "toolX2", "1a2,5", "125", "not a comma", ""},
      {COption::kOffsets, "speed", "12a3.4", "1234", nullptr, ""},  // digits only, no word
      {COption::kNesting, "sc", "1.5", "15", nullptr, ""},
      {COption::kNesting, "sl", "1x0.5", "10.5", "a number (1.5)", ""},
      {COption::kMarking, "markX", "1.5", "15", nullptr, ""},
  };
  for (const Typing& t : typings) {
    sheet.ShowPage(t.page);
    auto* edit = sheet.PageAt(t.page)->findChild<QLineEdit*>(t.edit);
    QVERIFY2(edit, t.edit);
    edit->setFocus();
    if (t.typed) TypeInto(edit, t.typed);
    QCOMPARE(edit->text(), QString(t.shown));
    if (t.why) QVERIFY2(QToolTip::text().contains(t.why), qPrintable(QToolTip::text()));
    QString mark = Mark(sheet.PageAt(t.page), edit);
    QVERIFY2(*t.mark ? mark.contains(t.mark) : mark.isEmpty(), qPrintable(t.edit + (": " + mark)));
  }
  QCOMPARE(sheet.Tabs()->tabToolTip(COption::kGeneral),
           QString("7 fields marked: the machine cannot use their texts"));
  QCOMPARE(sheet.Tabs()->tabToolTip(COption::kOffsets),
           QString("One field marked: the machine cannot use its text"));
  QVERIFY(!sheet.Tabs()->tabIcon(COption::kOffsets).isNull() &&
          sheet.Tabs()->tabIcon(COption::kNesting).isNull());
  sheet.ShowPage(COption::kGeneral);  // "CAM": the sizes are read as the job file says
  auto* general = sheet.Get<CPropertyGeneral>(COption::kGeneral);
  general->m_unit->button(0)->click();
  QCOMPARE(general->Checks()->UnitLabel(general->m_diameter[3])->text(), QString("mm or inch"));
  QVERIFY(Mark(general, general->m_diameter[3]).isEmpty() &&
          general->m_diameter[3]->toolTip().contains("job file"));  // the rule, while usable

  sheet.ShowPage(COption::kProfiles);  // an origin that is no integer keeps the operator
  sheet.Get<CPropertyProfil>(COption::kProfiles)->m_origin[9]->setText("x");
  QStringList refusals;
  auto refuse = [&](QWidget* modal) {
    refusals << qobject_cast<QMessageBox*>(modal)->text();
    qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Ok)->click();
  };
  WhenModal(refuse);
  sheet.ShowPage(COption::kGeneral);
  QCOMPARE(sheet.Tabs()->currentIndex(), int(COption::kProfiles));
  WhenModal(refuse);
  ClickButton(&sheet, QDialogButtonBox::Ok);
  QCOMPARE(sheet.result(), 0);  // not accepted
  QCOMPARE(refusals, QStringList(2, "Please enter an integer."));
  sheet.Get<CPropertyProfil>(COption::kProfiles)->m_origin[9]->setText("3");
  ClickButton(&sheet, QDialogButtonBox::Ok);  // marked texts do not hold OK back
  QCOMPARE(QString::fromStdString(o.units[1].axis + o.units[1].mfunc + o.units[1].diameter +
                                  o.units[3].diameter + o.Off_X[0] + o.units[2].level + o.SL +
                                  o.units[5].diameter + o.OrgDef[9]),
           QString("Y12M1322,57/812,5210.522X60-3"));
}

int main(int argc, char** argv) {
  // Run by hand, the tests still open no window on the screen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "BARPOST_QT_PLUGIN"}) qunsetenv(name);
  qputenv("BARPOST_UI", "auto");
  QApplication app(argc, argv);
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
