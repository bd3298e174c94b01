// The module's own windows on Windows: "Setup machine", the "Options" sheet
// and the message boxes, Win32 dialogs made from the templates of
// barpost.rc. No toolkit is needed beside the system's.
#ifndef BARPOST_UI_WIN32_WIN32_FRONT_END_H_
#define BARPOST_UI_WIN32_WIN32_FRONT_END_H_

#include <memory>

#include "ui/front_end.h"

// The windows, or nullptr when the process has no desktop the user sees (a
// service, a scheduled task without a session).
std::unique_ptr<CFrontEnd> MakeWin32FrontEnd();

#endif  // BARPOST_UI_WIN32_WIN32_FRONT_END_H_
