// The parts of the platform layer that are the same everywhere. What differs
// lives in platform_posix.cpp and platform_win32.cpp.
#include "base/platform.h"

#include <cerrno>
#include <cstdio>

#include "base/platform_internal.h"

namespace platform {

bool IsPathSeparator(char c) { return c == '/' || c == '\\'; }

char PreferredSeparator() {
#ifdef _WIN32
  return '\\';
#else
  return '/';
#endif
}

std::string::size_type LastSeparator(const std::string& path) {
  return path.find_last_of("/\\");
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  if (IsPathSeparator(dir.back())) return dir + name;
  return dir + PreferredSeparator() + name;
}

namespace {
FileStepHook g_file_step_hook = nullptr;
}  // namespace

namespace internal {
int InjectedError(const char* step) { return g_file_step_hook ? g_file_step_hook(step) : 0; }
bool HookSet() { return g_file_step_hook != nullptr; }
}  // namespace internal

void SetFileStepHookForTesting(FileStepHook hook) { g_file_step_hook = hook; }

bool ReadWholeFile(const std::string& path, std::string* contents, std::string* error) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    if (error) *error = SystemErrorText(LastFileError());
    return false;
  }
  std::string text;
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  bool ok = !std::ferror(f);
  int saved = LastFileError();
  std::fclose(f);
  if (!ok) {
    if (error) *error = SystemErrorText(saved);
    return false;
  }
  *contents = std::move(text);
  return true;
}

}  // namespace platform
