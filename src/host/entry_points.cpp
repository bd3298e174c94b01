// The entry points of the module. Each one sets the module-wide strings,
// does its work, and never lets an exception reach the host: a host that
// meets one would go down with the post-processor.
#include <cstdlib>
#include <exception>
#include <string>

#include "config/options.h"
#include "engine/module_state.h"
#include "engine/traitement.h"
#include "host/barpost.h"
#include "transfer/transfer.h"
#include "ui/front_end.h"

namespace {

std::string Arg(const char* text) { return text ? std::string(text) : std::string(); }

void SetLocation(const char* iniFile, const char* machine) {
  g_sIniFile = Arg(iniFile);
  g_sMachine = Arg(machine);
}

// Runs body; an exception becomes an error message and the result
// on_failure (a job that failed wrote no program).
template <typename Body>
int Guarded(int on_failure, Body body) {
  try {
    return body();
  } catch (const std::exception& e) {
    try {
      FrontEnd().ShowMessage(std::string("Internal error: ") + e.what(), MessageIcon::kError);
    } catch (...) {
    }
  } catch (...) {
    try {
      FrontEnd().ShowMessage("Internal error", MessageIcon::kError);
    } catch (...) {
    }
  }
  return on_failure;
}

int AsInt(const char* text) { return std::atoi(Arg(text).c_str()); }

}  // namespace

extern "C" {

BARPOST_EXPORT int BARPOST_CALL Traitement(const char* iniFile, const char* machine,
                                           const char* camFile, const char* ncFile,
                                           const char* repeat, const char* arg6,
                                           const char* arg7) {
  return Guarded(BARPOST_SETUP_CANCELLED, [&] {
    SetLocation(iniFile, machine);
    CTraitement job(g_sIniFile, g_sMachine, Arg(camFile), Arg(ncFile), AsInt(repeat), AsInt(arg6),
                    AsInt(arg7));
    return job.Process();
  });
}

BARPOST_EXPORT int BARPOST_CALL Exportation(const char* iniFile, const char* machine,
                                            const char* ncFile, const char* camFile) {
  return Guarded(0, [&] {
    SetLocation(iniFile, machine);
    return RunExportation(Arg(ncFile), Arg(camFile));
  });
}

BARPOST_EXPORT int BARPOST_CALL Transmission(const char* iniFile, const char* machine,
                                             const char* sourceFile, const char*, const char*,
                                             const char*) {
  return Guarded(0, [&] {
    SetLocation(iniFile, machine);
    return RunTransmission(Arg(sourceFile));
  });
}

BARPOST_EXPORT void BARPOST_CALL Config_Export(const char* iniFile, const char* machine) {
  Guarded(0, [&] {
    SetLocation(iniFile, machine);
    LoadOptions(g_sIniFile, g_sMachine);
    if (FrontEnd().RunOptionSheet(g_options) == IDOK) {
      std::string error;
      if (!SaveOptions(g_sIniFile, g_sMachine, &error))
        FrontEnd().ShowMessage(error, MessageIcon::kError);
    }
    return 0;
  });
}

BARPOST_EXPORT void BARPOST_CALL Config_Transmission(const char* iniFile, const char* machine) {
  Guarded(0, [&] {
    SetLocation(iniFile, machine);
    return 0;
  });
}

BARPOST_EXPORT int BARPOST_CALL Identity(const char* text) {
  // The first character as a signed 8-bit value.
  return text ? static_cast<int>(static_cast<signed char>(text[0])) : 0;
}

}  // extern "C"
