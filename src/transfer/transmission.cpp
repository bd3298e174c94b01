#include <string_view>

#include "base/call_log.h"
#include "base/platform.h"
#include "base/text.h"
#include "config/options.h"
#include "engine/module_state.h"
#include "transfer/transfer.h"
#include "ui/front_end.h"

namespace {

// Nomfic is read into a buffer of 256 characters.
constexpr std::size_t kNameChars = 255;

void Tell(const std::string& text) { ShowMessage(text, MessageIcon::kError); }

}  // namespace

std::string TransmissionPath(const std::string& dir, const std::string& name) {
  std::string d = dir;
  if (!d.empty() && platform::IsPathSeparator(d.back())) d.pop_back();
  return d + platform::PreferredSeparator() + FileNameOnly(name) + ".MPF";
}

std::string TextModeCopy(std::string_view program) {
  std::string out;
  out.reserve(program.size() + program.size() / 16);
  for (std::size_t i = 0; i < program.size(); ++i) {
    if (program[i] == '\n' && (i == 0 || program[i - 1] != '\r')) out += '\r';
    out += program[i];
  }
  return out;
}

int RunTransmission(const std::string& sourceFile) {
  std::string refused;
  LoadOptions(g_sIniFile, g_sMachine, &refused);
  const std::string name = ReadIniKey(g_sIniFile, g_sMachine, "Nomfic", "", kNameChars);

  // A folder, a FIFO or a device is no program: it cannot be opened as one.
  std::string program;
  std::string error;
  if (platform::ReadRegularFile(sourceFile, kMaxProgramBytes, &program, &error) !=
      platform::ReadResult::kOk)
    return 2004;

  if (!refused.empty()) {
    // Without the machine's options there is no folder to copy into.
    Tell(refused + "\nThe machine's options cannot be read; nothing was copied.");
    return 0;
  }
  // An empty Dir would put the program at the root of the drive.
  if (Trim(g_options.Dir).empty()) {
    Tell("The machine's program folder (option Dir) is empty; " + sourceFile +
         " was not transmitted.");
    return 0;
  }
  const std::string destPath = TransmissionPath(g_options.Dir, name);
  if (platform::SameFile(sourceFile, destPath)) {
    Tell(destPath + "\nThe program to transmit is the machine's copy itself; nothing was copied.");
    return 0;
  }
  // The copy replaces the machine's program only once it is whole: a copy
  // that fails half-way leaves the previous program in place.
  platform::AtomicFile dest;
  const std::string copy = TextModeCopy(program);
  if (!dest.Open(destPath, &error) || !dest.Write(copy, &error) || !dest.Commit(&error)) {
    Tell(destPath + "\n" + error);
    return 0;
  }
  call_log::Written(destPath, copy);
  return 0;
}
