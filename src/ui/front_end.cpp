#include "ui/front_end.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include <unistd.h>

#include "base/text.h"
#include "ui/setup.h"

namespace {

// Messages of the front ends without a window: one line on standard error.
void PrintMessage(const std::string& text, MessageIcon icon) {
  std::string line = icon == MessageIcon::kError ? "barpost: error: " : "barpost: ";
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
  int RunOptionSheet() override { return IDOK; }
  void ShowMessage(const std::string& text, MessageIcon icon) override { PrintMessage(text, icon); }
};

class CCancelFrontEnd : public CFrontEnd {
 public:
  const char* Name() const override { return "cancel"; }
  int RunSetup(CSetup& setup) override {
    setup.Initialise();  // the edits of a cancelled dialog stay, so the rows do too
    return IDCANCEL;
  }
  int RunOptionSheet() override { return IDCANCEL; }
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

// A person at a terminal: standard input and output both are one.
bool AtTerminal() { return isatty(STDIN_FILENO) && isatty(STDOUT_FILENO); }

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

// The Qt windows come as a plugin of their own; until it is there, no window.
std::unique_ptr<CFrontEnd> MakeGuiFrontEnd() { return nullptr; }

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
  return DefaultFrontEnd();
}

void SetFrontEndForTesting(CFrontEnd* front_end) { g_testing = front_end; }
