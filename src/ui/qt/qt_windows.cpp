// The plugin's one export: the Qt windows of the front end. Inside a host
// that already runs Qt the windows use its application object; otherwise
// they make their own, once, when a display can be reached.
#include <cstdlib>
#include <string>
#include <string_view>

#include <dlfcn.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "ui/qt/option_sheet.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/setup_dialog.h"
#include "ui/qt/snapshot.h"
#include "ui/qt/window_plugin.h"

namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// Qt ends the process when its platform cannot start, so an X display is
// tried first: a DISPLAY left over from a closed session must give "no
// windows", not an abort inside the host. libxcb comes with Qt's own X
// platform, so asking it costs nothing.
bool XDisplayAnswers() {
  void* xcb = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
  if (!xcb) return false;
  using Connect = void* (*)(const char*, int*);
  using HasError = int (*)(void*);
  using Disconnect = void (*)(void*);
  auto connect = reinterpret_cast<Connect>(dlsym(xcb, "xcb_connect"));
  auto has_error = reinterpret_cast<HasError>(dlsym(xcb, "xcb_connection_has_error"));
  auto disconnect = reinterpret_cast<Disconnect>(dlsym(xcb, "xcb_disconnect"));
  bool answers = false;
  if (connect && has_error && disconnect) {
    void* connection = connect(nullptr, nullptr);
    answers = connection && has_error(connection) == 0;
    if (connection) disconnect(connection);
  }
  dlclose(xcb);
  return answers;
}

bool PlatformCanStart() {
  std::string platform = Variable("QT_QPA_PLATFORM");
  bool x11 = platform.empty() || platform.rfind("xcb", 0) == 0;
  if (!x11) return true;  // screenless platforms, or what the user chose
  if (!Variable("WAYLAND_DISPLAY").empty() && platform.empty()) return true;
  return !Variable("DISPLAY").empty() && XDisplayAnswers();
}

class CQtWindows : public CWindowFrontEnd {
 public:
  explicit CQtWindows(QApplication* own) : m_own(own) {}
  ~CQtWindows() override { delete m_own; }
  CQtWindows(const CQtWindows&) = delete;
  CQtWindows& operator=(const CQtWindows&) = delete;

  int RunSetup(CSetupView& setup) override {
    CSetupDialog dialog(setup);
    return Run(dialog, "setup") == QDialog::Accepted ? IDOK : IDCANCEL;
  }

  int RunOptionSheet(OptionValues& options, const std::string& machine,
                     const COptionRules& rules) override {
    COption sheet(options, rules, machine);
    return Run(sheet, "options") == QDialog::Accepted ? IDOK : IDCANCEL;
  }

  void ShowMessage(const std::string& text, MessageIcon icon) override {
    QMessageBox box(icon == MessageIcon::kError     ? QMessageBox::Critical
                    : icon == MessageIcon::kWarning ? QMessageBox::Warning
                                                    : QMessageBox::Information,
                    "barpost", ToQt(text), QMessageBox::Ok);
    Run(box, "message");
  }

 private:
  // BARPOST_QT_SNAPSHOT=PREFIX saves each dialog as PREFIX<name>.png once it
  // is on the screen and then closes it as Cancel does: pictures of the real
  // windows for the documentation, taken by a script.
  static int Run(QDialog& dialog, const char* name) {
    std::string prefix = Variable("BARPOST_QT_SNAPSHOT");
    if (!prefix.empty()) {
      QString file = QString::fromLocal8Bit(prefix.c_str()) + name + ".png";
      QTimer::singleShot(400, &dialog, [&dialog, file] {
        SaveWindowPicture(dialog, file);
        dialog.reject();
      });
    }
    return dialog.exec();
  }

  QApplication* m_own;  // the application object we made, if any
};

}  // namespace

extern "C" __attribute__((visibility("default"))) CWindowFrontEnd* barpost_make_qt_front_end(
    int version) {
  if (version != kWindowPluginVersion) return nullptr;
  if (QCoreApplication* running = QCoreApplication::instance()) {
    // A host with Qt: its application must be one that can show widgets.
    return qobject_cast<QApplication*>(running) ? new CQtWindows(nullptr) : nullptr;
  }
  if (!PlatformCanStart()) return nullptr;
  static int argc = 1;
  static char name[] = "barpost";
  static char* argv[] = {name, nullptr};
  return new CQtWindows(new QApplication(argc, argv));
}
