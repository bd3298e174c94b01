// The module-wide strings every entry point sets first: where the machine
// configuration lives. They keep their last values between calls.
#ifndef BARPOST_ENGINE_MODULE_STATE_H_
#define BARPOST_ENGINE_MODULE_STATE_H_

#include <string>

extern std::string g_sIniFile;  // full path of the INI file
extern std::string g_sMachine;  // machine name: the INI section

#endif  // BARPOST_ENGINE_MODULE_STATE_H_
