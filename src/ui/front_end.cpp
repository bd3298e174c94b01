#include "ui/front_end.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "base/call_log.h"
#include "base/platform.h"
#include "base/text.h"
#include "config/tables.h"
#include "ui/setup.h"
#ifdef _WIN32
#include "ui/win32/win32_front_end.h"
#else
#include <unistd.h>

#include "ui/qt/window_plugin.h"
#include "ui/window_adapters.h"
#endif

namespace {

// Messages of the front ends without a window: one line on standard error.
void PrintMessage(const std::string& text, MessageIcon icon) {
  std::string line = icon == MessageIcon::kError     ? "barpost: error: "
                     : icon == MessageIcon::kWarning ? "barpost: warning: "
                                                     : "barpost: ";
  line += text;
  if (line.empty() || line.back() != '\n') line += '\n';
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
}

class CAutoFrontEnd : public CFrontEnd {
 public:
  const char* Name() const override { return "auto"; }
  int RunSetup(CSetup& setup) override {
    setup.Initialise();
    return setup.OkEnabled() ? IDOK : IDCANCEL;
  }
  int RunOptionSheet(OptionValues&, const std::string&) override { return IDOK; }
  void ShowMessage(const std::string& text, MessageIcon icon) override { PrintMessage(text, icon); }
};

class CCancelFrontEnd : public CFrontEnd {
 public:
  const char* Name() const override { return "cancel"; }
  int RunSetup(CSetup& setup) override {
    setup.Initialise();  // the edits of a cancelled dialog stay, so the rows do too
    return IDCANCEL;
  }
  int RunOptionSheet(OptionValues&, const std::string&) override { return IDCANCEL; }
  void ShowMessage(const std::string& text, MessageIcon icon) override { PrintMessage(text, icon); }
};

CFrontEnd* g_testing = nullptr;

CFrontEnd& AutoFrontEnd() {
  static std::unique_ptr<CFrontEnd> front_end = MakeAutoFrontEnd();
  return *front_end;
}

CFrontEnd& CancelFrontEnd() {
  static std::unique_ptr<CFrontEnd> front_end = MakeCancelFrontEnd();
  return *front_end;
}

// The window and terminal front ends are made when first asked for and kept;
// while one cannot be made it is tried again at the next call.
CFrontEnd* GuiFrontEnd() {
  static std::unique_ptr<CFrontEnd> front_end;
  if (!front_end) front_end = MakeGuiFrontEnd();
  return front_end.get();
}

CFrontEnd* TtyFrontEnd() {
  static std::unique_ptr<CFrontEnd> front_end;
  if (!front_end) front_end = MakeTtyFrontEnd();
  return front_end.get();
}

#ifndef _WIN32
// The Qt windows, seen from the module. The plugin stays loaded for the life
// of the process: a toolkit does not survive being unloaded.
class CGuiFrontEnd : public CFrontEnd {
 public:
  explicit CGuiFrontEnd(CWindowFrontEnd* windows) : m_windows(windows) {}
  const char* Name() const override { return "gui"; }
  int RunSetup(CSetup& setup) override {
    CSetupAdapter view(setup);
    return m_windows->RunSetup(view);
  }
  int RunOptionSheet(OptionValues& options, const std::string& machine) override {
    CModuleOptionRules rules;
    return m_windows->RunOptionSheet(options, machine, rules);
  }
  void ShowMessage(const std::string& text, MessageIcon icon) override {
    m_windows->ShowMessage(text, icon);
  }

