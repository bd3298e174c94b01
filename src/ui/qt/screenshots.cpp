// Pictures of the Qt windows for the documentation: each dialog and each
// page of the "Options" sheet, filled from examples/machine.ini, saved as PNG
// files into the folder given. Usage: barpost_qt_screenshots DIR
// (scripts/screenshots.sh runs it on a virtual X display).
#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QToolTip>
#include <QtTest/QtTest>

#include "config/options.h"
#include "ui/qt/option_sheet.h"
#include "ui/qt/setup_dialog.h"
#include "ui/qt/snapshot.h"
#include "ui/setup.h"
#include "ui/setup_test_util.h"
#include "ui/window_adapters.h"

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
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
    return 2;
  }
  QApplication app(argc, argv);
  return Screenshots(QString::fromLocal8Bit(argv[1]));
}
