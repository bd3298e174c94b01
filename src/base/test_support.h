// For the tests only: the few things they need of the system beyond the
// standard library, the same on POSIX and on Windows (environment variables,
// fresh temporary folders, the process id, the error numbers the file-step
// hook injects).
#ifndef BARPOST_BASE_TEST_SUPPORT_H_
#define BARPOST_BASE_TEST_SUPPORT_H_

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#else
#include <cerrno>
#include <unistd.h>
#endif

#ifdef _WIN32
// The POSIX names, on the C runtime the module shares with the tests.
inline int setenv(const char* name, const char* value, int overwrite) {
  if (!overwrite && std::getenv(name)) return 0;
  return _putenv_s(name, value);
}
inline int unsetenv(const char* name) { return _putenv_s(name, ""); }
#endif

namespace test_support {

// A locale whose decimal separator is a comma, by the system's name for it.
#ifdef _WIN32
inline constexpr const char* kDecimalCommaLocale = "German_Germany.1252";
#else
inline constexpr const char* kDecimalCommaLocale = "de_DE.UTF-8";
#endif

inline int ProcessId() {
#ifdef _WIN32
  return _getpid();
#else
  return static_cast<int>(::getpid());
#endif
}

// A new, empty folder "<stem>-<pid>-<n>" in the system's temporary folder.
inline std::filesystem::path MakeTempDir(const std::string& stem) {
  static int counter = 0;
  for (;;) {
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                (stem + "-" + std::to_string(ProcessId()) + "-" +
                                 std::to_string(++counter));
    std::error_code ec;
    if (std::filesystem::create_directory(dir, ec)) return dir;
    if (ec) return {};
  }
}

// A file's bytes as they are ("" when it cannot be read), and a file
// written with exactly the given bytes.
inline std::string Slurp(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}
inline void Spit(const std::filesystem::path& p, const std::string& text) {
  std::ofstream(p, std::ios::binary | std::ios::trunc) << text;
}

// Error numbers as the platform layer's file-step hook takes them: errno
// values on POSIX, Win32 error codes on Windows.
#ifdef _WIN32
constexpr int kIoError = ERROR_WRITE_FAULT;
constexpr int kNoSpace = ERROR_DISK_FULL;
constexpr int kAccessDenied = ERROR_ACCESS_DENIED;
#else
constexpr int kIoError = EIO;
constexpr int kNoSpace = ENOSPC;
constexpr int kAccessDenied = EACCES;
#endif

}  // namespace test_support

#endif  // BARPOST_BASE_TEST_SUPPORT_H_
