// The one interface through which the module shows its dialogs. The core
// knows no toolkit: a front end (a Qt window, a terminal, or nobody at all)
// is chosen per call from the variable BARPOST_UI.
#ifndef BARPOST_UI_FRONT_END_H_
#define BARPOST_UI_FRONT_END_H_

#include <memory>
#include <string>

class CSetup;
struct OptionValues;

// Dialog results, as the host's dialogs return them. On Windows they are the
// system's own macros of the same names and values (<windows.h>, already
// included or included later: both orders compile).
#ifndef IDOK
enum : int { IDOK = 1, IDCANCEL = 2 };
#endif

enum class MessageIcon { kError, kWarning, kInformation };

class CFrontEnd {
 public:
  virtual ~CFrontEnd() = default;
  // Name as BARPOST_UI spells it: "auto", "cancel", "tty", "gui".
  virtual const char* Name() const = 0;
  // Runs the "Setup machine" dialog modally; IDOK or IDCANCEL. The front end
  // calls setup.Initialise() first and setup.Refresh() after each edit.
  virtual int RunSetup(CSetup& setup) = 0;
  // Runs the "Options" property sheet on options (the module's g_options)
  // of the machine named machine (its INI section); IDOK or IDCANCEL. The
  // sheet stores into options as its pages are left; the caller saves them
  // to the INI file only on IDOK.
  virtual int RunOptionSheet(OptionValues& options, const std::string& machine) = 0;
  // A message box with an OK button.
  virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;
};

// Ends every dialog with OK where OK is enabled, otherwise with Cancel;
// messages go to standard error.
std::unique_ptr<CFrontEnd> MakeAutoFrontEnd();
// Ends every dialog with Cancel; messages go to standard error.
std::unique_ptr<CFrontEnd> MakeCancelFrontEnd();
// Text dialogs on the controlling terminal; nullptr when there is none, and
// always on Windows.
std::unique_ptr<CFrontEnd> MakeTtyFrontEnd();
// The windows; nullptr when they cannot be shown. On Windows they are the
// module's own dialogs, shown when the process has a visible desktop. Elsewhere
// they are Qt windows, the plugin libbarpost_qt.so, looked for beside the
// module or at the path in BARPOST_QT_PLUGIN, shown where Qt finds a display:
// DISPLAY, WAYLAND_DISPLAY or a screenless QT_QPA_PLATFORM such as "offscreen".
std::unique_ptr<CFrontEnd> MakeGuiFrontEnd();

// Shows a message box through the front end of this call and notes it in the
// call's log record. Every message of the module goes through here.
void ShowMessage(const std::string& text, MessageIcon icon);

// The front end of this call: BARPOST_UI=gui|tty|auto|cancel, or by default
// the best one available. A test may put its own in place.
CFrontEnd& FrontEnd();
void SetFrontEndForTesting(CFrontEnd* front_end);

#endif  // BARPOST_UI_FRONT_END_H_
