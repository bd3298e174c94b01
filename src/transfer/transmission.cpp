#include <cstdio>
#include <filesystem>
#include <system_error>

#include "base/platform.h"
#include "config/options.h"
#include "engine/module_state.h"
#include "transfer/transfer.h"

namespace {
// Nomfic is read into a buffer of 256 characters.
constexpr std::size_t kNameChars = 255;
}  // namespace

std::string TransmissionPath(const std::string& dir, const std::string& name) {
  std::string d = dir;
  if (!d.empty() && platform::IsPathSeparator(d.back())) d.pop_back();
  return d + platform::PreferredSeparator() + name + ".MPF";
}

int RunTransmission(const std::string& sourceFile) {
  LoadOptions(g_sIniFile, g_sMachine);
  std::string name = ReadIniKey(g_sIniFile, g_sMachine, "Nomfic", "", kNameChars);

  // A folder opens like a file on some systems but reads as nothing.
  std::error_code ec;
  if (std::filesystem::is_directory(sourceFile, ec)) return 2004;
  std::FILE* source = std::fopen(sourceFile.c_str(), "rb");
  if (!source) return 2004;
  const std::string destPath = TransmissionPath(g_options.Dir, name);
  std::FILE* dest = std::fopen(destPath.c_str(), "wb");
  if (!dest) {
    std::fclose(source);
    return 0;
  }
  // A copy through a fixed buffer: exact for lines of any length.
  char buffer[256];
  std::size_t n;
  bool written = true;
  while ((n = std::fread(buffer, 1, sizeof buffer, source)) > 0)
    written = std::fwrite(buffer, 1, n, dest) == n && written;
  const bool read = !std::ferror(source);
  std::fclose(source);
  written = std::fclose(dest) == 0 && written;
  // Never leave a cut-off program where the machine would run it.
  if (!read || !written) std::remove(destPath.c_str());
  return read ? 0 : 2004;
}
