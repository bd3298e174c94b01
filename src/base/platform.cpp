// The parts of the platform layer that are the same everywhere. What differs
// lives in platform_posix.cpp and platform_win32.cpp.
#include "base/platform.h"


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

bool ReplaceFileAtomically(const std::string& path, std::string_view contents,
                           std::string* error) {
  AtomicFile file;
  return file.Open(path, error) && file.Write(contents, error) && file.Commit(error);
}

bool ReadWholeFile(const std::string& path, std::string* contents, std::string* error) {
  return ReadRegularFile(path, static_cast<std::size_t>(-1) / 2, contents, error) == ReadResult::kOk;
}

namespace internal {
std::string SizeText(std::size_t bytes) {
  if (bytes >= (1u << 20) && bytes % (1u << 20) == 0) return std::to_string(bytes >> 20) + " MB";
  if (bytes >= 1024 && bytes % 1024 == 0) return std::to_string(bytes >> 10) + " kB";
  return std::to_string(bytes) + " bytes";
}
}  // namespace internal

}  // namespace platform