 private:
  std::unique_ptr<CWindowFrontEnd> m_windows;
};

bool NonEmptyVariable(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

// Somewhere to show a window: an X or Wayland display, or one of Qt's
// screenless platforms (the tests run "offscreen").
bool DisplayAvailable() {
  if (NonEmptyVariable("DISPLAY") || NonEmptyVariable("WAYLAND_DISPLAY")) return true;
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  std::string_view name = Trim(platform ? platform : "");
  for (const char* screenless : {"offscreen", "minimal", "vnc", "linuxfb", "eglfs"})
    if (name.substr(0, std::string_view(screenless).size()) == screenless) return true;
  return false;
}

constexpr const char* kPluginName = "libbarpost_qt.so";

// The plugin from BARPOST_QT_PLUGIN, or beside the module. Loaded once; a
// plugin that is missing or refuses is not asked again.
CWindowFrontEnd* LoadWindows() {
  static void* module = nullptr;
  static bool tried = false;
  if (!tried) {
    tried = true;
    const char* path = std::getenv("BARPOST_QT_PLUGIN");
    std::string file = path && *path ? std::string(path)
                                     : platform::JoinPath(platform::ModuleDirectory(), kPluginName);
    module = platform::LoadModule(file, nullptr);
  }
  if (!module) return nullptr;
  auto make = reinterpret_cast<MakeWindowFrontEndFn>(
      platform::ModuleSymbol(module, BARPOST_QT_FACTORY));
  return make ? make(kWindowPluginVersion) : nullptr;
}

// A person at a terminal: standard input and output both are one.
bool AtTerminal() { return isatty(STDIN_FILENO) && isatty(STDOUT_FILENO); }
#else
// Windows: the dialogs are the module's own windows; there is no terminal
// front end.
bool AtTerminal() { return false; }
#endif

// Without a choice: windows when there are windows, else the terminal the
// program runs in, else nobody at all, so that a host, a script or a test
// run without a terminal never waits for input.
CFrontEnd& DefaultFrontEnd() {
  if (CFrontEnd* gui = GuiFrontEnd()) return *gui;
  if (AtTerminal())
    if (CFrontEnd* tty = TtyFrontEnd()) return *tty;
  return AutoFrontEnd();
}

}  // namespace

std::unique_ptr<CFrontEnd> MakeAutoFrontEnd() { return std::make_unique<CAutoFrontEnd>(); }

std::unique_ptr<CFrontEnd> MakeCancelFrontEnd() { return std::make_unique<CCancelFrontEnd>(); }

#ifdef _WIN32
std::unique_ptr<CFrontEnd> MakeGuiFrontEnd() { return MakeWin32FrontEnd(); }
std::unique_ptr<CFrontEnd> MakeTtyFrontEnd() { return nullptr; }
#else
std::unique_ptr<CFrontEnd> MakeGuiFrontEnd() {
  if (!DisplayAvailable()) return nullptr;
  CWindowFrontEnd* windows = LoadWindows();
  if (!windows) return nullptr;
  return std::make_unique<CGuiFrontEnd>(windows);
}
#endif

CFrontEnd& FrontEnd() {
  if (g_testing) return *g_testing;
  const char* value = std::getenv("BARPOST_UI");
  std::string_view choice = Trim(value ? value : "");
  if (EqualsNoCase(choice, "auto")) return AutoFrontEnd();
  if (EqualsNoCase(choice, "cancel")) return CancelFrontEnd();
  if (EqualsNoCase(choice, "tty")) {
    if (CFrontEnd* tty = TtyFrontEnd()) return *tty;
    return DefaultFrontEnd();
  }
  if (EqualsNoCase(choice, "gui")) {
    if (CFrontEnd* gui = GuiFrontEnd()) return *gui;
    return DefaultFrontEnd();
  }
  CFrontEnd& chosen = DefaultFrontEnd();
  if (!choice.empty()) {
    // A misspelt choice is told once, in the front end that answers instead.
    static std::string told;
    if (told != choice) {
      told = std::string(choice);
      chosen.ShowMessage("BARPOST_UI=" + told + " is none of gui, tty, auto and cancel; the " +
                             chosen.Name() + " front end answers instead.",
                         MessageIcon::kWarning);
    }
  }
  return chosen;
}

void SetFrontEndForTesting(CFrontEnd* front_end) { g_testing = front_end; }

void ShowMessage(const std::string& text, MessageIcon icon) {
  call_log::Note(icon == MessageIcon::kError     ? "error"
                 : icon == MessageIcon::kWarning ? "warning"
                                                 : "message",
                 text);
  FrontEnd().ShowMessage(text, icon);
}
