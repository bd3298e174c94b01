// The entry points of the module. Each one sets the module-wide strings,
// does its work, and never lets an exception reach the host: a host that
// meets one would go down with the post-processor.
//
// The module keeps its options and the INI location in module-wide storage,
// as the hosts expect, so two calls at once from two threads of a host would
// mix two machines' options. Every entry point that touches that storage
// takes the module's lock first: calls run one at a time, each one whole. The
// lock may be taken again by the same thread, so a dialog that calls back
// into the module does not wait for itself.
#include <cstdlib>
#include <exception>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "base/call_log.h"
#include "config/options.h"
#include "engine/module_state.h"
#include "engine/traitement.h"
#include "host/barpost.h"
#include "transfer/transfer.h"
#include "ui/front_end.h"

namespace {

std::string Arg(const char* text) { return text ? std::string(text) : std::string(); }

std::recursive_mutex& ModuleLock() {
  static std::recursive_mutex lock;
  return lock;
}

// The operator is told when the machine name cannot be an INI section.
bool UsableMachine() {
  std::string why;
  if (MachineNameUsable(g_sMachine, &why)) return true;
  ShowMessage(why, MessageIcon::kError);
  return false;
}

void SetLocation(const char* iniFile, const char* machine) {
  g_sIniFile = Arg(iniFile);
  g_sMachine = Arg(machine);
}

using Args = std::vector<std::pair<std::string, std::string>>;

// Runs body under the module's lock, with the call's log record around it;
// an exception becomes an error message and the result on_failure (a job
// that failed wrote no program).
template <typename Body>
int Guarded(const char* entry, const Args& args, int on_failure, Body body) {
  int result = on_failure;
  try {
    std::lock_guard<std::recursive_mutex> hold(ModuleLock());
    try {
      call_log::Begin(entry, args);
      result = body();
    } catch (const std::exception& e) {
      ShowMessage(std::string("Internal error: ") + e.what(), MessageIcon::kError);
    } catch (...) {
      ShowMessage("Internal error", MessageIcon::kError);
    }
    call_log::End(result);
  } catch (...) {
    // Out of memory while telling of a failure: nothing more can be done.
  }
  return result;
}

int AsInt(const char* text) { return std::atoi(Arg(text).c_str()); }

}  // namespace

extern "C" {

BARPOST_EXPORT int BARPOST_CALL Traitement(const char* iniFile, const char* machine,
                                           const char* camFile, const char* ncFile,
                                           const char* repeat, const char* arg6,
                                           const char* arg7) {
  const Args args = {{"ini", Arg(iniFile)}, {"machine", Arg(machine)}, {"job", Arg(camFile)},
                     {"program", Arg(ncFile)}};
  return Guarded("Traitement", args, BARPOST_SETUP_CANCELLED, [&] {
    SetLocation(iniFile, machine);
    if (!UsableMachine()) return BARPOST_SETUP_CANCELLED;  // no program written
    CTraitement job(g_sIniFile, g_sMachine, Arg(camFile), Arg(ncFile), AsInt(repeat), AsInt(arg6),
                    AsInt(arg7));
    return job.Process();
  });
}

BARPOST_EXPORT int BARPOST_CALL Exportation(const char* iniFile, const char* machine,
                                            const char* ncFile, const char* camFile) {
  const Args args = {{"ini", Arg(iniFile)}, {"machine", Arg(machine)}, {"program", Arg(ncFile)},
                     {"job", Arg(camFile)}};
  return Guarded("Exportation", args, 0, [&] {
    SetLocation(iniFile, machine);
    if (!UsableMachine()) return 0;
    return RunExportation(Arg(ncFile), Arg(camFile));
  });
}

BARPOST_EXPORT int BARPOST_CALL Transmission(const char* iniFile, const char* machine,
                                             const char* sourceFile, const char*, const char*,
                                             const char*) {
  const Args args = {{"ini", Arg(iniFile)}, {"machine", Arg(machine)},
                     {"source", Arg(sourceFile)}};
  return Guarded("Transmission", args, 0, [&] {
    SetLocation(iniFile, machine);
    if (!UsableMachine()) return 0;
    return RunTransmission(Arg(sourceFile));
  });
}

BARPOST_EXPORT void BARPOST_CALL Config_Export(const char* iniFile, const char* machine) {
  Guarded("Config_Export", {{"ini", Arg(iniFile)}, {"machine", Arg(machine)}}, 0, [&] {
    SetLocation(iniFile, machine);
    if (!UsableMachine()) return 0;
    std::string refused;
    LoadOptions(g_sIniFile, g_sMachine, &refused);
    if (!refused.empty()) {
      ShowMessage(refused + "\nThe machine's options cannot be read.", MessageIcon::kError);
      return 0;
    }
    if (FrontEnd().RunOptionSheet(g_options, g_sMachine) == IDOK) {
      std::string error;
      if (!SaveOptions(g_sIniFile, g_sMachine, &error))
        ShowMessage(error, MessageIcon::kError);
    }
    return 0;
  });
}

BARPOST_EXPORT void BARPOST_CALL Config_Transmission(const char* iniFile, const char* machine) {
  Guarded("Config_Transmission", {{"ini", Arg(iniFile)}, {"machine", Arg(machine)}}, 0, [&] {
    SetLocation(iniFile, machine);
    return 0;
  });
}

BARPOST_EXPORT int BARPOST_CALL Identity(const char* text) {
  // The first character as a signed 8-bit value.
  return text ? static_cast<int>(static_cast<signed char>(text[0])) : 0;
}

}  // extern "C"
